// SPDX-License-Identifier: GPL-3.0-or-later
// The answer to an evaluate request: the expression's value at a frame of the
// paused thread, shown as the Variables pane shows values (an id for an object
// kept from collection while it is shown), or why there is none.
package brewpad.debugger;

import com.sun.jdi.ObjectReference;
import com.sun.jdi.ThreadReference;
import com.sun.jdi.Value;

final class Evaluation {
    private Evaluation() {}

    /** Says "evaluated" for `expression` at `frame` of `thread` (null: the program is not paused). */
    static void answer(ThreadReference thread, int frame, String expression, Evaluator evaluator,
            DebuggerValues values, ReplyEncoder replies) {
        DebuggerValues.Shown shown = null;
        String error = "";
        try {
            if (thread == null)
                throw EvaluationError.compile("the program is not paused");
            Value v = evaluator.evaluate(thread, frame, expression);
            if (v instanceof ObjectReference)
                ((ObjectReference) v).disableCollection();
            synchronized (values) {
                shown = values.show("value", expression, v == null ? "" : v.type().name(), v);
            }
        } catch (EvaluationError e) {
            error = e.getMessage();
        }
        replies.evaluated(expression, frame, shown, error);
    }
}
