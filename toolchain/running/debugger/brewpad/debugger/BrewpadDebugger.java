// SPDX-License-Identifier: GPL-3.0-or-later
// Brewpad's debugger: a JDI client that drives one program started by Brewpad
// and talks to Brewpad over its standard input and output.
//
// Protocol: one message per line, fields separated by TAB; in a field, a
// backslash is written "\\", a TAB "\t", a line feed "\n", a carriage return
// "\r". The first field names the message.
//
// At start the helper loads its JDI classes; started with "--rehearse" (ahead
// of its use), it also debugs a small program of its own once, through the
// same code as a real session, so that the first real session runs code that
// has run before (see DebuggerRehearsal). It waits for
//   listen
// then listens on 127.0.0.1 (an ephemeral port) and says
//   ready PORT
// (so that a helper may be started ahead of its use: nothing listens until
// it is used, and then for 20 s at most).
// Brewpad then starts the program with
//   -agentlib:jdwp=transport=dt_socket,server=n,address=127.0.0.1:PORT,suspend=y
// and sends, as its first line,
//   pid PID
// The helper takes the connection of process PID within 20 s of "listen"
// (connections of other processes are refused meanwhile; the listener is
// closed once PID's has come); when the program does not make the handshake
// or answer the first request within 10 s each, or sends what is no JDWP
// packet, the helper says "error" and ends. Else it says
//   connected
// The program stays suspended until "run". Requests (Brewpad to helper):
//   break CLASS LINE        a breakpoint at LINE of the top-level class CLASS
//                           (its nested and inner classes included)
//   clear CLASS LINE
//   run                     lets the program start
//   continue | stepOver | stepInto | stepOut
//   runTo CLASS LINE        continue with a breakpoint kept for this one run
//   stop                    ends the program
//   threads
//   frames THREAD
//   variables THREAD FRAME  (FRAME 0 is the top)
//   expand ID START         fields, elements START..START+99, or a string's text
// Motions (continue, steps, runTo) asked for while the program runs are kept
// and done, in order, at the next pause: no step is ever dropped; the pauses
// between them are not reported.
// Events (helper to Brewpad):
//   breakpoint CLASS LINE STATE ACTUAL   STATE set (ACTUAL the line with code
//                                        it moved to), pending (class not yet
//                                        loaded, ACTUAL 0) or invalid (no code
//                                        at or after LINE)
//   paused THREAD CLASS FILE LINE REASON FRAME DONE [EXCEPTION MESSAGE]
//          REASON breakpoint|step|exception; FRAME the frame to show (for an
//          exception thrown in the JDK's classes, the first frame of the
//          program's own); DONE the number of motions done so far
//   resumed
//   threads (ID NAME STATUS)...
//   frames THREAD (CLASS METHOD FILE LINE)...
//   variables THREAD FRAME NOTE (KIND NAME TYPE VALUE ID)...
//          KIND this|argument|local|static|exception; ID 0 when not expandable
//   children ID START TOTAL (KIND NAME TYPE VALUE ID)...
//   ended                    the program's VM died or disconnected
//   error TEXT
import com.sun.jdi.IncompatibleThreadStateException;
import com.sun.jdi.ObjectReference;
import com.sun.jdi.StackFrame;
import com.sun.jdi.ThreadReference;
import com.sun.jdi.VirtualMachine;
import com.sun.jdi.event.BreakpointEvent;
import com.sun.jdi.event.ClassPrepareEvent;
import com.sun.jdi.event.Event;
import com.sun.jdi.event.EventSet;
import com.sun.jdi.event.ExceptionEvent;
import com.sun.jdi.event.LocatableEvent;
import com.sun.jdi.event.StepEvent;
import com.sun.jdi.event.VMDeathEvent;
import com.sun.jdi.event.VMDisconnectEvent;
import com.sun.jdi.request.EventRequest;
import com.sun.jdi.request.ExceptionRequest;
import com.sun.jdi.request.StepRequest;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;
import java.nio.charset.StandardCharsets;
import java.util.ArrayDeque;
import java.util.ArrayList;
import java.util.List;

public final class BrewpadDebugger {
    static final int ACCEPT_TIMEOUT_MS = 20000;
    static final String[] SYSTEM_CLASSES = {"java.*", "javax.*", "jdk.*", "sun.*", "com.sun.*"};

