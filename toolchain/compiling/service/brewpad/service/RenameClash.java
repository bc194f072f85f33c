// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a rename keeps the program's meaning (see Rename): the sources
// compiled again with the new name in place have no error they did not have
// before, every renamed place still names the element renamed, and no other
// name now comes to name it. Else the rename is refused with "the new name
// clashes with X in SCOPE".

package brewpad.service;

import com.sun.source.tree.ClassTree;
import com.sun.source.tree.IdentifierTree;
import com.sun.source.tree.MemberSelectTree;
import com.sun.source.tree.MethodTree;
import com.sun.source.tree.Tree;
import com.sun.source.tree.TypeParameterTree;
import com.sun.source.tree.VariableTree;
import com.sun.source.util.TreePath;
import com.sun.source.util.TreePathScanner;

import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.HashSet;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Set;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import javax.lang.model.element.Element;
import javax.lang.model.element.ElementKind;
import javax.lang.model.element.ExecutableElement;
import javax.lang.model.element.VariableElement;
import javax.tools.Diagnostic;
import javax.tools.DiagnosticCollector;
import javax.tools.JavaFileObject;

final class RenameClash {

    private static final Pattern DEFINED = Pattern.compile("(.*) is already defined in (.*)");
    private static final Pattern DUPLICATE = Pattern.compile("duplicate class: (.*)");

    private final String newName;

    RenameClash(String newName) {
        this.newName = newName;
    }

    static Rename.Refusal clash(String what, String scope) {
        return new Rename.Refusal("the new name clashes with " + what + " in " + scope);
    }

    // ---------------------------------------------------------------- errors

    // An error of `after` that the sources did not have before refuses the rename.
    void refuseNewErrors(DiagnosticCollector<JavaFileObject> before, Rename.Compiled after) throws Rename.Refusal {
        Set<String> had = new HashSet<>();
        for (Diagnostic<? extends JavaFileObject> d : before.getDiagnostics()) {
            if (d.getKind() == Diagnostic.Kind.ERROR)
                had.add(key(d));
        }
        for (Diagnostic<? extends JavaFileObject> d : after.diags.getDiagnostics()) {
            // A public class renamed stays in its file, as the note says.
            if (d.getKind() != Diagnostic.Kind.ERROR || had.contains(key(d))
                    || d.getCode().equals("compiler.err.class.public.should.be.in.file"))
                continue;
            String message = d.getMessage(Locale.ROOT);
            Matcher m = DEFINED.matcher(message.lines().findFirst().orElse(""));
            if (m.matches())
                throw clash(m.group(1), m.group(2));
            Matcher dup = DUPLICATE.matcher(message.lines().findFirst().orElse(""));
            if (dup.matches())
                throw clash("class " + dup.group(1), "the sources");
            String file = d.getSource() == null ? "" : Paths.get(d.getSource().toUri()).getFileName().toString();
            throw clash(newName, scopeAt(after, d) + " (" + file + ":" + d.getLineNumber() + ": "
                    + message.lines().findFirst().orElse("") + ")");
        }
    }

    static String key(Diagnostic<? extends JavaFileObject> d) {
        return (d.getSource() == null ? "" : d.getSource().toUri().toString()) + "\n" + d.getCode();
    }

    // The method or class around an error.
    static String scopeAt(Rename.Compiled c, Diagnostic<? extends JavaFileObject> d) {
        if (d.getSource() == null)
            return "the sources";
        Navigate.Parsed p = c.units.get(Paths.get(d.getSource().toUri()));
        TreePath at = p == null ? null : Navigate.pathAt(p, d.getPosition());
        for (TreePath q = at; q != null; q = q.getParentPath()) {
            if (q.getLeaf() instanceof MethodTree || q.getLeaf() instanceof ClassTree) {
                Element e = c.trees.getElement(q);
                if (e != null)
                    return describe(e);
            }
        }
        return "the sources";
    }

    // ------------------------------------------------------------- meaning

