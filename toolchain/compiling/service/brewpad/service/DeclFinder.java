// SPDX-License-Identifier: GPL-3.0-or-later
// The declaration of an element of the compiler's model in the parsed tree of
// another source (one the compiler read as a class file, or the JDK's): its
// classes by their names, then the member by its name and, for a method, by
// its parameters' types as written (then by their number, then by the name
// alone, so that one of the overloads is found all the same).

package brewpad.service;

import com.sun.source.tree.ClassTree;
import com.sun.source.tree.MethodTree;
import com.sun.source.tree.Tree;
import com.sun.source.tree.VariableTree;

import java.util.ArrayDeque;
import java.util.ArrayList;
import java.util.Deque;
import java.util.List;
import javax.lang.model.element.Element;
import javax.lang.model.element.ElementKind;
import javax.lang.model.element.ExecutableElement;
import javax.lang.model.element.TypeElement;
import javax.lang.model.element.VariableElement;

final class DeclFinder {

    private DeclFinder() {}

    static Tree find(Navigate.Parsed p, Element e) {
        Deque<TypeElement> classes = new ArrayDeque<>();
        for (Element c = e instanceof TypeElement ? e : e.getEnclosingElement(); c instanceof TypeElement;
                c = c.getEnclosingElement())
            classes.push((TypeElement) c);
        List<? extends Tree> members = p.unit.getTypeDecls();
        ClassTree found = null;
        for (TypeElement c : classes) {
            found = classNamed(members, c.getSimpleName().toString());
            if (found == null)
                return null;
            members = found.getMembers();
        }
        if (e instanceof TypeElement)
            return found;
        if (found == null)
            return null;
        if (e instanceof VariableElement) {
            for (Tree m : members) {
                if (m instanceof VariableTree && ((VariableTree) m).getName().contentEquals(e.getSimpleName()))
                    return m;
            }
            return null;
        }
        if (e instanceof ExecutableElement) {
            Tree m = method(members, (ExecutableElement) e);
            // A record's accessor that the source does not write is declared
            // by its component.
            if (m == null && ((ExecutableElement) e).getParameters().isEmpty()
                    && found.getKind().name().equals("RECORD")) {
                for (Tree v : members) {
                    if (v instanceof VariableTree && ((VariableTree) v).getName().contentEquals(e.getSimpleName()))
                        return v;
                }
            }
            return m;
        }
        return null;
    }

    static ClassTree classNamed(List<? extends Tree> members, String name) {
        for (Tree t : members) {
            if (t instanceof ClassTree && ((ClassTree) t).getSimpleName().contentEquals(name))
                return (ClassTree) t;
        }
        return null;
    }

    static Tree method(List<? extends Tree> members, ExecutableElement e) {
        String name = e.getKind() == ElementKind.CONSTRUCTOR ? "<init>" : e.getSimpleName().toString();
        List<String> wanted = new ArrayList<>();
        for (VariableElement v : e.getParameters())
            wanted.add(Navigate.simpleType(v.asType().toString()));
        MethodTree byCount = null;
        MethodTree byName = null;
        for (Tree t : members) {
            if (!(t instanceof MethodTree) || !((MethodTree) t).getName().contentEquals(name))
                continue;
            MethodTree m = (MethodTree) t;
            if (byName == null)
                byName = m;
            if (m.getParameters().size() != wanted.size())
                continue;
            if (byCount == null)
                byCount = m;
            List<String> written = new ArrayList<>();
            for (VariableTree v : m.getParameters())
                written.add(Navigate.simpleType(String.valueOf(v.getType())));
            if (written.equals(wanted))
                return m;
        }
        return byCount != null ? byCount : byName;
    }
}
