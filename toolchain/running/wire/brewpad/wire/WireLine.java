// SPDX-License-Identifier: GPL-3.0-or-later
// The line of the wire between Brewpad and its Java helpers (the debugger, the
// JShell pane): one message a line, fields separated by TAB, and in a field a
// backslash written "\\", a TAB "\t", a line feed "\n", a carriage return "\r".
// Brewpad's side is toolchain/running/debugprotocol.h.
package brewpad.wire;

import java.util.ArrayList;
import java.util.List;

public final class WireLine {
    private WireLine() {}

    /** The fields of one line (without its line feed), unescaped. */
    public static String[] split(String line) {
        List<String> out = new ArrayList<>();
        StringBuilder cur = new StringBuilder();
        for (int i = 0; i < line.length(); ++i) {
            char c = line.charAt(i);
            if (c == '\t') {
                out.add(cur.toString());
                cur.setLength(0);
            } else if (c == '\\' && i + 1 < line.length()) {
                char e = line.charAt(++i);
                cur.append(e == 't' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : e);
            } else {
                cur.append(c);
            }
        }
        out.add(cur.toString());
        return out.toArray(new String[0]);
    }

    /** The line of `fields` (each written as String.valueOf gives it), with its line feed. */
    public static String join(Object... fields) {
        StringBuilder b = new StringBuilder();
        for (int i = 0; i < fields.length; ++i) {
            if (i > 0)
                b.append('\t');
            escape(b, String.valueOf(fields[i]));
        }
        return b.append('\n').toString();
    }

    private static void escape(StringBuilder b, String s) {
        for (int i = 0; i < s.length(); ++i) {
            char c = s.charAt(i);
            switch (c) {
            case '\\': b.append("\\\\"); break;
            case '\t': b.append("\\t"); break;
            case '\n': b.append("\\n"); break;
            case '\r': b.append("\\r"); break;
            default: b.append(c);
            }
        }
    }
}
