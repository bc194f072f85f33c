// Brewpad's compile service: the JDK's compiler kept warm in one resident JVM.
//
// Brewpad starts it with the `java` of the configured JDK, in the directory
// where the compilations it will serve run, and talks to it over its standard
// input and output. Every message either way is one frame:
//
//     u32 count, then count times (u32 length, that many bytes)
//
// (big-endian), a list of byte strings whose first is the verb; a reply is
// preceded by the four bytes "BPSV". Requests:
//
//     compile ID WORKDIR ARG...   javac run on ARG... as the javac launcher
//                                 would run it in WORKDIR
//     check ID WORKDIR FILE TEXT OPTION...
//                                 FILE's text TEXT (UTF-8) compiled in memory
//     cancel ID                   an older check is no longer wanted
//     quit
//
// Paths and arguments are in the platform's file-name encoding, as a launcher
// receives them. Replies:
//
//     ready WORKDIR               once, when the compiler is warm
//     compiled ID STATUS OUTPUT   exit status, and the bytes javac wrote to
//                                 its standard error
//     checked ID COUNT (LINE COLUMN KIND MESSAGE)...
//                                 KIND "error" or "warning"; texts in UTF-8
//     cancelled ID
//     failed ID REASON            nothing was done that can be trusted: the
//                                 caller runs the javac launcher instead
//
// A compile request runs exactly what the launcher runs (the javac tool
// provider with an output and an error writer), in a process whose working
// directory is the request's: relative paths, and the names that messages
// show for them, are those of a javac started there. A request for another
// directory is refused ("failed"), so that Brewpad starts the service anew
// where it is needed. The end of the standard input ends the service.

import com.sun.source.util.JavacTask;
import com.sun.source.util.TaskEvent;
import com.sun.source.util.TaskListener;

import java.io.BufferedOutputStream;
import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.io.DataInputStream;
import java.io.DataOutputStream;
import java.io.EOFException;
import java.io.File;
import java.io.FileDescriptor;
import java.io.FileInputStream;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.OutputStream;
import java.io.PrintStream;
import java.io.PrintWriter;
import java.io.Writer;
import java.net.URI;
import java.nio.charset.Charset;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import java.util.Locale;
import java.util.Set;
import java.util.concurrent.BlockingQueue;
import java.util.concurrent.ConcurrentHashMap;
import java.util.concurrent.LinkedBlockingQueue;
import javax.tools.Diagnostic;
import javax.tools.DiagnosticCollector;
import javax.tools.FileObject;
import javax.tools.ForwardingJavaFileManager;
import javax.tools.JavaCompiler;
import javax.tools.JavaFileManager;
import javax.tools.JavaFileObject;
import javax.tools.SimpleJavaFileObject;
import javax.tools.StandardJavaFileManager;
import javax.tools.ToolProvider;

public final class BrewpadCompileService {

    private static final Charset FILE_NAMES = fileNameCharset();
    private static final byte[][] END = new byte[0][];
    // Before every reply, so that Brewpad can skip whatever else the JVM
    // writes to the standard output (a log the user asked for).
    private static final byte[] MAGIC = {'B', 'P', 'S', 'V'};

    private static java.util.spi.ToolProvider javac;
    private static JavaCompiler compiler;
    private static PrintStream realErr;
    private static PrintStream quietOut;
    private static String workDir;
    private static DataOutputStream replies;
    private static final Set<String> cancelled = ConcurrentHashMap.newKeySet();

    private BrewpadCompileService() {}

    // ------------------------------------------------------------- frames

    static byte[][] readFrame(DataInputStream in) throws IOException {
        int n;
        try {
            n = in.readInt();
        } catch (EOFException e) {
            return null;
        }
        if (n < 0 || n > (1 << 24))
            throw new IOException("bad frame");
        byte[][] f = new byte[n][];
        for (int i = 0; i < n; i++) {
            int len = in.readInt();
            if (len < 0)
                throw new IOException("bad frame");
            f[i] = new byte[len];
            in.readFully(f[i]);
        }
        return f;
    }

    static synchronized void send(Object... fields) throws IOException {
        replies.write(MAGIC);
        replies.writeInt(fields.length);
        for (Object o : fields) {
            byte[] b = o instanceof byte[] ? (byte[]) o : String.valueOf(o).getBytes(StandardCharsets.UTF_8);
            replies.writeInt(b.length);
            replies.write(b);
        }
        replies.flush();
    }

    static String text(byte[] b) {
        return new String(b, StandardCharsets.UTF_8);
    }

    static String name(byte[] b) {
        return new String(b, FILE_NAMES);
    }

    static Charset fileNameCharset() {
        try {
            String enc = System.getProperty("sun.jnu.encoding");
            if (enc != null)
                return Charset.forName(enc);
        } catch (RuntimeException e) {
            // the default below
        }
        return Charset.defaultCharset();
    }

