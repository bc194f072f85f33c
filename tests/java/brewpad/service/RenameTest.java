// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's Rename on sources in a temporary folder: the places
// of a local, of a method with its override, of a type with its
// constructors, an enum and a type parameter, and the refusals (an invalid
// name, a JDK method overridden, a clash the new name would make).
// Exits 1 on the first failure.

package brewpad.service;

import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.HashSet;
import java.util.List;
import javax.tools.JavaCompiler;
import javax.tools.ToolProvider;

public final class RenameTest {

    private static Path dir;
    private static Rename rename;

    private RenameTest() {}

    static void expect(boolean ok, String what) {
        if (!ok) {
            System.err.println("FAILED: " + what);
            System.exit(1);
        }
    }

    static final String BASE = "public class Base {\n"
            + "    Base() {}\n"
            + "    int step(int n) { int twice = n + n; return twice; }\n"
            + "    public String toString() { return \"Base\"; }\n"
            + "}\n";
    static final String TOP = "class Top<T> extends Base {\n"
            + "    enum Mode { ON, OFF }\n"
            + "    Mode mode = Mode.ON;\n"
            + "    @Override int step(int n) { return super.step(n) + 1; }\n"
            + "    <E> E keep(E e, T t) { switch (mode) { case ON: return e; default: return e; } }\n"
            + "    static Base make() { return new Base(); }\n"
            + "}\n";

    // The answer to renaming what `needle` names (its first character) in
    // `file`, given with its text; the other source read from disk.
    static Object ask(String file, String text, String needle, String name) throws Exception {
        String other = file.equals("Base.java") ? "Top.java" : "Base.java";
        Request.Rename r = new Request.Rename("1", dir.toString(), file, text.indexOf(needle), name,
                List.of(file, text), List.of(other), List.of());
        try {
            return rename.answer(r);
        } catch (Rename.Refusal e) {
            return e.getMessage();
        }
    }

    // The words at the places of a "renamed" answer, as "File.java:offset".
    static List<String> places(Object answer, String old) throws Exception {
        expect(answer instanceof Reply.Renamed, "renamed, not: " + answer);
        List<String> out = new ArrayList<>();
        for (Reply.Spot s : ((Reply.Renamed) answer).spots) {
            String text = Files.readString(dir.resolve(s.path));
            expect(text.startsWith(old, (int) s.offset), old + " at " + s.path + ":" + s.offset);
            out.add(s.path + ":" + s.offset);
        }
        return out;
    }

    public static void main(String[] argv) throws Exception {
        dir = Files.createTempDirectory("brewpad-rename");
        Files.writeString(dir.resolve("Base.java"), BASE);
        Files.writeString(dir.resolve("Top.java"), TOP);
        JavaCompiler compiler = ToolProvider.getSystemJavaCompiler();
        rename = new Rename(compiler, null, new Check(compiler, null, new HashSet<>()));

        expect(places(ask("Base.java", BASE, "twice", "sum"), "twice").size() == 2, "a local's two places");
        expect(places(ask("Top.java", TOP, "step", "advance"), "step").size() == 3, "a method and its override");
        Object type = ask("Top.java", TOP, "Base", "Root");
        expect(places(type, "Base").size() == 5, "a type, its constructor and its uses: " + places(type, "Base"));
        expect(((Reply.Renamed) type).note.contains("Base.java keeps its name"), "the file's note");
        expect(places(ask("Top.java", TOP, "Mode", "State"), "Mode").size() == 3, "an enum and its uses");
        expect(places(ask("Top.java", TOP, "E>", "X"), "E").size() == 3, "a type parameter");

        expect("not a valid Java identifier".equals(ask("Base.java", BASE, "twice", "int")), "a keyword");
        expect("cannot rename a symbol of the JDK or a library".equals(ask("Base.java", BASE, "toString", "name")),
                "an override of a JDK method");
        Object clash = ask("Base.java", BASE, "twice", "n");
        expect("the new name clashes with parameter n in method step(int)".equals(clash), "a clash: " + clash);
        for (String f : List.of("Base.java", "Top.java"))
            Files.delete(dir.resolve(f));
        Files.delete(dir);
        System.out.println("RenameTest: passed");
    }
}