    private final Object lock = new Object();
    /** A rehearsal's debugger tells Brewpad nothing and never ends the helper. */
    private final boolean rehearsal;
    private VirtualMachine vm;
    private Breakpoints breakpoints;
    private final DebuggerValues values = new DebuggerValues();
    private final ArrayDeque<String[]> motions = new ArrayDeque<>();
    private ThreadReference pausedThread;
    private long motionsDone;
    private boolean ended;

    BrewpadDebugger(boolean rehearsal) {
        this.rehearsal = rehearsal;
    }

    public static void main(String[] args) throws Exception {
        BufferedReader in = new BufferedReader(new InputStreamReader(System.in, StandardCharsets.UTF_8));
        DebuggerRehearsal.loadClasses();
        DebuggerRehearsal rehearsal = args.length > 0 && args[0].equals("--rehearse") ? DebuggerRehearsal.begin() : null;
        String listen = in.readLine();
        if (rehearsal != null)
            rehearsal.end();  // what it has not done by now is not waited for
        if (listen != null && listen.equals("listen"))
            new BrewpadDebugger(false).run(in);
    }

    /** Sends a message to Brewpad, unless this debugger rehearses. */
    void say(Object... fields) {
        if (!rehearsal)
            DebuggerMessages.send(fields);
    }

    void say(List<Object> fields) {
        say(fields.toArray());
    }

    /** Serves Brewpad's requests once "listen" has come. */
    private void run(BufferedReader in) throws IOException {
        DebuggerConnection connection = DebuggerConnection.acceptProgram(in);
        if (connection == null)
            return;
        try {
            attach(connection);
        } catch (DebuggerConnection.NoAnswer e) {
            DebuggerConnection.noAnswer(e);
            System.exit(0);  // the attach's own thread may still wait
        }
        String line;
        while ((line = in.readLine()) != null) {
            try {
                handle(DebuggerMessages.split(line));
            } catch (RuntimeException e) {
                say("error", e.getClass().getSimpleName() + (e.getMessage() == null ? "" : ": " + e.getMessage()));
            }
            synchronized (lock) {
                if (ended)
                    break;
            }
        }
        synchronized (lock) {
            if (!ended) {
                try {
                    vm.exit(1);
                } catch (RuntimeException e) {
                    // already gone
                }
            }
        }
    }

    /**
     * Makes the JDI mirror of the program's VM on the connection, asks for the
     * pauses at uncaught exceptions, says "connected" and starts the thread
     * that takes the VM's events. Returns that thread.
     */
    Thread attach(DebuggerConnection connection) throws IOException {
        vm = connection.mirror();
        breakpoints = new Breakpoints(vm, this);
        ExceptionRequest ex = vm.eventRequestManager().createExceptionRequest(null, false, true);
        ex.setSuspendPolicy(EventRequest.SUSPEND_ALL);
        ex.enable();
        say("connected");
        Thread events = new Thread(this::eventLoop, rehearsal ? "rehearsal events" : "events");
        events.setDaemon(true);
        events.start();
        return events;
    }

    /** The paused thread, waited for up to ms; null when the program is not paused by then or has ended. */
    ThreadReference awaitPause(long ms) throws InterruptedException {
        long end = System.nanoTime() + ms * 1000000L;
        synchronized (lock) {
            while (pausedThread == null && !ended) {
                long left = (end - System.nanoTime()) / 1000000L;
                if (left <= 0)
                    return null;
                lock.wait(left);
            }
            return pausedThread;
        }
    }

    /** Whether the program's VM has gone, waiting up to ms for it. */
    boolean awaitEnd(long ms) throws InterruptedException {
        long end = System.nanoTime() + ms * 1000000L;
        synchronized (lock) {
            while (!ended) {
                long left = (end - System.nanoTime()) / 1000000L;
                if (left <= 0)
                    return false;
                lock.wait(left);
            }
            return true;
        }
    }

    VirtualMachine vm() {
        return vm;
    }

