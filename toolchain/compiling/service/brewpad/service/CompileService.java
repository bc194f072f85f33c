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
// preceded by the four bytes "BPSV". RequestDecoder reads the requests into
// the values of Request, ReplyEncoder writes the values of Reply (Brewpad's
// side is toolchain/compiling/serviceprotocol.h; tests/golden/service/ holds
// a frame of each kind, read by both). Requests:
//
//     compile ID WORKDIR ARG...   javac run on ARG... as the javac launcher
//                                 would run it in WORKDIR
//     check ID WORKDIR FILE TEXT OPTION...
//                                 FILE's text TEXT (UTF-8) compiled in memory
//     declaration ..., outline ...
//                                 navigation (Navigate)
//     doc ...                     the documentation of a symbol (Docs)
//     complete ID WORKDIR FILE TEXT OFFSET OPTION...
//                                 what fits at the caret OFFSET (in UTF-16
//                                 units) of FILE's text TEXT, as a check sees it
//     signature ID WORKDIR FILE TEXT OFFSET OPTION...
//                                 the overloads of the call whose "(" encloses
//                                 the caret
//     quickfix ...                the fixes of a line's errors (Fixes)
//     rename ...                  the places of a name renamed across
//                                 sources (Rename)
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
//     declared ID PATH LINE COLUMN [jdk]
//                                 "jdk" for a JDK source copied to the cache
//     undeclared ID REASON
//     outlined ID COUNT (DEPTH KIND NAME DETAIL LINE COLUMN)...
//     renamed ..., unrenamed ID REASON
//                                 the answers of a rename (Rename)
//     documented ID NAME SIGNATURE CONTEXT COMMENT
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
// there would show (Elsewhere) when every part of it can be
// reproduced so; else it is refused ("failed"), so that Brewpad runs the
// launcher there and starts the service anew where it is needed. Whatever goes wrong in a request (running out of
// memory included) is answered, and the service goes on serving. The end of
// the standard input ends the service.

package brewpad.service;


import java.io.BufferedOutputStream;
import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.io.DataInputStream;
import java.io.FileDescriptor;
import java.io.FileInputStream;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.OutputStream;
import java.io.PrintStream;
import java.io.PrintWriter;
import java.nio.charset.Charset;
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

public final class CompileService {

    // Compilations of the warm-up after "ready", and how long without a
    // request is idle.
    private static final int WARM_STEPS = 12;
    private static final long IDLE_MS = 2000;

    private final Charset fileNames = fileNameCharset();
    // What javac's messages are encoded with: the charset of the standard
    // error, which the launcher's javac writes them to.
    private final Charset errors = errorCharset();
    private final java.util.spi.ToolProvider javac;
    private final JavaCompiler compiler;
    private final PrintStream realErr;
    private final PrintStream quietOut;
    private final String workDir;
    private final ReplyEncoder replies;
    // The ids of the requests given up, read at once by the request reader.
    private final Set<String> cancelled = ConcurrentHashMap.newKeySet();
    private final Check check;
    private final Complete complete;
    private final Signature signature;
    private final Navigate navigate;
    private final Docs docs;
    private final Fixes fixes;
    private final Rename rename;

    // The warm-up still to do, in `warm`, while no request waits.
    private Path warm;
    private int warmSteps;
    // Requests were served since the memory was last given back.
    private boolean idleGc;

    // Replies go to `replyChannel`; what the compiler or an annotation
    // processor prints to the standard output is dropped, as Brewpad drops
    // javac's; nothing reads the requests.
    private CompileService(OutputStream replyChannel, java.util.spi.ToolProvider javac, JavaCompiler compiler) {
        this.javac = javac;
        this.compiler = compiler;
        replies = new ReplyEncoder(new BufferedOutputStream(replyChannel), fileNames);
        realErr = System.err;
        quietOut = new PrintStream(OutputStream.nullOutputStream(), true);
        System.setOut(quietOut);
        System.setIn(new ByteArrayInputStream(new byte[0]));
        workDir = Paths.get("").toAbsolutePath().toString();
        check = new Check(compiler, replies, cancelled);
        navigate = new Navigate(compiler, replies, check);
        docs = new Docs(navigate, replies, check);
        ParamNames paramNames = new ParamNames(navigate);
        complete = new Complete(compiler, replies, check, paramNames);
        signature = new Signature(replies, complete, paramNames);
        fixes = new Fixes(compiler, replies, check);
        rename = new Rename(compiler, replies, check);
    }

