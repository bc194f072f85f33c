// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's rename (see CompileService):
//
//     rename ID WORKDIR FILE OFFSET NAME OPEN (PATH TEXT)... OTHER PATH... OPTION...
//         the local, parameter, field, method or type named at OFFSET (UTF-16
//         units) of FILE renamed NAME across OPEN sources given with their
//         texts (the windows' texts) and OTHER sources read from disk (the
//         project's other sources), all compiled together in memory with the
//         check's options. Answered by
//         "renamed ID OLD NOTE COUNT (PATH OFFSET LENGTH)...", every place
//         where the old name OLD stands for that element, or by
//         "unrenamed ID REASON".
//
// A method is renamed with the methods of the sources that override it or
// that it overrides; a type with its constructors. What the JDK or a library
// declares is not renamed, and neither is an override of one of its methods.
// The sources are compiled again with the new name in place: a name it then
// hides or that hides it, or an error it brings, refuses the rename (RenameClash).

package brewpad.service;

import com.sun.source.tree.ClassTree;
import com.sun.source.tree.CompilationUnitTree;
import com.sun.source.tree.IdentifierTree;
import com.sun.source.tree.MemberReferenceTree;
import com.sun.source.tree.MemberSelectTree;
import com.sun.source.tree.MethodTree;
import com.sun.source.tree.Tree;
import com.sun.source.tree.TypeParameterTree;
import com.sun.source.tree.VariableTree;
import com.sun.source.util.JavacTask;
import com.sun.source.util.TreePath;
import com.sun.source.util.TreePathScanner;
import com.sun.source.util.Trees;

import java.io.IOException;
import java.io.Writer;
import java.nio.charset.CharacterCodingException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.HashSet;
import java.util.LinkedHashMap;
import java.util.LinkedHashSet;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Set;
import java.util.TreeSet;
import javax.lang.model.SourceVersion;
import javax.lang.model.element.Element;
import javax.lang.model.element.ElementKind;
import javax.lang.model.element.ExecutableElement;
import javax.lang.model.element.Modifier;
import javax.lang.model.element.TypeElement;
import javax.lang.model.type.TypeMirror;
import javax.tools.DiagnosticCollector;
import javax.tools.JavaCompiler;
import javax.tools.JavaFileObject;
import javax.tools.StandardJavaFileManager;

final class Rename {

    private final JavaCompiler compiler;
    private final ReplyEncoder replies;
    private final Check check;

    Rename(JavaCompiler compiler, ReplyEncoder replies, Check check) {
        this.compiler = compiler;
        this.replies = replies;
        this.check = check;
    }

    // Why a rename cannot be made, as the user reads it.
    static final class Refusal extends Exception {
        private static final long serialVersionUID = 1L;

        Refusal(String reason) {
            super(reason);
        }
    }

    // The sources compiled together: each one's path as the request named
    // it, by its absolute path, and its text.
    static final class Sources {
        final Map<Path, String> names = new LinkedHashMap<>();
        final Map<Path, String> texts = new LinkedHashMap<>();

        void add(Path path, String name, String text) {
            if (!texts.containsKey(path)) {
                names.put(path, name);
                texts.put(path, text);
            }
        }
    }

    // The sources compiled and attributed.
    static final class Compiled {
        JavacTask task;
        Trees trees;
        final Map<Path, Navigate.Parsed> units = new LinkedHashMap<>();
        DiagnosticCollector<JavaFileObject> diags = new DiagnosticCollector<>();
    }

    // A place of the old name in a source.
    static final class Place implements Comparable<Place> {
        final Path path;
        final long offset;

        Place(Path path, long offset) {
            this.path = path;
            this.offset = offset;
        }

        @Override
        public int compareTo(Place o) {
            int c = path.compareTo(o.path);
            return c != 0 ? c : Long.compare(offset, o.offset);
        }

        @Override
        public boolean equals(Object o) {
            return o instanceof Place && compareTo((Place) o) == 0;
        }

        @Override
        public int hashCode() {
            return path.hashCode() * 31 + Long.hashCode(offset);
        }
    }

    void rename(Request.Rename r) throws IOException {
        try {
            replies.send(answer(r));
        } catch (Refusal e) {
            replies.send(new Reply.Unrenamed(r.id, e.getMessage()));
        }
    }

