// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's documentation (see CompileService):
//
//     doc ID WORKDIR FILE TEXT OFFSET CACHE CONTEXT REFERENCE OPTION...
//         the documentation of the name at OFFSET (UTF-16 units) of FILE's
//         text TEXT, compiled in memory with the check's options; or, when
//         REFERENCE is not empty, of the symbol it names ("String#length()",
//         "#size()") as the doc comments of the class CONTEXT name it.
//         Answered by "documented ID NAME SIGNATURE CONTEXT COMMENT": the
//         symbol's name and signature, the class its own links are read in,
//         and its doc comment as the compiler reads it (empty when it has
//         none); or by "undeclared ID REASON" when nothing is named there.
//
// The comment of a symbol the compiler holds the source of is the compiler's;
// of any other, that of its declaration in the source Go to Definition finds
// (the source path, a jar's sources, the JDK's src.zip), parsed alone.

package brewpad.service;

import com.sun.source.tree.CompilationUnitTree;
import com.sun.source.tree.MethodTree;
import com.sun.source.tree.Tree;
import com.sun.source.tree.VariableTree;
import com.sun.source.util.JavacTask;
import com.sun.source.util.TreePath;
import com.sun.source.util.Trees;

import java.io.IOException;
import java.io.InputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayDeque;
import java.util.ArrayList;
import java.util.Deque;
import java.util.List;
import java.util.stream.Collectors;
import javax.lang.model.element.Element;
import javax.lang.model.element.ElementKind;
import javax.lang.model.element.ExecutableElement;
import javax.lang.model.element.Modifier;
import javax.lang.model.element.TypeElement;
import javax.lang.model.element.VariableElement;
import javax.lang.model.type.TypeMirror;
import javax.tools.DiagnosticCollector;

final class Docs {

    private final Navigate navigate;
    private final ReplyEncoder replies;
    private final Check check;

    Docs(Navigate navigate, ReplyEncoder replies, Check check) {
        this.navigate = navigate;
        this.replies = replies;
        this.check = check;
    }

    void doc(Request.Doc r) throws IOException {
        String dir = r.workDir;
        Path file = Paths.get(dir).resolve(r.file).toAbsolutePath().normalize();
        List<String> options = check.options(r.options, dir);
        JavacTask task = navigate.task(options, new Check.Source(file.toUri(), r.text), new DiagnosticCollector<>());
        CompilationUnitTree unit = task.parse().iterator().next();
        task.analyze();
        Trees trees = Trees.instance(task);
        Element e;
        if (r.reference.isEmpty()) {
            TreePath at = Navigate.pathAt(new Navigate.Parsed(r.text, unit, trees.getSourcePositions()), r.offset);
            e = at == null ? null : trees.getElement(at);
        } else {
            e = new DocReferences(this, task, options, dir, r.cacheDir).resolve(r.context, r.reference);
        }
        if (e == null || e.getKind() == ElementKind.PACKAGE || e.getKind() == ElementKind.MODULE) {
            replies.send(new Reply.Undeclared(r.id, r.reference.isEmpty() ? "no declared name at the caret"
                    : "nothing named " + r.reference + " was found"));
            return;
        }
        Found found = find(task, trees, e, options, dir, r.cacheDir);
        String comment = found.comment != null ? found.comment : task.getElements().getDocComment(e);
        if (e instanceof ExecutableElement)
            comment = inherited(task, trees, (ExecutableElement) e, comment, options, dir, r.cacheDir, 0);
        if (found.missing != null && (comment == null || comment.isBlank())) {
            replies.send(new Reply.Undeclared(r.id, found.missing));
            return;
        }
        replies.send(new Reply.Documented(r.id, nameOf(e), signature(e, found.tree), contextOf(e),
                comment == null ? "" : comment));
    }

    // The declaration of an element and its comment; both null when neither
    // is known, and `missing` says why when no source declares it.
    static final class Found {
        final Tree tree;
        final String comment;
        final CompilationUnitTree unit;
        final String missing;

        Found(Tree tree, String comment, CompilationUnitTree unit) {
            this(tree, comment, unit, null);
        }

        Found(Tree tree, String comment, CompilationUnitTree unit, String missing) {
            this.tree = tree;
            this.comment = comment;
            this.unit = unit;
            this.missing = missing;
        }
    }

    Found find(JavacTask task, Trees trees, Element e, List<String> options, String dir, String cache)
            throws IOException {
        TreePath decl = trees.getPath(e);
        if (decl != null)
            return new Found(decl.getLeaf(), trees.getDocComment(decl), decl.getCompilationUnit());
        Navigate.Located at = navigate.locate(task, e, options, dir, cache);
        if (at.source == null)
            return new Found(null, null, null, at.why);
        String text;
        try (InputStream in = Files.newInputStream(at.source)) {
            text = new String(in.readAllBytes(), StandardCharsets.UTF_8);
        }
        JavacTask alone = navigate.task(List.of("-proc:none"), new Check.Source(at.source.toUri(), text),
                new DiagnosticCollector<>());
        CompilationUnitTree unit = alone.parse().iterator().next();
        Trees aloneTrees = Trees.instance(alone);
        Tree t = DeclFinder.find(new Navigate.Parsed(text, unit, aloneTrees.getSourcePositions()), e);
        if (t == null)
            return new Found(null, null, unit);
        return new Found(t, aloneTrees.getDocComment(TreePath.getPath(unit, t)), unit);
    }

    // ---------------------------------------------------------- inherited

