// SPDX-License-Identifier: GPL-3.0-or-later
// The debugger's parsing of expressions by javac: the trees of valid ones,
// kept by text, and javac's own words for those that do not parse. A plain
// program: it prints each failure and ends with 1 when there is one.
package brewpad.debugger;

import brewpad.testing.Checks;

import com.sun.source.tree.ExpressionTree;
import com.sun.source.tree.Tree;

public final class ExpressionParserTest {
    private final Checks checks = new Checks();

    public static void main(String[] args) {
        ExpressionParserTest t = new ExpressionParserTest();
        t.validExpressionsGiveTheirTrees();
        t.invalidOnesSayWhyAsJavacDoes();
        t.checks.end();
    }

    private void check(boolean ok, String what) {
        checks.check(ok, what);
    }

    private void validExpressionsGiveTheirTrees() {
        ExpressionParser p = new ExpressionParser();
        ExpressionTree t = p.parse("i == 3");
        check(t.getKind() == Tree.Kind.EQUAL_TO, "i == 3: " + t.getKind());
        check(p.parse("i == 3") == t, "the tree of a text is kept");
        check(p.parse("count = n * 2").getKind() == Tree.Kind.ASSIGNMENT, "an assignment");
        check(p.parse("s.length() > 0 ? a[1] : (int) x").getKind() == Tree.Kind.CONDITIONAL_EXPRESSION,
                "a conditional");
        check(p.parse("o instanceof String && \"x\\ty\".equals(o)").getKind() == Tree.Kind.CONDITIONAL_AND,
                "instanceof and a string literal");
        check(p.parse("i == 3;").getKind() == Tree.Kind.EQUAL_TO, "a text may end with its ';'");
        check(p.parse("java.lang.Math.max(1L, 'c')").getKind() == Tree.Kind.METHOD_INVOCATION, "a static call");
    }

    private String error(ExpressionParser p, String text) {
        try {
            p.parse(text);
            return null;
        } catch (EvaluationError e) {
            check(!e.thrown, text + ": a parse error is no exception of the program");
            return e.getMessage();
        }
    }

    private void invalidOnesSayWhyAsJavacDoes() {
        ExpressionParser p = new ExpressionParser();
        String e = error(p, "i j");
        check("';' expected".equals(e), "i j: " + e);
        e = error(p, "i ==");
        check(e != null && e.contains("illegal start of expression"), "i ==: " + e);
        e = error(p, "i == 3; j");
        check(e != null, "two statements are no expression");
        e = error(p, "");
        check(e != null, "an empty text is no expression");
        check(error(p, "i ==") != null, "the error of a text is kept too");
    }
}
