// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the replies to Brewpad's side of the wire: the fields of Reply's
// values as frames of byte strings, each preceded by the bytes "BPSV" (see
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
import java.util.Optional;

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
        f.write(r.frame);
        return f.list;
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

        // One field of a reply or its part, as Reply.Part describes them.
        void write(Object o) {
            if (o instanceof Reply.Part) {
                for (Object field : ((Reply.Part) o).fields)
                    write(field);
            } else if (o instanceof List) {
                List<?> elements = (List<?>) o;
                number(elements.size());
                for (Object e : elements)
                    write(e);
            } else if (o instanceof Optional) {
                ((Optional<?>) o).ifPresent(this::write);
            } else if (o instanceof Reply.Name) {
                name(((Reply.Name) o).path);
            } else if (o instanceof byte[]) {
                bytes((byte[]) o);
            } else if (o instanceof Number) {
                number(((Number) o).longValue());
            } else {
                text((String) o);
            }
        }
    }
}