    // A method's comment, or, when it has none or takes the overridden one's
    // with {@inheritDoc}, the comment of the method it overrides.
    String inherited(JavacTask task, Trees trees, ExecutableElement m, String comment, List<String> options,
            String dir, String cache, int depth) throws IOException {
        boolean blank = comment == null || comment.isBlank();
        if ((!blank && !comment.contains("{@inheritDoc}")) || depth > 8
                || !(m.getEnclosingElement() instanceof TypeElement))
            return comment;
        TypeElement owner = (TypeElement) m.getEnclosingElement();
        for (TypeElement sup : supertypes(task, owner)) {
            for (Element x : sup.getEnclosedElements()) {
                if (!(x instanceof ExecutableElement) || !x.getSimpleName().equals(m.getSimpleName())
                        || !task.getElements().overrides(m, (ExecutableElement) x, owner))
                    continue;
                Found f = find(task, trees, x, options, dir, cache);
                String c = f.comment != null ? f.comment : task.getElements().getDocComment(x);
                c = inherited(task, trees, (ExecutableElement) x, c, options, dir, cache, depth + 1);
                if (c != null && !c.isBlank())
                    return blank ? c : comment.replace("{@inheritDoc}", mainDescription(c).trim());
            }
        }
        return comment;
    }

    // The classes and interfaces above `t`, the nearest first.
    static List<TypeElement> supertypes(JavacTask task, TypeElement t) {
        List<TypeElement> out = new ArrayList<>();
        Deque<TypeMirror> todo = new ArrayDeque<>(task.getTypes().directSupertypes(t.asType()));
        while (!todo.isEmpty()) {
            TypeMirror m = todo.removeFirst();
            Element x = task.getTypes().asElement(m);
            if (x instanceof TypeElement && !out.contains(x)) {
                out.add((TypeElement) x);
                todo.addAll(task.getTypes().directSupertypes(m));
            }
        }
        return out;
    }

    // A comment's text before its block tags.
    static String mainDescription(String comment) {
        StringBuilder out = new StringBuilder();
        for (String line : comment.split("\n", -1)) {
            String t = line.trim();
            if (t.length() > 1 && t.charAt(0) == '@' && Character.isLetter(t.charAt(1)))
                break;
            out.append(line).append('\n');
        }
        return out.toString();
    }

    // ------------------------------------------------------------- names

    static String nameOf(Element e) {
        if (e.getKind() == ElementKind.CONSTRUCTOR)
            return e.getEnclosingElement().getSimpleName().toString();
        return e.getSimpleName().toString();
    }

    // The class whose doc comments name the links of `e`'s: its own for a class.
    static String contextOf(Element e) {
        for (Element c = e; c != null; c = c.getEnclosingElement()) {
            if (c instanceof TypeElement)
                return ((TypeElement) c).getQualifiedName().toString();
        }
        return "";
    }

    // A type without the packages of its names: "List<String>".
    static String shortType(String type) {
        return type.replaceAll("(?<![\\w$])(?:[a-z_][\\w$]*\\.)+(?=[A-Za-z_$])", "");
    }

    static String modifiers(Element e) {
        return e.getModifiers().stream()
                .filter(m -> m != Modifier.NATIVE && m != Modifier.SYNCHRONIZED && m != Modifier.STRICTFP)
                .map(m -> m + " ").collect(Collectors.joining());
    }

    static String kindWord(ElementKind k) {
        switch (k) {
        case INTERFACE:
            return "interface";
        case ENUM:
            return "enum";
        case ANNOTATION_TYPE:
            return "@interface";
        default:
            return k.name().equals("RECORD") ? "record" : "class";
        }
    }

    // How the symbol is declared: "public int length()", "public final class java.lang.String".
    static String signature(Element e, Tree t) {
        if (e instanceof TypeElement) {
            TypeElement type = (TypeElement) e;
            String mods = modifiers(e);
            if (e.getKind() == ElementKind.INTERFACE || e.getKind() == ElementKind.ANNOTATION_TYPE)
                mods = mods.replace("abstract ", "");
            String params = type.getTypeParameters().isEmpty() ? "" : type.getTypeParameters().stream()
                    .map(Object::toString).collect(Collectors.joining(", ", "<", ">"));
            return mods + kindWord(e.getKind()) + " " + type.getQualifiedName() + params;
        }
        if (e instanceof ExecutableElement)
            return method((ExecutableElement) e, t);
        return modifiers(e) + shortType(e.asType().toString()) + " " + e.getSimpleName();
    }

    static String method(ExecutableElement m, Tree t) {
        StringBuilder out = new StringBuilder(modifiers(m));
        if (!m.getTypeParameters().isEmpty())
            out.append(m.getTypeParameters().stream().map(Object::toString).collect(Collectors.joining(", ", "<", ">")))
                    .append(' ');
        if (m.getKind() != ElementKind.CONSTRUCTOR)
            out.append(shortType(m.getReturnType().toString())).append(' ');
        out.append(nameOf(m)).append('(');
        List<String> names = new ArrayList<>();
        for (VariableElement p : m.getParameters())
            names.add(p.getSimpleName().toString());
        // The names as written: a class file's may be lost.
        if (t instanceof MethodTree && ((MethodTree) t).getParameters().size() == names.size()) {
            names.clear();
            for (VariableTree v : ((MethodTree) t).getParameters())
                names.add(v.getName().toString());
        }
        List<? extends VariableElement> params = m.getParameters();
        for (int i = 0; i < params.size(); i++) {
            String type = shortType(params.get(i).asType().toString());
            if (m.isVarArgs() && i == params.size() - 1 && type.endsWith("[]"))
                type = type.substring(0, type.length() - 2) + "...";
            out.append(i > 0 ? ", " : "").append(type).append(' ').append(names.get(i));
        }
        out.append(')');
        if (!m.getThrownTypes().isEmpty())
            out.append(" throws ").append(m.getThrownTypes().stream().map(x -> shortType(x.toString()))
                    .collect(Collectors.joining(", ")));
        return out.toString();
    }
}
