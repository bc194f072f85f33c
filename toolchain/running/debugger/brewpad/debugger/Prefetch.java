// SPDX-License-Identifier: GPL-3.0-or-later
// What the debugger asks the program's VM ahead, while the program runs, so
// that the program waits for fewer answers at its stops: JDI keeps each
// answer. Nothing here fails: a program that has ended meanwhile is told by
// the events.
package brewpad.debugger;

import com.sun.jdi.AbsentInformationException;
import com.sun.jdi.ReferenceType;
import com.sun.jdi.VirtualMachine;

final class Prefetch {
    private Prefetch() {}

    /**
     * Once the program is let run: the VM's version and capabilities, which
     * the first class-prepare event's handling asks for while the program
     * waits for its breakpoints to be set.
     */
    static void whileTheProgramStarts(VirtualMachine vm) {
        try {
            vm.version();
            vm.canGetSourceDebugExtension();
        } catch (RuntimeException e) {
            // ended
        }
    }

    /** Once a class (when not null) has its breakpoints: its source file, which its pauses name. */
    static void whileTheProgramRunsTo(ReferenceType t) {
        try {
            if (t != null)
                t.sourceName();
        } catch (AbsentInformationException | RuntimeException e) {
            // none, or ended
        }
    }
}
