// SPDX-License-Identifier: GPL-3.0-or-later
// A compilation in a directory other than the one the compile service runs
// in, written byte for byte as a javac launcher started there would write it.
//
// The JVM's working directory cannot change, so every relative path of the
// request is taken from the request's directory here: the sources, the class
// path, the source path and the destination are handed to the compiler as
// absolute paths, and the files it finds through them or is given keep the
// names a javac there would show (the relative ones, as typed). Only the
// requests whose every part can be reproduced so are served; for any other
// (an option this does not know, an argument file, a missing path, modules,
// annotation processors) compile() returns null, and the caller leaves the
// request to the launcher.

package brewpad.service;

import java.io.IOException;
import java.io.PrintWriter;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.HashSet;
import java.util.List;
import java.util.Set;
import java.util.jar.JarFile;
import javax.tools.FileObject;
import javax.tools.ForwardingJavaFileManager;
import javax.tools.ForwardingJavaFileObject;
import javax.tools.JavaCompiler;
import javax.tools.JavaFileObject;
import javax.tools.StandardJavaFileManager;
import javax.tools.StandardLocation;

final class Elsewhere {

    // One is made for each compilation it is asked to reproduce.
    Elsewhere() {}

    // Options given alone that change nothing about paths or names.
    static final Set<String> FLAGS = Set.of("-g", "-g:none", "-nowarn", "-deprecation", "-Werror",
            "-Xprefer:newer", "-Xprefer:source", "-parameters", "-implicit:class", "-implicit:none");

    // A file the compiler was given or found, named as a javac in the
    // request's directory names it.
    static final class Named extends ForwardingJavaFileObject<JavaFileObject> {
        private final String name;

        Named(JavaFileObject file, String name) {
            super(file);
            this.name = name;
        }

        @Override
        public String getName() {
            return name;
        }

        JavaFileObject inner() {
            return fileObject;
        }
    }

    static JavaFileObject inner(JavaFileObject f) {
        return f instanceof Named ? ((Named) f).inner() : f;
    }

    static FileObject inner(FileObject f) {
        return f instanceof Named ? ((Named) f).inner() : f;
    }

    // The compiler's own file manager, with each path element's absolute
    // name turned back into the one the user gave in the names of the files
    // found through it.
    static final class Renaming extends ForwardingJavaFileManager<StandardJavaFileManager> {
        private final List<String[]> prefixes = new ArrayList<>();  // absolute, as given

        Renaming(StandardJavaFileManager fm) {
            super(fm);
        }

        void rename(Path absolute, Path given) {
            prefixes.add(new String[] {absolute.toString(), given.toString()});
        }

        JavaFileObject named(JavaFileObject f) {
            if (f == null)
                return null;
            String n = f.getName();
            String[] best = null;
            for (String[] p : prefixes) {
                int len = p[0].length();
                if (n.length() > len && n.startsWith(p[0]) && (n.charAt(len) == '/' || n.charAt(len) == '(')
                        && (best == null || len > best[0].length()))
                    best = p;
            }
            return best == null ? f : new Named(f, best[1] + n.substring(best[0].length()));
        }

        @Override
        public Iterable<JavaFileObject> list(Location location, String packageName, Set<JavaFileObject.Kind> kinds,
                                             boolean recurse) throws IOException {
            List<JavaFileObject> out = new ArrayList<>();
            for (JavaFileObject f : super.list(location, packageName, kinds, recurse))
                out.add(named(f));
            return out;
        }

        @Override
        public JavaFileObject getJavaFileForInput(Location location, String className, JavaFileObject.Kind kind)
                throws IOException {
            return named(super.getJavaFileForInput(location, className, kind));
        }

        @Override
        public String inferBinaryName(Location location, JavaFileObject file) {
            return super.inferBinaryName(location, inner(file));
        }

        @Override
        public boolean isSameFile(FileObject a, FileObject b) {
            return super.isSameFile(inner(a), inner(b));
        }

        @Override
        public boolean contains(Location location, FileObject fo) throws IOException {
            return super.contains(location, inner(fo));
        }

        @Override
        public JavaFileObject getJavaFileForOutput(Location location, String className, JavaFileObject.Kind kind,
                                                   FileObject sibling) throws IOException {
            return super.getJavaFileForOutput(location, className, kind, sibling == null ? null : inner(sibling));
        }

        @Override
        public FileObject getFileForOutput(Location location, String packageName, String relativeName,
                                           FileObject sibling) throws IOException {
            return super.getFileForOutput(location, packageName, relativeName, sibling == null ? null : inner(sibling));
        }
    }

    // What a request asks, its paths taken from its directory.
    static final class Request {
        final Path dir;
        final List<String> options = new ArrayList<>();
        final List<String> sources = new ArrayList<>();
        String classPath;
        String sourcePath;
        String destination;

        Request(Path dir) {
            this.dir = dir;
        }
    }

    // Why the request was refused.
    String refusal = "";

    <T> T refuse(String why) {
        refusal = why;
        return null;
    }