    void handle(String[] f) {
        switch (f[0]) {
        case "break": breakpoints.set(f[1], Integer.parseInt(f[2]), false); break;
        case "clear": breakpoints.clear(f[1], Integer.parseInt(f[2])); break;
        case "run": vm.resume(); break;
        case "continue": case "stepOver": case "stepInto": case "stepOut": case "runTo": motion(f); break;
        case "stop": stop(); break;
        case "threads": threads(); break;
        case "frames": frames(Long.parseLong(f[1])); break;
        case "variables": variables(Long.parseLong(f[1]), Integer.parseInt(f[2])); break;
        case "expand": expand(Long.parseLong(f[1]), Integer.parseInt(f[2])); break;
        default: say("error", "unknown request " + f[0]);
        }
    }

    private void stop() {
        synchronized (lock) {
            motions.clear();
            if (ended)
                return;
        }
        try {
            vm.exit(1);
        } catch (RuntimeException e) {
            // the VM is going already
        }
    }

    private void motion(String[] f) {
        synchronized (lock) {
            if (ended)
                return;
            if (pausedThread == null) {
                motions.add(f);
                return;
            }
            doMotion(f, true);
        }
    }

    /** Starts a motion from the pause; the lock is held. */
    private void doMotion(String[] f, boolean report) {
        ThreadReference t = pausedThread;
        pausedThread = null;
        ++motionsDone;
        for (StepRequest s : new ArrayList<>(vm.eventRequestManager().stepRequests()))
            vm.eventRequestManager().deleteEventRequest(s);
        switch (f[0]) {
        case "stepOver": step(t, StepRequest.STEP_OVER); break;
        case "stepInto": step(t, StepRequest.STEP_INTO); break;
        case "stepOut": step(t, StepRequest.STEP_OUT); break;
        case "runTo": breakpoints.set(f[1], Integer.parseInt(f[2]), true); break;
        default: break;
        }
        if (report)
            say("resumed");
        vm.resume();
    }

    private void step(ThreadReference t, int depth) {
        StepRequest s = vm.eventRequestManager().createStepRequest(t, StepRequest.STEP_LINE, depth);
        for (String pattern : SYSTEM_CLASSES)
            s.addClassExclusionFilter(pattern);
        s.addCountFilter(1);
        s.setSuspendPolicy(EventRequest.SUSPEND_ALL);
        s.enable();
    }

    private ThreadReference thread(long id) {
        for (ThreadReference t : vm.allThreads())
            if (t.uniqueID() == id)
                return t;
        throw new IllegalArgumentException("no thread " + id);
    }

    private void threads() {
        List<Object> out = new ArrayList<>();
        out.add("threads");
        for (ThreadReference t : vm.allThreads()) {
            out.add(t.uniqueID());
            out.add(t.name());
            out.add(status(t));
        }
        say(out);
    }

    private static String status(ThreadReference t) {
        switch (t.status()) {
        case ThreadReference.THREAD_STATUS_RUNNING: return "running";
        case ThreadReference.THREAD_STATUS_SLEEPING: return "sleeping";
        case ThreadReference.THREAD_STATUS_MONITOR: return "blocked";
        case ThreadReference.THREAD_STATUS_WAIT: return "waiting";
        case ThreadReference.THREAD_STATUS_ZOMBIE: return "ended";
        case ThreadReference.THREAD_STATUS_NOT_STARTED: return "not started";
        default: return "unknown";
        }
    }

    private void frames(long threadId) {
        List<Object> out = new ArrayList<>();
        out.add("frames");
        out.add(threadId);
        try {
            for (StackFrame fr : thread(threadId).frames()) {
                out.add(fr.location().declaringType().name());
                out.add(fr.location().method().name());
                out.add(Breakpoints.sourceName(fr.location()));
                out.add(Math.max(0, fr.location().lineNumber()));
            }
        } catch (IncompatibleThreadStateException e) {
            say("error", "the thread is not paused");
            return;
        }
        say(out);
    }

    private void variables(long threadId, int frame) {
        String[] note = {""};
        List<DebuggerValues.Shown> shown;
        ObjectReference exception;
        try {
            StackFrame fr = thread(threadId).frame(frame);
            synchronized (values) {
                shown = values.frameVariables(fr, note);
            }
            exception = pendingException;
        } catch (IncompatibleThreadStateException e) {
            say("error", "the thread is not paused");
            return;
        }
        List<Object> out = new ArrayList<>(List.of("variables", threadId, frame, note[0]));
        if (exception != null && threadId == exceptionThread) {
            synchronized (values) {
                add(out, values.show("exception", "<exception>", exception.referenceType().name(), exception));
            }
        }
        for (DebuggerValues.Shown s : shown)
            add(out, s);
        say(out);
    }

