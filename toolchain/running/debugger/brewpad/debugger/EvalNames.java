// SPDX-License-Identifier: GPL-3.0-or-later
// The names of an expression at a frame: a local or parameter, `this`, a
// field of `this`, a static field of the frame's class or of a class it is
// nested in, a class (nested in those, of the frame's package, of java.lang,
// or by its full name) and the packages on the way to a full name; and the
// places an assignment writes: a local, a field, an array's element.
package brewpad.debugger;

import com.sun.jdi.AbsentInformationException;
import com.sun.jdi.ArrayReference;
import com.sun.jdi.ClassNotLoadedException;
import com.sun.jdi.ClassType;
import com.sun.jdi.Field;
import com.sun.jdi.InvalidTypeException;
import com.sun.jdi.LocalVariable;
import com.sun.jdi.ObjectReference;
import com.sun.jdi.ReferenceType;
import com.sun.jdi.Value;

final class EvalNames {
    /** What a name stands for: a value (with the place it is read from), a class, or a package. */
    static final class Named {
        final Place place;
        final ReferenceType type;
        final String pkg;
        Named(Place place, ReferenceType type, String pkg) {
            this.place = place;
            this.type = type;
            this.pkg = pkg;
        }
    }

    /** A place that holds a value, and may be assigned. */
    abstract static class Place {
        abstract Value get();
        abstract void set(Value v);
        abstract String typeName();
    }

    private final EvalContext ctx;

    EvalNames(EvalContext ctx) {
        this.ctx = ctx;
    }

    /** A value that is no variable (`this`, a result): reading gives it, assigning is refused. */
    static Place constant(Value v) {
        return new Place() {
            Value get() {
                return v;
            }
            void set(Value x) {
                throw EvaluationError.compile("unexpected type: required variable, found value");
            }
            String typeName() {
                return EvalContext.typeName(v);
            }
        };
    }

    /** A simple name; null when it names nothing. */
    Named simple(String name) {
        if (name.equals("this")) {
            ObjectReference self = ctx.frame().thisObject();
            if (self == null)
                throw EvaluationError.compile("non-static variable this cannot be referenced from a static context");
            return new Named(constant(self), null, null);
        }
        Place p = local(name);
        if (p == null)
            p = fieldOfThis(name);
        for (ReferenceType t = ctx.frame().location().declaringType(); p == null && t != null; t = outer(t)) {
            Field f = t.fieldByName(name);
            if (f != null && f.isStatic())
                p = field(null, t, f);
        }
        if (p != null)
            return new Named(p, null, null);
        ReferenceType type = type(name);
        return type != null ? new Named(null, type, null) : new Named(null, null, name);
    }

    /** A member of what `owner` names: a field, an array's length, a nested class, a class of a package. */
    Named member(Named owner, String name, String what) {
        if (owner.place != null) {
            Value v = owner.place.get();
            if (v == null)
                throw EvaluationError.thrown("java.lang.NullPointerException", what);
            if (v instanceof ArrayReference && name.equals("length"))
                return new Named(constant(ctx.vm.mirrorOf(((ArrayReference) v).length())), null, null);
            if (!(v instanceof ObjectReference))
                throw EvaluationError.compile(EvalContext.typeName(v) + " cannot be dereferenced");
            ObjectReference o = (ObjectReference) v;
            Field f = o.referenceType().fieldByName(name);
            if (f == null)
                throw EvaluationError.compile("cannot find symbol: " + name);
            return new Named(field(f.isStatic() ? null : o, o.referenceType(), f), null, null);
        }
        if (owner.type != null) {
            if (name.equals("class"))
                return new Named(constant(owner.type.classObject()), null, null);
            Field f = owner.type.fieldByName(name);
            if (f != null && f.isStatic())
                return new Named(field(null, owner.type, f), null, null);
            ReferenceType nested = ctx.loaded(owner.type.name() + "$" + name);
            if (nested == null)
                throw EvaluationError.compile("cannot find symbol: " + name);
            return new Named(null, nested, null);
        }
        String full = owner.pkg + "." + name;
        ReferenceType t = ctx.loaded(full);
        return t != null ? new Named(null, t, null) : new Named(null, null, full);
    }

