// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the requests from Brewpad's side of the wire: frames of byte strings
// (see CompileService) made into the values of Request.

package brewpad.service;

import java.io.DataInputStream;
import java.io.EOFException;
import java.io.IOException;
import java.nio.charset.Charset;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.List;

final class RequestDecoder {

    private static final int MOST_FIELDS = 1 << 24;

    private final DataInputStream in;
    // How paths and arguments are encoded: as the launcher receives them.
    private final Charset fileNames;

    RequestDecoder(DataInputStream in, Charset fileNames) {
        this.in = in;
        this.fileNames = fileNames;
    }

    // The next request; Quit at the end of the stream. Throws when the
    // stream is not made of frames.
    Request next() throws IOException {
        int n;
        try {
            n = in.readInt();
        } catch (EOFException e) {
            return new Request.Quit();
        }
        if (n < 0 || n > MOST_FIELDS)
            throw new IOException("bad frame");
        byte[][] f = CompileService.allocate(() -> new byte[n][]);
        boolean whole = f != null;
        for (int i = 0; i < n; i++) {
            int len = in.readInt();
            if (len < 0)
                throw new IOException("bad frame");
            byte[] b = whole ? CompileService.allocate(() -> new byte[len]) : null;
            if (b == null) {
                whole = false;
                skip(len);
                continue;
            }
            in.readFully(b);
            f[i] = b;
        }
        if (whole)
            return decode(f);
        String id = f != null && n > 1 && f[1] != null ? text(f[1]) : "";
        return new Request.Refused(id, "the request does not fit in the service's memory", true);
    }

    private void skip(long n) throws IOException {
        byte[] buf = new byte[8192];
        while (n > 0) {
            int r = in.read(buf, 0, (int) Math.min(buf.length, n));
            if (r < 0)
                throw new EOFException();
            n -= r;
        }
    }

    // The request that the fields `f` of a frame hold.
    Request decode(byte[][] f) {
        if (f.length == 0)
            return new Request.Quit();
        String verb = text(f[0]);
        String id = f.length > 1 ? text(f[1]) : "";
        try {
            Request r = decode(verb, id, f);
            return r != null ? r : new Request.Refused(id, "unknown request", false);
        } catch (NumberFormatException e) {
            return new Request.Refused(id, "the compile service failed: " + e, true);
        }
    }

    private Request decode(String verb, String id, byte[][] f) {
        switch (verb) {
        case "compile":
            return f.length >= 3 ? new Request.Compile(id, name(f[2]), names(f, 3)) : null;
        case "check":
            return f.length >= 5 ? new Request.Check(id, name(f[2]), name(f[3]), text(f[4]), names(f, 5)) : null;
        case "complete":
        case "signature":
            return f.length >= 6 ? new Request.Complete(id, verb.equals("signature"), name(f[2]), name(f[3]),
                    text(f[4]), Integer.parseInt(text(f[5])), names(f, 6)) : null;
        case "declaration":
            return f.length >= 7 ? new Request.Declaration(id, name(f[2]), name(f[3]), text(f[4]),
                    Integer.parseInt(text(f[5])), name(f[6]), names(f, 7)) : null;
        case "doc":
            return f.length >= 9 ? new Request.Doc(id, name(f[2]), name(f[3]), text(f[4]),
                    Integer.parseInt(text(f[5])), name(f[6]), text(f[7]), text(f[8]), names(f, 9)) : null;
        case "outline":
            return f.length >= 4 ? new Request.Outline(id, name(f[2]), text(f[3])) : null;
        case "quickfix":
            return f.length >= 6 ? new Request.Fixes(id, name(f[2]), name(f[3]), text(f[4]),
                    Integer.parseInt(text(f[5])), names(f, 6)) : null;
        case "rename":
            return f.length >= 7 ? rename(id, f) : null;
        case "cancel":
            return f.length >= 2 ? new Request.Cancel(id) : null;
        case "quit":
            return new Request.Quit();
        default:
            return null;
        }
    }

    // rename ID WORKDIR FILE OFFSET NAME OPEN (PATH TEXT)... OTHER PATH... OPTION...
    private Request rename(String id, byte[][] f) {
        int open = Integer.parseInt(text(f[6]));
        int at = 7;
        if (open < 0 || at + 2L * open >= f.length)
            return null;
        List<String> texts = new ArrayList<>();
        for (int i = 0; i < open; i++, at += 2) {
            texts.add(name(f[at]));
            texts.add(text(f[at + 1]));
        }
        int others = Integer.parseInt(text(f[at++]));
        if (others < 0 || at + (long) others > f.length)
            return null;
        List<String> paths = new ArrayList<>();
        for (int i = 0; i < others; i++)
            paths.add(name(f[at++]));
        return new Request.Rename(id, name(f[2]), name(f[3]), Integer.parseInt(text(f[4])), text(f[5]), texts,
                paths, names(f, at));
    }

    private static String text(byte[] b) {
        return new String(b, StandardCharsets.UTF_8);
    }

    private String name(byte[] b) {
        return new String(b, fileNames);
    }

    private List<String> names(byte[][] f, int first) {
        List<String> out = new ArrayList<>();
        for (int i = first; i < f.length; i++)
            out.add(name(f[i]));
        return out;
    }
}
