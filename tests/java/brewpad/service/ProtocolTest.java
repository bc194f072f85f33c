// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's RequestDecoder and ReplyEncoder against the frames of
// tests/golden/service/, which Brewpad's own codec test
// (tests/test_serviceprotocol.cpp) reads too: each request frame decodes to
// the values below, and each reply below encodes to its frame byte for byte.
// Run with the golden folder as its argument; exits 1 on the first failure.

package brewpad.service;

import java.io.ByteArrayInputStream;
import java.io.DataInputStream;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.Arrays;
import java.util.List;

public final class ProtocolTest {

    private static Path golden;
    private static int checks;

    private ProtocolTest() {}

    static void expect(boolean ok, String what) {
        checks++;
        if (!ok) {
            System.err.println("FAILED: " + what);
            System.exit(1);
        }
    }

    static void same(Object got, Object want, String what) {
        expect(want.equals(got), what + ": got <" + got + ">, want <" + want + ">");
    }

    static byte[] bytes(String name) throws IOException {
        return Files.readAllBytes(golden.resolve(name + ".bin"));
    }

    static RequestDecoder decoder(byte[] b) {
        return new RequestDecoder(new DataInputStream(new ByteArrayInputStream(b)), StandardCharsets.UTF_8);
    }

    // The one request of a golden frame, of the class `kind`.
    static <T extends Request> T request(String name, Class<T> kind) throws IOException {
        RequestDecoder d = decoder(bytes("request-" + name));
        Request r = d.next();
        expect(kind.isInstance(r), name + " decodes as " + kind.getSimpleName() + ", not " + r.getClass());
        expect(d.next() instanceof Request.Quit, name + " is one frame");
        return kind.cast(r);
    }

    static void requests() throws IOException {
        Request.Compile compile = request("compile", Request.Compile.class);
        same(compile.id, "1", "compile id");
        same(compile.workDir, "/work/app", "compile directory");
        same(compile.args, List.of("-g", "-d", "classes", "Hello.java"), "compile arguments");

        Request.Check check = request("check", Request.Check.class);
        same(check.id, "2", "check id");
        same(check.file, "Hello.java", "check file");
        same(check.text, "class Hello { String s = \"\u00e9\"; }\n", "check text");
        same(check.options, List.of("-classpath", "lib/a.jar:.", "-Xlint:all"), "check options");

        Request.Complete complete = request("complete", Request.Complete.class);
        expect(!complete.signatures, "complete asks for items");
        same(complete.offset, 30, "complete offset");
        same(complete.text, "class Hello { void f() { \"\".len } }", "complete text");
        same(complete.options, List.of("-g"), "complete options");

        Request.Complete signature = request("signature", Request.Complete.class);
        expect(signature.signatures, "signature asks for overloads");
        same(signature.id, "4", "signature id");
        same(signature.offset, 35, "signature offset");
        same(signature.options, List.of(), "signature options");

        Request.Declaration decl = request("declaration", Request.Declaration.class);
        same(decl.offset, 15, "declaration offset");
        same(decl.cacheDir, "/home/u/.cache/brewpad/jdk-sources", "declaration cache");
        same(decl.options, List.of("-sourcepath", "src"), "declaration options");

        Request.Doc doc = request("doc", Request.Doc.class);
        same(doc.id, "10", "doc id");
        same(doc.text, "class Hello { String s; }", "doc text");
        same(doc.offset, 15, "doc offset");
        same(doc.cacheDir, "/home/u/.cache/brewpad/jdk-sources", "doc cache");
        same(doc.context, "java.lang.String", "doc context");
        same(doc.reference, "#length()", "doc reference");
        same(doc.options, List.of("-sourcepath", "src"), "doc options");

        Request.Outline outline = request("outline", Request.Outline.class);
        same(outline.file, "/work/app/Hello.java", "outline file");
        same(outline.text, "class Hello {\n    int count;\n}\n", "outline text");

        Request.Fixes fixes = request("quickfix", Request.Fixes.class);
        same(fixes.text, "class Hello {\n    int f() {\n    }\n}\n", "quickfix text");
        same(fixes.line, 3, "quickfix line");
        same(fixes.options, List.of("-classpath", "lib/a.jar"), "quickfix options");
        Request.Rename rename = request("rename", Request.Rename.class);
        same(rename.id, "10", "rename id");
        same(rename.file, "Calc.java", "rename file");
        same(rename.offset, 27, "rename offset");
        same(rename.newName, "sum", "rename name");
        same(rename.open, List.of("Calc.java", "class Calc { int f() { int total = 1; return total; } }\n"),
                "rename open sources");
        same(rename.others, List.of("Use.java"), "rename other sources");
        same(rename.options, List.of("-classpath", "lib/a.jar"), "rename options");
        same(request("cancel", Request.Cancel.class).id, "2", "cancel id");
        request("quit", Request.Quit.class);
    }