    // ---------------------------------------------------- launcher's setting

    // What the javac launcher sets before javac runs: the application's home,
    // and the CLASSPATH variable (with its wildcards expanded), which javac
    // takes as its class path when no option gives one.
    static void setLauncherProperties() {
        System.setProperty("application.home", System.getProperty("java.home"));
        String cp = System.getenv("CLASSPATH");
        if (cp != null)
            System.setProperty("env.class.path", expandWildcards(cp));
        else
            System.clearProperty("env.class.path");
    }

    // The launcher's expansion of a class path: an element "*" or ending in
    // "/*" that names no existing file stands for the .jar and .JAR files of
    // its directory, in the directory's order; when there are none it stays.
    static String expandWildcards(String classpath) {
        if (classpath.indexOf('*') < 0)
            return classpath;
        List<String> out = new ArrayList<>();
        for (String e : classpath.split(":", -1)) {
            int len = e.length();
            boolean wild = len > 0 && e.charAt(len - 1) == '*' && (len == 1 || e.charAt(len - 2) == '/')
                    && !new File(e).exists();
            if (!wild) {
                out.add(e);
                continue;
            }
            String dir = e.substring(0, len - 1);
            String[] names = new File(dir.isEmpty() ? "." : dir).list();
            List<String> jars = new ArrayList<>();
            if (names != null) {
                for (String n : names) {
                    int l = n.length();
                    if (l >= 4 && n.charAt(l - 4) == '.'
                            && (n.endsWith("jar") || n.endsWith("JAR")) && n.indexOf(':') < 0)
                        jars.add(dir + n);
                }
            }
            if (jars.isEmpty())
                out.add(e);
            else
                out.addAll(jars);
        }
        return String.join(":", out);
    }

    // -------------------------------------------------------------- compile

    static boolean sameDirectory(String a, String b) {
        try {
            return Files.isSameFile(Paths.get(a), Paths.get(b));
        } catch (IOException | RuntimeException e) {
            return false;
        }
    }

    static void compile(String id, byte[][] f) throws IOException {
        String dir = name(f[2]);
        if (!sameDirectory(dir, workDir)) {
            send("failed", id, "the service runs in another directory");
            return;
        }
        String[] args = new String[f.length - 3];
        for (int i = 3; i < f.length; i++)
            args[i - 3] = name(f[i]);
        // The launcher expands wildcards in the value of -cp and -classpath.
        for (int i = 0; i + 1 < args.length; i++) {
            if (args[i].equals("-cp") || args[i].equals("-classpath")) {
                args[i + 1] = expandWildcards(args[i + 1]);
                i++;
            }
        }
        ByteArrayOutputStream captured = new ByteArrayOutputStream();
        PrintStream err = new PrintStream(captured, true, Charset.defaultCharset());
        int status;
        System.setErr(err);
        try {
            status = javac.run(new PrintWriter(quietOut, true), new PrintWriter(err, true), args);
        } catch (Throwable t) {
            System.setErr(realErr);
            send("failed", id, "the compiler failed: " + t);
            return;
        } finally {
            System.setErr(realErr);
            System.setOut(quietOut);
            System.setIn(new ByteArrayInputStream(new byte[0]));
        }
        err.flush();
        // 3 and 4 (a system error, an abnormal end: out of memory, a crash of
        // the compiler) may come from this JVM rather than from the sources.
        if (status == 3 || status == 4) {
            send("failed", id, "the compiler ended abnormally (" + status + ")");
            return;
        }
        send("compiled", id, Integer.toString(status), captured.toByteArray());
    }

