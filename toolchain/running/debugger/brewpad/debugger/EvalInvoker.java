// SPDX-License-Identifier: GPL-3.0-or-later
// Calls of the program's methods from an expression: the overload chosen by
// the number and the types of the arguments (an exact match before a widening
// or a boxing one, a variable-arity method's spread arguments last), the
// arguments converted as Java does, and the types'
// assignability for instanceof and casts, by the names of their supertypes.
package brewpad.debugger;

import com.sun.jdi.ArrayReference;
import com.sun.jdi.ArrayType;
import com.sun.jdi.ClassType;
import com.sun.jdi.InterfaceType;
import com.sun.jdi.Method;
import com.sun.jdi.ObjectReference;
import com.sun.jdi.PrimitiveValue;
import com.sun.jdi.ReferenceType;
import com.sun.jdi.Type;
import com.sun.jdi.Value;

import java.util.ArrayList;
import java.util.List;
import java.util.Set;

final class EvalInvoker {
    private static final String WIDENS = "byte:short,int,long,float,double;short:int,long,float,double;"
            + "char:int,long,float,double;int:long,float,double;long:float,double;float:double;";

    private final EvalContext ctx;
    private final EvalOperators ops;

    EvalInvoker(EvalContext ctx, EvalOperators ops) {
        this.ctx = ctx;
        this.ops = ops;
    }

    /**
     * Calls `name` with `args` on `target`, or a static method of `type` when
     * target is null and `staticOnly`; `what` is the call's text.
     */
    Value call(ObjectReference target, ReferenceType type, boolean staticOnly, String name, List<Value> args,
            String what) {
        Method best = null;
        int bestScore = -1;
        boolean bestSpread = false;
        for (Method m : type.methodsByName(name)) {
            if (staticOnly && !m.isStatic())
                continue;
            int score = score(m.argumentTypeNames(), args);
            boolean spread = false;
            if (score < 0 && m.isVarArgs()) {
                score = spreadScore(m.argumentTypeNames(), args);
                spread = true;
            }
            if (score > bestScore) {
                best = m;
                bestScore = score;
                bestSpread = spread;
            }
        }
        if (best == null)
            throw EvaluationError.compile("cannot find symbol: method " + name + "(" + argTypes(args) + ")");
        List<String> params = best.argumentTypeNames();
        List<Value> given = bestSpread ? spread(best, args, what) : args;
        List<Value> converted = new ArrayList<>();
        for (int i = 0; i < given.size(); ++i)
            converted.add(convert(given.get(i), params.get(i), what));
        return ctx.invoke(target, best, converted, what);
    }

    /** How well `args` fit a variable-arity method's parameters, its last one spread; -1 not at all. */
    private int spreadScore(List<String> params, List<Value> args) {
        int fixed = params.size() - 1;
        if (args.size() < fixed)
            return -1;
        String element = params.get(fixed).substring(0, params.get(fixed).length() - 2);
        List<String> spread = new ArrayList<>(params.subList(0, fixed));
        while (spread.size() < args.size())
            spread.add(element);
        int score = score(spread, args);
        return score < 0 ? -1 : score / 2;  // after any method that takes the arguments as they are
    }

    /** The arguments with those of the variable-arity parameter in one new array. */
    private List<Value> spread(Method m, List<Value> args, String what) {
        int fixed = m.argumentTypeNames().size() - 1;
        ArrayType type;
        try {
            type = (ArrayType) m.argumentTypes().get(fixed);
        } catch (com.sun.jdi.ClassNotLoadedException e) {
            throw EvaluationError.compile("cannot find symbol: class " + e.className());
        }
        ArrayReference array = type.newInstance(args.size() - fixed);
        array.disableCollection();
        String element = type.componentTypeName();
        try {
            for (int i = fixed; i < args.size(); ++i)
                array.setValue(i - fixed, convert(args.get(i), element, what));
        } catch (com.sun.jdi.InvalidTypeException | com.sun.jdi.ClassNotLoadedException e) {
            throw EvaluationError.compile("incompatible arguments: " + what);
        }
        List<Value> out = new ArrayList<>(args.subList(0, fixed));
        out.add(array);
        return out;
    }

