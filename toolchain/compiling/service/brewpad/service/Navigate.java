// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's navigation (see CompileService):
//
//     declaration ID WORKDIR FILE TEXT OFFSET CACHE OPTION...
//         the declaration of the name at OFFSET (UTF-16 units) of FILE's text
//         TEXT, compiled in memory with the check's options. Answered by
//         "declared ID PATH LINE COLUMN [jdk]" (the name's place, both from
//         1, the column in UTF-16 units; "jdk" for a source of the JDK,
//         taken out of its src.zip into CACHE) or "undeclared ID REASON".
//     outline ID FILE TEXT
//         the classes (nested ones too), fields and methods of TEXT, from a
//         parse only (a text with errors has one too). Answered by
//         "outlined ID COUNT (DEPTH KIND NAME DETAIL LINE COLUMN)...".
//
// A declaration is found in the text itself, in a source the compiler read
// beside it, in a source of the source or class path named after the class,
// in a jar of the class path (JarSources), or in the JDK's sources
// (lib/src.zip of the JDK this service runs on).

package brewpad.service;

import com.sun.source.tree.ClassTree;
import com.sun.source.tree.CompilationUnitTree;
import com.sun.source.tree.MethodTree;
import com.sun.source.tree.Tree;
import com.sun.source.tree.VariableTree;
import com.sun.source.util.JavacTask;
import com.sun.source.util.SourcePositions;
import com.sun.source.util.TreePath;
import com.sun.source.util.TreePathScanner;
import com.sun.source.util.Trees;

import java.io.IOException;
import java.io.InputStream;
import java.io.Writer;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.Collections;
import java.util.List;
import java.util.Locale;
import javax.lang.model.element.Element;
import javax.lang.model.element.ElementKind;
import javax.lang.model.element.ModuleElement;
import javax.lang.model.element.TypeElement;
import javax.tools.DiagnosticCollector;
import javax.tools.JavaCompiler;
import javax.tools.JavaFileObject;
import javax.tools.StandardJavaFileManager;

final class Navigate {

    private final JavaCompiler compiler;
    private final ReplyEncoder replies;
    private final Check check;

    Navigate(JavaCompiler compiler, ReplyEncoder replies, Check check) {
        this.compiler = compiler;
        this.replies = replies;
        this.check = check;
    }

    // A parsed source: its text, its tree and the positions of its task.
    static final class Parsed {
        final String text;
        final CompilationUnitTree unit;
        final SourcePositions positions;
        private int[] lineStarts;

        Parsed(String text, CompilationUnitTree unit, SourcePositions positions) {
            this.text = text;
            this.unit = unit;
            this.positions = positions;
        }

        long[] lineAndColumn(long pos) {
            if (lineStarts == null)
                lineStarts = lineStarts(text);
            return Navigate.lineAndColumn(lineStarts, text, pos);
        }

        long start(Tree t) {
            return positions.getStartPosition(unit, t);
        }

        long end(Tree t) {
            return t == null ? -1 : positions.getEndPosition(unit, t);
        }
    }

    JavacTask task(List<String> options, JavaFileObject source, DiagnosticCollector<JavaFileObject> diags) {
        StandardJavaFileManager standard = compiler.getStandardFileManager(diags, Locale.getDefault(),
                StandardCharsets.UTF_8);
        return (JavacTask) compiler.getTask(Writer.nullWriter(), new Check.InMemory(standard), diags,
                options, null, Collections.singletonList(source));
    }

    Parsed parse(Path file, String text) throws IOException {
        Check.Source source = new Check.Source(file.toUri(), text);
        JavacTask task = task(List.of("-proc:none"), source, new DiagnosticCollector<>());
        CompilationUnitTree unit = task.parse().iterator().next();
        return new Parsed(text, unit, Trees.instance(task).getSourcePositions());
    }

    // ------------------------------------------------------------- places

    // Line and column (from 1) of a position; CR, LF and CR LF end lines.
    static long[] lineAndColumn(int[] starts, String text, long pos) {
        int at = (int) Math.min(Math.max(pos, 0), text.length());
        int line = Arrays.binarySearch(starts, at);
        if (line < 0)
            line = -line - 2;
        return new long[] {line + 1, at - starts[line] + 1};
    }

    // Where each line starts.
    static int[] lineStarts(String text) {
        int[] starts = new int[16];
        int n = 0;
        starts[n++] = 0;
        for (int i = 0; i < text.length(); i++) {
            char c = text.charAt(i);
            if (c == '\n' || (c == '\r' && (i + 1 >= text.length() || text.charAt(i + 1) != '\n'))) {
                if (n == starts.length)
                    starts = Arrays.copyOf(starts, n * 2);
                starts[n++] = i + 1;
            }
        }
        return Arrays.copyOf(starts, n);
    }

