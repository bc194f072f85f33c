// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's quick fixes (see CompileService):
//
//     quickfix ID WORKDIR FILE TEXT LINE OPTION...
//         FILE's text TEXT compiled in memory as a check compiles it; the
//         fixes of its errors on LINE (from 1). Answered by
//         "quickfixes ID COUNT (TITLE STEPS (KIND START END TEXT)...)...".
//
// A fix is read from javac's own view of the error: its code, the tree at its
// place and the elements and types attributed there. Its steps name what to
// change in the text, in UTF-16 units of TEXT; Brewpad lays them out in the
// file's own indentation and line ends (toolchain/compiling/quickfixedit.h):
//
//     replace START END TEXT   the range replaced by TEXT
//     import - - NAME          the import of the type NAME, where it belongs
//     return START - TEXT      the statement TEXT on a line of its own before
//                              the "}" at START
//     method START - TEXT      the declaration TEXT ("\t" a level of
//                              indentation) before the class's "}" at START
//     try START END TEXT       the statement from START to END surrounded by
//                              try; TEXT the catch's variable, then the types
//                              caught, separated by spaces
//     declare START END TEXT   with a try: the declaration TEXT put before
//                              it, START to END (the declared type) removed

package brewpad.service;

import com.sun.source.tree.BlockTree;
import com.sun.source.tree.ClassTree;
import com.sun.source.tree.CompilationUnitTree;
import com.sun.source.tree.LambdaExpressionTree;
import com.sun.source.tree.MethodInvocationTree;
import com.sun.source.tree.MethodTree;
import com.sun.source.tree.NewClassTree;
import com.sun.source.tree.StatementTree;
import com.sun.source.tree.ThrowTree;
import com.sun.source.tree.Tree;
import com.sun.source.tree.VariableTree;
import com.sun.source.util.JavacTask;
import com.sun.source.util.SourcePositions;
import com.sun.source.util.TreePath;
import com.sun.source.util.TreePathScanner;
import com.sun.source.util.Trees;

import java.io.IOException;
import java.io.Writer;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Collections;
import java.util.LinkedHashSet;
import java.util.List;
import java.util.Locale;
import java.util.Set;
import javax.lang.model.element.Element;
import javax.lang.model.element.ExecutableElement;
import javax.lang.model.type.TypeKind;
import javax.lang.model.type.TypeMirror;
import javax.lang.model.util.Elements;
import javax.lang.model.util.Types;
import javax.tools.Diagnostic;
import javax.tools.DiagnosticCollector;
import javax.tools.JavaCompiler;
import javax.tools.JavaFileObject;
import javax.tools.StandardJavaFileManager;

final class Fixes {

    private final JavaCompiler compiler;
    private final ReplyEncoder replies;
    private final Check check;
    private final FixNames names = new FixNames();

    Fixes(JavaCompiler compiler, ReplyEncoder replies, Check check) {
        this.compiler = compiler;
        this.replies = replies;
        this.check = check;
    }

    // The text attributed, as the fixes read it.
    static final class Unit {
        JavacTask task;
        Trees trees;
        Elements elements;
        Types types;
        CompilationUnitTree tree;
        SourcePositions positions;
        String text;
        StandardJavaFileManager files;

        long start(Tree t) {
            return positions.getStartPosition(tree, t);
        }

        long end(Tree t) {
            return positions.getEndPosition(tree, t);
        }
    }

    void fixes(Request.Fixes r) throws IOException {
        Path file = Paths.get(r.workDir).resolve(r.file).toAbsolutePath().normalize();
        List<String> options = check.options(r.options, r.workDir);
        DiagnosticCollector<JavaFileObject> diags = new DiagnosticCollector<>();
        Check.Source source = new Check.Source(file.toUri(), r.text);
        StandardJavaFileManager standard = compiler.getStandardFileManager(diags, Locale.getDefault(),
                StandardCharsets.UTF_8);
        List<Reply.Fix> found = new ArrayList<>();
        try (Check.InMemory fm = new Check.InMemory(standard)) {
            Unit u = new Unit();
            u.task = (JavacTask) compiler.getTask(Writer.nullWriter(), fm, diags, options, null,
                    Collections.singletonList(source));
            u.tree = u.task.parse().iterator().next();
            u.task.analyze();
            u.trees = Trees.instance(u.task);
            u.elements = u.task.getElements();
            u.types = u.task.getTypes();
            u.positions = u.trees.getSourcePositions();
            u.text = r.text;
            u.files = standard;
            Set<String> seen = new LinkedHashSet<>();
            for (Diagnostic<? extends JavaFileObject> d : diags.getDiagnostics()) {
                if (d.getKind() == Diagnostic.Kind.ERROR && d.getSource() == source && d.getLineNumber() == r.line)
                    propose(u, d, found, seen);
            }
        } catch (IllegalStateException | IllegalArgumentException e) {
            replies.send(new Reply.Failed(r.id, "the quick fixes failed: " + e, false));
            return;
        }
        replies.send(new Reply.Fixes(r.id, found));
    }

