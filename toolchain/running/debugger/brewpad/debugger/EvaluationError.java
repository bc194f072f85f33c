// SPDX-License-Identifier: GPL-3.0-or-later
// Why an expression has no value: it does not compile (a syntax error, an
// unknown name, a wrong type), or its evaluation threw in the program.
package brewpad.debugger;

final class EvaluationError extends RuntimeException {
    private static final long serialVersionUID = 1L;

    /** True when the program threw (the expression compiles); false when it does not compile. */
    final boolean thrown;

    private EvaluationError(String message, boolean thrown) {
        super(message);
        this.thrown = thrown;
    }

    /** The expression does not compile: `message` as javac would say it. */
    static EvaluationError compile(String message) {
        return new EvaluationError(message, false);
    }

    /** The program threw `exceptionClass` while `what` was evaluated. */
    static EvaluationError thrown(String exceptionClass, String what) {
        return new EvaluationError(DebuggerValues.shortName(exceptionClass) + " thrown by " + what, true);
    }
}