    // ------------------------------------------------------------- helpers

    static <T> T allocate(java.util.function.Supplier<T> make) {
        try {
            return make.get();
        } catch (OutOfMemoryError e) {
            return null;
        }
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

    static boolean sameDirectory(String a, String b) {
        try {
            return Files.isSameFile(Paths.get(a), Paths.get(b));
        } catch (IOException | RuntimeException e) {
            return false;
        }
    }

    // -------------------------------------------------------------- compile

    void compile(Request.Compile r) throws IOException {
        String[] args = r.args.toArray(new String[0]);
        if (!sameDirectory(r.workDir, workDir)) {
            compileElsewhere(r.id, r.workDir, args);
            return;
        }
        // The launcher expands wildcards in the value of -cp and -classpath.
        for (int i = 0; i + 1 < args.length; i++) {
            if (args[i].equals("-cp") || args[i].equals("-classpath")) {
                args[i + 1] = Launcher.expandWildcards(args[i + 1]);
                i++;
            }
        }
        // As the launcher does at every start: a jar added to a directory
        // named by a wildcard of CLASSPATH is seen.
        Launcher.setProperties();
        Captured run = captureErrors(r.id, err -> javac.run(new PrintWriter(quietOut, true), err, args));
        if (run == null)
            return;
        int status = run.status;
        // 3 and 4 (a system error, an abnormal end: out of memory, a crash of
        // the compiler) may come from this JVM rather than from the sources.
        if (status == 3 || status == 4) {
            replies.send(new Reply.Failed(r.id, "the compiler ended abnormally (" + status + ")", true));
            return;
        }
        replies.send(new Reply.Compiled(r.id, status, run.output));
    }

    // A compilation in another directory, when it can be made there exactly
    // as a javac there would make it; else refused, so that Brewpad runs the
    // launcher there (and starts the service there).
    void compileElsewhere(String id, String dir, String[] args) throws IOException {
        Path where = Paths.get(dir);
        if (!where.isAbsolute() || !Files.isDirectory(where)) {
            replies.send(new Reply.Failed(id, "the service runs in another directory, and cannot find " + dir, false));
            return;
        }
        Elsewhere elsewhere = new Elsewhere();
        Captured run = captureErrors(id, err -> elsewhere.compile(compiler, where, args, err));
        if (run == null)
            return;
        if (run.status == null) {
            replies.send(new Reply.Failed(id, "the service runs in another directory, and cannot compile this "
                    + "there exactly: " + elsewhere.refusal, false));
            return;
        }
        replies.send(new Reply.Compiled(id, run.status, run.output));
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
    Captured captureErrors(String id, CompilerRun run) throws IOException {
        ByteArrayOutputStream captured = new ByteArrayOutputStream();
        PrintStream err = new PrintStream(captured, true, errors);
        Integer status;
        System.setErr(err);
        try {
            status = run.run(new PrintWriter(err, true));
        } catch (Throwable t) {
            System.setErr(realErr);
            replies.send(new Reply.Failed(id, "the compiler failed: " + t, true));
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
    boolean answerFailure(String id, Throwable t) {
        try {
            replies.send(new Reply.Failed(id, "the compile service failed: " + t, true));
            return true;
        } catch (Throwable again) {
            return false;
        }
    }

    public static void main(String[] argv) throws Exception {
        String repliesPath = argument(argv, "--replies=");
        OutputStream replyChannel = repliesPath != null ? new FileOutputStream(repliesPath)
                                                        : new FileOutputStream(FileDescriptor.out);
        java.util.spi.ToolProvider javac = java.util.spi.ToolProvider.findFirst("javac").orElse(null);
        JavaCompiler compiler = ToolProvider.getSystemJavaCompiler();
        if (javac == null || compiler == null) {
            System.err.println("brewpad-compile-service: this Java has no compiler");
            System.exit(2);
        }
        CompileService service = new CompileService(replyChannel, javac, compiler);
        service.run(argument(argv, "--scratch="));
        System.exit(0);
    }

    // Warms up, says it is ready and serves until the requests end.
    void run(String scratch) throws Exception {
        Launcher.setProperties();
        // Warm enough to be quicker than a javac at once; the rest of the
        // warm-up runs while no request waits.
        warm = scratch != null ? Files.createTempDirectory(Paths.get(scratch), "warm")
                               : Files.createTempDirectory("brewpad-warm");
        WarmUp.step(javac, warm, 0);
        WarmUp.step(javac, warm, 1);
        warmSteps = WARM_STEPS;

        BlockingQueue<Request> queue = new LinkedBlockingQueue<>();
        RequestDecoder requests = new RequestDecoder(new DataInputStream(new FileInputStream(FileDescriptor.in)),
                fileNames);
        Thread reader = requestReader(requests, queue);
        replies.send(new Reply.Ready(workDir));
        reader.start();
        while (serveOne(queue)) {
        }
    }

    // A thread that puts the requests read from `requests` in `queue` (and
    // Quit after the last), and takes cancellations at once.
    Thread requestReader(RequestDecoder requests, BlockingQueue<Request> queue) {
        Thread reader = new Thread(() -> {
            try {
                for (;;) {
                    Request r = requests.next();
                    if (r instanceof Request.Quit)
                        break;
                    if (r instanceof Request.Cancel) {
                        cancelled.add(r.id);
                        continue;
                    }
                    queue.put(r);
                }
            } catch (Throwable e) {
                // The requests can no longer be read in step: the service
                // ends, and Brewpad answers what was asked and starts anew.
                System.exit(1);
            }
            queue.add(new Request.Quit());
        }, "requests");
        reader.setDaemon(true);
        return reader;
    }

    // The next request, warming up or giving memory back while none comes.
    Request nextRequest(BlockingQueue<Request> queue) throws Exception {
        for (;;) {
            Request r = warmSteps > 0 ? queue.poll() : queue.poll(IDLE_MS, TimeUnit.MILLISECONDS);
            if (r == null && warmSteps > 0) {
                WarmUp.step(javac, warm, warmSteps);
                if (--warmSteps == 0)
                    WarmUp.removeTree(warm);
                idleGc = true;
                continue;
            }
            if (r == null) {
                // Idle: the memory the requests took goes back to the system.
                complete.idle();
                if (idleGc)
                    System.gc();
                idleGc = false;
                r = queue.take();
            }
            idleGc = true;
            return r;
        }
    }

    // Answers the next request; false when the service ends (asked to, or
    // Brewpad is gone).
    boolean serveOne(BlockingQueue<Request> queue) throws Exception {
        Request r = nextRequest(queue);
        if (r instanceof Request.Quit)
            return false;
        String id = r.id;
        try {
            answer(r);
        } catch (IOException e) {
            return false;  // the reply could not be sent: Brewpad is gone
        } catch (Throwable t) {
            r = null;  // its memory back before the answer
            if (!answerFailure(id, t))
                System.exit(1);
        }
        return true;
    }

    void answer(Request r) throws IOException {
        if (cancelled.remove(r.id)) {
            replies.send(new Reply.Cancelled(r.id));
        } else if (r instanceof Request.Refused) {
            Request.Refused refused = (Request.Refused) r;
            replies.send(new Reply.Failed(r.id, refused.reason, refused.cold));
        } else if (r instanceof Request.Compile) {
            compile((Request.Compile) r);
        } else if (r instanceof Request.Check) {
            check.check((Request.Check) r);
            cancelled.remove(r.id);
        } else if (r instanceof Request.Complete && ((Request.Complete) r).signatures) {
            signature.signature((Request.Complete) r);
        } else if (r instanceof Request.Complete) {
            complete.complete((Request.Complete) r);
        } else if (r instanceof Request.Declaration) {
            navigate.declaration((Request.Declaration) r);
        } else if (r instanceof Request.Doc) {
            docs.doc((Request.Doc) r);
        } else if (r instanceof Request.Outline) {
            navigate.outline((Request.Outline) r);
        } else if (r instanceof Request.Fixes) {
            fixes.fixes((Request.Fixes) r);
        } else if (r instanceof Request.Rename) {
            rename.rename((Request.Rename) r);
        }
    }
}