    private void expand(long id, int start) {
        List<DebuggerValues.Shown> shown;
        int[] total = {0};
        synchronized (values) {
            ObjectReference o = values.find(id);
            if (o == null) {
                say("error", "no value " + id);
                return;
            }
            shown = values.children(o, start, total);
        }
        List<Object> out = new ArrayList<>(List.of("children", id, start, total[0]));
        for (DebuggerValues.Shown s : shown)
            add(out, s);
        say(out);
    }

    private static void add(List<Object> out, DebuggerValues.Shown s) {
        out.add(s.kind);
        out.add(s.name);
        out.add(s.type);
        out.add(s.text);
        out.add(s.id);
    }

    private volatile ObjectReference pendingException;
    private volatile long exceptionThread;

    private void eventLoop() {
        try {
            while (true) {
                EventSet set = vm.eventQueue().remove();
                if (!handleSet(set))
                    return;
            }
        } catch (InterruptedException | com.sun.jdi.VMDisconnectedException e) {
            end();
        }
    }

    private void end() {
        synchronized (lock) {
            if (ended)
                return;
            ended = true;
            motions.clear();
            lock.notifyAll();
        }
        if (rehearsal)
            return;
        DebuggerMessages.send("ended");
        System.exit(0);
    }

    /** False once the VM has gone. */
    private boolean handleSet(EventSet set) {
        LocatableEvent stop = null;
        String reason = null;
        for (Event e : set) {
            if (e instanceof VMDeathEvent || e instanceof VMDisconnectEvent) {
                end();
                return false;
            }
            if (e instanceof ClassPrepareEvent) {
                breakpoints.prepared(((ClassPrepareEvent) e).referenceType());
            } else if (e instanceof BreakpointEvent && reason == null) {
                stop = (LocatableEvent) e;
                reason = "breakpoint";
            } else if (e instanceof StepEvent && (reason == null || reason.equals("breakpoint"))) {
                vm.eventRequestManager().deleteEventRequest(e.request());
                if (reason == null) {
                    stop = (LocatableEvent) e;
                    reason = "step";
                }
            } else if (e instanceof ExceptionEvent) {
                stop = (LocatableEvent) e;
                reason = "exception";
            }
        }
        if (stop == null) {
            if (set.suspendPolicy() != EventRequest.SUSPEND_NONE && !(set.eventIterator().nextEvent()
                    instanceof com.sun.jdi.event.VMStartEvent))
                set.resume();
            return true;
        }
        pause(stop, reason);
        return true;
    }

    private void pause(LocatableEvent stop, String reason) {
        breakpoints.dropTemporary();
        synchronized (lock) {
            pausedThread = stop.thread();
            pendingException = null;
            if (stop instanceof ExceptionEvent) {
                pendingException = ((ExceptionEvent) stop).exception();
                exceptionThread = stop.thread().uniqueID();
            }
            String[] next = motions.poll();
            if (next != null) {
                doMotion(next, false);
                return;
            }
            sendPaused(stop, reason);
            lock.notifyAll();
        }
    }

    /** The lock is held: no motion starts before the pause is told. */
    private void sendPaused(LocatableEvent stop, String reason) {
        List<Object> out = new ArrayList<>();
        out.add("paused");
        out.add(stop.thread().uniqueID());
        int frame = 0;
        com.sun.jdi.Location at = stop.location();
        if (stop instanceof ExceptionEvent)
            frame = Breakpoints.firstOwnFrame(stop.thread());
        try {
            at = stop.thread().frame(frame).location();
        } catch (IncompatibleThreadStateException | IndexOutOfBoundsException e) {
            frame = 0;
        }
        out.add(at.declaringType().name());
        out.add(Breakpoints.sourceName(at));
        out.add(Math.max(0, at.lineNumber()));
        out.add(reason);
        out.add(frame);
        out.add(motionsDone);
        if (stop instanceof ExceptionEvent) {
            ObjectReference ex = ((ExceptionEvent) stop).exception();
            out.add(ex.referenceType().name());
            out.add(DebuggerValues.throwableMessage(ex));
        }
        say(out);
    }
}