    Reply answer(Request.Rename r) throws IOException, Refusal {
        if (!SourceVersion.isIdentifier(r.newName) || SourceVersion.isKeyword(r.newName))
            throw new Refusal("not a valid Java identifier");
        Sources sources = sources(r);
        Path file = Paths.get(r.workDir).resolve(r.file).toAbsolutePath().normalize();
        List<String> options = check.options(r.options, r.workDir);
        Compiled before = compile(sources, options);
        Navigate.Parsed here = before.units.get(file);
        TreePath at = here == null ? null : Navigate.pathAt(here, r.offset);
        Element e = at == null ? null : before.trees.getElement(at);
        if (e == null || e.getSimpleName().length() == 0)
            throw new Refusal("no name to rename at the caret");
        if (e.getKind() == ElementKind.CONSTRUCTOR)
            e = e.getEnclosingElement();
        if (!renamable(e))
            throw new Refusal("cannot rename " + e.getSimpleName() + ": only a local, a parameter, a field, a method "
                    + "or a type is renamed");
        String old = e.getSimpleName().toString();
        Set<Element> targets = targets(before, e);
        Set<Place> places = places(before, targets, old);
        if (old.equals(r.newName))
            return renamed(r.id, old, "", sources, places);
        Sources after = renamedSources(sources, places, old.length(), r.newName);
        Compiled again = compile(after, options);
        RenameClash clash = new RenameClash(r.newName);
        int delta = r.newName.length() - old.length();
        clash.refuseChangedMeaning(before, again, shifted(places, delta), delta);
        clash.refuseNewErrors(before.diags, again);
        return renamed(r.id, old, fileNote(before, e, r.newName), sources, places);
    }

    static Reply renamed(String id, String old, String note, Sources sources, Set<Place> places) {
        List<Reply.Spot> spots = new ArrayList<>();
        for (Place p : places)
            spots.add(new Reply.Spot(sources.names.get(p.path), p.offset, old.length()));
        return new Reply.Renamed(id, old, note, spots);
    }

    // A public top-level type keeps its file's name.
    static String fileNote(Compiled c, Element e, String newName) {
        if (!(e instanceof TypeElement) || e.getEnclosingElement().getKind() != ElementKind.PACKAGE)
            return "";
        TreePath decl = c.trees.getPath(e);
        if (decl == null)
            return "";
        String file = Paths.get(decl.getCompilationUnit().getSourceFile().toUri()).getFileName().toString();
        if (!file.equals(e.getSimpleName() + ".java"))
            return "";
        return "The file " + file + " keeps its name: a public class " + newName + " belongs in " + newName
                + ".java, which the rename does not make.";
    }

    static boolean renamable(Element e) {
        switch (e.getKind()) {
        case LOCAL_VARIABLE:
        case PARAMETER:
        case EXCEPTION_PARAMETER:
        case RESOURCE_VARIABLE:
        case FIELD:
        case ENUM_CONSTANT:
        case METHOD:
        case CLASS:
        case INTERFACE:
        case ENUM:
        case ANNOTATION_TYPE:
        case TYPE_PARAMETER:
            return true;
        default:
            return e.getKind().name().equals("RECORD") || e.getKind().name().equals("BINDING_VARIABLE");
        }
    }

    // ------------------------------------------------------------- sources

    Sources sources(Request.Rename r) {
        Sources s = new Sources();
        for (int i = 0; i + 1 < r.open.size(); i += 2)
            s.add(absolute(r.workDir, r.open.get(i)), r.open.get(i), r.open.get(i + 1));
        for (String other : r.others) {
            Path p = absolute(r.workDir, other);
            if (s.texts.containsKey(p))
                continue;
            String text = readText(p);
            if (text != null)
                s.add(p, other, text);
        }
        return s;
    }

    static Path absolute(String dir, String path) {
        return Paths.get(dir).resolve(path).toAbsolutePath().normalize();
    }

