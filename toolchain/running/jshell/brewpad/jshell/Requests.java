// SPDX-License-Identifier: GPL-3.0-or-later
// Brewpad's side of the wire as the JShell helper reads it (the requests are
// listed in BrewpadJShell; Brewpad's own codec is toolchain/running/jshellwire.h).
package brewpad.jshell;

import brewpad.wire.WireLine;

final class Requests {
    private Requests() {}

    /** One request; `source` and `cursor` as its kind has them. */
    static final class Request {
        enum Kind { EVAL, COMPLETE, STOP, QUIT }
        final Kind kind;
        final long id;
        final String source;
        final int cursor;
        Request(Kind kind, long id, String source, int cursor) {
            this.kind = kind;
            this.id = id;
            this.source = source;
            this.cursor = cursor;
        }
    }

    /** A line that is no request Brewpad sends. */
    static final class BadRequest extends IllegalArgumentException {
        private static final long serialVersionUID = 1L;
        BadRequest(String what) {
            super(what);
        }
    }

    static Request decode(String line) {
        String[] f = WireLine.split(line);
        try {
            if (f[0].equals("stop") && f.length == 1)
                return new Request(Request.Kind.STOP, 0, "", 0);
            if (f[0].equals("quit") && f.length == 1)
                return new Request(Request.Kind.QUIT, 0, "", 0);
            if (f[0].equals("eval") && f.length == 3)
                return new Request(Request.Kind.EVAL, Long.parseLong(f[1]), f[2], 0);
            if (f[0].equals("complete") && f.length == 4)
                return new Request(Request.Kind.COMPLETE, Long.parseLong(f[1]), f[2], Integer.parseInt(f[3]));
        } catch (NumberFormatException e) {
            throw new BadRequest("a request with a bad number: " + f[0]);
        }
        throw new BadRequest("unknown request " + f[0]);
    }
}