    // ---------------------------------------------------------------- check

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
        return expandWildcards(String.join(":", abs));
    }

    static final Set<String> PATH_LISTS = Set.of("-classpath", "-cp", "--class-path", "-sourcepath",
            "--source-path", "-processorpath", "--processor-path", "--module-path", "-p");
    static final Set<String> DROPPED_WITH_VALUE = Set.of("-d", "-s", "-h");

    static void check(String id, byte[][] f) throws IOException {
        String dir = name(f[2]);
        Path file = Paths.get(dir).resolve(name(f[3])).toAbsolutePath().normalize();
        String text = text(f[4]);
        List<String> options = new ArrayList<>();
        boolean classPathGiven = false;
        for (int i = 5; i < f.length; i++) {
            String o = name(f[i]);
            if (PATH_LISTS.contains(o) && i + 1 < f.length) {
                classPathGiven |= o.equals("-classpath") || o.equals("-cp") || o.equals("--class-path");
                options.add(o);
                options.add(absolutePathList(name(f[++i]), dir));
            } else if (DROPPED_WITH_VALUE.contains(o)) {
                i++;
            } else if (o.startsWith("-J") || o.equals("-verbose") || o.startsWith("-proc:")) {
                // not for a check
            } else if (o.startsWith("-")) {
                // An option the compiler knows, with the values it takes;
                // anything else would only stop the check.
                int values = compiler.isSupportedOption(o);
                if (values >= 0 && i + values < f.length) {
                    options.add(o);
                    for (int k = 0; k < values; k++)
                        options.add(name(f[++i]));
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

        DiagnosticCollector<JavaFileObject> diags = new DiagnosticCollector<>();
        Source source = new Source(file.toUri(), text);
        StandardJavaFileManager standard = compiler.getStandardFileManager(diags, Locale.getDefault(),
                StandardCharsets.UTF_8);
        try (InMemory fm = new InMemory(standard)) {
            JavacTask task = (JavacTask) compiler.getTask(Writer.nullWriter(), fm, diags, options, null,
                    Collections.singletonList(source));
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
            send("cancelled", id);
            return;
        } catch (RuntimeException e) {
            if (e.getCause() instanceof Cancelled || cancelled.contains(id)) {
                send("cancelled", id);
                return;
            }
            send("failed", id, "the check failed: " + e);
            return;
        }
        if (cancelled.contains(id)) {
            send("cancelled", id);
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
        send(reply.toArray());
    }

    // --------------------------------------------------------------- warm-up

    // A few compilations of a small class, so that the first request finds
    // the compiler's classes loaded and its busiest code compiled.
    static void warmUp() throws IOException {
        Path tmp = Files.createTempDirectory("brewpad-warm");
        try {
            Path src = tmp.resolve("Warm.java");
            String code = "import java.util.*;\npublic class Warm {\n"
                    + "  List<String> names = new ArrayList<>();\n"
                    + "  int count(String s) { int n = 0; for (char c : s.toCharArray()) if (c == 'a') n++; return n; }\n"
                    + "  public static void main(String[] a) { System.out.println(new Warm().count(\"java\")); }\n}\n";
            Files.writeString(src, code, StandardCharsets.UTF_8);
            for (int i = 0; i < 2; i++) {
                ByteArrayOutputStream sink = new ByteArrayOutputStream();
                PrintWriter w = new PrintWriter(sink, true);
                javac.run(w, w, "-d", tmp.toString(), "-Xlint:all", src.toString());
            }
        } finally {
            try (var files = Files.walk(tmp)) {
                files.sorted(Collections.reverseOrder()).forEach(p -> p.toFile().delete());
            }
        }
    }

    // ------------------------------------------------------------------ main

    public static void main(String[] argv) throws Exception {
        DataInputStream requests = new DataInputStream(new FileInputStream(FileDescriptor.in));
        replies = new DataOutputStream(new BufferedOutputStream(new FileOutputStream(FileDescriptor.out)));
        realErr = System.err;
        // What the compiler or an annotation processor prints to the standard
        // output is dropped, as Brewpad drops javac's; nothing reads the requests.
        quietOut = new PrintStream(OutputStream.nullOutputStream(), true);
        System.setOut(quietOut);
        System.setIn(new ByteArrayInputStream(new byte[0]));
        workDir = Paths.get("").toAbsolutePath().toString();

        javac = java.util.spi.ToolProvider.findFirst("javac").orElse(null);
        compiler = ToolProvider.getSystemJavaCompiler();
        if (javac == null || compiler == null) {
            realErr.println("brewpad-compile-service: this Java has no compiler");
            System.exit(2);
        }
        setLauncherProperties();
        warmUp();

        BlockingQueue<byte[][]> queue = new LinkedBlockingQueue<>();
        Thread reader = new Thread(() -> {
            try {
                for (;;) {
                    byte[][] f = readFrame(requests);
                    if (f == null || f.length == 0)
                        break;
                    if (text(f[0]).equals("cancel")) {
                        if (f.length > 1)
                            cancelled.add(text(f[1]));
                        continue;
                    }
                    queue.put(f);
                }
            } catch (IOException | InterruptedException e) {
                // ends like the end of the input
            }
            queue.add(END);
        }, "requests");
        reader.setDaemon(true);
        send("ready", workDir.getBytes(FILE_NAMES));
        reader.start();

        for (;;) {
            byte[][] f = queue.take();
            if (f == END || text(f[0]).equals("quit"))
                break;
            String verb = text(f[0]);
            String id = f.length > 1 ? text(f[1]) : "";
            try {
                if (cancelled.remove(id)) {
                    send("cancelled", id);
                } else if (verb.equals("compile") && f.length >= 3) {
                    compile(id, f);
                } else if (verb.equals("check") && f.length >= 5) {
                    check(id, f);
                    cancelled.remove(id);
                } else {
                    send("failed", id, "unknown request");
                }
            } catch (IOException e) {
                break;  // the reply could not be sent: Brewpad is gone
            }
        }
        System.exit(0);
    }
}
