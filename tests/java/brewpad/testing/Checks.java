// SPDX-License-Identifier: GPL-3.0-or-later
// The checks of a plain Java test program of a helper: each failure is kept,
// and end() prints them with the count of checks and ends the program, with
// 1 when one failed. Compiled into each helper's test jar.
package brewpad.testing;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;

public final class Checks {
    private final List<String> failures = new ArrayList<>();
    private int count;

    public void check(boolean ok, String what) {
        ++count;
        if (!ok)
            failures.add(what);
    }

    public void end() {
        for (String f : failures)
            System.out.println("FAILED: " + f);
        System.out.println(count + " checks, " + failures.size() + " failed");
        System.exit(failures.isEmpty() ? 0 : 1);
    }

    /** The text of the golden frame `name` (without ".frame") of the folder `golden`. */
    public static String frame(Path golden, String name) throws IOException {
        return new String(Files.readAllBytes(golden.resolve(name + ".frame")), StandardCharsets.UTF_8);
    }
}
