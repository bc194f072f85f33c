// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's warm-up: compilations of its own, run before it says
// it is ready and while no request waits, so that the first F9 it serves
// finds the compiler's code loaded and compiled.

package brewpad.service;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.PrintWriter;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.Collections;
import java.util.spi.ToolProvider;

final class WarmUp {
    private WarmUp() {}

    // Sources of its own that the service compiles to warm the compiler:
    // one clean, one with errors and warnings, so that the code of the
    // compiler's every phase and of its messages is loaded and compiled.
    static final String WARM_GOOD = "import java.util.*;\nimport java.util.function.*;\n"
            + "public class Warm<T extends Comparable<T>> implements Iterable<T> {\n"
            + "  private final List<T> items = new ArrayList<>();\n"
            + "  interface Shape { double area(); }\n"
            + "  record Box(double w, double h) implements Shape { public double area() { return w * h; } }\n"
            + "  enum Kind { A, B, C }\n"
            + "  public Iterator<T> iterator() { return items.iterator(); }\n"
            + "  int count(String s) { int n = 0; for (char c : s.toCharArray()) if (c == 'a') n++; return n; }\n"
            + "  <R> List<R> map(Function<? super T, ? extends R> f) {\n"
            + "    List<R> out = new ArrayList<>(); for (T t : items) out.add(f.apply(t)); return out; }\n"
            + "  static String name(Kind k) { switch (k) { case A: return \"a\"; default: return k.toString(); } }\n"
            + "  public static void main(String[] a) throws Exception {\n"
            + "    Map<String, Integer> m = new HashMap<>(); m.merge(\"x\", 1, Integer::sum);\n"
            + "    try { System.out.println(new Warm<String>().count(\"java\") + m.size()); }\n"
            + "    catch (RuntimeException e) { throw new Exception(e); } finally { }\n"
            + "    Runnable r = () -> System.out.println(name(Kind.B)); r.run();\n  }\n}\n";
    static final String WARM_BAD = "import java.util.*;\npublic class WarmBad {\n"
            + "  List raw = new ArrayList(); Date d = new Date(99, 1, 1);\n"
            + "  void f() { raw.add(\"x\"); int n = \"text\"; missing(); Undefined u; }\n}\n";

    // One step: the clean source (even steps) or the one with errors, as F9
    // compiles them.
    static void step(ToolProvider javac, Path dir, int step) throws IOException {
        Path good = dir.resolve("Warm.java");
        Path bad = dir.resolve("WarmBad.java");
        if (!Files.exists(good)) {
            Files.writeString(good, WARM_GOOD, StandardCharsets.UTF_8);
            Files.writeString(bad, WARM_BAD, StandardCharsets.UTF_8);
        }
        PrintWriter w = new PrintWriter(new ByteArrayOutputStream(), true);
        if (step % 2 == 0)
            javac.run(w, w, "-d", dir.toString(), "-g", "-Xlint:all", good.toString());
        else
            javac.run(w, w, "-d", dir.toString(), "-deprecation", bad.toString());
    }

    static void removeTree(Path dir) throws IOException {
        try (var files = Files.walk(dir)) {
            files.sorted(Collections.reverseOrder()).forEach(p -> p.toFile().delete());
        }
    }
}
