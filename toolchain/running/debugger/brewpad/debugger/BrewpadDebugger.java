// SPDX-License-Identifier: GPL-3.0-or-later
// Brewpad's debugger: a JDI client that drives one program started by Brewpad
// and talks to Brewpad over its standard input and output.
//
// Protocol: one message per line, fields separated by TAB; in a field, a
// backslash is written "\\", a TAB "\t", a line feed "\n", a carriage return
// "\r". The first field names the message.
//
// At start the helper loads its JDI classes (and javac's parser for the conditions
// and expressions, on a thread of its own); started with "--rehearse" (ahead of its
// use), it also debugs a small program of its own once, through the same code as a
// real session, so that the first real session runs code that has run before (see
// DebuggerRehearsal). It waits for
//   listen
// then listens on 127.0.0.1 (an ephemeral port) and says
//   ready PORT
// (so that a helper may be started ahead of its use: nothing listens until it is used, and then for 20 s at most).
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
// The program stays suspended until "run". Requests (Brewpad to helper, read
// by RequestDecoder):
//   break CLASS LINE ENABLED HITCOUNT CONDITION FILE
//                           sets (or replaces) the breakpoint at LINE of the
//                           top-level class CLASS (its nested and inner
//                           classes included); ENABLED 1 or 0 (a disabled one
//                           is kept but not set in the VM); HITCOUNT the hit
//                           from which it stops (0: every hit); CONDITION a
//                           Java boolean expression ("" for none); FILE its
//                           source file
//   clear CLASS LINE
//   run                     lets the program start
//   continue | stepOver | stepInto | stepOut
//   runTo CLASS LINE        continue with a breakpoint kept for this one run
//   stop                    ends the program
//   threads
//   frames THREAD
//   variables THREAD FRAME  (FRAME 0 is the top)
//   expand ID START         fields, elements START..START+99, or a string's text
//   evaluate THREAD FRAME EXPRESSION
//                           the value of a Java expression at FRAME of the
//                           paused THREAD (an assignment sets a local, a
//                           field or an element)
// Motions (continue, steps, runTo) asked for while the program runs are kept
// and done, in order, at the next pause: no step is ever dropped; the pauses
// between them are not reported.
// Events (helper to Brewpad, written by ReplyEncoder):
//   breakpoint CLASS LINE STATE ACTUAL   STATE set (ACTUAL the line with code
//                                        it moved to), pending (class not yet
//                                        loaded, ACTUAL 0), invalid (no code
//                                        at or after LINE) or disabled
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
//   evaluated EXPRESSION FRAME KIND NAME TYPE VALUE ID ERROR
//          KIND "value", NAME the expression; ERROR empty, or why there is
//          no value (the value's fields then empty, ID 0)
//   condition CLASS LINE FILE OUTCOME MESSAGE
//          sent before the pause at a breakpoint whose condition failed:
//          OUTCOME invalid (it does not compile: it stops once, and not
//          again until the breakpoint is replaced) or threw (at each hit)
//   ended                    the program's VM died or disconnected
//   error TEXT
package brewpad.debugger;

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
import java.io.BufferedWriter;
import java.io.IOException;
import java.io.InputStreamReader;
import java.io.OutputStreamWriter;
import java.nio.charset.StandardCharsets;
import java.util.ArrayDeque;
import java.util.ArrayList;
import java.util.List;

public final class BrewpadDebugger {
    static final int ACCEPT_TIMEOUT_MS = 20000;
    static final String[] SYSTEM_CLASSES = {"java.*", "javax.*", "jdk.*", "sun.*", "com.sun.*"};

