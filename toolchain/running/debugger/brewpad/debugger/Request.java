// SPDX-License-Identifier: GPL-3.0-or-later
// One request of Brewpad to the debugger, as RequestDecoder reads it: its
// kind and the fields that kind has (the others empty or 0).
package brewpad.debugger;

import java.util.Objects;

final class Request {
    enum Kind {
        LISTEN, PID, BREAK, CLEAR, RUN, CONTINUE, STEP_OVER, STEP_INTO, STEP_OUT, RUN_TO, STOP, THREADS, FRAMES,
        VARIABLES, EXPAND, EVALUATE
    }

    final Kind kind;
    /** The top-level class of BREAK, CLEAR and RUN_TO. */
    final String className;
    /** The line of CLEAR and RUN_TO (BREAK's is its breakpoint's). */
    final int line;
    final Breakpoint breakpoint;
    /** The process of PID, the thread of FRAMES, VARIABLES and EVALUATE, the value of EXPAND. */
    final long id;
    /** The frame of VARIABLES and EVALUATE, the first child of EXPAND. */
    final int index;
    /** The expression of EVALUATE. */
    final String text;

    private Request(Kind kind, String className, int line, Breakpoint breakpoint, long id, int index) {
        this(kind, className, line, breakpoint, id, index, "");
    }

    private Request(Kind kind, String className, int line, Breakpoint breakpoint, long id, int index, String text) {
        this.kind = kind;
        this.className = className;
        this.line = line;
        this.breakpoint = breakpoint;
        this.id = id;
        this.index = index;
        this.text = text;
    }

    /** A request without fields (LISTEN, RUN, the motions, STOP, THREADS). */
    static Request of(Kind kind) {
        return new Request(kind, "", 0, null, 0, 0);
    }

    static Request pid(long pid) {
        return new Request(Kind.PID, "", 0, null, pid, 0);
    }

    static Request setBreakpoint(String cls, Breakpoint b) {
        return new Request(Kind.BREAK, cls, b.line, b, 0, 0);
    }

    /** CLEAR or RUN_TO. */
    static Request atLine(Kind kind, String cls, int line) {
        return new Request(kind, cls, line, null, 0, 0);
    }

    static Request frames(long thread) {
        return new Request(Kind.FRAMES, "", 0, null, thread, 0);
    }

    static Request variables(long thread, int frame) {
        return new Request(Kind.VARIABLES, "", 0, null, thread, frame);
    }

    static Request expand(long id, int start) {
        return new Request(Kind.EXPAND, "", 0, null, id, start);
    }

    static Request evaluate(long thread, int frame, String expression) {
        return new Request(Kind.EVALUATE, "", 0, null, thread, frame, expression);
    }

    boolean isMotion() {
        switch (kind) {
        case CONTINUE: case STEP_OVER: case STEP_INTO: case STEP_OUT: case RUN_TO: return true;
        default: return false;
        }
    }

    @Override
    public boolean equals(Object o) {
        if (!(o instanceof Request))
            return false;
        Request r = (Request) o;
        return kind == r.kind && className.equals(r.className) && line == r.line
                && Objects.equals(breakpoint, r.breakpoint) && id == r.id && index == r.index
                && text.equals(r.text);
    }

    @Override
    public int hashCode() {
        return Objects.hash(kind, className, line, breakpoint, id, index, text);
    }

    @Override
    public String toString() {
        return kind + " " + className + " " + line + " " + breakpoint + " " + id + " " + index + " " + text;
    }
}
