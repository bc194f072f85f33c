// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's check: a source's text compiled in memory, with the
// options of a compilation made absolute from its directory, writing nothing;
// the answer lists its errors and warnings (see BrewpadCompileService).

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

final class BrewpadServiceCheck {

    private static final JavaCompiler COMPILER = BrewpadCompileService.compiler;

    private BrewpadServiceCheck() {}

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
        return BrewpadCompileService.expandWildcards(String.join(":", abs));
    }

    static final Set<String> PATH_LISTS = Set.of("-classpath", "-cp", "--class-path", "-sourcepath",
            "--source-path", "-processorpath", "--processor-path", "--module-path", "-p");
    static final Set<String> DROPPED_WITH_VALUE = Set.of("-d", "-s", "-h");

    // The compiler options of a request, from its field `from` on, made
    // absolute from `dir`: those of a check, which writes nothing.
    static List<String> options(byte[][] f, int from, String dir) {
        List<String> options = new ArrayList<>();
        boolean classPathGiven = false;
        for (int i = from; i < f.length; i++) {
            String o = BrewpadCompileService.name(f[i]);
            if (PATH_LISTS.contains(o) && i + 1 < f.length) {
                classPathGiven |= o.equals("-classpath") || o.equals("-cp") || o.equals("--class-path");
                options.add(o);
                options.add(absolutePathList(BrewpadCompileService.name(f[++i]), dir));
            } else if (DROPPED_WITH_VALUE.contains(o)) {
                i++;
            } else if (o.startsWith("-J") || o.equals("-verbose") || o.startsWith("-proc:")) {
                // not for a check
            } else if (o.startsWith("-")) {
                // An option the compiler knows, with the values it takes;
                // anything else would only stop the check.
                int values = COMPILER.isSupportedOption(o);
                if (values >= 0 && i + values < f.length) {
                    options.add(o);
                    for (int k = 0; k < values; k++)
                        options.add(BrewpadCompileService.name(f[++i]));
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

    static void check(String id, byte[][] f) throws IOException {
        String dir = BrewpadCompileService.name(f[2]);
        Path file = Paths.get(dir).resolve(BrewpadCompileService.name(f[3])).toAbsolutePath().normalize();
        String text = BrewpadCompileService.text(f[4]);
        List<String> options = options(f, 5, dir);

        DiagnosticCollector<JavaFileObject> diags = new DiagnosticCollector<>();
        Source source = new Source(file.toUri(), text);
        StandardJavaFileManager standard = COMPILER.getStandardFileManager(diags, Locale.getDefault(),
                StandardCharsets.UTF_8);
        try (InMemory fm = new InMemory(standard)) {
            JavacTask task = (JavacTask) COMPILER.getTask(Writer.nullWriter(), fm, diags, options,
                    null, Collections.singletonList(source));
            task.addTaskListener(new TaskListener() {
                @Override
                public void started(TaskEvent e) {
                    if (BrewpadCompileService.cancelled.contains(id))
                        throw new Cancelled();
                }

                @Override
                public void finished(TaskEvent e) {
                    started(e);
                }
            });
            task.call();
        } catch (Cancelled e) {
            BrewpadCompileService.send("cancelled", id);
            return;
        } catch (RuntimeException e) {
            if (e.getCause() instanceof Cancelled || BrewpadCompileService.cancelled.contains(id)) {
                BrewpadCompileService.send("cancelled", id);
                return;
            }
            BrewpadCompileService.send("failed", id, "the check failed: " + e);
            return;
        }
        if (BrewpadCompileService.cancelled.contains(id)) {
            BrewpadCompileService.send("cancelled", id);
            return;
        }
        List<Object> reply = new ArrayList<>();
        reply.add("checked");
        reply.add(id);
        reply.add("");
        int count = 0;
        for (Diagnostic<? extends JavaFileObject> d : diags.getDiagnostics()) {
            String kind;
            switch (d.getKind()) {
            case ERROR:
                kind = "error";
                break;
            case WARNING:
            case MANDATORY_WARNING:
                kind = "warning";
                break;
            default:
                continue;
            }
            if (d.getSource() != null && d.getSource() != source)
                continue;
            reply.add(Long.toString(Math.max(0, d.getLineNumber())));
            reply.add(Long.toString(Math.max(0, d.getColumnNumber())));
            reply.add(kind);
            reply.add(d.getMessage(Locale.getDefault()));
            count++;
        }
        reply.set(2, Integer.toString(count));
        BrewpadCompileService.send(reply.toArray());
    }

}
