// SPDX-License-Identifier: GPL-3.0-or-later
// The debugger's side of the wire against the frames under
// tests/golden/debugger/ (the folder is the first argument): each request
// frame decodes to its request, each reply encodes to its frame's bytes.
// Brewpad's own test (test_debugwire.cpp) reads the same frames. A plain
// program: it prints each failure and ends with 1 when there is one.
package brewpad.debugger;

import brewpad.testing.Checks;

import java.io.IOException;
import java.io.StringWriter;
import java.nio.file.DirectoryStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.TreeSet;
import java.util.function.Consumer;

public final class DebuggerWireTest {
    private final Path golden;
    private final Checks checks = new Checks();

    private DebuggerWireTest(Path golden) {
        this.golden = golden;
    }

    public static void main(String[] args) throws IOException {
        DebuggerWireTest t = new DebuggerWireTest(Paths.get(args[0]));
        t.requestsDecode();
        t.repliesEncode();
        t.everyFrameIsTested();
        t.badRequestsAreRefused();
        t.checks.end();
    }

    private void check(boolean ok, String what) {
        checks.check(ok, what);
    }

    private String frame(String name) throws IOException {
        return Checks.frame(golden, name);
    }

    private static Map<String, Request> requests() {
        Map<String, Request> m = new LinkedHashMap<>();
        m.put("request-listen", Request.of(Request.Kind.LISTEN));
        m.put("request-pid", Request.pid(4242));
        m.put("request-break", Request.setBreakpoint("demo.Demo",
                new Breakpoint("/src/demo/Demo.java", 12, true, "name.equals(\"x\ty\") && i > 2", 3)));
        m.put("request-break-disabled",
                Request.setBreakpoint("Hello", new Breakpoint("/tmp/back\\slash/Hello.java", 3, false, "", 0)));
        m.put("request-clear", Request.atLine(Request.Kind.CLEAR, "demo.Demo", 12));
        m.put("request-run", Request.of(Request.Kind.RUN));
        m.put("request-continue", Request.of(Request.Kind.CONTINUE));
        m.put("request-stepOver", Request.of(Request.Kind.STEP_OVER));
        m.put("request-stepInto", Request.of(Request.Kind.STEP_INTO));
        m.put("request-stepOut", Request.of(Request.Kind.STEP_OUT));
        m.put("request-runTo", Request.atLine(Request.Kind.RUN_TO, "demo.Demo", 30));
        m.put("request-stop", Request.of(Request.Kind.STOP));
        m.put("request-threads", Request.of(Request.Kind.THREADS));
        m.put("request-frames", Request.frames(7));
        m.put("request-variables", Request.variables(7, 2));
        m.put("request-expand", Request.expand(99, 100));
        m.put("request-evaluate", Request.evaluate(7, 1, "count = n * 2"));
        return m;
    }

    private static Map<String, Consumer<ReplyEncoder>> replies() {
        Map<String, Consumer<ReplyEncoder>> m = new LinkedHashMap<>();
        m.put("reply-ready", r -> r.ready(40123));
        m.put("reply-connected", ReplyEncoder::connected);
        m.put("reply-breakpoint", r -> r.breakpoint("demo.Demo", 12, "set", 14));
        m.put("reply-breakpoint-disabled", r -> r.breakpoint("Hello", 3, "disabled", 0));
        m.put("reply-paused", r -> r.paused(
                new ReplyEncoder.Pause(1, "demo.Demo", "Demo.java", 14, "breakpoint", 0, 3, null, null)));
        m.put("reply-paused-exception", r -> r.paused(new ReplyEncoder.Pause(1, "demo.Demo", "Demo.java", 40,
                "exception", 2, 0, "java.lang.IllegalStateException", "bad\nstate\r")));
        m.put("reply-resumed", ReplyEncoder::resumed);
        m.put("reply-threads", r -> r.threads(List.of(new ReplyEncoder.ThreadRow(1, "main", "running"),
                new ReplyEncoder.ThreadRow(5, "Signal Dispatcher", "waiting"))));
        m.put("reply-frames", r -> r.frames(1, List.of(new ReplyEncoder.FrameRow("demo.Demo$Inner", "twice",
                "Demo.java", 17), new ReplyEncoder.FrameRow("demo.Demo", "main", "Demo.java", 14))));
        m.put("reply-variables", r -> r.variables(1, 0, "", List.of(
                new DebuggerValues.Shown("local", "n", "int", "5", 0),
                new DebuggerValues.Shown("local", "s", "java.lang.String", "\"a\\tb\"", 88))));
        m.put("reply-children", r -> r.children(88, 0, 1,
                List.of(new DebuggerValues.Shown("value", "value", "java.lang.String", "\"a\\tb\"", 0))));
        m.put("reply-evaluated", r -> r.evaluated("s.length() + 1", 0,
                new DebuggerValues.Shown("value", "s.length() + 1", "int", "6", 0), ""));
        m.put("reply-evaluated-error", r -> r.evaluated("y", 0, null, "cannot find symbol: y"));
        m.put("reply-condition", r -> r.condition("demo.Demo", 14, "Demo.java", "invalid", "cannot find symbol: y"));
        m.put("reply-condition-threw", r -> r.condition("demo.Demo", 14, "Demo.java", "threw",
                "NullPointerException thrown by s.length()"));
        m.put("reply-ended", ReplyEncoder::ended);
        m.put("reply-error", r -> r.error("The program did not answer the debugger: it sent nothing."));
        return m;
    }

    private void requestsDecode() throws IOException {
        RequestDecoder decoder = new RequestDecoder();
        for (Map.Entry<String, Request> e : requests().entrySet()) {
            String line = frame(e.getKey());
            check(line.endsWith("\n"), e.getKey() + ": a frame ends with its line feed");
            Request got = decoder.decode(line.substring(0, line.length() - 1));
            check(got.equals(e.getValue()), e.getKey() + ": decoded " + got + ", expected " + e.getValue());
        }
    }

    private void repliesEncode() throws IOException {
        for (Map.Entry<String, Consumer<ReplyEncoder>> e : replies().entrySet()) {
            StringWriter out = new StringWriter();
            e.getValue().accept(new ReplyEncoder(out));
            String want = frame(e.getKey());
            check(out.toString().equals(want), e.getKey() + ": encoded " + out + " expected " + want);
        }
        new ReplyEncoder(null).ready(1);  // a silent encoder: nothing to write to, no failure
    }

    private void everyFrameIsTested() throws IOException {
        TreeSet<String> names = new TreeSet<>();
        try (DirectoryStream<Path> files = Files.newDirectoryStream(golden, "*.frame")) {
            for (Path p : files)
                names.add(p.getFileName().toString().replaceAll("\\.frame$", ""));
        }
        check(!names.isEmpty(), "frames in " + golden);
        for (String n : names)
            check(requests().containsKey(n) || replies().containsKey(n), n + ": no value for this frame");
        check(names.size() == requests().size() + replies().size(), "a value without its frame");
    }

    private void badRequestsAreRefused() {
        RequestDecoder decoder = new RequestDecoder();
        for (String bad : new String[] {"jump\t3", "break\tdemo.Demo\t12", "frames\tseven", ""}) {
            boolean refused = false;
            try {
                decoder.decode(bad);
            } catch (RequestDecoder.BadRequest e) {
                refused = true;
            }
            check(refused, "refused: " + bad.replace('\t', ' '));
        }
    }
}
