// SPDX-License-Identifier: GPL-3.0-or-later
// Java expressions evaluated at a frame of the paused program: the text parsed
// by javac (ExpressionParser), its tree interpreted over JDI. Literals, names
// (EvalNames), member selects, array elements and length, method calls
// (EvalInvoker), the unary, binary, compound and conditional operators
// (EvalOperators), string concatenation by the operands' toString(), ==/!= on
// references, instanceof, casts and assignments to a local, a field or an
// element. The result is a JDI Value (null for null); an EvaluationError says
// why there is none.
package brewpad.debugger;

import com.sun.jdi.ArrayReference;
import com.sun.jdi.ObjectReference;
import com.sun.jdi.PrimitiveValue;
import com.sun.jdi.StringReference;
import com.sun.jdi.ThreadReference;
import com.sun.jdi.Value;
import com.sun.jdi.VMDisconnectedException;
import com.sun.source.tree.ArrayAccessTree;
import com.sun.source.tree.AssignmentTree;
import com.sun.source.tree.BinaryTree;
import com.sun.source.tree.CompoundAssignmentTree;
import com.sun.source.tree.ConditionalExpressionTree;
import com.sun.source.tree.ExpressionTree;
import com.sun.source.tree.IdentifierTree;
import com.sun.source.tree.InstanceOfTree;
import com.sun.source.tree.LiteralTree;
import com.sun.source.tree.MemberSelectTree;
import com.sun.source.tree.MethodInvocationTree;
import com.sun.source.tree.ParenthesizedTree;
import com.sun.source.tree.Tree;
import com.sun.source.tree.TypeCastTree;
import com.sun.source.tree.UnaryTree;

import java.util.ArrayList;
import java.util.List;

final class Evaluator {
    private final ExpressionParser parser;

    Evaluator(ExpressionParser parser) {
        this.parser = parser;
    }

    /** The value of `text` at frame `frame` (0: the top) of the paused `thread`. */
    Value evaluate(ThreadReference thread, int frame, String text) {
        ExpressionTree tree = parser.parse(text);
        EvalContext ctx = new EvalContext(thread, frame);
        try {
            return new Walk(ctx).value(tree);
        } catch (VMDisconnectedException e) {
            throw e;
        } catch (EvaluationError e) {
            throw e;
        } catch (RuntimeException e) {
            throw EvaluationError.compile(e.getClass().getSimpleName() + (e.getMessage() == null ? ""
                    : ": " + e.getMessage()));
        } finally {
            ctx.restore();
        }
    }

    /** The boolean a condition's value is; an EvaluationError when it is none. */
    static boolean isTrue(Value v) {
        Object p = EvalContext.plain(v);
        if (!(p instanceof Boolean))
            throw EvalOperators.incompatible(v, "boolean");
        return (Boolean) p;
    }

    /** One evaluation: its frame, names, operators and calls. */
    private static final class Walk {
        private final EvalContext ctx;
        private final EvalNames names;
        private final EvalOperators ops;
        private final EvalInvoker calls;

        Walk(EvalContext ctx) {
            this.ctx = ctx;
            this.names = new EvalNames(ctx);
            this.ops = new EvalOperators(ctx);
            this.calls = new EvalInvoker(ctx, ops);
        }

        Value value(ExpressionTree t) {
            switch (t.getKind()) {
            case PARENTHESIZED: return value(((ParenthesizedTree) t).getExpression());
            case IDENTIFIER: case MEMBER_SELECT: case ARRAY_ACCESS: return place(t).get();
            case METHOD_INVOCATION: return call((MethodInvocationTree) t);
            case ASSIGNMENT: return assign((AssignmentTree) t);
            case CONDITIONAL_EXPRESSION: {
                ConditionalExpressionTree c = (ConditionalExpressionTree) t;
                return isTrue(value(c.getCondition())) ? value(c.getTrueExpression()) : value(c.getFalseExpression());
            }
            case INSTANCE_OF: {
                InstanceOfTree i = (InstanceOfTree) t;
                Value v = value(i.getExpression());
                String type = typeName(i.getType());
                return ctx.vm.mirrorOf(v != null && EvalInvoker.assignable(v.type(), type));
            }
            case TYPE_CAST: return cast((TypeCastTree) t);
            case CONDITIONAL_AND: case CONDITIONAL_OR: {
                BinaryTree b = (BinaryTree) t;
                boolean left = isTrue(value(b.getLeftOperand()));
                if (left == (t.getKind() == Tree.Kind.CONDITIONAL_OR))
                    return ctx.vm.mirrorOf(left);
                return ctx.vm.mirrorOf(isTrue(value(b.getRightOperand())));
            }
            case UNARY_PLUS: case UNARY_MINUS: case BITWISE_COMPLEMENT: case LOGICAL_COMPLEMENT:
                return ops.unary(t.getKind(), value(((UnaryTree) t).getExpression()));
            case PREFIX_INCREMENT: case PREFIX_DECREMENT: case POSTFIX_INCREMENT: case POSTFIX_DECREMENT:
                return increment((UnaryTree) t);
            default: break;
            }
            if (t instanceof LiteralTree)
                return ctx.mirror(((LiteralTree) t).getValue());
            if (t instanceof BinaryTree) {
                BinaryTree b = (BinaryTree) t;
                return binary(t.getKind(), value(b.getLeftOperand()), value(b.getRightOperand()), t);
            }
            if (t instanceof CompoundAssignmentTree)
                return compound((CompoundAssignmentTree) t);
            throw EvaluationError.compile("not supported in the debugger: " + t);
        }

