// SPDX-License-Identifier: GPL-3.0-or-later
// Java's operators over the program's values, with its promotions: a unary or
// binary numeric promotion to int, long, float or double, booleans for the
// logical ones, references compared by identity, and the casts between the
// primitive types. String concatenation and the short-circuit operators are
// the evaluator's (they need the operands' text or their order).
package brewpad.debugger;

import com.sun.jdi.ObjectReference;
import com.sun.jdi.PrimitiveValue;
import com.sun.jdi.Value;
import com.sun.source.tree.Tree;

final class EvalOperators {
    private final EvalContext ctx;

    EvalOperators(EvalContext ctx) {
        this.ctx = ctx;
    }

    private static String symbol(Tree.Kind k) {
        switch (k) {
        case PLUS: case UNARY_PLUS: return "+";
        case MINUS: case UNARY_MINUS: return "-";
        case MULTIPLY: return "*";
        case DIVIDE: return "/";
        case REMAINDER: return "%";
        case LEFT_SHIFT: return "<<";
        case RIGHT_SHIFT: return ">>";
        case UNSIGNED_RIGHT_SHIFT: return ">>>";
        case LESS_THAN: return "<";
        case GREATER_THAN: return ">";
        case LESS_THAN_EQUAL: return "<=";
        case GREATER_THAN_EQUAL: return ">=";
        case EQUAL_TO: return "==";
        case NOT_EQUAL_TO: return "!=";
        case AND: return "&";
        case XOR: return "^";
        case OR: return "|";
        case BITWISE_COMPLEMENT: return "~";
        case LOGICAL_COMPLEMENT: return "!";
        default: return k.toString();
        }
    }

    private static EvaluationError bad(Tree.Kind k, Value a, Value b) {
        String types = EvalContext.typeName(a) + (b == null && a != null ? "" : "," + EvalContext.typeName(b));
        return EvaluationError.compile("bad operand types for " + symbol(k) + ": " + types);
    }

    static boolean isNumeric(Object o) {
        return o instanceof Number || o instanceof Character;
    }

    /** The promoted type of numeric operands: 'D', 'F', 'J' or 'I'. */
    private static char promoted(Object a, Object b) {
        if (a instanceof Double || b instanceof Double) return 'D';
        if (a instanceof Float || b instanceof Float) return 'F';
        if (a instanceof Long || b instanceof Long) return 'J';
        return 'I';
    }

    static long longOf(Object o) {
        return o instanceof Character ? (Character) o : ((Number) o).longValue();
    }

    static double doubleOf(Object o) {
        return o instanceof Character ? (Character) o : ((Number) o).doubleValue();
    }

    Value unary(Tree.Kind k, Value v) {
        Object a = EvalContext.plain(v);
        if (k == Tree.Kind.LOGICAL_COMPLEMENT) {
            if (!(a instanceof Boolean))
                throw bad(k, v, null);
            return ctx.vm.mirrorOf(!(Boolean) a);
        }
        if (!isNumeric(a) || (k == Tree.Kind.BITWISE_COMPLEMENT && (a instanceof Double || a instanceof Float)))
            throw bad(k, v, null);
        switch (promoted(a, a)) {
        case 'D': return ctx.mirror(k == Tree.Kind.UNARY_MINUS ? -doubleOf(a) : doubleOf(a));
        case 'F': return ctx.mirror(k == Tree.Kind.UNARY_MINUS ? -(float) doubleOf(a) : (float) doubleOf(a));
        case 'J': {
            long x = longOf(a);
            return ctx.mirror(k == Tree.Kind.UNARY_MINUS ? -x : k == Tree.Kind.BITWISE_COMPLEMENT ? ~x : x);
        }
        default: {
            int x = (int) longOf(a);
            return ctx.mirror(k == Tree.Kind.UNARY_MINUS ? -x : k == Tree.Kind.BITWISE_COMPLEMENT ? ~x : x);
        }
        }
    }

    /** A binary operator other than && and ||, and other than + with a string; `what` names it in an exception. */
    Value binary(Tree.Kind k, Value l, Value r, String what) {
        Object a = EvalContext.plain(l), b = EvalContext.plain(r);
        if (k == Tree.Kind.EQUAL_TO || k == Tree.Kind.NOT_EQUAL_TO)
            return ctx.vm.mirrorOf(equal(l, r, a, b) == (k == Tree.Kind.EQUAL_TO));
        if (a instanceof Boolean && b instanceof Boolean) {
            boolean x = (Boolean) a, y = (Boolean) b;
            switch (k) {
            case AND: return ctx.vm.mirrorOf(x & y);
            case OR: return ctx.vm.mirrorOf(x | y);
            case XOR: return ctx.vm.mirrorOf(x ^ y);
            default: throw bad(k, l, r);
            }
        }
        if (!isNumeric(a) || !isNumeric(b))
            throw bad(k, l, r);
        switch (k) {
        case LEFT_SHIFT: case RIGHT_SHIFT: case UNSIGNED_RIGHT_SHIFT: return shift(k, l, r, a, b);
        case LESS_THAN: case GREATER_THAN: case LESS_THAN_EQUAL: case GREATER_THAN_EQUAL:
            return ctx.vm.mirrorOf(compare(k, a, b));
        default: break;
        }
        switch (promoted(a, b)) {
        case 'D': return ctx.mirror(floating(k, doubleOf(a), doubleOf(b), l, r));
        case 'F': return ctx.mirror((float) floating(k, (float) doubleOf(a), (float) doubleOf(b), l, r));
        case 'J': return ctx.mirror(integral(k, longOf(a), longOf(b), l, r, what));
        default: return ctx.mirror((int) integral(k, (int) longOf(a), (int) longOf(b), l, r, what));
        }
    }

