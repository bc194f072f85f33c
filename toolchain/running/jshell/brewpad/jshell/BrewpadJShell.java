// SPDX-License-Identifier: GPL-3.0-or-later
// Brewpad's JShell pane: evaluates what the user types with the JDK's
// jdk.jshell, in this JVM of its own (never in Brewpad's process), with the
// class path it was started with, and talks to Brewpad over its standard
// input and output. No port is opened: the snippets run in this JVM.
//
// Protocol: the line of brewpad.wire.WireLine (fields separated by TAB,
// escaped). Started as
//   java -jar brewpad-jshell.jar [CLASSPATH]
// it evaluates a first snippet of its own (so that the user's first input is
// answered by code that has run) and says
//   ready
// Requests (Brewpad to helper, read by Requests):
//   eval ID SOURCE            evaluates SOURCE, which may hold several snippets
//   complete ID SOURCE CURSOR  the completions at CURSOR (a char index) of SOURCE
//   stop                      stops the snippet running now and the rest of its
//                             input (read while it runs); answered by a value of
//                             STATUS stopped
//   quit
// Replies (helper to Brewpad, written by Replies):
//   output ID STREAM TEXT      what the snippets of ID printed (STREAM out or err)
//   value ID STATUS KIND NAME TEXT
//                             one per snippet of ID: STATUS ok, error,
//                             exception or stopped; KIND expression, variable, method,
//                             class, import, statement or incomplete; NAME the
//                             declared name or the value's $N; TEXT the value,
//                             what was declared, or the error
//   done ID                    ID is answered whole
//   completions ID ANCHOR TEXT...  the continuations from ANCHOR
//   failed TEXT                a request could not be read
package brewpad.jshell;

import java.io.BufferedReader;
import java.io.ByteArrayInputStream;
import java.io.InputStreamReader;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.util.concurrent.BlockingQueue;
import java.util.concurrent.LinkedBlockingQueue;

public final class BrewpadJShell {
    private BrewpadJShell() {}

    public static void main(String[] args) throws Exception {
        // The wire is this process's own standard output; what a snippet
        // prints is forwarded as "output" replies instead.
        PrintStream wire = new PrintStream(System.out, false, StandardCharsets.UTF_8);
        Replies replies = new Replies(wire);
        // Requests come on this process's own standard input; a snippet that
        // reads System.in finds it empty.
        BufferedReader in = new BufferedReader(new InputStreamReader(System.in, StandardCharsets.UTF_8));
        System.setIn(new ByteArrayInputStream(new byte[0]));
        System.setOut(new PrintStream(new Forwarder(replies, "out"), true, StandardCharsets.UTF_8));
        System.setErr(new PrintStream(new Forwarder(replies, "err"), true, StandardCharsets.UTF_8));
        Evaluator evaluator = new Evaluator(replies, args.length > 0 ? args[0] : "");
        // The requests are read while a snippet runs, so that a stop reaches it.
        BlockingQueue<Requests.Request> queue = new LinkedBlockingQueue<>();
        Thread reader = new Thread(() -> read(in, queue, replies, evaluator), "brewpad-requests");
        reader.setDaemon(true);
        reader.start();
        evaluator.warmUp();
        replies.ready();
        for (Requests.Request r; (r = queue.take()).kind != Requests.Request.Kind.QUIT;) {
            if (r.kind == Requests.Request.Kind.EVAL)
                evaluator.eval(r.id, r.source);
            else
                evaluator.complete(r.id, r.source, r.cursor);
        }
        evaluator.close();
        System.exit(0);
    }

    /** Hands the requests to the evaluating thread, but a stop to the
     *  evaluator at once; the end of the input is a quit. */
    private static void read(BufferedReader in, BlockingQueue<Requests.Request> queue, Replies replies,
            Evaluator evaluator) {
        try {
            for (String line; (line = in.readLine()) != null;) {
                try {
                    Requests.Request r = Requests.decode(line);
                    if (r.kind == Requests.Request.Kind.STOP)
                        evaluator.stop();
                    else
                        queue.add(r);
                } catch (Requests.BadRequest e) {
                    replies.failed(e.getMessage());
                }
            }
        } catch (java.io.IOException e) {
            // Brewpad has gone: the same as a quit.
        }
        queue.add(new Requests.Request(Requests.Request.Kind.QUIT, 0, "", 0));
    }
}
