// SPDX-License-Identifier: GPL-3.0-or-later
// The JShell helper's side of the wire against the frames under
// tests/golden/jshell/ (the folder is the first argument): each request frame
// decodes to its request, each reply encodes to its frame's bytes, and a line
// that is no request is refused. Brewpad's own test (test_jshell.cpp) reads the
// same frames. A plain program: it prints each failure and ends with 1 when
// there is one.
package brewpad.jshell;

import brewpad.testing.Checks;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.List;
import java.util.function.Consumer;

public final class JShellWireTest {
    private final Path golden;
    private final Checks checks = new Checks();

    private JShellWireTest(Path golden) {
        this.golden = golden;
    }

    public static void main(String[] args) throws IOException {
        JShellWireTest t = new JShellWireTest(Paths.get(args[0]));
        t.requestsDecode();
        t.repliesEncode();
        t.badRequestsAreRefused();
        t.checks.end();
    }

    private void check(boolean ok, String what) {
        checks.check(ok, what);
    }

    private String frame(String name) throws IOException {
        return Checks.frame(golden, name);
    }

    private Requests.Request decoded(String name) throws IOException {
        String line = frame(name);
        return Requests.decode(line.substring(0, line.length() - 1));
    }

    private void requestsDecode() throws IOException {
        Requests.Request e = decoded("request-eval");
        check(e.kind == Requests.Request.Kind.EVAL && e.id == 7 && e.source.equals("int x = 1;\n\"a\tb\" + x"),
              "request-eval");
        Requests.Request c = decoded("request-complete");
        check(c.kind == Requests.Request.Kind.COMPLETE && c.id == 8 && c.source.equals("\"abc\".len") && c.cursor == 8,
              "request-complete");
        check(decoded("request-stop").kind == Requests.Request.Kind.STOP, "request-stop");
        check(decoded("request-quit").kind == Requests.Request.Kind.QUIT, "request-quit");
    }

    private void encodes(String name, Consumer<Replies> write) throws IOException {
        ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        write.accept(new Replies(new PrintStream(bytes, true, StandardCharsets.UTF_8)));
        String got = bytes.toString(StandardCharsets.UTF_8);
        check(got.equals(frame(name)), name + ": wrote " + got);
    }

    private void repliesEncode() throws IOException {
        encodes("reply-ready", Replies::ready);
        encodes("reply-output", r -> {
            r.setCurrent(7);
            r.output("out", "hi\n");
        });
        encodes("reply-value", r -> r.value(7, "ok", "expression", "$2", "\"a\tb1\""));
        encodes("reply-value-error", r -> r.value(9, "error", "erroneous", "", "cannot find symbol\n foo();\n ^"));
        encodes("reply-value-stopped", r -> r.value(12, "stopped", "statement", "", "Stopped."));
        encodes("reply-done", r -> r.done(7));
        encodes("reply-completions", r -> r.completions(8, 6, List.of("length()", "lines()")));
        encodes("reply-failed", r -> r.failed("unknown request \\x"));
    }

    private void refused(String line) {
        try {
            Requests.decode(line);
            check(false, "accepted: " + line);
        } catch (Requests.BadRequest e) {
            check(true, line);
        }
    }

    private void badRequestsAreRefused() {
        refused("");
        refused("eval");
        refused("eval\tx\t1");
        refused("complete\t1\tabc");
        refused("complete\t1\tabc\tnine");
        refused("quit\tnow");
        refused("bogus\t1");
    }
}
