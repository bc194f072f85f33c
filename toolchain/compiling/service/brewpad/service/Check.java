// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's check: a source's text compiled in memory, with the
// options of a compilation made absolute from its directory, writing nothing;
// the answer lists its errors and warnings (see CompileService).

package brewpad.service;

import com.sun.source.util.JavacTask;
import com.sun.source.util.TaskEvent;
import com.sun.source.util.TaskListener;

import java.io.IOException;
import java.io.OutputStream;
import java.io.Writer;
import java.net.URI;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import java.util.Locale;
import java.util.Set;
import javax.tools.Diagnostic;
import javax.tools.DiagnosticCollector;
import javax.tools.FileObject;
import javax.tools.ForwardingJavaFileManager;
import javax.tools.JavaCompiler;
import javax.tools.JavaFileObject;
import javax.tools.SimpleJavaFileObject;
import javax.tools.StandardJavaFileManager;

final class Check {

    private final JavaCompiler compiler;
    private final ReplyEncoder replies;
    // The ids of the requests given up.
    private final Set<String> cancelled;

    Check(JavaCompiler compiler, ReplyEncoder replies, Set<String> cancelled) {
        this.compiler = compiler;
        this.replies = replies;
        this.cancelled = cancelled;
    }

    static final class Cancelled extends RuntimeException {
        private static final long serialVersionUID = 1L;
    }

    static final class Source extends SimpleJavaFileObject {
        private final String text;

        Source(URI uri, String text) {
            super(uri, Kind.SOURCE);
            this.text = text;
        }

        @Override
        public CharSequence getCharContent(boolean ignoreEncodingErrors) {
            return text;
        }
    }

    // Whatever the compiler would write goes nowhere.
    static final class Discarded extends SimpleJavaFileObject {
        Discarded(String name, Kind kind) {
            super(URI.create("mem:///" + name.replace('.', '/') + kind.extension), kind);
        }

        @Override
        public OutputStream openOutputStream() {
            return OutputStream.nullOutputStream();
        }

        @Override
        public java.io.Writer openWriter() {
            return java.io.Writer.nullWriter();
        }
    }

    static final class InMemory extends ForwardingJavaFileManager<StandardJavaFileManager> {
        InMemory(StandardJavaFileManager fm) {
            super(fm);
        }

        @Override
        public JavaFileObject getJavaFileForOutput(Location location, String className,
                                                   JavaFileObject.Kind kind, FileObject sibling) {
            return new Discarded(className, kind);
        }

        @Override
        public FileObject getFileForOutput(Location location, String packageName, String relativeName,
                                           FileObject sibling) {
            return new Discarded(packageName + "." + relativeName, JavaFileObject.Kind.OTHER);
        }
    }

    static String absolutePathList(String list, String dir) {
        List<String> out = new ArrayList<>();
        for (String e : expandWildcardsIn(list, dir).split(":", -1))
            out.add(e.isEmpty() ? dir : Paths.get(dir).resolve(e).toString());
        return String.join(":", out);
    }

    static String expandWildcardsIn(String list, String dir) {
        if (list.indexOf('*') < 0)
            return list;
        List<String> abs = new ArrayList<>();
        for (String e : list.split(":", -1))
            abs.add(e.isEmpty() ? dir : Paths.get(dir).resolve(e).toString());
        return Launcher.expandWildcards(String.join(":", abs));
    }

    static final Set<String> PATH_LISTS = Set.of("-classpath", "-cp", "--class-path", "-sourcepath",
            "--source-path", "-processorpath", "--processor-path", "--module-path", "-p");
    static final Set<String> DROPPED_WITH_VALUE = Set.of("-d", "-s", "-h");

    void check(Request.Check r) throws IOException {
        String id = r.id;
        Path file = Paths.get(r.workDir).resolve(r.file).toAbsolutePath().normalize();
        List<String> options = options(r.options, r.workDir);

        DiagnosticCollector<JavaFileObject> diags = new DiagnosticCollector<>();
        Source source = new Source(file.toUri(), r.text);
        StandardJavaFileManager standard = compiler.getStandardFileManager(diags, Locale.getDefault(),
                StandardCharsets.UTF_8);
        try (InMemory fm = new InMemory(standard)) {
            JavacTask task = (JavacTask) compiler.getTask(Writer.nullWriter(), fm, diags, options,
                    null, Collections.singletonList(source));
            task.addTaskListener(new TaskListener() {
                @Override
                public void started(TaskEvent e) {
                    if (cancelled.contains(id))
                        throw new Cancelled();
                }

                @Override
                public void finished(TaskEvent e) {
                    started(e);
                }
            });
            task.call();
        } catch (Cancelled e) {
            replies.send(new Reply.Cancelled(id));
            return;
        } catch (RuntimeException e) {
            if (e.getCause() instanceof Cancelled || cancelled.contains(id)) {
                replies.send(new Reply.Cancelled(id));
                return;
            }
            replies.send(new Reply.Failed(id, "the check failed: " + e, false));
            return;
        }
        if (cancelled.contains(id)) {
            replies.send(new Reply.Cancelled(id));
            return;
        }
        replies.send(new Reply.Checked(id, diagnostics(diags, source)));
    }

    // The compiler options of a check from the options `given` of a request:
    // relative paths taken from `dir`, what only a compilation to files
    // needs left out, and the class path a javac there would take.
    List<String> options(List<String> given, String dir) {
        List<String> options = new ArrayList<>();
        boolean classPathGiven = false;
        int n = given.size();
        for (int i = 0; i < n; i++) {
            String o = given.get(i);
            if (PATH_LISTS.contains(o) && i + 1 < n) {
                classPathGiven |= o.equals("-classpath") || o.equals("-cp") || o.equals("--class-path");
                options.add(o);
                options.add(absolutePathList(given.get(++i), dir));
            } else if (DROPPED_WITH_VALUE.contains(o)) {
                i++;
            } else if (o.startsWith("-J") || o.equals("-verbose") || o.startsWith("-proc:")) {
                // not for a check
            } else if (o.startsWith("-")) {
                // An option the compiler knows, with the values it takes;
                // anything else would only stop the check.
                int values = compiler.isSupportedOption(o);
                if (values >= 0 && i + values < n) {
                    options.add(o);
                    for (int k = 0; k < values; k++)
                        options.add(given.get(++i));
                }
            }
        }
        if (!classPathGiven) {
            String cp = System.getProperty("env.class.path");
            options.add("-classpath");
            options.add(absolutePathList(cp != null ? cp : ".", dir));
        }
        options.add("-proc:none");
        options.add("-Xlint:-path");
        return options;
    }

    // The errors and warnings found in `source` (not in other sources the
    // compiler read).
    static List<Reply.Diagnostic> diagnostics(DiagnosticCollector<JavaFileObject> diags, Source source) {
        List<Reply.Diagnostic> found = new ArrayList<>();
        for (Diagnostic<? extends JavaFileObject> d : diags.getDiagnostics()) {
            boolean warning;
            switch (d.getKind()) {
            case ERROR:
                warning = false;
                break;
            case WARNING:
            case MANDATORY_WARNING:
                warning = true;
                break;
            default:
                continue;
            }
            if (d.getSource() != null && d.getSource() != source)
                continue;
            found.add(new Reply.Diagnostic(Math.max(0, d.getLineNumber()), Math.max(0, d.getColumnNumber()), warning,
                    d.getMessage(Locale.getDefault())));
        }
        return found;
    }
}
