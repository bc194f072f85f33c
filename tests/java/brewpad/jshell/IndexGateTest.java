// SPDX-License-Identifier: GPL-3.0-or-later
// The gate before jdk.jshell's index of the completions, with the JShell of
// this JVM: while it is closed the analysis has not indexed (its qualified
// names are not up to date, and find nothing), once it opens the index is
// built and finds the JDK's classes, and a JShell behind a gate that never
// opens is up to date with nothing indexed. A plain program: it prints each
// failure and ends with 1 when there is one.
package brewpad.jshell;

import brewpad.testing.Checks;

import java.io.ByteArrayInputStream;

import jdk.jshell.JShell;
import jdk.jshell.SourceCodeAnalysis;
import jdk.jshell.SourceCodeAnalysis.QualifiedNames;

public final class IndexGateTest {
    private final Checks checks = new Checks();

    private IndexGateTest() {}

    public static void main(String[] args) throws InterruptedException {
        IndexGateTest t = new IndexGateTest();
        t.theIndexWaitsForTheGate();
        t.aGateThatNeverOpensIndexesNothing();
        t.checks.end();
    }

    private static JShell open(IndexGate gate) {
        return JShell.builder()
                .executionEngine("local")
                .fileManager(gate::wrap)
                .in(new ByteArrayInputStream(new byte[0]))
                .build();
    }

    /** The names of `simple` once the analysis says they are up to date. */
    private static QualifiedNames built(SourceCodeAnalysis sca, String simple) throws InterruptedException {
        QualifiedNames names;
        while (!(names = sca.listQualifiedNames(simple, simple.length())).isUpToDate())
            Thread.sleep(20);
        return names;
    }

    private void theIndexWaitsForTheGate() throws InterruptedException {
        IndexGate gate = IndexGate.closed();
        try (JShell js = open(gate)) {
            SourceCodeAnalysis sca = js.sourceCodeAnalysis();
            // An evaluation, which uses the analysis, compiles through the gate.
            checks.check(js.eval("java.util.List.of(1, 2).size()").get(0).value().equals("2"), "evaluates while closed");
            QualifiedNames held = sca.listQualifiedNames("ArrayList", 9);
            checks.check(!gate.isOpen() && !held.isUpToDate() && held.getNames().isEmpty(), "nothing indexed while closed");
            gate.open();
            checks.check(built(sca, "ArrayList").getNames().contains("java.util.ArrayList"), "indexed once open");
        }
    }

    private void aGateThatNeverOpensIndexesNothing() throws InterruptedException {
        try (JShell js = open(IndexGate.never())) {
            checks.check(built(js.sourceCodeAnalysis(), "ArrayList").getNames().isEmpty(), "never indexes");
        }
    }
}
