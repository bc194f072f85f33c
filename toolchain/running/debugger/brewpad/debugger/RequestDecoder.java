// SPDX-License-Identifier: GPL-3.0-or-later
// Brewpad's side of the wire as the debugger reads it: one request a line,
// fields separated by TAB, and in a field a backslash written "\\", a TAB
// "\t", a line feed "\n", a carriage return "\r" (the requests are listed in
// BrewpadDebugger; Brewpad's own codec is toolchain/running/debugwire.h).
package brewpad.debugger;

import brewpad.wire.WireLine;

final class RequestDecoder {
    /** A line that is no request Brewpad sends. */
    static final class BadRequest extends IllegalArgumentException {
        private static final long serialVersionUID = 1L;

        BadRequest(String why) {
            super(why);
        }
    }

    /** The request of one line (without its line feed). */
    Request decode(String line) {
        String[] f = WireLine.split(line);
        try {
            return decode(f);
        } catch (NumberFormatException | ArrayIndexOutOfBoundsException e) {
            throw new BadRequest("unreadable request " + f[0]);
        }
    }

    private static Request decode(String[] f) {
        switch (f[0]) {
        case "listen": return Request.of(Request.Kind.LISTEN);
        case "pid": return Request.pid(Long.parseLong(f[1]));
        case "break":
            return Request.setBreakpoint(f[1],
                    new Breakpoint(f[6], Integer.parseInt(f[2]), !f[3].equals("0"), f[5], Integer.parseInt(f[4])));
        case "clear": return Request.atLine(Request.Kind.CLEAR, f[1], Integer.parseInt(f[2]));
        case "run": return Request.of(Request.Kind.RUN);
        case "continue": return Request.of(Request.Kind.CONTINUE);
        case "stepOver": return Request.of(Request.Kind.STEP_OVER);
        case "stepInto": return Request.of(Request.Kind.STEP_INTO);
        case "stepOut": return Request.of(Request.Kind.STEP_OUT);
        case "runTo": return Request.atLine(Request.Kind.RUN_TO, f[1], Integer.parseInt(f[2]));
        case "stop": return Request.of(Request.Kind.STOP);
        case "threads": return Request.of(Request.Kind.THREADS);
        case "frames": return Request.frames(Long.parseLong(f[1]));
        case "variables": return Request.variables(Long.parseLong(f[1]), Integer.parseInt(f[2]));
        case "expand": return Request.expand(Long.parseLong(f[1]), Integer.parseInt(f[2]));
        case "evaluate": return Request.evaluate(Long.parseLong(f[1]), Integer.parseInt(f[2]), f[3]);
        default: throw new BadRequest("unknown request " + f[0]);
        }
    }
}
