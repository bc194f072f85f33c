// SPDX-License-Identifier: GPL-3.0-or-later
// The symbol a reference of a doc comment names ({@link String#length()},
// @see java.util.List, #size()), read as the doc comments of a class name it:
// the class itself and the classes around it, their members and supertypes'
// members, the classes of its package, its source's imports, java.lang, and
// names written whole.

package brewpad.service;

import com.sun.source.tree.ImportTree;
import com.sun.source.util.JavacTask;
import com.sun.source.util.Trees;

import java.io.IOException;
import java.util.ArrayList;
import java.util.List;
import javax.lang.model.element.Element;
import javax.lang.model.element.ElementKind;
import javax.lang.model.element.ExecutableElement;
import javax.lang.model.element.TypeElement;
import javax.lang.model.element.VariableElement;
import javax.lang.model.util.Elements;

final class DocReferences {

    private final Docs docs;
    private final JavacTask task;
    private final Elements elements;
    private final List<String> options;
    private final String dir;
    private final String cache;

    DocReferences(Docs docs, JavacTask task, List<String> options, String dir, String cache) {
        this.docs = docs;
        this.task = task;
        this.elements = task.getElements();
        this.options = options;
        this.dir = dir;
        this.cache = cache;
    }

    // The symbol `reference` names in the doc comments of the class `context`; null when none.
    Element resolve(String context, String reference) throws IOException {
        String ref = reference.trim();
        int hash = ref.indexOf('#');
        String typePart = hash >= 0 ? ref.substring(0, hash) : ref;
        String member = hash >= 0 ? ref.substring(hash + 1) : "";
        TypeElement ctx = context.isEmpty() ? null : elements.getTypeElement(context);
        TypeElement type = typePart.isEmpty() ? ctx : type(ctx, typePart);
        if (type == null || member.isEmpty())
            return type;
        return member(type, member);
    }

    TypeElement type(TypeElement ctx, String name) throws IOException {
        String first = name.contains(".") ? name.substring(0, name.indexOf('.')) : name;
        String rest = name.substring(first.length());
        for (Element c = ctx; c instanceof TypeElement; c = c.getEnclosingElement()) {
            TypeElement t = (TypeElement) c;
            if (t.getSimpleName().contentEquals(first))
                return nested(t, rest);
            for (Element m : elements.getAllMembers(t)) {
                if (m instanceof TypeElement && m.getSimpleName().contentEquals(first))
                    return nested((TypeElement) m, rest);
            }
        }
        List<String> candidates = new ArrayList<>();
        if (ctx != null) {
            String pkg = elements.getPackageOf(ctx).getQualifiedName().toString();
            candidates.add(pkg.isEmpty() ? name : pkg + "." + name);
            candidates.addAll(imported(ctx, first, rest));
        }
        candidates.add("java.lang." + name);
        candidates.add(name);
        for (String c : candidates) {
            TypeElement t = elements.getTypeElement(c);
            if (t != null)
                return t;
        }
        return null;
    }

    TypeElement nested(TypeElement t, String rest) {
        return rest.isEmpty() ? t : elements.getTypeElement(t.getQualifiedName() + rest);
    }

    // The names `first` (then `rest`) may stand for by the imports of the source of `ctx`.
    List<String> imported(TypeElement ctx, String first, String rest) throws IOException {
        List<String> out = new ArrayList<>();
        Docs.Found found = docs.find(task, Trees.instance(task), Navigate.outermost(ctx), options, dir, cache);
        if (found.unit == null)
            return out;
        for (ImportTree i : found.unit.getImports()) {
            if (i.isStatic())
                continue;
            String q = i.getQualifiedIdentifier().toString();
            if (q.endsWith("." + first))
                out.add(q + rest);
            else if (q.endsWith(".*"))
                out.add(q.substring(0, q.length() - 1) + first + rest);
        }
        return out;
    }

    // The member `written` ("length()", "indexOf(String, int)", "CASE_INSENSITIVE_ORDER") of `type`.
    Element member(TypeElement type, String written) {
        int paren = written.indexOf('(');
        String name = (paren >= 0 ? written.substring(0, paren) : written).trim();
        List<String> wanted = null;
        if (paren >= 0) {
            wanted = new ArrayList<>();
            String inside = written.substring(paren + 1, Math.max(paren + 1, written.lastIndexOf(')')));
            for (String p : inside.split(",")) {
                String t = p.trim().split("\\s+")[0];
                if (!t.isEmpty())
                    wanted.add(Navigate.simpleType(t));
            }
        }
        boolean constructor = name.contentEquals(type.getSimpleName());
        Element byName = null;
        for (Element m : elements.getAllMembers(type)) {
            boolean named = constructor ? m.getKind() == ElementKind.CONSTRUCTOR
                    && m.getEnclosingElement().equals(type) : m.getSimpleName().contentEquals(name);
            if (!named)
                continue;
            if (wanted == null && m instanceof VariableElement)
                return m;
            if (!(m instanceof ExecutableElement))
                continue;
            if (byName == null)
                byName = m;
            if (wanted != null && wanted.equals(parameterTypes((ExecutableElement) m)))
                return m;
        }
        return byName;
    }

    static List<String> parameterTypes(ExecutableElement m) {
        List<String> out = new ArrayList<>();
        for (VariableElement v : m.getParameters())
            out.add(Navigate.simpleType(v.asType().toString()));
        return out;
    }
}
