// SPDX-License-Identifier: GPL-3.0-or-later
// What the JShell pane's helper does with a request: each snippet of an input
// evaluated by jdk.jshell in this JVM, answered as a value, a declaration or
// an error; and the completions of jdk.jshell's own analysis.
package brewpad.jshell;

import java.io.ByteArrayInputStream;
import java.io.File;
import java.util.ArrayList;
import java.util.LinkedHashSet;
import java.util.List;
import java.util.Locale;
import java.util.Set;
import java.util.stream.Collectors;

import jdk.jshell.Diag;
import jdk.jshell.EvalException;
import jdk.jshell.JShell;
import jdk.jshell.JShellException;
import jdk.jshell.Snippet;
import jdk.jshell.SnippetEvent;
import jdk.jshell.SourceCodeAnalysis;
import jdk.jshell.SourceCodeAnalysis.Completeness;
import jdk.jshell.SourceCodeAnalysis.CompletionInfo;
import jdk.jshell.SourceCodeAnalysis.Suggestion;
import jdk.jshell.UnresolvedReferenceException;

final class Evaluator implements AutoCloseable {
    /** At most this many completions are sent. */
    static final int MAX_COMPLETIONS = 200;

    private final Replies replies;
    private final String classPath;
    /** The index of the completions is built at the first one asked for. */
    private final IndexGate index = IndexGate.closed();
    private final JShell js;

    Evaluator(Replies replies, String classPath) {
        this.replies = replies;
        this.classPath = classPath;
        this.js = open(index);
    }

    /** A first evaluation and completion on a JShell of their own, so that the
     *  user's first input runs code that has run, and its values start at $1.
     *  That JShell indexes nothing: the index is the user's JShell's. */
    void warmUp() {
        try (JShell w = open(IndexGate.never())) {
            w.eval("String warm = \"a\" + 1;");
            w.sourceCodeAnalysis().completionSuggestions("warm.len", 8, new int[1]);
        }
        // What it made is garbage now, some megabytes the helper would keep at
        // rest: collected, and the heap given back down to its start size
        // (the serial collector gives back a little more at each of its first
        // four full collections, all at the fourth).
        for (int i = 0; i < 4; ++i)
            System.gc();
    }

    /** Set while an input is evaluated, and when a stop came during it. */
    private volatile boolean evaluating;
    private volatile boolean stopped;

    /** Stops the snippet running now (from another thread) and the rest of its input. */
    void stop() {
        if (!evaluating)
            return;
        stopped = true;
        try {
            js.stop();
        } catch (RuntimeException | Error e) {
            // Nothing was running after all; the rest of the input still stops.
        }
    }

    void eval(long id, String source) {
        stopped = false;
        evaluating = true;
        try {
            evalSnippets(id, source);
        } finally {
            evaluating = false;
        }
        System.out.flush();
        System.err.flush();
        replies.setCurrent(0);
        replies.done(id);
    }

    private void evalSnippets(long id, String source) {
        replies.setCurrent(id);
        SourceCodeAnalysis sca = js.sourceCodeAnalysis();
        String rest = source;
        while (!rest.isBlank()) {
            CompletionInfo ci = sca.analyzeCompletion(rest);
            Completeness c = ci.completeness();
            if (c == Completeness.EMPTY)
                break;
            if (c == Completeness.DEFINITELY_INCOMPLETE || c == Completeness.CONSIDERED_INCOMPLETE) {
                replies.value(id, "error", "incomplete", "", "The input is not complete: " + rest.strip());
                break;
            }
            String snippet = c == Completeness.UNKNOWN ? rest : ci.source();
            rest = c == Completeness.UNKNOWN ? "" : ci.remaining();
            List<SnippetEvent> events = js.eval(snippet);
            if (stopped) {
                replies.value(id, "stopped", "statement", "", "Stopped.");
                return;
            }
            for (SnippetEvent ev : events) {
                if (ev.causeSnippet() == null)
                    report(id, ev);
            }
        }
    }

    void complete(long id, String source, int cursor) {
        int at = Math.max(0, Math.min(cursor, source.length()));
        int[] anchor = new int[1];
        SourceCodeAnalysis sca = js.sourceCodeAnalysis();
        if (!index.isOpen())
            buildIndex(sca);
        List<Suggestion> found = sca.completionSuggestions(source, at, anchor);
        Set<String> texts = new LinkedHashSet<>();
        for (Suggestion s : found) {
            if (s.matchesType())
                texts.add(s.continuation());
        }
        for (Suggestion s : found)
            texts.add(s.continuation());
        replies.completions(id, anchor[0], texts.stream().limit(MAX_COMPLETIONS).collect(Collectors.toList()));
    }

