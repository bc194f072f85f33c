// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the replies to Brewpad's side of the wire: the values of Reply as
// frames of byte strings, each preceded by the bytes "BPSV" (see
// CompileService). Replies from several threads go out whole, one after the other.

package brewpad.service;

import java.io.ByteArrayOutputStream;
import java.io.DataOutputStream;
import java.io.IOException;
import java.io.OutputStream;
import java.nio.charset.Charset;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.List;

final class ReplyEncoder {

    // Before every reply, so that Brewpad can skip whatever else the JVM
    // writes to the standard output (a log the user asked for).
    private static final byte[] MAGIC = {'B', 'P', 'S', 'V'};

    private final DataOutputStream out;
    // How paths are encoded: as Brewpad names its files.
    private final Charset fileNames;

    ReplyEncoder(OutputStream out, Charset fileNames) {
        this.out = new DataOutputStream(out);
        this.fileNames = fileNames;
    }

    synchronized void send(Reply reply) throws IOException {
        out.write(encode(reply));
        out.flush();
    }

    // The bytes of the frame of `reply`.
    byte[] encode(Reply reply) {
        List<byte[]> f = fields(reply);
        ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        DataOutputStream frame = new DataOutputStream(bytes);
        try {
            frame.write(MAGIC);
            frame.writeInt(f.size());
            for (byte[] b : f) {
                frame.writeInt(b.length);
                frame.write(b);
            }
        } catch (IOException e) {
            throw new IllegalStateException(e);  // a byte array takes everything
        }
        return bytes.toByteArray();
    }

    private List<byte[]> fields(Reply r) {
        Fields f = new Fields();
        if (r instanceof Reply.Ready) {
            f.text("ready").name(((Reply.Ready) r).workDir);
            return f.list;
        }
        if (r instanceof Reply.Compiled) {
            Reply.Compiled c = (Reply.Compiled) r;
            f.text("compiled").text(r.id).number(c.status).bytes(c.output);
        } else if (r instanceof Reply.Checked) {
            List<Reply.Diagnostic> ds = ((Reply.Checked) r).diagnostics;
            f.text("checked").text(r.id).number(ds.size());
            for (Reply.Diagnostic d : ds)
                f.number(d.line).number(d.column).text(d.warning ? "warning" : "error").text(d.message);
        } else if (r instanceof Reply.Completed) {
            List<Reply.Item> items = ((Reply.Completed) r).items;
            f.text("completed").text(r.id).number(items.size());
            for (Reply.Item i : items)
                f.text(i.kind).text(i.name).text(i.detail).text(i.insert);
        } else if (r instanceof Reply.Signatures) {
            signatures(f, (Reply.Signatures) r);
        } else if (r instanceof Reply.Declared) {
            Reply.Declared d = (Reply.Declared) r;
            f.text("declared").text(r.id).text(d.path).number(d.line).number(d.column);
            if (d.jdk)
                f.text("jdk");
        } else if (r instanceof Reply.Undeclared) {
            f.text("undeclared").text(r.id).text(((Reply.Undeclared) r).reason);
        } else if (r instanceof Reply.Documented) {
            Reply.Documented d = (Reply.Documented) r;
            f.text("documented").text(r.id).text(d.name).text(d.signature).text(d.context).text(d.comment);
        } else if (r instanceof Reply.Outlined) {
            List<Reply.Row> rows = ((Reply.Outlined) r).rows;
            f.text("outlined").text(r.id).number(rows.size());
            for (Reply.Row o : rows)
                f.number(o.depth).text(o.kind).text(o.name).text(o.detail).number(o.line).number(o.column);
        } else if (r instanceof Reply.Fixes) {
            fixes(f, (Reply.Fixes) r);
        } else if (r instanceof Reply.Renamed) {
            renamed(f, (Reply.Renamed) r);
        } else if (r instanceof Reply.Unrenamed) {
            f.text("unrenamed").text(r.id).text(((Reply.Unrenamed) r).reason);
        } else if (r instanceof Reply.Cancelled) {
            f.text("cancelled").text(r.id);
        } else {
            Reply.Failed failed = (Reply.Failed) r;
            f.text("failed").text(r.id).text(failed.reason);
            if (failed.cold)
                f.text("cold");
        }
        return f.list;
    }

    private static void signatures(Fields f, Reply.Signatures s) {
        f.text("signatures").text(s.id).number(s.argument).number(s.overloads.size());
        for (Reply.Overload o : s.overloads) {
            f.text(o.name).text(o.returns).number(o.parameters.size());
            for (String p : o.parameters)
                f.text(p);
        }
    }

    private static void fixes(Fields f, Reply.Fixes r) {
        f.text("quickfixes").text(r.id).number(r.fixes.size());
        for (Reply.Fix fix : r.fixes) {
            f.text(fix.title).number(fix.steps.size());
            for (Reply.Step s : fix.steps)
                f.text(s.kind).number(s.start).number(s.end).text(s.text);
        }
    }

    private void renamed(Fields f, Reply.Renamed r) {
        f.text("renamed").text(r.id).text(r.old).text(r.note).number(r.spots.size());
        for (Reply.Spot s : r.spots)
            f.name(s.path).number(s.offset).number(s.length);
    }

    // The fields of a frame as they are made.
    private final class Fields {
        final List<byte[]> list = new ArrayList<>();

        Fields bytes(byte[] b) {
            list.add(b);
            return this;
        }

        Fields text(String s) {
            return bytes(String.valueOf(s).getBytes(StandardCharsets.UTF_8));
        }

        Fields name(String s) {
            return bytes(s.getBytes(fileNames));
        }

        Fields number(long n) {
            return text(Long.toString(n));
        }
    }
}