    /** The class a simple name stands for at the frame; null when none is loaded. */
    ReferenceType type(String name) {
        ReferenceType at = ctx.frame().location().declaringType();
        for (ReferenceType t = at; t != null; t = outer(t)) {
            ReferenceType nested = ctx.loaded(t.name() + "$" + name);
            if (nested != null)
                return nested;
        }
        String cls = at.name();
        int dot = cls.lastIndexOf('.');
        ReferenceType t = ctx.loaded(dot < 0 ? name : cls.substring(0, dot + 1) + name);
        if (t == null)
            t = ctx.loaded("java.lang." + name);
        return t != null ? t : ctx.loaded(name);
    }

    /** The class `t` is nested in; null for a top-level class. */
    private ReferenceType outer(ReferenceType t) {
        int at = t.name().lastIndexOf('$');
        return at < 0 ? null : ctx.loaded(t.name().substring(0, at));
    }

    private Place local(String name) {
        LocalVariable lv;
        try {
            lv = ctx.frame().visibleVariableByName(name);
        } catch (AbsentInformationException e) {
            return null;
        }
        if (lv == null)
            return null;
        return new Place() {
            Value get() {
                return ctx.frame().getValue(lv);
            }
            void set(Value v) {
                try {
                    ctx.frame().setValue(lv, v);
                } catch (InvalidTypeException | ClassNotLoadedException e) {
                    throw incompatible(v, lv.typeName());
                }
            }
            String typeName() {
                return lv.typeName();
            }
        };
    }

    /** Whom an unqualified call of `name` goes to: `this`, an outer instance, or (static) a class nesting the frame's. */
    Named methodOwner(String name) {
        ObjectReference self = ctx.frame().thisObject();
        for (int depth = 0; self != null && depth < 20; ++depth) {
            if (!self.referenceType().methodsByName(name).isEmpty())
                return new Named(constant(self), null, null);
            self = outerInstance(self);
        }
        ReferenceType at = ctx.frame().location().declaringType();
        for (ReferenceType t = at; t != null; t = outer(t)) {
            if (!t.methodsByName(name).isEmpty())
                return new Named(null, t, null);
        }
        return new Named(null, at, null);
    }

    private static ObjectReference outerInstance(ObjectReference o) {
        Field outer = o.referenceType().fieldByName("this$0");
        Value v = outer == null ? null : o.getValue(outer);
        return v instanceof ObjectReference ? (ObjectReference) v : null;
    }

    /** A field of `this`, or of the instance it is an inner class of (its this$0), and so on outwards. */
    private Place fieldOfThis(String name) {
        ObjectReference self = ctx.frame().thisObject();
        for (int depth = 0; self != null && depth < 20; ++depth) {
            Field f = self.referenceType().fieldByName(name);
            if (f != null)
                return field(f.isStatic() ? null : self, self.referenceType(), f);
            self = outerInstance(self);
        }
        return null;
    }

    /** A field of `o`, or a static one of `t` when o is null. */
    Place field(ObjectReference o, ReferenceType t, Field f) {
        return new Place() {
            Value get() {
                return o != null ? o.getValue(f) : t.getValue(f);
            }
            void set(Value v) {
                try {
                    if (o != null)
                        o.setValue(f, v);
                    else if (f.declaringType() instanceof ClassType)
                        ((ClassType) f.declaringType()).setValue(f, v);
                    else
                        throw EvaluationError.compile("cannot assign a value to final variable " + f.name());
                } catch (InvalidTypeException | ClassNotLoadedException e) {
                    throw incompatible(v, f.typeName());
                } catch (IllegalArgumentException e) {
                    throw EvaluationError.compile("cannot assign a value to final variable " + f.name());
                }
            }
            String typeName() {
                return f.typeName();
            }
        };
    }

    /** Element `index` of `a`; `what` names the access in an exception. */
    Place element(ArrayReference a, int index, String what) {
        if (index < 0 || index >= a.length())
            throw EvaluationError.thrown("java.lang.ArrayIndexOutOfBoundsException", what);
        String type = ((com.sun.jdi.ArrayType) a.type()).componentTypeName();
        return new Place() {
            Value get() {
                return a.getValue(index);
            }
            void set(Value v) {
                try {
                    a.setValue(index, v);
                } catch (InvalidTypeException | ClassNotLoadedException e) {
                    throw incompatible(v, type);
                }
            }
            String typeName() {
                return type;
            }
        };
    }

    private static EvaluationError incompatible(Value v, String type) {
        return EvaluationError.compile(
                "incompatible types: " + EvalContext.typeName(v) + " cannot be converted to " + type);
    }
}
