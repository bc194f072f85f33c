// SPDX-License-Identifier: GPL-3.0-or-later
// Where an expression is evaluated: a frame of a paused thread. Calls into the
// program resume that thread alone, which makes its frames stale: the frame is
// looked up again after each; while they run, the breakpoints, steps and
// exception pauses are off (a call does not stop in itself). Also the values' conversions: Java's own values
// of the primitive (and boxed) ones, their mirrors, boxing and the text of a
// value in a string concatenation.
package brewpad.debugger;

import com.sun.jdi.BooleanValue;
import com.sun.jdi.ByteValue;
import com.sun.jdi.CharValue;
import com.sun.jdi.ClassNotLoadedException;
import com.sun.jdi.ClassType;
import com.sun.jdi.DoubleValue;
import com.sun.jdi.Field;
import com.sun.jdi.FloatValue;
import com.sun.jdi.IncompatibleThreadStateException;
import com.sun.jdi.IntegerValue;
import com.sun.jdi.InterfaceType;
import com.sun.jdi.InvalidTypeException;
import com.sun.jdi.InvocationException;
import com.sun.jdi.LongValue;
import com.sun.jdi.Method;
import com.sun.jdi.ObjectReference;
import com.sun.jdi.ReferenceType;
import com.sun.jdi.ShortValue;
import com.sun.jdi.StackFrame;
import com.sun.jdi.StringReference;
import com.sun.jdi.ThreadReference;
import com.sun.jdi.Value;
import com.sun.jdi.VirtualMachine;

import com.sun.jdi.request.ClassPrepareRequest;
import com.sun.jdi.request.EventRequest;
import com.sun.jdi.request.EventRequestManager;
import com.sun.jdi.request.InvalidRequestStateException;

import java.util.ArrayList;
import java.util.List;
import java.util.Map;

final class EvalContext {
    static final Map<String, String> BOXES = Map.of("boolean", "java.lang.Boolean", "byte", "java.lang.Byte", "char",
            "java.lang.Character", "short", "java.lang.Short", "int", "java.lang.Integer", "long", "java.lang.Long",
            "float", "java.lang.Float", "double", "java.lang.Double");

    final VirtualMachine vm;
    final ThreadReference thread;
    final int frameIndex;
    private StackFrame frame;
    /** The requests turned off for the calls; null until the first call. */
    private List<EventRequest> quiet;
    /** The class-prepare requests that suspend no thread while the calls run. */
    private List<EventRequest> loading;

    EvalContext(ThreadReference thread, int frameIndex) {
        this.vm = thread.virtualMachine();
        this.thread = thread;
        this.frameIndex = frameIndex;
    }

    StackFrame frame() {
        if (frame == null) {
            try {
                frame = thread.frame(frameIndex);
            } catch (IncompatibleThreadStateException | IndexOutOfBoundsException e) {
                throw EvaluationError.compile("the thread is not paused at frame " + frameIndex);
            }
        }
        return frame;
    }

    /** Calls `m` on `target` (null: a static method); `what` names the call in the error of an exception. */
    Value invoke(ObjectReference target, Method m, List<Value> args, String what) {
        frame = null;
        if (quiet == null)
            quietRequests();
        try {
            int single = ObjectReference.INVOKE_SINGLE_THREADED;
            if (target != null && !m.isStatic())
                return target.invokeMethod(thread, m, args, single);
            if (m.declaringType() instanceof ClassType)
                return ((ClassType) m.declaringType()).invokeMethod(thread, m, args, single);
            return ((InterfaceType) m.declaringType()).invokeMethod(thread, m, args, single);
        } catch (InvocationException e) {
            throw EvaluationError.thrown(e.exception().referenceType().name(), what);
        } catch (InvalidTypeException | ClassNotLoadedException e) {
            throw EvaluationError.compile("incompatible arguments: " + what);
        } catch (IncompatibleThreadStateException e) {
            throw EvaluationError.compile("the thread is not paused");
        }
    }

    private void quietRequests() {
        quiet = new ArrayList<>();
        loading = new ArrayList<>();
        EventRequestManager erm = vm.eventRequestManager();
        List<EventRequest> all = new ArrayList<>(erm.breakpointRequests());
        all.addAll(erm.stepRequests());
        all.addAll(erm.exceptionRequests());
        for (EventRequest r : all) {
            if (r.isEnabled()) {
                r.disable();
                quiet.add(r);
            }
        }
        // A class the call loads is told without suspending the program: the
        // thread that reads the events may be the one waiting for the call.
        for (ClassPrepareRequest r : erm.classPrepareRequests()) {
            if (r.isEnabled() && r.suspendPolicy() != EventRequest.SUSPEND_NONE) {
                suspendPolicy(r, EventRequest.SUSPEND_NONE);
                loading.add(r);
            }
        }
    }

