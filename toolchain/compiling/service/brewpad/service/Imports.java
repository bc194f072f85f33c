// SPDX-License-Identifier: GPL-3.0-or-later
// What a source's imports bring into scope for completion: the types known by
// their simple name, and the static members of its static imports.

package brewpad.service;
import com.sun.source.tree.ImportTree;
import com.sun.source.tree.MemberSelectTree;
import com.sun.source.tree.Scope;
import com.sun.source.tree.Tree;
import com.sun.source.util.TreePath;

import java.util.ArrayList;
import java.util.List;
import java.util.Set;
import javax.lang.model.element.Element;
import javax.lang.model.element.ElementKind;
import javax.lang.model.element.Modifier;
import javax.lang.model.element.PackageElement;
import javax.lang.model.element.TypeElement;
import javax.lang.model.type.DeclaredType;

final class Imports {
    private Imports() {
    }

    // The types known by their simple name: java.lang's, the imported ones,
    // those of the source's own package.
    static List<TypeElement> visibleTypes(Complete.Analysis a, Scope scope) {
        List<TypeElement> out = new ArrayList<>();
        addTypesOf(out, a.elements.getPackageElement("java.lang"));
        if (scope != null && scope.getEnclosingClass() != null)
            addTypesOf(out, a.elements.getPackageOf(scope.getEnclosingClass()));
        TreePath unitPath = new TreePath(a.unit);
        for (ImportTree i : a.unit.getImports()) {
            if (i.isStatic())
                continue;
            Tree q = i.getQualifiedIdentifier();
            if (q instanceof MemberSelectTree && ((MemberSelectTree) q).getIdentifier().contentEquals("*")) {
                Element p = a.trees.getElement(new TreePath(new TreePath(unitPath, i),
                        ((MemberSelectTree) q).getExpression()));
                if (p instanceof PackageElement)
                    addTypesOf(out, (PackageElement) p);
                continue;
            }
            Element t = a.trees.getElement(new TreePath(new TreePath(unitPath, i), q));
            if (t instanceof TypeElement)
                out.add((TypeElement) t);
        }
        return out;
    }

    static void addTypesOf(List<TypeElement> out, PackageElement p) {
        if (p == null)
            return;
        for (Element e : p.getEnclosedElements()) {
            if (e instanceof TypeElement)
                out.add((TypeElement) e);
        }
    }

    // The static members that the static imports name ("import static
    // java.lang.Math.max;") or bring in whole ("import static
    // java.util.Collections.*;"), when the scope may use them.
    static void staticMembers(Complete.Analysis a, Complete.Items items, Scope scope,
            Set<String> visible) {
        TreePath unitPath = new TreePath(a.unit);
        for (ImportTree i : a.unit.getImports()) {
            if (!i.isStatic() || !(i.getQualifiedIdentifier() instanceof MemberSelectTree))
                continue;
            MemberSelectTree q = (MemberSelectTree) i.getQualifiedIdentifier();
            String name = q.getIdentifier().toString();
            if (!name.equals("*") && !items.wants(name))
                continue;
            Element t = a.trees.getElement(new TreePath(new TreePath(unitPath, i), q.getExpression()));
            if (!(t instanceof TypeElement))
                continue;
            DeclaredType in = (DeclaredType) t.asType();
            for (Element m : a.elements.getAllMembers((TypeElement) t)) {
                if (m.getKind() == ElementKind.CONSTRUCTOR || !m.getModifiers().contains(Modifier.STATIC)
                        || (!name.equals("*") && !m.getSimpleName().contentEquals(name))
                        || !a.trees.isAccessible(scope, m, in))
                    continue;
                Complete.addElement(a, items, m, in, visible);
            }
        }
    }
}