    /** Lets the analysis build its index and waits until it has (at most
     *  some seconds), so that the first completion offers what the later
     *  ones do. A completion is answered whatever the wait met. */
    private void buildIndex(SourceCodeAnalysis sca) {
        index.open();
        try {
            for (int i = 0; i < 600 && !sca.listQualifiedNames("String", 6).isUpToDate(); ++i)
                Thread.sleep(20);
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
        } catch (RuntimeException e) {
            // The analysis could not say: the completion goes on with what it has.
        }
    }

    @Override
    public void close() {
        js.close();
    }

    private JShell open(IndexGate gate) {
        JShell j = JShell.builder()
                .executionEngine("local")
                .fileManager(gate::wrap)
                .out(System.out)
                .err(System.err)
                .in(new ByteArrayInputStream(new byte[0]))
                .build();
        for (String e : classPath.split(File.pathSeparator)) {
            if (!e.isEmpty())
                j.addToClasspath(e);
        }
        return j;
    }

    private void report(long id, SnippetEvent ev) {
        Snippet s = ev.snippet();
        String kind = kindOf(s);
        String name = nameOf(s);
        JShellException ex = ev.exception();
        if (ex != null) {
            replies.value(id, "exception", kind, name, describe(ex));
        } else if (ev.status() == Snippet.Status.REJECTED) {
            replies.value(id, "error", kind, name, diagnostics(s));
        } else if (kind.equals("expression") || kind.equals("variable")) {
            replies.value(id, "ok", kind, name, ev.value() == null ? "" : ev.value());
        } else if (kind.equals("method") || kind.equals("class")) {
            String verb = ev.previousStatus() == Snippet.Status.NONEXISTENT ? "created" : "replaced";
            List<String> missing = js.unresolvedDependencies((jdk.jshell.DeclarationSnippet) s)
                    .collect(Collectors.toList());
            String text = verb + " " + kind + " " + name;
            if (!missing.isEmpty())
                text += ", which cannot be used until " + String.join(", ", missing) + " is declared";
            replies.value(id, "ok", kind, name, text);
        } else {
            replies.value(id, "ok", kind, name, "");
        }
    }

    static String kindOf(Snippet s) {
        switch (s.kind()) {
        case VAR:
            return s.subKind() == Snippet.SubKind.TEMP_VAR_EXPRESSION_SUBKIND ? "expression" : "variable";
        case EXPRESSION: return "expression";
        case METHOD: return "method";
        case TYPE_DECL: return "class";
        case IMPORT: return "import";
        case STATEMENT: return "statement";
        default: return "erroneous";
        }
    }

    private static String nameOf(Snippet s) {
        if (s instanceof jdk.jshell.VarSnippet)
            return ((jdk.jshell.VarSnippet) s).name();
        if (s instanceof jdk.jshell.DeclarationSnippet)
            return ((jdk.jshell.DeclarationSnippet) s).name();
        if (s instanceof jdk.jshell.ExpressionSnippet)
            return ((jdk.jshell.ExpressionSnippet) s).name();
        return "";
    }

    private String describe(JShellException ex) {
        if (ex instanceof UnresolvedReferenceException) {
            jdk.jshell.DeclarationSnippet d = ((UnresolvedReferenceException) ex).getSnippet();
            String missing = js.unresolvedDependencies(d).collect(Collectors.joining(", "));
            return d.name() + " cannot be used until " + missing + " is declared";
        }
        String cls = ex instanceof EvalException ? ((EvalException) ex).getExceptionClassName()
                                                 : ex.getClass().getName();
        String text = ex.getMessage() == null ? cls : cls + ": " + ex.getMessage();
        StackTraceElement[] at = ex.getStackTrace();
        if (at.length == 0)
            return text;
        // A snippet's frame has no class: "at (#3:1)", as jshell writes it.
        StackTraceElement f = at[0];
        String where = f.getClassName().isEmpty() ? "" : f.getClassName() + "." + f.getMethodName();
        return text + "\n\tat " + where + "(" + f.getFileName() + ":" + f.getLineNumber() + ")";
    }

    /** Each message with its line of the snippet and a caret under where it is. */
    private String diagnostics(Snippet s) {
        List<String> out = new ArrayList<>();
        String src = s.source();
        js.diagnostics(s).forEach((Diag d) -> {
            int at = (int) Math.max(0, Math.min(d.getStartPosition(), src.length()));
            int from = src.lastIndexOf('\n', at - 1) + 1;
            int to = src.indexOf('\n', at);
            String line = src.substring(from, to < 0 ? src.length() : to);
            out.add(d.getMessage(Locale.getDefault()) + "\n" + line + "\n" + " ".repeat(at - from) + "^");
        });
        return out.isEmpty() ? "rejected" : String.join("\n", out);
    }
}
