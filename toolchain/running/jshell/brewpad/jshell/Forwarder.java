// SPDX-License-Identifier: GPL-3.0-or-later
// What the snippets print, sent to Brewpad as "output" replies: a line at a
// time, and what is left at a flush (a prompt without its line feed).
package brewpad.jshell;

import java.io.ByteArrayOutputStream;
import java.io.OutputStream;
import java.nio.charset.StandardCharsets;

final class Forwarder extends OutputStream {
    private final Replies replies;
    private final String stream;
    private final ByteArrayOutputStream pending = new ByteArrayOutputStream();

    Forwarder(Replies replies, String stream) {
        this.replies = replies;
        this.stream = stream;
    }

    @Override
    public synchronized void write(int b) {
        pending.write(b);
        if (b == '\n')
            flush();
    }

    @Override
    public synchronized void write(byte[] b, int off, int len) {
        pending.write(b, off, len);
        for (int i = off; i < off + len; ++i) {
            if (b[i] == '\n') {
                flush();
                return;
            }
        }
    }

    @Override
    public synchronized void flush() {
        if (pending.size() == 0)
            return;
        replies.output(stream, pending.toString(StandardCharsets.UTF_8));
        pending.reset();
    }
}