    // Every place of the new name in `after` names what it named before:
    // a renamed place the renamed element, any other place something else.
    // `renamed` holds the renamed places at their offsets in `after`.
    void refuseChangedMeaning(Rename.Compiled before, Rename.Compiled after, Set<Rename.Place> renamed, int delta)
            throws Rename.Refusal {
        for (Map.Entry<Path, Navigate.Parsed> unit : after.units.entrySet()) {
            List<TreePath> uses = uses(unit.getValue());
            for (TreePath use : uses) {
                Element e = after.trees.getElement(use);
                if (e == null || !e.getSimpleName().contentEquals(newName))
                    continue;
                long at = Rename.namePlace(unit.getValue(), use.getLeaf(), newName);
                if (!Rename.standsAt(unit.getValue().text, at, newName))
                    continue;  // a tree the compiler made, as an enum constant's "new"
                boolean isRenamed = renamed.contains(new Rename.Place(unit.getKey(), at));
                boolean namesRenamed = declaredAtRenamed(after, e, renamed);
                if (isRenamed && !namesRenamed)
                    throw clash(describe(e), describe(e.getEnclosingElement()));
                if (!isRenamed && namesRenamed) {
                    Element was = namedBefore(before, unit.getKey(), at, renamed, delta);
                    if (was != null)
                        throw clash(describe(was), describe(was.getEnclosingElement()));
                    throw clash(newName + " of line " + unit.getValue().lineAndColumn(at)[0] + " of "
                            + unit.getKey().getFileName(), scopeOf(after, use));
                }
            }
        }
    }

    // What the name at `at` of `file` (once renamed) named before the rename.
    static Element namedBefore(Rename.Compiled before, Path file, long at, Set<Rename.Place> renamed, int delta) {
        long shift = 0;
        for (Rename.Place p : renamed) {
            if (p.path.equals(file) && p.offset < at)
                shift += delta;
        }
        Navigate.Parsed p = before.units.get(file);
        TreePath path = p == null ? null : Navigate.pathAt(p, at - shift);
        return path == null ? null : before.trees.getElement(path);
    }

    // The names of `p` used as expressions or types.
    static List<TreePath> uses(Navigate.Parsed p) {
        List<TreePath> out = new ArrayList<>();
        new TreePathScanner<Void, Void>() {
            @Override
            public Void scan(Tree t, Void v) {
                if (t instanceof IdentifierTree || t instanceof MemberSelectTree)
                    out.add(new TreePath(getCurrentPath(), t));
                return super.scan(t, v);
            }
        }.scan(p.unit, null);
        return out;
    }

    boolean declaredAtRenamed(Rename.Compiled c, Element e, Set<Rename.Place> renamed) {
        Element decl = e.getKind() == ElementKind.CONSTRUCTOR ? e.getEnclosingElement() : e;
        TreePath path = c.trees.getPath(decl);
        if (path == null)
            return false;
        Path file = Paths.get(path.getCompilationUnit().getSourceFile().toUri());
        Navigate.Parsed p = c.units.get(file);
        Tree t = path.getLeaf();
        if (p != null && t instanceof TypeParameterTree)
            return renamed.contains(new Rename.Place(file, p.start(t)));
        if (p == null || !(t instanceof VariableTree || t instanceof MethodTree || t instanceof ClassTree))
            return false;
        return renamed.contains(new Rename.Place(file, Navigate.namePosition(p, t, newName)));
    }

    static String scopeOf(Rename.Compiled c, TreePath use) {
        for (TreePath q = use; q != null; q = q.getParentPath()) {
            if (q.getLeaf() instanceof MethodTree || q.getLeaf() instanceof ClassTree) {
                Element e = c.trees.getElement(q);
                if (e != null)
                    return describe(e);
            }
        }
        return "the sources";
    }

    // ------------------------------------------------------------ describe

    // "local variable total", "method add(int)", "class Calc".
    static String describe(Element e) {
        if (e == null)
            return "the sources";
        String name = e.getSimpleName().toString();
        switch (e.getKind()) {
        case LOCAL_VARIABLE:
        case RESOURCE_VARIABLE:
        case EXCEPTION_PARAMETER:
            return "local variable " + name;
        case PARAMETER:
            return "parameter " + name;
        case FIELD:
            return "field " + name;
        case ENUM_CONSTANT:
            return "enum constant " + name;
        case METHOD:
            return "method " + name + parameters((ExecutableElement) e);
        case CONSTRUCTOR:
            return "constructor " + e.getEnclosingElement().getSimpleName() + parameters((ExecutableElement) e);
        case INTERFACE:
            return "interface " + name;
        case ENUM:
            return "enum " + name;
        case PACKAGE:
            return name.isEmpty() ? "the unnamed package" : "package " + e;
        default:
            return e.getKind().name().toLowerCase(Locale.ROOT).replace('_', ' ') + " " + name;
        }
    }

    static String parameters(ExecutableElement m) {
        List<String> types = new ArrayList<>();
        for (VariableElement p : m.getParameters())
            types.add(Navigate.simpleType(p.asType().toString()));
        return "(" + String.join(", ", types) + ")";
    }
}
