// SPDX-License-Identifier: GPL-3.0-or-later
// Java expressions parsed by the JDK's own parser (javac's, parse only: no
// class path, no attribution), within a small unit of their own. The trees are
// kept by text, so that a condition asked at every hit is parsed once. The
// first parse loads javac; warmUp() does it ahead on a thread of its own.
package brewpad.debugger;

import com.sun.source.tree.BlockTree;
import com.sun.source.tree.ClassTree;
import com.sun.source.tree.CompilationUnitTree;
import com.sun.source.tree.EmptyStatementTree;
import com.sun.source.tree.ExpressionTree;
import com.sun.source.tree.MethodTree;
import com.sun.source.tree.StatementTree;
import com.sun.source.tree.Tree;
import com.sun.source.tree.VariableTree;
import com.sun.source.util.JavacTask;

import java.net.URI;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.List;
import java.util.Locale;
import java.util.Map;

import javax.tools.Diagnostic;
import javax.tools.DiagnosticCollector;
import javax.tools.JavaCompiler;
import javax.tools.JavaFileObject;
import javax.tools.SimpleJavaFileObject;
import javax.tools.ToolProvider;

final class ExpressionParser {
    private static final String BEFORE = "class BrewpadExpression { void evaluate() { Object value = ";
    private static final String AFTER = "\n; } }";
    private static final int KEPT = 500;

    /** A parsed text: its tree, or why it does not parse. */
    private static final class Parsed {
        final ExpressionTree tree;
        final String error;
        Parsed(ExpressionTree tree, String error) {
            this.tree = tree;
            this.error = error;
        }
    }

    private final Map<String, Parsed> cache = new HashMap<>();

    /** Parses once a small expression on a daemon thread, so that javac is loaded when the first one comes. */
    static void warmUp() {
        Thread t = new Thread(() -> {
            try {
                new ExpressionParser().parse("i == 3 && s.length() > 0 ? a[1] : (int) x");
            } catch (RuntimeException e) {
                // nothing to warm: the first real parse says why
            }
        }, "parser warm-up");
        t.setDaemon(true);
        t.start();
    }

    /** The tree of `text`; an EvaluationError (does not compile) says why there is none. */
    synchronized ExpressionTree parse(String text) {
        Parsed p = cache.get(text);
        if (p == null) {
            p = parseNew(text);
            if (cache.size() >= KEPT)
                cache.clear();
            cache.put(text, p);
        }
        if (p.error != null)
            throw EvaluationError.compile(p.error);
        return p.tree;
    }

    private static Parsed parseNew(String text) {
        if (text.trim().isEmpty())
            return new Parsed(null, "an expression is expected");
        JavaCompiler javac = ToolProvider.getSystemJavaCompiler();
        if (javac == null)
            return new Parsed(null, "the Java compiler is not available to the debugger");
        DiagnosticCollector<JavaFileObject> diagnostics = new DiagnosticCollector<>();
        JavaFileObject unit = new SimpleJavaFileObject(URI.create("string:///BrewpadExpression.java"),
                JavaFileObject.Kind.SOURCE) {
            @Override
            public CharSequence getCharContent(boolean ignoreEncodingErrors) {
                return BEFORE + text + AFTER;
            }
        };
        JavacTask task = (JavacTask) javac.getTask(null, null, diagnostics, List.of("-proc:none"), null,
                List.of(unit));
        Iterable<? extends CompilationUnitTree> units;
        try {
            units = task.parse();
        } catch (java.io.IOException e) {
            return new Parsed(null, "the expression could not be read: " + e.getMessage());
        }
        for (Diagnostic<? extends JavaFileObject> d : diagnostics.getDiagnostics()) {
            if (d.getKind() == Diagnostic.Kind.ERROR)
                return new Parsed(null, d.getMessage(Locale.ENGLISH));
        }
        ExpressionTree tree = expressionOf(units);
        return tree == null ? new Parsed(null, "';' expected") : new Parsed(tree, null);
    }

    /** The initialiser of the wrapper's one variable; null when the text made more than one statement. */
    private static ExpressionTree expressionOf(Iterable<? extends CompilationUnitTree> units) {
        for (CompilationUnitTree u : units) {
            for (Tree t : u.getTypeDecls()) {
                if (!(t instanceof ClassTree) || ((ClassTree) t).getMembers().size() != 1)
                    return null;
                Tree m = ((ClassTree) t).getMembers().get(0);
                if (!(m instanceof MethodTree))
                    return null;
                BlockTree body = ((MethodTree) m).getBody();
                List<StatementTree> statements = new ArrayList<>();
                for (StatementTree s : body == null ? List.<StatementTree>of() : body.getStatements())
                    if (!(s instanceof EmptyStatementTree))  // a text may end with its own ';'
                        statements.add(s);
                if (statements.size() != 1 || !(statements.get(0) instanceof VariableTree))
                    return null;
                return ((VariableTree) statements.get(0)).getInitializer();
            }
        }
        return null;
    }
}