    // The fixes of one error, each once.
    void propose(Unit u, Diagnostic<?> d, List<Reply.Fix> out, Set<String> seen) throws IOException {
        TreePath at = pathAt(u, d.getPosition());
        if (at == null)
            return;
        List<Reply.Fix> fixes = new ArrayList<>();
        String code = d.getCode();
        if (code.startsWith("compiler.err.cant.resolve"))
            names.unresolved(u, at, fixes);
        else if (code.equals("compiler.err.missing.ret.stmt"))
            missingReturn(u, at, d.getPosition(), fixes);
        else if (code.equals("compiler.err.unreported.exception.need.to.catch.or.throw"))
            unreported(u, at, d.getMessage(Locale.ROOT), fixes);
        for (Reply.Fix f : fixes) {
            if (seen.add(f.title))
                out.add(f);
        }
    }

    // The innermost tree that holds `pos`.
    static TreePath pathAt(Unit u, long pos) {
        TreePath[] best = {null};
        new TreePathScanner<Void, Void>() {
            @Override
            public Void scan(Tree t, Void v) {
                if (t == null)
                    return null;
                long s = u.start(t);
                long e = u.end(t);
                if (s < 0 || s > pos || (e >= 0 && e <= pos && !(e == pos && s == pos)))
                    return null;
                best[0] = new TreePath(getCurrentPath(), t);
                return super.scan(t, v);
            }
        }.scan(new TreePath(u.tree), null);
        return best[0];
    }

    static TreePath enclosing(TreePath p, Class<? extends Tree> kind) {
        for (TreePath q = p; q != null; q = q.getParentPath()) {
            if (kind.isInstance(q.getLeaf()))
                return q;
        }
        return null;
    }

    // ------------------------------------------------------------ return

    static String defaultValue(TypeMirror t) {
        if (t == null || t.getKind() == TypeKind.VOID)
            return null;
        if (t.getKind() == TypeKind.BOOLEAN)
            return "false";
        return t.getKind().isPrimitive() ? "0" : "null";
    }

    void missingReturn(Unit u, TreePath at, long pos, List<Reply.Fix> out) {
        TreePath m = enclosing(at, MethodTree.class);
        TreePath lambda = enclosing(at, LambdaExpressionTree.class);
        if (m == null || (lambda != null && lambda.getParentPath() != null
                && enclosing(lambda, MethodTree.class) == m))
            return;
        MethodTree method = (MethodTree) m.getLeaf();
        if (method.getBody() == null)
            return;
        long brace = u.end(method.getBody()) - 1;
        if (brace < 0 || brace >= u.text.length() || u.text.charAt((int) brace) != '}')
            return;
        Element e = u.trees.getElement(m);
        String value = e instanceof ExecutableElement
                ? defaultValue(((ExecutableElement) e).getReturnType()) : null;
        if (value == null)
            return;
        String statement = "return " + value + ";";
        out.add(new Reply.Fix("Add '" + statement + "'",
                List.of(new Reply.Step("return", brace, brace, statement))));
    }

    // --------------------------------------------------------- exceptions

    // The checked exceptions a call, a "new" or a throw may throw, of those
    // that the message names.
    List<TypeMirror> thrown(Unit u, TreePath p, String message) {
        List<TypeMirror> out = new ArrayList<>();
        List<? extends TypeMirror> candidates = List.of();
        Tree leaf = p.getLeaf();
        if (leaf instanceof MethodInvocationTree || leaf instanceof NewClassTree) {
            Element e = u.trees.getElement(p);
            if (e instanceof ExecutableElement)
                candidates = ((ExecutableElement) e).getThrownTypes();
        } else if (leaf instanceof ThrowTree) {
            TypeMirror t = u.trees.getTypeMirror(new TreePath(p, ((ThrowTree) leaf).getExpression()));
            if (t != null)
                candidates = List.of(t);
        }
        TypeMirror runtime = u.elements.getTypeElement("java.lang.RuntimeException").asType();
        TypeMirror error = u.elements.getTypeElement("java.lang.Error").asType();
        for (TypeMirror t : candidates) {
            if (t.getKind() != TypeKind.DECLARED || u.types.isSubtype(t, runtime) || u.types.isSubtype(t, error))
                continue;
            String simple = u.types.asElement(t).getSimpleName().toString();
            if (message.matches("(?s).*\\b" + simple + "\\b.*"))
                out.add(t);
        }
        return out;
    }

