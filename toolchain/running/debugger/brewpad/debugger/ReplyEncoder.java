// SPDX-License-Identifier: GPL-3.0-or-later
// The debugger's side of the wire as it writes it: one reply a line, fields
// separated by TAB, and in a field a backslash written "\\", a TAB "\t", a
// line feed "\n", a carriage return "\r" (the replies are listed in
// BrewpadDebugger; Brewpad's own codec is toolchain/running/debugwire.h).
// Each reply is written whole and flushed, whichever thread sends it; a
// silent encoder (a rehearsal's) writes nothing.
package brewpad.debugger;

import brewpad.wire.WireLine;

import java.io.PrintWriter;
import java.io.Writer;
import java.util.ArrayList;
import java.util.List;

final class ReplyEncoder {
    /** A thread as "threads" lists it. */
    static final class ThreadRow {
        final long id;
        final String name, status;
        ThreadRow(long id, String name, String status) {
            this.id = id;
            this.name = name;
            this.status = status;
        }
    }

    /** A frame as "frames" lists it. */
    static final class FrameRow {
        final String cls, method, file;
        final int line;
        FrameRow(String cls, String method, String file, int line) {
            this.cls = cls;
            this.method = method;
            this.file = file;
            this.line = line;
        }
    }

    /** Where the program paused; the exception's class and message are null unless the reason is "exception". */
    static final class Pause {
        final long thread;
        final String cls, file;
        final int line;
        final String reason;
        final int frame;
        final long done;
        final String exceptionClass, exceptionMessage;
        Pause(long thread, String cls, String file, int line, String reason, int frame, long done,
                String exceptionClass, String exceptionMessage) {
            this.thread = thread;
            this.cls = cls;
            this.file = file;
            this.line = line;
            this.reason = reason;
            this.frame = frame;
            this.done = done;
            this.exceptionClass = exceptionClass;
            this.exceptionMessage = exceptionMessage;
        }
    }

    private final PrintWriter out;

    /** Writes to `out`; null for a silent encoder. */
    ReplyEncoder(Writer out) {
        this.out = out == null ? null : new PrintWriter(out, false);
    }

    void ready(int port) {
        send("ready", port);
    }

    void connected() {
        send("connected");
    }

    /** STATE set (ACTUAL the line with code), pending or invalid (ACTUAL 0), disabled (ACTUAL 0). */
    void breakpoint(String cls, int line, String state, int actual) {
        send("breakpoint", cls, line, state, actual);
    }

    void paused(Pause p) {
        List<Object> f = new ArrayList<>(List.of("paused", p.thread, p.cls, p.file, p.line, p.reason, p.frame, p.done));
        if (p.reason.equals("exception")) {
            f.add(p.exceptionClass);
            f.add(p.exceptionMessage);
        }
        send(f.toArray());
    }

    void resumed() {
        send("resumed");
    }

    void threads(List<ThreadRow> threads) {
        List<Object> f = new ArrayList<>();
        f.add("threads");
        for (ThreadRow t : threads) {
            f.add(t.id);
            f.add(t.name);
            f.add(t.status);
        }
        send(f.toArray());
    }

    void frames(long thread, List<FrameRow> frames) {
        List<Object> f = new ArrayList<>(List.of("frames", thread));
        for (FrameRow r : frames) {
            f.add(r.cls);
            f.add(r.method);
            f.add(r.file);
            f.add(r.line);
        }
        send(f.toArray());
    }

    void variables(long thread, int frame, String note, List<DebuggerValues.Shown> values) {
        List<Object> f = new ArrayList<>(List.of("variables", thread, frame, note));
        addValues(f, values);
        send(f.toArray());
    }

    void children(long id, int start, int total, List<DebuggerValues.Shown> values) {
        List<Object> f = new ArrayList<>(List.of("children", id, start, total));
        addValues(f, values);
        send(f.toArray());
    }

    /**
     * A breakpoint's condition failed at its hit, at LINE of CLS in FILE:
     * OUTCOME "invalid" (it does not compile: the program stops there once) or
     * "threw" (it stops at each such hit); MESSAGE says why.
     */
    void condition(String cls, int line, String file, String outcome, String message) {
        send("condition", cls, line, file, outcome, message);
    }

    /** The value of an expression at a frame, or the error that it has none (value then null). */
    void evaluated(String expression, int frame, DebuggerValues.Shown value, String error) {
        List<Object> f = new ArrayList<>(List.of("evaluated", expression, frame));
        if (value == null)
            value = new DebuggerValues.Shown("value", expression, "", "", 0);
        addValues(f, List.of(value));
        f.add(error);
        send(f.toArray());
    }

    void ended() {
        send("ended");
    }

    void error(String text) {
        send("error", text);
    }

    private static void addValues(List<Object> f, List<DebuggerValues.Shown> values) {
        for (DebuggerValues.Shown s : values) {
            f.add(s.kind);
            f.add(s.name);
            f.add(s.type);
            f.add(s.text);
            f.add(s.id);
        }
    }

    private synchronized void send(Object... fields) {
        if (out == null)
            return;
        out.print(WireLine.join(fields));
        out.flush();
    }
}