        private Value binary(Tree.Kind k, Value l, Value r, Tree what) {
            if (k == Tree.Kind.PLUS && (l instanceof StringReference || r instanceof StringReference))
                return ctx.mirror(ctx.text(l, what.toString()) + ctx.text(r, what.toString()));
            return ops.binary(k, l, r, what.toString());
        }

        /** What a name, a member select or an array access stands for. */
        private EvalNames.Named named(ExpressionTree t) {
            if (t instanceof IdentifierTree)
                return names.simple(((IdentifierTree) t).getName().toString());
            if (t instanceof MemberSelectTree) {
                MemberSelectTree m = (MemberSelectTree) t;
                return names.member(named(m.getExpression()), m.getIdentifier().toString(), t.toString());
            }
            if (t instanceof ParenthesizedTree)
                return named(((ParenthesizedTree) t).getExpression());
            if (t instanceof ArrayAccessTree) {
                ArrayAccessTree a = (ArrayAccessTree) t;
                Value array = value(a.getExpression());
                Value index = ops.toPrimitive(value(a.getIndex()), "int");
                if (array == null)
                    throw EvaluationError.thrown("java.lang.NullPointerException", t.toString());
                if (!(array instanceof ArrayReference))
                    throw EvaluationError.compile("array required, but " + array.type().name() + " found");
                int i = ((com.sun.jdi.IntegerValue) index).value();
                return new EvalNames.Named(names.element((ArrayReference) array, i, t.toString()), null, null);
            }
            return new EvalNames.Named(EvalNames.constant(value(t)), null, null);
        }

        private EvalNames.Place place(ExpressionTree t) {
            EvalNames.Named n = named(t);
            if (n.place == null)
                throw EvaluationError.compile("cannot find symbol: " + lastName(t));
            return n.place;
        }

        private static String lastName(ExpressionTree t) {
            if (t instanceof MemberSelectTree)
                return ((MemberSelectTree) t).getIdentifier().toString();
            return t.toString();
        }

        private Value call(MethodInvocationTree t) {
            ExpressionTree select = t.getMethodSelect();
            String what = t.toString();
            if (select instanceof IdentifierTree) {
                String name = ((IdentifierTree) select).getName().toString();
                EvalNames.Named owner = names.methodOwner(name);
                List<Value> args = arguments(t);
                if (owner.place == null)
                    return calls.call(null, owner.type, true, name, args, what);
                ObjectReference self = (ObjectReference) owner.place.get();
                return calls.call(self, self.referenceType(), false, name, args, what);
            }
            MemberSelectTree m = (MemberSelectTree) select;
            EvalNames.Named owner = named(m.getExpression());
            String name = m.getIdentifier().toString();
            if (owner.place == null && owner.type == null)
                throw EvaluationError.compile("cannot find symbol: " + lastName(m.getExpression()));
            Value target = owner.place != null ? owner.place.get() : null;
            List<Value> args = arguments(t);
            if (owner.type != null)
                return calls.call(null, owner.type, true, name, args, what);
            if (target == null)
                throw EvaluationError.thrown("java.lang.NullPointerException", what);
            if (!(target instanceof ObjectReference))
                throw EvaluationError.compile(target.type().name() + " cannot be dereferenced");
            ObjectReference o = (ObjectReference) target;
            return calls.call(o, o.referenceType(), false, name, args, what);
        }