    // A source's text, UTF-8 or else Latin-1; null when it cannot be read.
    static String readText(Path p) {
        try {
            byte[] b = Files.readAllBytes(p);
            try {
                return StandardCharsets.UTF_8.newDecoder().decode(java.nio.ByteBuffer.wrap(b)).toString();
            } catch (CharacterCodingException e) {
                return new String(b, StandardCharsets.ISO_8859_1);
            }
        } catch (IOException | RuntimeException e) {
            return null;
        }
    }

    Compiled compile(Sources sources, List<String> options) throws IOException {
        Compiled c = new Compiled();
        StandardJavaFileManager standard = compiler.getStandardFileManager(c.diags, Locale.getDefault(),
                StandardCharsets.UTF_8);
        List<JavaFileObject> files = new ArrayList<>();
        for (Map.Entry<Path, String> s : sources.texts.entrySet())
            files.add(new Check.Source(s.getKey().toUri(), s.getValue()));
        c.task = (JavacTask) compiler.getTask(Writer.nullWriter(), new Check.InMemory(standard), c.diags, options,
                null, files);
        Iterable<? extends CompilationUnitTree> units = c.task.parse();
        c.task.analyze();
        c.trees = Trees.instance(c.task);
        for (CompilationUnitTree u : units) {
            Path p = Paths.get(u.getSourceFile().toUri());
            c.units.put(p, new Navigate.Parsed(sources.texts.get(p), u, c.trees.getSourcePositions()));
        }
        return c;
    }

    // The texts with every place of the old name (`length` long) replaced by `name`.
    static Sources renamedSources(Sources sources, Set<Place> places, int length, String name) {
        Sources out = new Sources();
        for (Map.Entry<Path, String> s : sources.texts.entrySet()) {
            StringBuilder text = new StringBuilder(s.getValue());
            List<Place> here = new ArrayList<>();
            for (Place p : places) {
                if (p.path.equals(s.getKey()))
                    here.add(0, p);  // from the end, so that the offsets before hold
            }
            for (Place p : here)
                text.replace((int) p.offset, (int) p.offset + length, name);
            out.add(s.getKey(), sources.names.get(s.getKey()), text.toString());
        }
        return out;
    }

    // The places as they stand once renamed: each moved by `delta` for
    // every place before it in its source.
    static Set<Place> shifted(Set<Place> places, int delta) {
        Set<Place> out = new TreeSet<>();
        Path file = null;
        int before = 0;
        for (Place p : places) {
            before = p.path.equals(file) ? before + 1 : 0;
            file = p.path;
            out.add(new Place(p.path, p.offset + (long) before * delta));
        }
        return out;
    }

    // ------------------------------------------------------------- targets

    // The elements renamed together: a method with the methods of the
    // sources in its line of overrides.
    Set<Element> targets(Compiled c, Element e) throws Refusal {
        if (c.trees.getPath(e) == null || !c.units.containsKey(unitPath(c, e)))
            throw new Refusal("cannot rename a symbol of the JDK or a library");
        Set<Element> targets = new LinkedHashSet<>();
        targets.add(e);
        if (e.getKind() != ElementKind.METHOD)
            return targets;
        if (((ExecutableElement) e).getModifiers().contains(Modifier.STATIC))
            return targets;
        List<ExecutableElement> methods = declaredMethods(c, e.getSimpleName().toString());
        boolean grew = true;
        while (grew) {
            grew = false;
            for (ExecutableElement m : methods) {
                if (!targets.contains(m) && overridesAny(c, m, targets)) {
                    targets.add(m);
                    grew = true;
                }
            }
        }
        for (Element t : targets)
            refuseLibraryOverride(c, (ExecutableElement) t);
        return targets;
    }

    static Path unitPath(Compiled c, Element e) {
        return Paths.get(c.trees.getPath(e).getCompilationUnit().getSourceFile().toUri());
    }

    static boolean overridesAny(Compiled c, ExecutableElement m, Set<Element> targets) {
        for (Element t : targets) {
            ExecutableElement x = (ExecutableElement) t;
            if (c.task.getElements().overrides(m, x, (TypeElement) m.getEnclosingElement())
                    || c.task.getElements().overrides(x, m, (TypeElement) x.getEnclosingElement()))
                return true;
        }
        return false;
    }