    void unreported(Unit u, TreePath at, String message, List<Reply.Fix> out) {
        TreePath thrower = at;
        while (thrower != null && !(thrower.getLeaf() instanceof MethodInvocationTree
                || thrower.getLeaf() instanceof NewClassTree || thrower.getLeaf() instanceof ThrowTree))
            thrower = thrower.getParentPath();
        if (thrower == null)
            return;
        List<TypeMirror> types = thrown(u, thrower, message);
        if (types.isEmpty())
            return;
        List<Reply.Step> imports = new ArrayList<>();
        List<String> written = new ArrayList<>();
        for (TypeMirror t : types)
            written.add(names.written(u, t, at, imports));
        addThrows(u, at, written, imports, out);
        surround(u, thrower, written, imports, out);
    }

    // "throws" added to the method around, unless a lambda or a class
    // comes between.
    void addThrows(Unit u, TreePath at, List<String> written, List<Reply.Step> imports, List<Reply.Fix> out) {
        TreePath m = at;
        while (m != null && !(m.getLeaf() instanceof MethodTree)) {
            if (m.getLeaf() instanceof LambdaExpressionTree || m.getLeaf() instanceof ClassTree)
                return;
            m = m.getParentPath();
        }
        if (m == null)
            return;
        MethodTree method = (MethodTree) m.getLeaf();
        String list = String.join(", ", written);
        long pos;
        String text;
        if (!method.getThrows().isEmpty()) {
            pos = u.end(method.getThrows().get(method.getThrows().size() - 1));
            text = ", " + list;
        } else {
            pos = closingParenthesis(u, method);
            text = " throws " + list;
        }
        if (pos < 0)
            return;
        List<Reply.Step> steps = new ArrayList<>(imports);
        steps.add(new Reply.Step("replace", pos, pos, text));
        String to = method.getName().contentEquals("<init>") ? "the constructor" : method.getName().toString();
        out.add(new Reply.Fix("Add 'throws " + list + "' to " + to, steps));
    }

    // Just after the ")" of a method's parameters; -1 when it is not found.
    static long closingParenthesis(Unit u, MethodTree m) {
        long from = u.end(m.getReturnType());
        for (VariableTree p : m.getParameters())
            from = Math.max(from, u.end(p));
        from = Math.max(from, u.start(m));
        long to = m.getBody() != null ? u.start(m.getBody()) : u.end(m);
        String t = u.text;
        for (int i = (int) from; i >= 0 && i < Math.min(to, t.length()); i++) {
            if (t.startsWith("//", i)) {
                i = t.indexOf('\n', i);
                if (i < 0)
                    return -1;
            } else if (t.startsWith("/*", i)) {
                i = t.indexOf("*/", i + 2);
                if (i < 0)
                    return -1;
                i++;
            } else if (t.charAt(i) == ')') {
                return i + 1;
            }
        }
        return -1;
    }

    // The statement of a block that holds `p`, surrounded by try.
    void surround(Unit u, TreePath p, List<String> written, List<Reply.Step> imports, List<Reply.Fix> out) {
        TreePath s = p;
        while (s.getParentPath() != null && !(s.getLeaf() instanceof StatementTree
                && s.getParentPath().getLeaf() instanceof BlockTree)) {
            if (s.getLeaf() instanceof LambdaExpressionTree || s.getLeaf() instanceof ClassTree)
                return;
            s = s.getParentPath();
        }
        if (!(s.getLeaf() instanceof StatementTree))
            return;
        Tree statement = s.getLeaf();
        List<Reply.Step> steps = new ArrayList<>(imports);
        if (statement instanceof VariableTree) {
            VariableTree v = (VariableTree) statement;
            TypeMirror type = u.trees.getTypeMirror(s);
            if (v.getInitializer() == null || type == null || type.getKind() == TypeKind.ERROR)
                return;
            String declared = names.written(u, type, s, steps) + " " + v.getName();
            long nameAt = Navigate.findWord(u.text, v.getName().toString(), u.end(v.getType()));
            steps.add(new Reply.Step("declare", u.start(statement), nameAt, declared + ";"));
        }
        String variable = names.freeName(u, p, "e");
        steps.add(new Reply.Step("try", u.start(statement), u.end(statement),
                variable + " " + String.join(" ", written)));
        out.add(new Reply.Fix("Surround with try/catch", steps));
    }
}
