// SPDX-License-Identifier: GPL-3.0-or-later
// A breakpoint as Brewpad sends it: the line of a source file, whether it is
// enabled, its condition (a Java boolean expression, empty for none) and the
// hit at which it starts stopping (0: every hit).
package brewpad.debugger;

import java.util.Objects;

final class Breakpoint {
    final String file;
    final int line;
    final boolean enabled;
    final String condition;
    final int hitCount;

    Breakpoint(String file, int line, boolean enabled, String condition, int hitCount) {
        this.file = file;
        this.line = line;
        this.enabled = enabled;
        this.condition = condition;
        this.hitCount = hitCount;
    }

    /** An enabled breakpoint without condition or hit count. */
    static Breakpoint at(int line) {
        return new Breakpoint("", line, true, "", 0);
    }

    @Override
    public boolean equals(Object o) {
        if (!(o instanceof Breakpoint))
            return false;
        Breakpoint b = (Breakpoint) o;
        return file.equals(b.file) && line == b.line && enabled == b.enabled && condition.equals(b.condition)
                && hitCount == b.hitCount;
    }

    @Override
    public int hashCode() {
        return Objects.hash(file, line, enabled, condition, hitCount);
    }

    @Override
    public String toString() {
        return file + ":" + line + (enabled ? "" : " disabled") + (condition.isEmpty() ? "" : " if " + condition)
                + (hitCount > 0 ? " from hit " + hitCount : "");
    }
}
