// SPDX-License-Identifier: GPL-3.0-or-later
// The breakpoints of a debug session, by top-level class and line. A line
// belongs to the top-level class or to one of its nested, inner, local or
// anonymous classes; a line without code moves to the next line that has code
// in the class whose lines span it. Breakpoints in classes not loaded yet wait
// for the class to be prepared, and move to a nearer line when a class of the
// same source loaded later has code closer to the line asked for. A disabled
// breakpoint is kept but has no request in the VM; one with a hit count
// stops from that hit on (the VM counts the hits up to it); one with a
// condition stops at the hits where the condition, evaluated in the hit's top
// frame, is true. A condition that does not compile stops the program once and
// is then ignored until the breakpoint is replaced; one that throws stops at
// each such hit; both say why ("condition") before the pause.
package brewpad.debugger;

import com.sun.jdi.AbsentInformationException;
import com.sun.jdi.Location;
import com.sun.jdi.Method;
import com.sun.jdi.ReferenceType;
import com.sun.jdi.StackFrame;
import com.sun.jdi.ThreadReference;
import com.sun.jdi.VirtualMachine;
import com.sun.jdi.event.BreakpointEvent;
import com.sun.jdi.request.BreakpointRequest;
import com.sun.jdi.request.ClassPrepareRequest;
import com.sun.jdi.request.EventRequest;
import com.sun.jdi.request.EventRequestManager;

import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.Iterator;
import java.util.List;
import java.util.Map;

final class Breakpoints {
    private static final class Entry {
        final String cls;
        final int line;
        final boolean temporary;
        Breakpoint breakpoint;
        int actual;
        /** Whether its hit count has been reached: its requests then stop at every hit. */
        boolean counted;
        /** Whether its condition did not compile at a hit, which stopped: later hits do not stop. */
        boolean conditionFailed;
        final List<BreakpointRequest> requests = new ArrayList<>();
        ClassPrepareRequest prepare;
        Entry(String cls, Breakpoint breakpoint, boolean temporary) {
            this.cls = cls;
            this.line = breakpoint.line;
            this.breakpoint = breakpoint;
            this.temporary = temporary;
        }
    }

    private final VirtualMachine vm;
    private final EventRequestManager erm;
    private final ReplyEncoder replies;
    private final Evaluator evaluator;
    private final Map<String, Entry> entries = new HashMap<>();
    /**
     * The loaded classes of each top-level class with breakpoints, itself and
     * its nested classes: looked up when its first breakpoint is set, then
     * kept up to date by the class-prepare events (no look-up of every loaded
     * class at each event).
     */
    private final Map<String, List<ReferenceType>> families = new HashMap<>();

    Breakpoints(VirtualMachine vm, ReplyEncoder replies, Evaluator evaluator) {
        this.vm = vm;
        this.erm = vm.eventRequestManager();
        this.replies = replies;
        this.evaluator = evaluator;
    }

    /** Sets the breakpoint of a line of cls, or replaces the one it has. */
    synchronized void set(String cls, Breakpoint b, boolean temporary) {
        String key = (temporary ? "tmp:" : "") + cls + ":" + b.line;
        Entry e = entries.get(key);
        if (e != null && !e.breakpoint.equals(b)) {
            e.breakpoint = b;
            e.counted = false;
            e.conditionFailed = false;
            e.actual = 0;
            erm.deleteEventRequests(e.requests);
            e.requests.clear();
            place(e);
        }
        if (e == null) {
            e = new Entry(cls, b, temporary);
            entries.put(key, e);
            e.prepare = erm.createClassPrepareRequest();
            e.prepare.addClassFilter(cls + "*");
            e.prepare.setSuspendPolicy(EventRequest.SUSPEND_ALL);
            e.prepare.enable();
            place(e);
        }
        report(e);
    }