    private final Object lock = new Object();
    /** A rehearsal's debugger tells Brewpad nothing (its replies are silent) and never ends the helper. */
    private final boolean rehearsal;
    private final ReplyEncoder replies;
    private final RequestDecoder requests = new RequestDecoder();
    private VirtualMachine vm;
    private Breakpoints breakpoints;
    private final DebuggerValues values = new DebuggerValues();
    private static final ExpressionParser PARSER = new ExpressionParser();
    private final Evaluator evaluator = new Evaluator(PARSER);
    private final ArrayDeque<Request> motions = new ArrayDeque<>();
    private ThreadReference pausedThread;
    private long motionsDone;
    private boolean ended;

    BrewpadDebugger(ReplyEncoder replies, boolean rehearsal) {
        this.replies = replies;
        this.rehearsal = rehearsal;
    }

    public static void main(String[] args) throws Exception {
        BufferedReader in = new BufferedReader(new InputStreamReader(System.in, StandardCharsets.UTF_8));
        DebuggerRehearsal.loadClasses();
        ExpressionParser.warmUp();
        DebuggerRehearsal rehearsal = args.length > 0 && args[0].equals("--rehearse") ? DebuggerRehearsal.begin() : null;
        String listen = in.readLine();
        if (rehearsal != null)
            rehearsal.end();  // what it has not done by now is not waited for
        if (listen == null)
            return;
        ReplyEncoder replies =
            new ReplyEncoder(new BufferedWriter(new OutputStreamWriter(System.out, StandardCharsets.UTF_8)));
        BrewpadDebugger d = new BrewpadDebugger(replies, false);
        if (d.requests.decode(listen).kind == Request.Kind.LISTEN)
            d.run(in);
    }