    private static void suspendPolicy(EventRequest r, int policy) {
        try {
            r.disable();
            r.setSuspendPolicy(policy);
            r.enable();
        } catch (InvalidRequestStateException e) {
            // deleted meanwhile
        }
    }

    /** Turns on again what the calls turned off. */
    void restore() {
        if (quiet == null)
            return;
        for (EventRequest r : quiet) {
            try {
                r.enable();
            } catch (InvalidRequestStateException e) {
                // deleted meanwhile
            }
        }
        for (EventRequest r : loading)
            suspendPolicy(r, EventRequest.SUSPEND_ALL);
        quiet = null;
        loading = null;
    }

    /** The loaded class of a binary name; null when it is not loaded. */
    ReferenceType loaded(String name) {
        List<ReferenceType> found = vm.classesByName(name);
        return found.isEmpty() ? null : found.get(0);
    }

    /** Java's value of a primitive or boxed value; null for any other. */
    static Object plain(Value v) {
        if (v instanceof BooleanValue) return ((BooleanValue) v).value();
        if (v instanceof ByteValue) return ((ByteValue) v).value();
        if (v instanceof CharValue) return ((CharValue) v).value();
        if (v instanceof ShortValue) return ((ShortValue) v).value();
        if (v instanceof IntegerValue) return ((IntegerValue) v).value();
        if (v instanceof LongValue) return ((LongValue) v).value();
        if (v instanceof FloatValue) return ((FloatValue) v).value();
        if (v instanceof DoubleValue) return ((DoubleValue) v).value();
        if (v instanceof ObjectReference && BOXES.containsValue(v.type().name())) {
            ObjectReference o = (ObjectReference) v;
            Field f = o.referenceType().fieldByName("value");
            return f == null ? null : plain(o.getValue(f));
        }
        return null;
    }

    /** The mirror of a Java value: a primitive, a string, or null. */
    Value mirror(Object o) {
        if (o == null) return null;
        if (o instanceof Boolean) return vm.mirrorOf((Boolean) o);
        if (o instanceof Byte) return vm.mirrorOf((Byte) o);
        if (o instanceof Character) return vm.mirrorOf((Character) o);
        if (o instanceof Short) return vm.mirrorOf((Short) o);
        if (o instanceof Integer) return vm.mirrorOf((Integer) o);
        if (o instanceof Long) return vm.mirrorOf((Long) o);
        if (o instanceof Float) return vm.mirrorOf((Float) o);
        if (o instanceof Double) return vm.mirrorOf((Double) o);
        StringReference s = vm.mirrorOf(o.toString());
        s.disableCollection();  // kept while it is shown or used
        return s;
    }

    /** The primitive type's name of a Java value ("int"...); null for a string or null. */
    static String primitiveName(Object o) {
        if (o instanceof Boolean) return "boolean";
        if (o instanceof Byte) return "byte";
        if (o instanceof Character) return "char";
        if (o instanceof Short) return "short";
        if (o instanceof Integer) return "int";
        if (o instanceof Long) return "long";
        if (o instanceof Float) return "float";
        if (o instanceof Double) return "double";
        return null;
    }

    static String typeName(Value v) {
        return v == null ? "<null>" : v.type().name();
    }

    /** The boxed object of a primitive value, by the box's valueOf. */
    Value box(Value v, String what) {
        Object p = plain(v);
        String prim = primitiveName(p);
        if (prim == null || v instanceof ObjectReference)
            return v;
        ReferenceType box = loaded(BOXES.get(prim));
        if (box == null)
            throw EvaluationError.compile("cannot box a " + prim + ": " + what);
        for (Method m : box.methodsByName("valueOf")) {
            if (m.isStatic() && m.argumentTypeNames().equals(List.of(prim)))
                return invoke(null, m, List.of(v), what);
        }
        throw EvaluationError.compile("cannot box a " + prim + ": " + what);
    }

    /** The text of a value as string concatenation gives it (an object's by its toString()). */
    String text(Value v, String what) {
        if (v == null)
            return "null";
        if (v instanceof StringReference)
            return ((StringReference) v).value();
        if (!(v instanceof ObjectReference))
            return String.valueOf(plain(v));
        ObjectReference o = (ObjectReference) v;
        Method m = o.referenceType().methodsByName("toString", "()Ljava/lang/String;").stream().findFirst()
                .orElse(null);
        if (m == null)
            return o.referenceType().name();
        Value s = invoke(o, m, List.of(), what);
        return s instanceof StringReference ? ((StringReference) s).value() : "null";
    }
}