    /**
     * Whether the program stops at a breakpoint's hit. The first hit the VM
     * reports of one with a hit count is that count's: from then on it stops
     * at every hit.
     */
    synchronized boolean hit(BreakpointEvent event) {
        for (Entry e : entries.values()) {
            if (!e.requests.contains(event.request()))
                continue;
            if (e.breakpoint.hitCount > 1 && !e.counted) {
                e.counted = true;
                int at = e.actual;
                e.actual = 0;
                erm.deleteEventRequests(e.requests);
                e.requests.clear();
                if (!place(e))
                    e.actual = at;
            }
            return conditionHolds(e, event);
        }
        return true;
    }

    /**
     * The one place where a breakpoint's condition is asked at its hit: true
     * when the program stops there. A failed condition says so before the pause.
     */
    private boolean conditionHolds(Entry e, BreakpointEvent event) {
        String condition = e.breakpoint.condition;
        if (condition.trim().isEmpty())
            return true;
        if (e.conditionFailed)
            return false;
        try {
            return Evaluator.isTrue(evaluator.evaluate(event.thread(), 0, condition));
        } catch (EvaluationError err) {
            e.conditionFailed = !err.thrown;
            Location at = event.location();
            replies.condition(e.cls, Math.max(0, at.lineNumber()), sourceName(at), err.thrown ? "threw" : "invalid",
                    err.getMessage());
            return true;
        }
    }

    synchronized void clear(String cls, int line) {
        Entry e = entries.remove(cls + ":" + line);
        if (e != null)
            remove(e);
    }

    synchronized void dropTemporary() {
        for (Iterator<Entry> it = entries.values().iterator(); it.hasNext();) {
            Entry e = it.next();
            if (e.temporary) {
                remove(e);
                it.remove();
            }
        }
    }

    /** A class of the program is prepared: its breakpoints are placed; true when one was. */
    synchronized boolean prepared(ReferenceType t) {
        for (Map.Entry<String, List<ReferenceType>> f : families.entrySet()) {
            if (belongs(t.name(), f.getKey()) && !f.getValue().contains(t))
                f.getValue().add(t);
        }
        boolean placed = false;
        for (Entry e : entries.values()) {
            if (belongs(t.name(), e.cls) && place(e)) {
                report(e);
                placed = true;
            }
        }
        return placed;
    }

    private void remove(Entry e) {
        erm.deleteEventRequests(e.requests);
        e.requests.clear();
        if (e.prepare != null)
            erm.deleteEventRequest(e.prepare);
        // Without a breakpoint left in it, the class's family is no longer kept up to date.
        for (Entry other : entries.values()) {
            if (other != e && other.cls.equals(e.cls))
                return;
        }
        families.remove(e.cls);
    }

    private void report(Entry e) {
        if (e.temporary)
            return;
        if (!e.breakpoint.enabled)
            replies.breakpoint(e.cls, e.line, "disabled", 0);
        else
            replies.breakpoint(e.cls, e.line, e.actual > 0 ? "set" : "pending", e.actual);
    }

    /** Puts the breakpoint where the loaded classes of its source have code nearest the line; true when it moved. */
    private boolean place(Entry e) {
        if (!e.breakpoint.enabled)
            return false;
        List<ReferenceType> family = family(e.cls);
        int best = 0;
        List<ReferenceType> at = new ArrayList<>();
        for (ReferenceType t : family) {
            int next = nextCodeLine(t, e.line, family);
            if (next == 0 || (best != 0 && next > best))
                continue;
            if (next < best || best == 0)
                at.clear();
            best = next;
            at.add(t);
        }
        if (best == 0 || best == e.actual)
            return false;
        erm.deleteEventRequests(e.requests);
        e.requests.clear();
        e.actual = best;
        for (ReferenceType t : at)
            request(e, t);
        return true;
    }

    private void request(Entry e, ReferenceType t) {
        try {
            Map<Method, Location> first = new HashMap<>();
            for (Location l : t.locationsOfLine(e.actual)) {
                Location had = first.get(l.method());
                if (had == null || l.codeIndex() < had.codeIndex())
                    first.put(l.method(), l);
            }
            for (Location l : first.values()) {
                BreakpointRequest r = erm.createBreakpointRequest(l);
                r.setSuspendPolicy(EventRequest.SUSPEND_ALL);
                if (e.breakpoint.hitCount > 1 && !e.counted)
                    r.addCountFilter(e.breakpoint.hitCount);
                r.enable();
                e.requests.add(r);
            }
        } catch (AbsentInformationException ex) {
            // no line table: no breakpoint in this class
        }
    }