    private boolean equal(Value l, Value r, Object a, Object b) {
        boolean primitive = l instanceof PrimitiveValue || r instanceof PrimitiveValue;
        if (primitive && a instanceof Boolean && b instanceof Boolean)
            return a.equals(b);
        if (primitive && isNumeric(a) && isNumeric(b)) {
            char p = promoted(a, b);
            return p == 'D' || p == 'F' ? doubleOf(a) == doubleOf(b) : longOf(a) == longOf(b);
        }
        boolean references = (l == null || l instanceof ObjectReference) && (r == null || r instanceof ObjectReference);
        if (primitive || !references)
            throw EvaluationError.compile(
                    "incomparable types: " + EvalContext.typeName(l) + " and " + EvalContext.typeName(r));
        return l == null ? r == null : l.equals(r);
    }

    private static boolean compare(Tree.Kind k, Object a, Object b) {
        char p = promoted(a, b);
        int c = p == 'D' || p == 'F' ? Double.compare(doubleOf(a), doubleOf(b)) : Long.compare(longOf(a), longOf(b));
        if ((p == 'D' || p == 'F') && (Double.isNaN(doubleOf(a)) || Double.isNaN(doubleOf(b))))
            return false;
        switch (k) {
        case LESS_THAN: return c < 0;
        case GREATER_THAN: return c > 0;
        case LESS_THAN_EQUAL: return c <= 0;
        default: return c >= 0;
        }
    }

    private Value shift(Tree.Kind k, Value l, Value r, Object a, Object b) {
        if (a instanceof Double || a instanceof Float || b instanceof Double || b instanceof Float)
            throw bad(k, l, r);
        long n = longOf(b);
        if (promoted(a, a) == 'J') {
            long x = longOf(a);
            return ctx.mirror(k == Tree.Kind.LEFT_SHIFT ? x << n : k == Tree.Kind.RIGHT_SHIFT ? x >> n : x >>> n);
        }
        int x = (int) longOf(a);
        return ctx.mirror(k == Tree.Kind.LEFT_SHIFT ? x << n : k == Tree.Kind.RIGHT_SHIFT ? x >> n : x >>> n);
    }

    private static double floating(Tree.Kind k, double x, double y, Value l, Value r) {
        switch (k) {
        case PLUS: return x + y;
        case MINUS: return x - y;
        case MULTIPLY: return x * y;
        case DIVIDE: return x / y;
        case REMAINDER: return x % y;
        default: throw bad(k, l, r);
        }
    }

    private static long integral(Tree.Kind k, long x, long y, Value l, Value r, String what) {
        switch (k) {
        case PLUS: return x + y;
        case MINUS: return x - y;
        case MULTIPLY: return x * y;
        case DIVIDE: case REMAINDER:
            if (y == 0)
                throw EvaluationError.thrown("java.lang.ArithmeticException", what);
            return k == Tree.Kind.DIVIDE ? x / y : x % y;
        case AND: return x & y;
        case OR: return x | y;
        case XOR: return x ^ y;
        default: throw bad(k, l, r);
        }
    }

    /** A value cast to a primitive type, as (int) x does; a boxed value is unboxed first. */
    Value toPrimitive(Value v, String type) {
        Object a = EvalContext.plain(v);
        if (type.equals("boolean")) {
            if (!(a instanceof Boolean))
                throw incompatible(v, type);
            return ctx.vm.mirrorOf((Boolean) a);
        }
        if (!isNumeric(a))
            throw incompatible(v, type);
        switch (type) {
        case "byte": return ctx.vm.mirrorOf((byte) longOrDouble(a));
        case "short": return ctx.vm.mirrorOf((short) longOrDouble(a));
        case "char": return ctx.vm.mirrorOf((char) longOrDouble(a));
        case "int": return ctx.vm.mirrorOf(isFloating(a) ? (int) doubleOf(a) : (int) longOf(a));
        case "long": return ctx.vm.mirrorOf(isFloating(a) ? (long) doubleOf(a) : longOf(a));
        case "float": return ctx.vm.mirrorOf((float) doubleOf(a));
        default: return ctx.vm.mirrorOf(doubleOf(a));
        }
    }

    private static long longOrDouble(Object a) {
        return isFloating(a) ? (long) (int) doubleOf(a) : longOf(a);
    }

    private static boolean isFloating(Object a) {
        return a instanceof Double || a instanceof Float;
    }

    static EvaluationError incompatible(Value v, String type) {
        return EvaluationError.compile(
                "incompatible types: " + EvalContext.typeName(v) + " cannot be converted to " + type);
    }
}