    // The request, or null when it holds something this cannot reproduce.
    Request parse(Path dir, String[] args) {
        Request r = new Request(dir);
        for (int i = 0; i < args.length; i++) {
            String a = args[i];
            boolean hasValue = i + 1 < args.length;
            if (FLAGS.contains(a) || a.startsWith("-g:") || isHarmlessLint(a)) {
                r.options.add(a);
            } else if ((a.equals("-classpath") || a.equals("-cp") || a.equals("--class-path")) && hasValue) {
                r.classPath = args[++i];
            } else if ((a.equals("-sourcepath") || a.equals("--source-path")) && hasValue) {
                r.sourcePath = args[++i];
            } else if (a.equals("-d") && hasValue && r.destination == null) {
                r.destination = args[++i];
            } else if (!a.startsWith("-") && !a.startsWith("@") && a.endsWith(".java")) {
                r.sources.add(a);
            } else {
                return refuse("the argument " + a);
            }
        }
        if (r.sources.isEmpty() || new HashSet<>(r.sources).size() != r.sources.size())
            return refuse("no sources, or one twice");
        if (r.classPath == null)
            r.classPath = System.getenv("CLASSPATH") != null ? System.getenv("CLASSPATH") : ".";
        return r;
    }

    static final Set<String> PATH_LINTS = Set.of("all", "path", "options", "processing", "classfile",
            "output-file-clash");

    // -Xlint with categories that print no path (a path's warnings name it
    // as the compiler holds it, absolute here).
    static boolean isHarmlessLint(String a) {
        if (!a.startsWith("-Xlint:"))
            return false;
        for (String c : a.substring("-Xlint:".length()).split(",", -1)) {
            String k = c.startsWith("-") ? c.substring(1) : c;
            if (k.isEmpty() || PATH_LINTS.contains(k))
                return false;
        }
        return true;
    }

    // The absolute paths of a path list, or null when one is not plainly
    // an existing directory or jar without a class path or processors of
    // its own (and no module).
    List<Path> paths(Path dir, String list) {
        List<Path> out = new ArrayList<>();
        for (String e : list.split(":", -1)) {
            if (e.isEmpty() || e.indexOf('*') >= 0)
                return refuse("the path element \"" + e + "\"");
            Path abs = dir.resolve(e);
            if (Files.isDirectory(abs)) {
                if (Files.exists(abs.resolve("module-info.class")) || Files.exists(abs.resolve("module-info.java"))
                        || Files.exists(abs.resolve("META-INF/services/javax.annotation.processing.Processor")))
                    return refuse("a module or processors in " + e);
            } else if (!Files.isRegularFile(abs) || !plainJar(abs)) {
                return refuse("the path element " + e);
            }
            out.add(abs);
        }
        return out;
    }

    static boolean plainJar(Path jar) {
        try (JarFile j = new JarFile(jar.toFile())) {
            var m = j.getManifest();
            return (m == null || m.getMainAttributes().getValue("Class-Path") == null
                           && m.getMainAttributes().getValue("Automatic-Module-Name") == null)
                    && j.getEntry("META-INF/services/javax.annotation.processing.Processor") == null
                    && j.getEntry("module-info.class") == null;
        } catch (IOException | RuntimeException e) {
            return false;
        }
    }

    // Runs the request; its exit status as the launcher's, or null (nothing
    // done) when it cannot be reproduced exactly.
    Integer compile(JavaCompiler compiler, Path dir, String[] args, PrintWriter err) throws IOException {
        Request r = parse(dir, args);
        if (r == null)
            return null;
        List<Path> classPath = paths(dir, r.classPath);
        List<Path> sourcePath = r.sourcePath == null ? null : paths(dir, r.sourcePath);
        if (classPath == null || (r.sourcePath != null && sourcePath == null))
            return null;  // refusal says why
        Path out = r.destination == null || r.destination.isEmpty() ? null : dir.resolve(r.destination);
        if (r.destination != null && (out == null || !Files.isDirectory(out) || out.getParent() == null
                                      || Files.exists(out.getParent().resolve("module-info.class"))))
            return refuse("the destination " + r.destination);
        List<Path> files = new ArrayList<>();
        for (String s : r.sources) {
            Path abs = dir.resolve(s);
            if (!Files.isRegularFile(abs) || abs.getFileName().toString().equals("module-info.java")
                    || (abs.getParent() != null && Files.exists(abs.getParent().resolve("module-info.java"))))
                return refuse("the source " + s);
            files.add(abs);
        }
        try (StandardJavaFileManager std = compiler.getStandardFileManager(null, null, null);
             Renaming fm = new Renaming(std)) {
            std.setLocationFromPaths(StandardLocation.CLASS_PATH, classPath);
            rename(fm, r.classPath, classPath);
            if (sourcePath != null) {
                std.setLocationFromPaths(StandardLocation.SOURCE_PATH, sourcePath);
                rename(fm, r.sourcePath, sourcePath);
            }
            if (out != null)
                std.setLocationFromPaths(StandardLocation.CLASS_OUTPUT, List.of(out));
            List<JavaFileObject> units = new ArrayList<>();
            int i = 0;
            for (JavaFileObject f : std.getJavaFileObjectsFromPaths(files))
                units.add(new Named(f, Paths.get(r.sources.get(i++)).toString()));
            JavaCompiler.CompilationTask task;
            try {
                task = compiler.getTask(err, fm, null, r.options, null, units);
            } catch (IllegalArgumentException e) {
                return refuse("the options: " + e.getMessage());
            }
            boolean ok = task.call();
            err.flush();
            return ok ? 0 : 1;
        }
    }

    static void rename(Renaming fm, String list, List<Path> absolute) {
        String[] given = list.split(":", -1);
        for (int i = 0; i < given.length; i++)
            fm.rename(absolute.get(i), Paths.get(given[i]));
    }
}