    private static String argTypes(List<Value> args) {
        StringBuilder b = new StringBuilder();
        for (Value v : args)
            b.append(b.length() == 0 ? "" : ",").append(EvalContext.typeName(v));
        return b.toString();
    }

    /** How well `args` fit `params`: -1 not at all, more for each exact match. */
    private int score(List<String> params, List<Value> args) {
        if (params.size() != args.size())
            return -1;
        int score = 0;
        for (int i = 0; i < args.size(); ++i) {
            int s = fit(args.get(i), params.get(i));
            if (s < 0)
                return -1;
            score += s;
        }
        return score;
    }

    /** 2 exact, 1 by widening or boxing, -1 not applicable. */
    private int fit(Value v, String param) {
        boolean primitiveParam = EvalContext.BOXES.containsKey(param);
        if (v == null)
            return primitiveParam ? -1 : 2;
        Object plain = EvalContext.plain(v);
        String type = v.type().name();
        if (primitiveParam) {
            String prim = EvalContext.primitiveName(plain);
            if (prim == null)
                return -1;
            if (prim.equals(param))
                return v instanceof PrimitiveValue ? 2 : 1;
            return widens(prim, param) ? 1 : -1;
        }
        if (v instanceof PrimitiveValue) {
            String box = EvalContext.BOXES.get(type);
            ReferenceType boxType = ctx.loaded(box);
            return boxType != null && assignable(boxType, param) ? 1 : -1;
        }
        if (type.equals(param))
            return 2;
        return assignable(((ObjectReference) v).referenceType(), param) ? 1 : -1;
    }

    static boolean widens(String from, String to) {
        int at = WIDENS.indexOf(from + ":");
        if (at < 0)
            return false;
        String list = WIDENS.substring(at + from.length() + 1, WIDENS.indexOf(';', at));
        return Set.of(list.split(",")).contains(to);
    }

    /** A value converted for a parameter or variable of type `param`. */
    Value convert(Value v, String param, String what) {
        if (EvalContext.BOXES.containsKey(param))
            return v == null ? v : ops.toPrimitive(v, param);
        if (v instanceof PrimitiveValue) {
            String box = EvalContext.BOXES.get(v.type().name());
            String prim = v.type().name();
            // An int constant given to a Long or a Double: boxed as that type, as the variable needs.
            for (var e : EvalContext.BOXES.entrySet()) {
                if (e.getValue().equals(param) && !e.getKey().equals(prim))
                    return ctx.box(ops.toPrimitive(v, e.getKey()), what);
            }
            return box == null ? v : ctx.box(v, what);
        }
        return v;
    }

    /** Whether a value of type t may be given to a variable of the type named `name`. */
    static boolean assignable(Type t, String name) {
        if (t.name().equals(name) || name.equals("java.lang.Object"))
            return true;
        if (t instanceof ArrayType) {
            if (name.equals("java.lang.Cloneable") || name.equals("java.io.Serializable"))
                return true;
            if (!name.endsWith("[]"))
                return false;
            try {
                return assignable(((ArrayType) t).componentType(), name.substring(0, name.length() - 2));
            } catch (com.sun.jdi.ClassNotLoadedException e) {
                return false;
            }
        }
        if (t instanceof ClassType) {
            ClassType c = (ClassType) t;
            for (InterfaceType i : c.allInterfaces())
                if (i.name().equals(name))
                    return true;
            for (ClassType s = c.superclass(); s != null; s = s.superclass())
                if (s.name().equals(name))
                    return true;
        }
        if (t instanceof InterfaceType) {
            for (InterfaceType i : ((InterfaceType) t).superinterfaces())
                if (assignable(i, name))
                    return true;
        }
        return false;
    }
}