    static boolean wordChar(char c) {
        return Character.isJavaIdentifierPart(c);
    }

    // The first whole-word `name` at or after `from`; -1 when none.
    static long findWord(String text, String name, long from) {
        int i = (int) Math.max(0, from);
        while ((i = text.indexOf(name, i)) >= 0) {
            int after = i + name.length();
            if ((i == 0 || !wordChar(text.charAt(i - 1))) && (after >= text.length() || !wordChar(text.charAt(after))))
                return i;
            i = after;
        }
        return -1;
    }

    // Where the name of a declaration stands: after its modifiers, type
    // parameters and type; the start of the tree when it cannot be found.
    static long namePosition(Parsed p, Tree t, String className) {
        long start = p.start(t);
        long after = start;
        String name = null;
        if (t instanceof ClassTree) {
            ClassTree c = (ClassTree) t;
            name = c.getSimpleName().toString();
            after = Math.max(after, p.end(c.getModifiers()));
        } else if (t instanceof MethodTree) {
            MethodTree m = (MethodTree) t;
            name = m.getName().contentEquals("<init>") ? className : m.getName().toString();
            after = Math.max(after, p.end(m.getModifiers()));
            after = Math.max(after, p.end(m.getReturnType()));
            for (Tree tp : m.getTypeParameters())
                after = Math.max(after, p.end(tp));
        } else if (t instanceof VariableTree) {
            VariableTree v = (VariableTree) t;
            name = v.getName().toString();
            after = Math.max(after, p.end(v.getModifiers()));
            long typeEnd = p.end(v.getType());
            if (typeEnd > start)
                after = Math.max(after, typeEnd);
        }
        if (name == null || name.isEmpty())
            return start;
        long at = findWord(p.text, name, after);
        return at >= 0 ? at : start;
    }

    // ------------------------------------------------------------- outline

    static String kindOf(ClassTree c) {
        switch (c.getKind().name()) {
        case "INTERFACE":
            return "interface";
        case "ENUM":
            return "enum";
        case "ANNOTATION_TYPE":
            return "annotation";
        case "RECORD":
            return "record";
        default:
            return "class";
        }
    }

    // A type as written, without its type arguments and qualifiers.
    static String simpleType(String written) {
        StringBuilder out = new StringBuilder();
        int depth = 0;
        for (char c : written.replace("...", "[]").toCharArray()) {
            if (c == '<')
                depth++;
            else if (c == '>')
                depth--;
            else if (depth == 0 && !Character.isWhitespace(c))
                out.append(c);
        }
        String s = out.toString();
        int dims = s.indexOf('[');
        String base = dims >= 0 ? s.substring(0, dims) : s;
        String arrays = dims >= 0 ? s.substring(dims) : "";
        int dot = base.lastIndexOf('.');
        return (dot >= 0 ? base.substring(dot + 1) : base) + arrays;
    }

    // A method's parameter types as written, a variable arity one with its "...".
    static String parameters(Parsed p, MethodTree m) {
        List<String> types = new ArrayList<>();
        for (VariableTree v : m.getParameters()) {
            String type = v.getType() == null ? "?" : simpleType(v.getType().toString());
            long from = p.start(v);
            long to = p.end(v);
            boolean varargs = from >= 0 && to > from && to <= p.text.length()
                    && p.text.substring((int) from, (int) to).contains("...") && type.endsWith("[]");
            types.add(varargs ? type.substring(0, type.length() - 2) + "..." : type);
        }
        return "(" + String.join(", ", types) + ")";
    }

