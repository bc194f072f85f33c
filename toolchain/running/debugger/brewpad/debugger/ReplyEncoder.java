// SPDX-License-Identifier: GPL-3.0-or-later
// The lines the debugger and Brewpad exchange: one message per line, fields
// separated by TAB, and in a field a backslash written "\\", a TAB "\t", a
// line feed "\n", a carriage return "\r" (the protocol itself is described
// in BrewpadDebugger).
import java.io.BufferedWriter;
import java.io.OutputStreamWriter;
import java.io.PrintWriter;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.List;

final class DebuggerMessages {
    private static final PrintWriter OUT = new PrintWriter(
        new BufferedWriter(new OutputStreamWriter(System.out, StandardCharsets.UTF_8)), false);

    private DebuggerMessages() {
    }

    /** Writes one message to Brewpad, whole, whichever thread sends it. */
    static synchronized void send(Object... fields) {
        StringBuilder b = new StringBuilder();
        for (int i = 0; i < fields.length; ++i) {
            if (i > 0)
                b.append('\t');
            escape(b, String.valueOf(fields[i]));
        }
        OUT.print(b.append('\n'));
        OUT.flush();
    }

    static void escape(StringBuilder b, String s) {
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

    static String[] split(String line) {
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
}
