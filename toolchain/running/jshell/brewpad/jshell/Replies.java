// SPDX-License-Identifier: GPL-3.0-or-later
// The JShell helper's side of the wire as it writes it (the replies are listed
// in BrewpadJShell; Brewpad's own codec is toolchain/running/jshellwire.h).
// Each reply is written whole and flushed, whichever thread sends it.
package brewpad.jshell;

import brewpad.wire.WireLine;

import java.io.PrintStream;
import java.util.ArrayList;
import java.util.List;

final class Replies {
    private final PrintStream out;
    private long current;  // the request whose snippets run now (0: none)

    Replies(PrintStream out) {
        this.out = out;
    }

    synchronized void setCurrent(long id) {
        current = id;
    }

    void ready() {
        send("ready");
    }

    synchronized void output(String stream, String text) {
        send("output", current, stream, text);
    }

    void value(long id, String status, String kind, String name, String text) {
        send("value", id, status, kind, name, text);
    }

    void done(long id) {
        send("done", id);
    }

    void completions(long id, int anchor, List<String> texts) {
        List<Object> f = new ArrayList<>(List.of("completions", id, anchor));
        f.addAll(texts);
        send(f.toArray());
    }

    void failed(String text) {
        send("failed", text);
    }

    private synchronized void send(Object... fields) {
        out.print(WireLine.join(fields));
        out.flush();
    }
}