        private List<Value> arguments(MethodInvocationTree t) {
            List<Value> args = new ArrayList<>();
            for (ExpressionTree a : t.getArguments())
                args.add(value(a));
            return args;
        }

        private Value assign(AssignmentTree t) {
            EvalNames.Place p = place(t.getVariable());
            Value v = calls.convert(value(t.getExpression()), p.typeName(), t.toString());
            p.set(v);
            return v;
        }

        private Value compound(CompoundAssignmentTree t) {
            EvalNames.Place p = place(t.getVariable());
            Value before = p.get();
            Value rhs = value(t.getExpression());
            Value after = binary(binaryOf(t.getKind()), before, rhs, t);
            Value v = after instanceof StringReference ? after : narrowed(after, p.typeName(), t);
            p.set(v);
            return v;
        }

        private Value increment(UnaryTree t) {
            EvalNames.Place p = place(t.getExpression());
            Value before = p.get();
            boolean up = t.getKind() == Tree.Kind.PREFIX_INCREMENT || t.getKind() == Tree.Kind.POSTFIX_INCREMENT;
            Value after = ops.binary(up ? Tree.Kind.PLUS : Tree.Kind.MINUS, before, ctx.vm.mirrorOf(1), t.toString());
            Value v = narrowed(after, p.typeName(), t);
            p.set(v);
            boolean prefix = t.getKind() == Tree.Kind.PREFIX_INCREMENT || t.getKind() == Tree.Kind.PREFIX_DECREMENT;
            return prefix ? v : before;
        }

        /** A compound result cast back to its variable's type, boxed again for a boxed one. */
        private Value narrowed(Value v, String type, Tree t) {
            if (EvalContext.BOXES.containsKey(type))
                return ops.toPrimitive(v, type);
            for (var e : EvalContext.BOXES.entrySet()) {
                if (e.getValue().equals(type))
                    return ctx.box(ops.toPrimitive(v, e.getKey()), t.toString());
            }
            return calls.convert(v, type, t.toString());
        }

        private static Tree.Kind binaryOf(Tree.Kind k) {
            switch (k) {
            case PLUS_ASSIGNMENT: return Tree.Kind.PLUS;
            case MINUS_ASSIGNMENT: return Tree.Kind.MINUS;
            case MULTIPLY_ASSIGNMENT: return Tree.Kind.MULTIPLY;
            case DIVIDE_ASSIGNMENT: return Tree.Kind.DIVIDE;
            case REMAINDER_ASSIGNMENT: return Tree.Kind.REMAINDER;
            case LEFT_SHIFT_ASSIGNMENT: return Tree.Kind.LEFT_SHIFT;
            case RIGHT_SHIFT_ASSIGNMENT: return Tree.Kind.RIGHT_SHIFT;
            case UNSIGNED_RIGHT_SHIFT_ASSIGNMENT: return Tree.Kind.UNSIGNED_RIGHT_SHIFT;
            case AND_ASSIGNMENT: return Tree.Kind.AND;
            case OR_ASSIGNMENT: return Tree.Kind.OR;
            default: return Tree.Kind.XOR;
            }
        }

        private Value cast(TypeCastTree t) {
            String type = typeName(t.getType());
            Value v = value(t.getExpression());
            if (EvalContext.BOXES.containsKey(type))
                return ops.toPrimitive(v, type);
            if (v instanceof PrimitiveValue)
                return calls.convert(v, type, t.toString());
            if (v != null && !EvalInvoker.assignable(v.type(), type))
                throw EvaluationError.thrown("java.lang.ClassCastException", t.toString());
            return v;
        }

        /** The binary name of a type tree: a primitive, an array, a class. */
        private String typeName(Tree t) {
            switch (t.getKind()) {
            case PRIMITIVE_TYPE: return t.toString();
            case ARRAY_TYPE: return typeName(((com.sun.source.tree.ArrayTypeTree) t).getType()) + "[]";
            case IDENTIFIER: case MEMBER_SELECT: {
                EvalNames.Named n = named((ExpressionTree) t);
                if (n.type != null)
                    return n.type.name();
                if (t instanceof MemberSelectTree)
                    return t.toString();  // a class by its full name, not loaded: no value is one
                throw EvaluationError.compile("cannot find symbol: class " + t);
            }
            default: throw EvaluationError.compile("not supported in the debugger: " + t);
            }
        }
    }
}
