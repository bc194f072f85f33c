// SPDX-License-Identifier: GPL-3.0-or-later
// Brewpad's compile service: the JDK's compiler kept warm in one resident JVM.
//
// Brewpad starts it with the `java` of the configured JDK, in the directory
// where the compilations it will serve run. Requests come on the standard
// input; replies go to the file named by "--replies=PATH" (a pipe Brewpad
// hands down, "/proc/self/fd/3"), never to the standard output, where the
// JVM's own logs and anything a processor prints may appear. "--scratch=DIR"
// names a private directory for the service's own temporary files (Brewpad
// removes it). Every message either way is one frame:
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
//     declaration ..., outline ...
//                                 navigation (BrewpadServiceNavigate)
//     complete ID WORKDIR FILE TEXT OFFSET OPTION...
//                                 what fits at the caret OFFSET (in UTF-16
//                                 units) of FILE's text TEXT, as a check sees it
//     signature ID WORKDIR FILE TEXT OFFSET OPTION...
//                                 the overloads of the call whose "(" encloses
//                                 the caret
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
//     completed ID COUNT (KIND NAME DETAIL INSERT)...
//                                 KIND "local", "field", "method", "type" or
//                                 "keyword"; DETAIL the signature or type
//                                 ("length() : int"), the package of a type;
//                                 INSERT the text for NAME ("length()")
//     signatures ID ARGUMENT COUNT (NAME RETURNS N PARAMETER...)...
//                                 ARGUMENT the index of the caret's argument;
//                                 RETURNS empty for a constructor
//     cancelled ID
//     failed ID REASON [cold]     nothing was done that can be trusted: the
//                                 caller runs the javac launcher instead;
//                                 "cold" when this JVM could not do it (out
//                                 of memory, an abnormal end), so that the
//                                 same request goes to javac from then on
//
// A compile request runs exactly what the launcher runs (the javac tool
// provider with an output and an error writer), in a process whose working
// directory is the request's: relative paths, and the names that messages
// show for them, are those of a javac started there. A request for another
// directory is served with its paths taken from there and the names a javac
// there would show (BrewpadServiceElsewhere) when every part of it can be
// reproduced so; else it is refused ("failed"), so that Brewpad runs the
// launcher there and starts the service anew where it is needed. Whatever goes wrong in a request (running out of
// memory included) is answered, and the service goes on serving. The end of
// the standard input ends the service.


import java.io.BufferedOutputStream;
import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.io.DataInputStream;
import java.io.DataOutputStream;
import java.io.EOFException;
import java.io.FileDescriptor;
import java.io.FileInputStream;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.OutputStream;
import java.io.PrintStream;
import java.io.PrintWriter;
import java.nio.charset.Charset;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.Set;
import java.util.concurrent.BlockingQueue;
import java.util.concurrent.ConcurrentHashMap;
import java.util.concurrent.LinkedBlockingQueue;
import java.util.concurrent.TimeUnit;
import javax.tools.JavaCompiler;
import javax.tools.ToolProvider;

public final class BrewpadCompileService {

    private static final Charset FILE_NAMES = fileNameCharset();
    // What javac's messages are encoded with: the charset of the standard
    // error, which the launcher's javac writes them to.
    private static final Charset ERRORS = errorCharset();
    private static final byte[][] END = new byte[0][];
    // Before every reply, so that Brewpad can skip whatever else the JVM
    // writes to the standard output (a log the user asked for).
    private static final byte[] MAGIC = {'B', 'P', 'S', 'V'};

    private static java.util.spi.ToolProvider javac;
    static JavaCompiler compiler;
    private static PrintStream realErr;
    private static PrintStream quietOut;
    private static String workDir;
    private static DataOutputStream replies;
    static final Set<String> cancelled = ConcurrentHashMap.newKeySet();

    // Compilations of the warm-up after "ready", and how long without a
    // request is idle.
    private static final int WARM_STEPS = 12;
    private static final long IDLE_MS = 2000;

    private BrewpadCompileService() {}

    // ------------------------------------------------------------- frames

    // The verb of a request too big for this JVM's memory: its fields were
    // skipped, and it is answered as one that this JVM cannot do.
    static final String TOO_BIG = "\u0000too big";

    static byte[][] readFrame(DataInputStream in) throws IOException {
        int n;
        try {
            n = in.readInt();
        } catch (EOFException e) {
            return null;
        }
        if (n < 0 || n > (1 << 24))
            throw new IOException("bad frame");
        byte[][] f = allocate(() -> new byte[n][]);
        boolean whole = f != null;
        for (int i = 0; i < n; i++) {
            int len = in.readInt();
            if (len < 0)
                throw new IOException("bad frame");
            byte[] b = whole ? allocate(() -> new byte[len]) : null;
            if (b == null) {
                whole = false;
                skip(in, len);
                continue;
            }
            in.readFully(b);
            f[i] = b;
        }
        if (whole)
            return f;
        byte[] id = f != null && n > 1 && f[1] != null ? f[1] : new byte[0];
        return new byte[][] {TOO_BIG.getBytes(StandardCharsets.UTF_8), id};
    }

