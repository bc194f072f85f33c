// SPDX-License-Identifier: GPL-3.0-or-later
// The program the debugger rehearses on (see DebuggerRehearsal): a field, an
// array, a string, a call and a loop, so that showing values and stepping run
// once. DebuggerRehearsal names its lines: keep them where they are.
package brewpad.debugger;

final class DebuggerRehearsalProgram {
    private final int[] numbers = {4, 5, 6};
    private final String name = "rehearsal";

    private int sum(int count) {
        int total = 0;
        for (int i = 0; i < count; ++i)
            total += numbers[i];
        return total;
    }

    public static void main(String[] args) {
        DebuggerRehearsalProgram program = new DebuggerRehearsalProgram(); // line 19: the breakpoint
        int total = program.sum(3);
        System.exit(total == 15 && program.name.length() > 0 ? 0 : 1);
    }
}