    static void outlineClass(Parsed p, ClassTree c, int depth, List<Reply.Row> rows) {
        String name = c.getSimpleName().toString();
        addRow(p, rows, depth, kindOf(c), name, "", namePosition(p, c, name));
        boolean isEnum = c.getKind().name().equals("ENUM");
        // A record's components stand in its header, before its body's brace.
        boolean isRecord = c.getKind().name().equals("RECORD");
        long body = isRecord ? p.text.indexOf('{', (int) Math.max(0, namePosition(p, c, name))) : -1;
        for (Tree member : c.getMembers()) {
            if (member instanceof ClassTree) {
                outlineClass(p, (ClassTree) member, depth + 1, rows);
            } else if (member instanceof MethodTree) {
                MethodTree m = (MethodTree) member;
                boolean ctor = m.getName().contentEquals("<init>");
                // The constructor a record or an enum has without writing it.
                if (p.end(m) < 0 || p.start(m) == p.start(c))
                    continue;
                String detail = parameters(p, m);
                if (!ctor && m.getReturnType() != null)
                    detail += " : " + simpleType(m.getReturnType().toString());
                addRow(p, rows, depth + 1, ctor ? "constructor" : "method", ctor ? name : m.getName().toString(),
                        detail, namePosition(p, m, name));
            } else if (member instanceof VariableTree) {
                VariableTree v = (VariableTree) member;
                boolean constant = isEnum && p.end(v.getType()) <= p.start(v);
                boolean component = isRecord && body >= 0 && p.start(v) < body;
                addRow(p, rows, depth + 1, constant ? "constant" : component ? "component" : "field",
                        v.getName().toString(),
                        constant ? "" : simpleType(v.getType().toString()), namePosition(p, v, name));
            }
        }
    }

    static void addRow(Parsed p, List<Reply.Row> rows, int depth, String kind, String name, String detail, long pos) {
        long[] lc = p.lineAndColumn(pos);
        rows.add(new Reply.Row(depth, kind, name, detail, lc[0], lc[1]));
    }

    void outline(Request.Outline r) throws IOException {
        Path file = Paths.get(r.file).toAbsolutePath().normalize();
        Parsed p = parse(file, r.text);
        List<Reply.Row> rows = new ArrayList<>();
        for (Tree t : p.unit.getTypeDecls()) {
            if (t instanceof ClassTree)
                outlineClass(p, (ClassTree) t, 0, rows);
        }
        replies.send(new Reply.Outlined(r.id, rows));
    }

    // --------------------------------------------------------- declaration

    // The innermost tree around a position (its end included, so that a
    // caret just after a name finds it).
    static TreePath pathAt(Parsed p, long offset) {
        TreePath[] found = {null};
        new TreePathScanner<Void, Void>() {
            @Override
            public Void scan(Tree tree, Void v) {
                if (tree == null)
                    return null;
                long s = p.start(tree);
                long e = p.end(tree);
                if (s < 0 || e < 0 || offset < s || offset > e)
                    return null;
                TreePath here = new TreePath(getCurrentPath(), tree);
                found[0] = here;
                return super.scan(tree, v);
            }
        }.scan(p.unit, null);
        return found[0];
    }

    void declaration(Request.Declaration r) throws IOException {
        String id = r.id;
        String dir = r.workDir;
        Path file = Paths.get(dir).resolve(r.file).toAbsolutePath().normalize();
        String text = r.text;
        long offset = r.offset;
        String cache = r.cacheDir;
        List<String> options = check.options(r.options, dir);
        Check.Source source = new Check.Source(file.toUri(), text);
        JavacTask task = task(options, source, new DiagnosticCollector<>());
        CompilationUnitTree unit = task.parse().iterator().next();
        task.analyze();
        Trees trees = Trees.instance(task);
        Parsed here = new Parsed(text, unit, trees.getSourcePositions());
        TreePath at = pathAt(here, offset);
        Element e = at == null ? null : trees.getElement(at);
        if (e == null) {
            replies.send(new Reply.Undeclared(id, "no declared name at the caret"));
            return;
        }
        TreePath decl = trees.getPath(e);
        if (decl != null) {
            CompilationUnitTree cu = decl.getCompilationUnit();
            JavaFileObject src = cu.getSourceFile();
            boolean self = cu == unit;
            Parsed p = self ? here : new Parsed(src.getCharContent(true).toString(), cu, trees.getSourcePositions());
            sendPlace(id, self ? file : Paths.get(src.toUri()), p, decl.getLeaf(), false);
            return;
        }
        elsewhere(id, task, e, options, dir, cache);
    }

    void sendPlace(String id, Path path, Parsed p, Tree t, boolean jdk) throws IOException {
        String className = "";
        if (t instanceof MethodTree) {
            // A constructor's name is its class's: the class around it.
            for (Tree c : p.unit.getTypeDecls())
                className = enclosingName((ClassTree) c, t, className);
        }
        long[] lc = p.lineAndColumn(namePosition(p, t, className));
        replies.send(new Reply.Declared(id, path.toString(), lc[0], lc[1], jdk));
    }

    static String enclosingName(ClassTree c, Tree t, String found) {
        for (Tree m : c.getMembers()) {
            if (m == t)
                return c.getSimpleName().toString();
            if (m instanceof ClassTree)
                found = enclosingName((ClassTree) m, t, found);
        }
        return found;
    }