    static <T> T allocate(java.util.function.Supplier<T> make) {
        try {
            return make.get();
        } catch (OutOfMemoryError e) {
            return null;
        }
    }

    static void skip(DataInputStream in, long n) throws IOException {
        byte[] buf = new byte[8192];
        while (n > 0) {
            int r = in.read(buf, 0, (int) Math.min(buf.length, n));
            if (r < 0)
                throw new EOFException();
            n -= r;
        }
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

    // A javac launcher writes its messages through a PrintWriter over
    // System.err: from JDK 18 on in the charset of that stream (the
    // "stderr.encoding" of JDK 19 and later), before in the default charset.
    // This JVM was started with the same environment and an error stream of
    // the same kind (a file), so its System.err has the same charset.
    static Charset errorCharset() {
        try {
            Object cs = PrintStream.class.getMethod("charset").invoke(System.err);
            if (cs instanceof Charset)
                return (Charset) cs;
        } catch (ReflectiveOperationException | RuntimeException e) {
            // before JDK 18
        }
        return Charset.defaultCharset();
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
        String[] args = new String[f.length - 3];
        for (int i = 3; i < f.length; i++)
            args[i - 3] = name(f[i]);
        if (!sameDirectory(dir, workDir)) {
            compileElsewhere(id, dir, args);
            return;
        }
        // The launcher expands wildcards in the value of -cp and -classpath.
        for (int i = 0; i + 1 < args.length; i++) {
            if (args[i].equals("-cp") || args[i].equals("-classpath")) {
                args[i + 1] = BrewpadServiceLauncher.expandWildcards(args[i + 1]);
                i++;
            }
        }
        // As the launcher does at every start: a jar added to a directory
        // named by a wildcard of CLASSPATH is seen.
        BrewpadServiceLauncher.setProperties();
        Captured run = captureErrors(id, err -> javac.run(new PrintWriter(quietOut, true), err, args));
        if (run == null)
            return;
        int status = run.status;
        // 3 and 4 (a system error, an abnormal end: out of memory, a crash of
        // the compiler) may come from this JVM rather than from the sources.
        if (status == 3 || status == 4) {
            send("failed", id, "the compiler ended abnormally (" + status + ")", "cold");
            return;
        }
        send("compiled", id, Integer.toString(status), run.output);
    }

    // A compilation in another directory, when it can be made there exactly
    // as a javac there would make it; else refused, so that Brewpad runs the
    // launcher there (and starts the service there).
    static void compileElsewhere(String id, String dir, String[] args) throws IOException {
        Path where = Paths.get(dir);
        if (!where.isAbsolute() || !Files.isDirectory(where)) {
            send("failed", id, "the service runs in another directory, and cannot find " + dir);
            return;
        }
        Captured run = captureErrors(id, err -> BrewpadServiceElsewhere.compile(compiler, where, args, err));
        if (run == null)
            return;
        if (run.status == null) {
            send("failed", id, "the service runs in another directory, and cannot compile this there exactly: "
                    + BrewpadServiceElsewhere.refusal);
            return;
        }
        send("compiled", id, Integer.toString(run.status), run.output);
    }

    // A compiler run: its exit status (null when it refused), given a writer
    // for its standard error.
    interface CompilerRun {
        Integer run(PrintWriter err) throws Exception;
    }

    // The exit status of a compiler run and the bytes it wrote to its
    // standard error.
    static final class Captured {
        final Integer status;
        final byte[] output;

        Captured(Integer status, byte[] output) {
            this.status = status;
            this.output = output;
        }
    }

    // Runs `run` with the standard error (its own and System.err) captured,
    // and the standard streams put back after it. Null, with the request
    // failed, when the compiler threw.
    static Captured captureErrors(String id, CompilerRun run) throws IOException {
        ByteArrayOutputStream captured = new ByteArrayOutputStream();
        PrintStream err = new PrintStream(captured, true, ERRORS);
        Integer status;
        System.setErr(err);
        try {
            status = run.run(new PrintWriter(err, true));
        } catch (Throwable t) {
            System.setErr(realErr);
            send("failed", id, "the compiler failed: " + t, "cold");
            return null;
        } finally {
            System.setErr(realErr);
            System.setOut(quietOut);
            System.setIn(new ByteArrayInputStream(new byte[0]));
        }
        err.flush();
        return new Captured(status, captured.toByteArray());
    }

    // ------------------------------------------------------------------ main

    static String argument(String[] argv, String name) {
        for (String a : argv) {
            if (a.startsWith(name))
                return a.substring(name.length());
        }
        return null;
    }

    // Answers a request that failed in an unforeseen way; false when even
    // that is impossible, and the service must end.
    static boolean answerFailure(String id, Throwable t) {
        try {
            send("failed", id, "the compile service failed: " + t, "cold");
            return true;
        } catch (Throwable again) {
            return false;
        }
    }

    public static void main(String[] argv) throws Exception {
        openStreams(argument(argv, "--replies="));
        javac = java.util.spi.ToolProvider.findFirst("javac").orElse(null);
        compiler = ToolProvider.getSystemJavaCompiler();
        if (javac == null || compiler == null) {
            realErr.println("brewpad-compile-service: this Java has no compiler");
            System.exit(2);
        }
        BrewpadServiceLauncher.setProperties();
        // Warm enough to be quicker than a javac at once; the rest of the
        // warm-up runs while no request waits.
        String scratch = argument(argv, "--scratch=");
        warm = scratch != null ? Files.createTempDirectory(Paths.get(scratch), "warm")
                               : Files.createTempDirectory("brewpad-warm");
        BrewpadServiceWarmUp.step(javac, warm, 0);
        BrewpadServiceWarmUp.step(javac, warm, 1);
        warmSteps = WARM_STEPS;

        BlockingQueue<byte[][]> queue = new LinkedBlockingQueue<>();
        Thread reader = requestReader(new DataInputStream(new FileInputStream(FileDescriptor.in)), queue);
        send("ready", workDir.getBytes(FILE_NAMES));
        reader.start();
        while (serveOne(queue)) {
        }
        System.exit(0);
    }

    // The replies go to `repliesPath` (else to the standard output); what the
    // compiler or an annotation processor prints to the standard output is
    // dropped, as Brewpad drops javac's; nothing reads the requests.
    static void openStreams(String repliesPath) throws IOException {
        OutputStream replyChannel = repliesPath != null ? new FileOutputStream(repliesPath)
                                                        : new FileOutputStream(FileDescriptor.out);
        replies = new DataOutputStream(new BufferedOutputStream(replyChannel));
        realErr = System.err;
        quietOut = new PrintStream(OutputStream.nullOutputStream(), true);
        System.setOut(quietOut);
        System.setIn(new ByteArrayInputStream(new byte[0]));
        workDir = Paths.get("").toAbsolutePath().toString();
    }

    // A thread that puts the requests read from `requests` in `queue` (and
    // END after the last), and takes cancellations at once.
    static Thread requestReader(DataInputStream requests, BlockingQueue<byte[][]> queue) {
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
            } catch (Throwable e) {
                // The requests can no longer be read in step: the service
                // ends, and Brewpad answers what was asked and starts anew.
                System.exit(1);
            }
            queue.add(END);
        }, "requests");
        reader.setDaemon(true);
        return reader;
    }

    // The warm-up still to do, in `warm`, while no request waits.
    private static Path warm;
    private static int warmSteps;
    // Requests were served since the memory was last given back.
    private static boolean idleGc;

    // The next request, warming up or giving memory back while none comes.
    static byte[][] nextRequest(BlockingQueue<byte[][]> queue) throws Exception {
        for (;;) {
            byte[][] f = warmSteps > 0 ? queue.poll() : queue.poll(IDLE_MS, TimeUnit.MILLISECONDS);
            if (f == null && warmSteps > 0) {
                BrewpadServiceWarmUp.step(javac, warm, warmSteps);
                if (--warmSteps == 0)
                    BrewpadServiceWarmUp.removeTree(warm);
                idleGc = true;
                continue;
            }
            if (f == null) {
                // Idle: the memory the requests took goes back to the system.
                BrewpadServiceComplete.idle();
                if (idleGc)
                    System.gc();
                idleGc = false;
                f = queue.take();
            }
            idleGc = true;
            return f;
        }
    }

    // Answers the next request; false when the service ends (asked to, or
    // Brewpad is gone).
    static boolean serveOne(BlockingQueue<byte[][]> queue) throws Exception {
        byte[][] f = nextRequest(queue);
        if (f == END || text(f[0]).equals("quit"))
            return false;
        String id = f.length > 1 ? text(f[1]) : "";
        try {
            answer(text(f[0]), id, f);
        } catch (IOException e) {
            return false;  // the reply could not be sent: Brewpad is gone
        } catch (Throwable t) {
            f = null;  // its memory back before the answer
            if (!answerFailure(id, t))
                System.exit(1);
        }
        return true;
    }

    static void answer(String verb, String id, byte[][] f) throws IOException {
        if (cancelled.remove(id)) {
            send("cancelled", id);
        } else if (verb.equals(TOO_BIG)) {
            send("failed", id, "the request does not fit in the service's memory", "cold");
        } else if (verb.equals("compile") && f.length >= 3) {
            compile(id, f);
        } else if (verb.equals("check") && f.length >= 5) {
            BrewpadServiceCheck.check(id, f);
            cancelled.remove(id);
        } else if (verb.equals("complete") && f.length >= 6) {
            BrewpadServiceComplete.complete(id, f);
        } else if (verb.equals("signature") && f.length >= 6) {
            BrewpadServiceSignature.signature(id, f);
        } else if (verb.equals("declaration") && f.length >= 7) {
            BrewpadServiceNavigate.declaration(id, f);
        } else if (verb.equals("outline") && f.length >= 4) {
            BrewpadServiceNavigate.outline(id, f);
        } else {
            send("failed", id, "unknown request");
        }
    }
}
