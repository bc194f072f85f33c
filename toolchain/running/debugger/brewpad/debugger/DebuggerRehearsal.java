// SPDX-License-Identifier: GPL-3.0-or-later
// What the debugger does before its session: every helper loads the JDI
// implementation while it waits (loadClasses), and a helper that Brewpad
// starts ahead of its use also rehearses a debug session. The rehearsal
// starts DebuggerRehearsalProgram (from the helper's own jar) in a JVM of the
// helper's JDK with the JDWP agent, takes its connection as a real session
// does (a loopback port, one connection, from that process only), sets a
// breakpoint with a condition, runs to it, asks for the threads, frames and
// variables, steps over, into and out, evaluates an expression with a call,
// and lets the program end. When Brewpad then asks for a
// real session, its code runs for the second time: loaded, linked and resolved
// already, it reaches the first pause sooner.
//
// Nothing of a rehearsal reaches Brewpad. A rehearsal that fails says why on
// the standard error and leaves the helper as it was; one that has not ended
// when Brewpad says "listen" is abandoned (its program killed) at once.
package brewpad.debugger;

import com.sun.jdi.Bootstrap;
import com.sun.jdi.ThreadReference;

import java.io.IOException;
import java.net.ServerSocket;
import java.nio.file.Path;
import java.nio.file.Paths;

final class DebuggerRehearsal {
    static final String PROGRAM = "brewpad.debugger.DebuggerRehearsalProgram";
    /** The line of DebuggerRehearsalProgram.main that makes the program. */
    static final int BREAKPOINT_LINE = 19;
    private static final int WAIT_MS = 10000;

    private final Thread thread;
    private volatile ServerSocket server;
    private volatile Process process;
    private volatile Thread events;
    private volatile boolean abandoned;

    /**
     * Loads the JDI implementation while the program's JVM starts, so that
     * little is left to load once it connects.
     */
    static Thread loadClasses() {
        Thread t = new Thread(() -> {
            Bootstrap.virtualMachineManager();
            for (String name : new String[] {"com.sun.tools.jdi.JDWP", "com.sun.tools.jdi.VirtualMachineImpl",
                     "com.sun.tools.jdi.EventRequestManagerImpl", "com.sun.tools.jdi.EventSetImpl",
                     "com.sun.tools.jdi.TargetVM", "com.sun.tools.jdi.PacketStream",
                     "com.sun.tools.jdi.ReferenceTypeImpl", "com.sun.tools.jdi.ClassTypeImpl",
                     "com.sun.tools.jdi.StackFrameImpl", "com.sun.tools.jdi.ThreadReferenceImpl"}) {
                try {
                    load(Class.forName(name, true, DebuggerRehearsal.class.getClassLoader()));
                } catch (ClassNotFoundException | LinkageError | SecurityException e) {
                    // another JDK's implementation: nothing to warm
                }
            }
            // The code that takes the program's connection, run once on
            // nothing (no socket listens): the first run of code is slow.
            DebuggerConnection.warmUp();
        }, "warm-up");
        t.setDaemon(true);
        t.start();
        return t;
    }

    private static void load(Class<?> c) {
        for (Class<?> nested : c.getDeclaredClasses())
            load(nested);
    }

    private DebuggerRehearsal() {
        thread = new Thread("rehearsal") {
            @Override
            public void run() {
                rehearse();
            }
        };
        thread.setDaemon(true);
    }

    /** Starts a rehearsal on a thread of its own. */
    static DebuggerRehearsal begin() {
        DebuggerRehearsal r = new DebuggerRehearsal();
        r.thread.start();
        return r;
    }

    /**
     * Abandons what the rehearsal has not done yet (its program is killed)
     * and returns once its threads have stopped, or after two seconds.
     */
    void end() {
        abandoned = true;
        ServerSocket s = server;
        Process p = process;
        try {
            if (s != null)
                s.close();
        } catch (IOException e) {
            // closed already
        }
        if (p != null)
            p.destroyForcibly();
        thread.interrupt();
        try {
            thread.join(2000);
            Thread t = events;
            if (t != null)
                t.join(2000);
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
        }
    }

    private void rehearse() {
        try {
            server = DebuggerConnection.listen();
            Path jar = Paths.get(DebuggerRehearsal.class.getProtectionDomain().getCodeSource().getLocation().toURI());
            ProcessBuilder pb = new ProcessBuilder(Paths.get(System.getProperty("java.home"), "bin", "java").toString(),
                    "-Xshare:auto", "-XX:TieredStopAtLevel=1", "-XX:+UseSerialGC", "-XX:-UsePerfData",
                    "-agentlib:jdwp=transport=dt_socket,server=n,address=127.0.0.1:" + server.getLocalPort()
                            + ",suspend=y",
                    "-cp", jar.toString(), PROGRAM);
            pb.redirectOutput(ProcessBuilder.Redirect.DISCARD);
            pb.redirectError(ProcessBuilder.Redirect.DISCARD);
            if (abandoned)
                return;
            process = pb.start();
            process.getOutputStream().close();
            if (abandoned)
                return;  // end() may have looked before the process was there
            DebuggerConnection connection = DebuggerConnection.acceptOne(server, WAIT_MS, process.pid());
            BrewpadDebugger d = new BrewpadDebugger(new ReplyEncoder(null), true);
            events = d.attach(connection);
            // Through the decoder, as Brewpad's requests come.
            RequestDecoder requests = new RequestDecoder();
            d.handle(requests.decode("break\t" + PROGRAM + "\t" + BREAKPOINT_LINE + "\t1\t0\targs.length == 0\t"));
            d.handle(requests.decode("run"));
            long thread = pausedThread(d);
            d.handle(requests.decode("threads"));
            d.handle(requests.decode("frames\t" + thread));
            d.handle(requests.decode("variables\t" + thread + "\t0"));
            for (String motion : new String[] {"stepOver", "stepInto", "stepOut"}) {
                d.handle(requests.decode(motion));
                d.handle(requests.decode("variables\t" + pausedThread(d) + "\t0"));
            }
            d.handle(requests.decode("evaluate\t" + pausedThread(d) + "\t0\tprogram.sum(2) + args.length"));
            d.handle(requests.decode("continue"));
            if (!d.awaitEnd(WAIT_MS))
                throw new IOException("the rehearsal's program did not end");
        } catch (Exception e) {
            if (!abandoned)
                System.err.println("The debugger's rehearsal failed: " + e);
        } finally {
            Process p = process;
            if (p != null)
                p.destroyForcibly();
            ServerSocket s = server;
            try {
                if (s != null)
                    s.close();
            } catch (IOException e) {
                // closed already
            }
        }
    }

    private static long pausedThread(BrewpadDebugger d) throws InterruptedException, IOException {
        ThreadReference t = d.awaitPause(WAIT_MS);
        if (t == null)
            throw new IOException("the rehearsal's program did not pause");
        return t.uniqueID();
    }
}