    // ------------------------------------------------- declarations elsewhere

    static TypeElement outermost(Element e) {
        Element top = e;
        while (top.getEnclosingElement() != null && top.getEnclosingElement().getKind() != ElementKind.PACKAGE
                && top.getEnclosingElement().getKind() != ElementKind.MODULE)
            top = top.getEnclosingElement();
        return top instanceof TypeElement ? (TypeElement) top : null;
    }

    // A declaration whose tree the compiler does not hold: in a source named
    // after its class on the source path (or, without one, the class path),
    // else in the JDK's sources.
    void elsewhere(String id, JavacTask task, Element e, List<String> options, String dir, String cache)
            throws IOException {
        Located at = locate(task, e, options, dir, cache);
        if (at.source == null)
            replies.send(new Reply.Undeclared(id, at.why));
        else
            placeIn(id, at.source, e, at.jdk);
    }

    // The source that declares the class of an element, or why none was found.
    static final class Located {
        final Path source;
        final boolean jdk;  // a copy in the cache, read-only
        final String why;

        Located(Path source, boolean jdk, String why) {
            this.source = source;
            this.jdk = jdk;
            this.why = why;
        }
    }

    // Where the source of the class of `e` is: on the source path (or, without
    // one, the class path), beside a jar of the class path, in the JDK's sources.
    Located locate(JavacTask task, Element e, List<String> options, String dir, String cache) {
        TypeElement top = outermost(e);
        if (top == null)
            return new Located(null, false, "no source declares " + e.getSimpleName());
        String pkg = task.getElements().getPackageOf(top).getQualifiedName().toString();
        String rel = (pkg.isEmpty() ? "" : pkg.replace('.', '/') + "/") + top.getSimpleName() + ".java";
        for (String root : searchRoots(options, dir)) {
            Path candidate = Paths.get(root).resolve(rel).toAbsolutePath().normalize();
            if (Files.isRegularFile(candidate))
                return new Located(candidate, false, "");
        }
        Path fromJar = cache.isEmpty() ? null : JarSources.sourceOf(options, dir, top, pkg, rel, Paths.get(cache));
        if (fromJar != null)
            return new Located(fromJar, true, "");
        ModuleElement module = task.getElements().getModuleOf(top);
        String moduleName = module == null || module.isUnnamed() ? "" : module.getQualifiedName().toString();
        Path zip = Paths.get(System.getProperty("java.home"), "lib", "src.zip");
        if (!moduleName.isEmpty() && Files.isRegularFile(zip) && !cache.isEmpty()) {
            Path extracted = JdkSources.extract(zip, moduleName + "/" + rel, Paths.get(cache));
            if (extracted != null)
                return new Located(extracted, true, "");
        }
        String why = moduleName.isEmpty() ? "no source of " + top.getQualifiedName() + " was found"
                : !Files.isRegularFile(zip) ? "the JDK's sources are not installed (package openjdk-17-source): "
                        + top.getQualifiedName() + " is in the JDK"
                : "no source of " + top.getQualifiedName() + " was found in " + zip;
        return new Located(null, false, why);
    }

    static List<String> searchRoots(List<String> options, String dir) {
        String sourcePath = null;
        String classPath = null;
        for (int i = 0; i + 1 < options.size(); i++) {
            String o = options.get(i);
            if (o.equals("-sourcepath") || o.equals("--source-path"))
                sourcePath = options.get(i + 1);
            else if (o.equals("-classpath") || o.equals("-cp") || o.equals("--class-path"))
                classPath = options.get(i + 1);
        }
        String list = sourcePath != null ? sourcePath : classPath != null ? classPath : dir;
        List<String> roots = new ArrayList<>();
        for (String r : list.split(":", -1)) {
            if (Files.isDirectory(Paths.get(r.isEmpty() ? dir : r)))
                roots.add(r.isEmpty() ? dir : r);
        }
        return roots;
    }

    void placeIn(String id, Path source, Element e, boolean jdk) throws IOException {
        String text;
        try (InputStream in = Files.newInputStream(source)) {
            text = new String(in.readAllBytes(), StandardCharsets.UTF_8);
        }
        Parsed p = parse(source, text);
        Tree t = DeclFinder.find(p, e);
        if (t == null) {
            replies.send(new Reply.Undeclared(id, "the declaration of " + e.getSimpleName()
                    + " was not found in " + source));
            return;
        }
        sendPlace(id, source, p, t, jdk);
    }
}