    static void reply(String name, Reply r) throws IOException {
        ReplyEncoder e = new ReplyEncoder(java.io.OutputStream.nullOutputStream(), StandardCharsets.UTF_8);
        expect(Arrays.equals(e.encode(r), bytes("reply-" + name)), name + " encodes to its golden frame");
    }

    static void replies() throws IOException {
        reply("ready", new Reply.Ready("/work/app"));
        reply("compiled", new Reply.Compiled("1", 1,
                "Hello.java:1: error: ';' expected\n1 error\n".getBytes(StandardCharsets.UTF_8)));
        reply("checked", new Reply.Checked("2", List.of(new Reply.Diagnostic(1, 27, true, "unchecked call \u00e9"),
                new Reply.Diagnostic(0, 0, false, "cannot find symbol"))));
        reply("completed", new Reply.Completed("3", List.of(
                new Reply.Item("method", "length", "length() : int", "length()"),
                new Reply.Item("field", "CASE_INSENSITIVE_ORDER", "CASE_INSENSITIVE_ORDER : Comparator<String>",
                        "CASE_INSENSITIVE_ORDER"))));
        reply("signatures", new Reply.Signatures("4", 1, List.of(
                new Reply.Overload("max", "int", List.of("int a", "int b")),
                new Reply.Overload("max", "long", List.of("long a", "long b")),
                new Reply.Overload("Hello", "", List.of()))));
        reply("declared", new Reply.Declared("5",
                "/home/u/.cache/brewpad/jdk-sources/java.base/java/lang/String.java", 1480, 16, true));
        reply("undeclared", new Reply.Undeclared("7", "no declared name at the caret"));
        reply("documented", new Reply.Documented("10", "length", "public int length()", "java.lang.String",
                " Returns the length of this string, in {@code char}s \u00e9.\n\n @return  the length\n"));
        reply("outlined", new Reply.Outlined("6", List.of(new Reply.Row(0, "class", "Hello", "", 1, 7),
                new Reply.Row(1, "field", "count", "int", 2, 9))));
        reply("quickfixes", new Reply.Fixes("9", List.of(
                new Reply.Fix("Import java.util.List", List.of(new Reply.Step("import", 0, 0, "java.util.List"))),
                new Reply.Fix("Change to 'count'", List.of(new Reply.Step("replace", 40, 43, "count"))))));
        reply("renamed", new Reply.Renamed("10", "total", "The file Calc.java keeps its name", List.of(
                new Reply.Spot("Calc.java", 27, 5), new Reply.Spot("Calc.java", 45, 5))));
        reply("unrenamed", new Reply.Unrenamed("11", "cannot rename a symbol of the JDK or a library"));
        reply("cancelled", new Reply.Cancelled("2"));
        reply("failed", new Reply.Failed("8", "the compiler ended abnormally (4)", true));
    }

    static byte[][] fields(String... f) {
        byte[][] out = new byte[f.length][];
        for (int i = 0; i < f.length; i++)
            out[i] = f[i].getBytes(StandardCharsets.UTF_8);
        return out;
    }

    // What cannot be served as it came is refused with the request's id;
    // a stream that is not made of frames is an error.
    static void refusals() throws IOException {
        RequestDecoder d = decoder(new byte[0]);
        Request unknown = d.decode(fields("rebuild", "9"));
        expect(unknown instanceof Request.Refused && unknown.id.equals("9")
                && !((Request.Refused) unknown).cold, "an unknown kind is refused");
        expect(d.decode(fields("check", "10", "/w")) instanceof Request.Refused, "a short check is refused");
        Request badOffset = d.decode(fields("complete", "11", "/w", "A.java", "class A {}", "x"));
        expect(badOffset instanceof Request.Refused && ((Request.Refused) badOffset).cold,
                "an offset that is no number is refused");
        expect(d.decode(new byte[0][]) instanceof Request.Quit, "an empty frame ends the requests");

        byte[] two = new byte[bytes("request-cancel").length + bytes("request-quit").length];
        System.arraycopy(bytes("request-cancel"), 0, two, 0, bytes("request-cancel").length);
        System.arraycopy(bytes("request-quit"), 0, two, bytes("request-cancel").length, bytes("request-quit").length);
        RequestDecoder stream = decoder(two);
        expect(stream.next() instanceof Request.Cancel, "frames are read in order");
        expect(stream.next() instanceof Request.Quit, "the second frame follows");

        boolean threw = false;
        try {
            decoder(new byte[] {(byte) 0xff, 0, 0, 0}).next();
        } catch (IOException e) {
            threw = true;
        }
        expect(threw, "a negative count is not a frame");
    }

    public static void main(String[] argv) throws IOException {
        golden = Paths.get(argv.length > 0 ? argv[0] : "tests/golden/service");
        requests();
        replies();
        refusals();
        System.out.println("ProtocolTest: " + checks + " checks passed");
    }
}
