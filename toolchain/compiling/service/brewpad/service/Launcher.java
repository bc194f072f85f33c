// SPDX-License-Identifier: GPL-3.0-or-later
// What the javac launcher does before javac runs, which the compile service
// does before each compilation so that it compiles as a launcher started there.

package brewpad.service;

import java.io.File;
import java.util.ArrayList;
import java.util.List;

final class Launcher {
    private Launcher() {}

    // What the javac launcher sets before javac runs: the application's home,
    // and the CLASSPATH variable (with its wildcards expanded), which javac
    // takes as its class path when no option gives one.
    static void setProperties() {
        System.setProperty("application.home", System.getProperty("java.home"));
        String cp = System.getenv("CLASSPATH");
        if (cp != null)
            System.setProperty("env.class.path", expandWildcards(cp));
        else
            System.clearProperty("env.class.path");
    }

    // The launcher's expansion of a class path: an element "*" or ending in
    // "/*" that names no existing file stands for the .jar and .JAR files of
    // its directory, in the directory's order; when there are none it stays.
    static String expandWildcards(String classpath) {
        if (classpath.indexOf('*') < 0)
            return classpath;
        List<String> out = new ArrayList<>();
        for (String e : classpath.split(":", -1)) {
            int len = e.length();
            boolean wild = len > 0 && e.charAt(len - 1) == '*' && (len == 1 || e.charAt(len - 2) == '/')
                    && !new File(e).exists();
            if (!wild) {
                out.add(e);
                continue;
            }
            String dir = e.substring(0, len - 1);
            String[] names = new File(dir.isEmpty() ? "." : dir).list();
            List<String> jars = new ArrayList<>();
            if (names != null) {
                for (String n : names) {
                    int l = n.length();
                    if (l >= 4 && n.charAt(l - 4) == '.'
                            && (n.endsWith("jar") || n.endsWith("JAR")) && n.indexOf(':') < 0)
                        jars.add(dir + n);
                }
            }
            if (jars.isEmpty())
                out.add(e);
            else
                out.addAll(jars);
        }
        return String.join(":", out);
    }
}