    /** Serves Brewpad's requests once "listen" has come. */
    private void run(BufferedReader in) throws IOException {
        DebuggerConnection connection = DebuggerConnection.acceptProgram(in, requests, replies);
        if (connection == null)
            return;
        try {
            attach(connection);
        } catch (DebuggerConnection.NoAnswer e) {
            DebuggerConnection.noAnswer(e, replies);
            System.exit(0);  // the attach's own thread may still wait
        }
        String line;
        while ((line = in.readLine()) != null) {
            try {
                handle(requests.decode(line));
            } catch (RuntimeException e) {
                replies.error(e.getClass().getSimpleName() + (e.getMessage() == null ? "" : ": " + e.getMessage()));
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
        breakpoints = new Breakpoints(vm, replies, evaluator);
        ExceptionRequest ex = vm.eventRequestManager().createExceptionRequest(null, false, true);
        ex.setSuspendPolicy(EventRequest.SUSPEND_ALL);
        ex.enable();
        replies.connected();
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

    void handle(Request r) {
        if (r.isMotion()) {
            motion(r);
            return;
        }
        switch (r.kind) {
        case BREAK: breakpoints.set(r.className, r.breakpoint, false); break;
        case CLEAR: breakpoints.clear(r.className, r.line); break;
        case RUN: vm.resume(); Prefetch.whileTheProgramStarts(vm); break;
        case STOP: stop(); break;
        case THREADS: threads(); break;
        case FRAMES: frames(r.id); break;
        case VARIABLES: variables(r.id, r.index); break;
        case EXPAND: expand(r.id, r.index); break;
        case EVALUATE: evaluate(r.id, r.index, r.text); break;
        default: replies.error("unexpected request " + r.kind);
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

    private void motion(Request r) {
        synchronized (lock) {
            if (ended)
                return;
            if (pausedThread == null) {
                motions.add(r);
                return;
            }
            doMotion(r, true);
        }
    }

    /** Starts a motion from the pause; the lock is held. */
    private void doMotion(Request r, boolean report) {
        ThreadReference t = pausedThread;
        pausedThread = null;
        ++motionsDone;
        for (StepRequest s : new ArrayList<>(vm.eventRequestManager().stepRequests()))
            vm.eventRequestManager().deleteEventRequest(s);
        switch (r.kind) {
        case STEP_OVER: step(t, StepRequest.STEP_OVER); break;
        case STEP_INTO: step(t, StepRequest.STEP_INTO); break;
        case STEP_OUT: step(t, StepRequest.STEP_OUT); break;
        case RUN_TO: breakpoints.set(r.className, Breakpoint.at(r.line), true); break;
        default: break;
        }
        if (report)
            replies.resumed();
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
        List<ReplyEncoder.ThreadRow> out = new ArrayList<>();
        for (ThreadReference t : vm.allThreads())
            out.add(new ReplyEncoder.ThreadRow(t.uniqueID(), t.name(), status(t)));
        replies.threads(out);
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
        List<ReplyEncoder.FrameRow> out = new ArrayList<>();
        try {
            for (StackFrame fr : thread(threadId).frames()) {
                com.sun.jdi.Location l = fr.location();
                out.add(new ReplyEncoder.FrameRow(l.declaringType().name(), l.method().name(),
                        Breakpoints.sourceName(l), Math.max(0, l.lineNumber())));
            }
        } catch (IncompatibleThreadStateException e) {
            replies.error("the thread is not paused");
            return;
        }
        replies.frames(threadId, out);
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
            replies.error("the thread is not paused");
            return;
        }
        List<DebuggerValues.Shown> out = new ArrayList<>();
        if (exception != null && threadId == exceptionThread) {
            synchronized (values) {
                out.add(values.show("exception", "<exception>", exception.referenceType().name(), exception));
            }
        }
        out.addAll(shown);
        replies.variables(threadId, frame, note[0], out);
    }

    private void expand(long id, int start) {
        List<DebuggerValues.Shown> shown;
        int[] total = {0};
        synchronized (values) {
            ObjectReference o = values.find(id);
            if (o == null) {
                replies.error("no value " + id);
                return;
            }
            shown = values.children(o, start, total);
        }
        replies.children(id, start, total[0], shown);
    }

    private void evaluate(long threadId, int frame, String expression) {
        boolean paused;
        synchronized (lock) {
            paused = pausedThread != null;
        }
        Evaluation.answer(paused ? thread(threadId) : null, frame, expression, evaluator, values, replies);
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
        replies.ended();
        System.exit(0);
    }

    /** False once the VM has gone. */
    private boolean handleSet(EventSet set) {
        LocatableEvent stop = null;
        String reason = null;
        com.sun.jdi.ReferenceType placedIn = null;  // a class whose breakpoints were set
        for (Event e : set) {
            if (e instanceof VMDeathEvent || e instanceof VMDisconnectEvent) {
                end();
                return false;
            }
            if (e instanceof ClassPrepareEvent) {
                if (breakpoints.prepared(((ClassPrepareEvent) e).referenceType()))
                    placedIn = ((ClassPrepareEvent) e).referenceType();
            } else if (e instanceof BreakpointEvent && reason == null) {
                if (breakpoints.hit((BreakpointEvent) e)) {
                    stop = (LocatableEvent) e;
                    reason = "breakpoint";
                }
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
            Prefetch.whileTheProgramRunsTo(placedIn);
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
            Request next = motions.poll();
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
        int frame = stop instanceof ExceptionEvent ? Breakpoints.firstOwnFrame(stop.thread()) : 0;
        com.sun.jdi.Location at = stop.location();  // the top frame's: no question to the VM
        try {
            if (frame != 0)
                at = stop.thread().frame(frame).location();
        } catch (IncompatibleThreadStateException | IndexOutOfBoundsException e) {
            frame = 0;
        }
        String exceptionClass = null, message = null;
        if (stop instanceof ExceptionEvent) {
            ObjectReference ex = ((ExceptionEvent) stop).exception();
            exceptionClass = ex.referenceType().name();
            message = DebuggerValues.throwableMessage(ex);
        }
        replies.paused(new ReplyEncoder.Pause(stop.thread().uniqueID(), at.declaringType().name(),
                Breakpoints.sourceName(at), Math.max(0, at.lineNumber()), reason, frame, motionsDone, exceptionClass,
                message));
    }
}