    // The methods named `name` that the sources declare.
    static List<ExecutableElement> declaredMethods(Compiled c, String name) {
        List<ExecutableElement> out = new ArrayList<>();
        for (Navigate.Parsed p : c.units.values()) {
            new TreePathScanner<Void, Void>() {
                @Override
                public Void visitMethod(MethodTree m, Void v) {
                    Element e = c.trees.getElement(getCurrentPath());
                    if (m.getName().contentEquals(name) && e instanceof ExecutableElement)
                        out.add((ExecutableElement) e);
                    return super.visitMethod(m, v);
                }
            }.scan(p.unit, null);
        }
        return out;
    }

    // A method that overrides one the sources do not declare keeps its name.
    static void refuseLibraryOverride(Compiled c, ExecutableElement m) throws Refusal {
        TypeElement owner = (TypeElement) m.getEnclosingElement();
        List<TypeMirror> todo = new ArrayList<>(c.task.getTypes().directSupertypes(owner.asType()));
        Set<Element> seen = new HashSet<>();
        while (!todo.isEmpty()) {
            Element type = c.task.getTypes().asElement(todo.remove(todo.size() - 1));
            if (!(type instanceof TypeElement) || !seen.add(type))
                continue;
            for (Element member : type.getEnclosedElements()) {
                if (member.getKind() == ElementKind.METHOD && member.getSimpleName().equals(m.getSimpleName())
                        && c.task.getElements().overrides(m, (ExecutableElement) member, owner)
                        && c.trees.getPath(member) == null)
                    throw new Refusal("cannot rename a symbol of the JDK or a library");
            }
            todo.addAll(c.task.getTypes().directSupertypes(type.asType()));
        }
    }

    // -------------------------------------------------------------- places

    // Every place of the sources where `old` names one of `targets`; a
    // type's constructors stand among them.
    static Set<Place> places(Compiled c, Set<Element> targets, String old) {
        Set<Place> found = new TreeSet<>();
        for (Map.Entry<Path, Navigate.Parsed> unit : c.units.entrySet()) {
            Navigate.Parsed p = unit.getValue();
            new TreePathScanner<Void, Void>() {
                @Override
                public Void scan(Tree t, Void v) {
                    if (t != null && names(t)) {
                        Element e = c.trees.getElement(new TreePath(getCurrentPath(), t));
                        boolean ctor = e != null && e.getKind() == ElementKind.CONSTRUCTOR && t instanceof MethodTree
                                && targets.contains(e.getEnclosingElement());
                        if (e != null && (targets.contains(e) || ctor))
                            add(found, unit.getKey(), p, namePlace(p, t, old), old);
                    }
                    return super.scan(t, v);
                }
            }.scan(p.unit, null);
        }
        return found;
    }

    static boolean names(Tree t) {
        return t instanceof IdentifierTree || t instanceof MemberSelectTree || t instanceof MemberReferenceTree
                || t instanceof VariableTree || t instanceof MethodTree || t instanceof ClassTree
                || t instanceof TypeParameterTree;
    }

    // Where the name of `t` stands; -1 when it cannot be told.
    static long namePlace(Navigate.Parsed p, Tree t, String old) {
        if (t instanceof IdentifierTree || t instanceof TypeParameterTree)
            return p.start(t);
        if (t instanceof MemberSelectTree) {
            long end = p.end(t);
            return end < 0 ? -1 : end - old.length();
        }
        if (t instanceof MemberReferenceTree)
            return Navigate.findWord(p.text, old, p.end(((MemberReferenceTree) t).getQualifierExpression()));
        return Navigate.namePosition(p, t, old);
    }

    // A place, when the old name stands there whole (not a tree the
    // compiler made, as a class's default constructor).
    static void add(Set<Place> found, Path path, Navigate.Parsed p, long at, String old) {
        if (standsAt(p.text, at, old))
            found.add(new Place(path, at));
    }

    // True when the whole word `name` stands at `at` of `text`.
    static boolean standsAt(String text, long at, String name) {
        if (at < 0 || at + name.length() > text.length() || !text.startsWith(name, (int) at))
            return false;
        return (at == 0 || !Navigate.wordChar(text.charAt((int) at - 1)))
                && (at + name.length() >= text.length() || !Navigate.wordChar(text.charAt((int) at + name.length())));
    }
}