    /**
     * The first line at or after `line` with code in t, when t's lines span
     * `line`; else 0. A line between two methods of t may belong to a nested
     * class not loaded yet: it waits (0) while t names such a class.
     */
    static int nextCodeLine(ReferenceType t, int line, List<ReferenceType> loaded) {
        int min = Integer.MAX_VALUE, max = 0, best = 0;
        boolean inMethod = false;
        for (Method m : t.methods()) {
            List<Location> lines;
            try {
                lines = m.allLineLocations();
            } catch (AbsentInformationException e) {
                return 0;
            }
            int mMin = Integer.MAX_VALUE, mMax = 0;
            for (Location l : lines) {
                int n = l.lineNumber();
                if (n <= 0)
                    continue;
                mMin = Math.min(mMin, n);
                mMax = Math.max(mMax, n);
                if (n >= line && (best == 0 || n < best))
                    best = n;
            }
            inMethod |= line >= mMin && line <= mMax;
            min = Math.min(min, mMin);
            max = Math.max(max, mMax);
        }
        // A field initialiser's line belongs to the constructor, whose
        // first line may lie before it: a class spans its first to last code line.
        if (line < min - 1 || line > max)
            return 0;
        if (!inMethod && best != line && hasUnloadedNested(t, loaded))
            return 0;
        return best;
    }

    /** Whether t's constant pool names a class nested in it that is not loaded. */
    private static boolean hasUnloadedNested(ReferenceType t, List<ReferenceType> loaded) {
        byte[] pool = t.constantPool();
        if (pool == null)
            return false;
        byte[] prefix = (t.name().replace('.', '/') + "$").getBytes(StandardCharsets.UTF_8);
        for (int p = 3; p + prefix.length <= pool.length; ++p) {
            if (pool[p - 3] != 1 || !startsWith(pool, p, prefix))
                continue;
            int len = ((pool[p - 2] & 0xff) << 8) | (pool[p - 1] & 0xff);
            if (p + len > pool.length)
                continue;
            String name = new String(pool, p, len, StandardCharsets.UTF_8).replace('/', '.');
            boolean found = false;
            for (ReferenceType r : loaded)
                found |= r.name().equals(name);
            if (!found && name.indexOf(';') < 0)
                return true;
        }
        return false;
    }

    private static boolean startsWith(byte[] a, int at, byte[] prefix) {
        for (int i = 0; i < prefix.length; ++i)
            if (a[at + i] != prefix[i])
                return false;
        return true;
    }

    private List<ReferenceType> family(String cls) {
        List<ReferenceType> out = families.get(cls);
        if (out == null) {
            out = new ArrayList<>();
            for (ReferenceType t : vm.classesByName(cls))
                addNested(t, out);
            families.put(cls, out);
        }
        return out;
    }

    private static void addNested(ReferenceType t, List<ReferenceType> out) {
        out.add(t);
        for (ReferenceType n : t.nestedTypes())
            addNested(n, out);
    }

    static boolean belongs(String name, String cls) {
        return name.equals(cls) || name.startsWith(cls + "$");
    }

    static String sourceName(Location l) {
        try {
            return l.sourceName();
        } catch (AbsentInformationException e) {
            return "";
        }
    }

    /** The first frame of the program's own classes (0 when there is none). */
    static int firstOwnFrame(ThreadReference t) {
        try {
            List<StackFrame> frames = t.frames();
            for (int i = 0; i < frames.size(); ++i) {
                String name = frames.get(i).location().declaringType().name();
                boolean system = false;
                for (String p : BrewpadDebugger.SYSTEM_CLASSES)
                    system |= name.startsWith(p.substring(0, p.length() - 1));
                if (!system)
                    return i;
            }
        } catch (com.sun.jdi.IncompatibleThreadStateException e) {
            return 0;
        }
        return 0;
    }
}
