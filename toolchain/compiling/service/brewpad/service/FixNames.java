// SPDX-License-Identifier: GPL-3.0-or-later
// The quick fixes of a name javac cannot resolve (see Fixes): the import of a
// type of that simple name (from the JDK's modules and the class path), a
// name in scope spelt nearly so, and a method made for a call; and how the
// fixes write a type.

package brewpad.service;

import com.sun.source.tree.AssignmentTree;
import com.sun.source.tree.ClassTree;
import com.sun.source.tree.ExpressionStatementTree;
import com.sun.source.tree.ExpressionTree;
import com.sun.source.tree.IdentifierTree;
import com.sun.source.tree.ImportTree;
import com.sun.source.tree.MemberSelectTree;
import com.sun.source.tree.MethodInvocationTree;
import com.sun.source.tree.MethodTree;
import com.sun.source.tree.ReturnTree;
import com.sun.source.tree.Scope;
import com.sun.source.tree.Tree;
import com.sun.source.tree.VariableTree;
import com.sun.source.util.TreePath;

import java.io.IOException;
import java.util.ArrayList;
import java.util.Comparator;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.Set;
import java.util.TreeMap;
import java.util.TreeSet;
import javax.lang.model.element.Element;
import javax.lang.model.element.ElementKind;
import javax.lang.model.element.ExecutableElement;
import javax.lang.model.element.Modifier;
import javax.lang.model.element.ModuleElement;
import javax.lang.model.element.PackageElement;
import javax.lang.model.element.TypeElement;
import javax.lang.model.type.ArrayType;
import javax.lang.model.type.DeclaredType;
import javax.lang.model.type.TypeKind;
import javax.lang.model.type.TypeMirror;
import javax.tools.JavaFileManager;
import javax.tools.JavaFileObject;
import javax.tools.StandardLocation;

final class FixNames {

    // At most this many imports and this many other names offered.
    static final int MOST_IMPORTS = 8;
    static final int MOST_NAMES = 5;

    // The JDK's public types by simple name, read once.
    private Map<String, List<String>> jdkTypes;

    // ------------------------------------------------------------ unresolved

    void unresolved(Fixes.Unit u, TreePath at, List<Reply.Fix> out) throws IOException {
        Tree leaf = at.getLeaf();
        String name;
        long end = u.end(leaf);
        if (leaf instanceof IdentifierTree)
            name = ((IdentifierTree) leaf).getName().toString();
        else if (leaf instanceof MemberSelectTree)
            name = ((MemberSelectTree) leaf).getIdentifier().toString();
        else
            return;
        if (end < name.length() || !u.text.startsWith(name, (int) (end - name.length())))
            return;
        long start = end - name.length();
        Tree parent = at.getParentPath().getLeaf();
        boolean call = parent instanceof MethodInvocationTree
                && ((MethodInvocationTree) parent).getMethodSelect() == leaf;
        if (!call && leaf instanceof IdentifierTree && Character.isUpperCase(name.charAt(0))) {
            for (String type : typesNamed(u, name))
                out.add(new Reply.Fix("Import " + type, List.of(new Reply.Step("import", 0, 0, type))));
        }
        for (String near : nearNames(u, at, name, call))
            out.add(new Reply.Fix("Change to '" + near + "'", List.of(new Reply.Step("replace", start, end, near))));
        if (call && leaf instanceof IdentifierTree)
            createMethod(u, at.getParentPath(), name, out);
    }

    // ---------------------------------------------------------------- imports

    List<String> typesNamed(Fixes.Unit u, String simple) throws IOException {
        Set<String> names = new TreeSet<>(Comparator.comparing(FixNames::importRank).thenComparing(s -> s));
        if (jdkTypes == null || jdkTypes.isEmpty())
            jdkTypes = readJdkTypes(u);
        names.addAll(jdkTypes.getOrDefault(simple, List.of()));
        // Without modules (a release before 9): the platform's classes.
        if (jdkTypes.isEmpty())
            addListed(u, StandardLocation.PLATFORM_CLASS_PATH, simple, names);
        addListed(u, StandardLocation.CLASS_PATH, simple, names);
        List<String> out = new ArrayList<>();
        for (String n : names) {
            TypeElement t = u.elements.getTypeElement(n);
            if (t != null && t.getModifiers().contains(Modifier.PUBLIC) && out.size() < MOST_IMPORTS)
                out.add(n);
        }
        return out;
    }

    // The packages completion offers first (java.util before java.awt),
    // then java.*, javax.* and the rest.
    static void addListed(Fixes.Unit u, JavaFileManager.Location where, String simple, Set<String> names)
            throws IOException {
        if (!u.files.hasLocation(where))
            return;
        for (JavaFileObject f : u.files.list(where, "", Set.of(JavaFileObject.Kind.CLASS,
                JavaFileObject.Kind.SOURCE), true)) {
            String binary = u.files.inferBinaryName(where, f);
            if (binary != null && binary.endsWith("." + simple) && binary.indexOf('$') < 0)
                names.add(binary);
        }
    }

    static int importRank(String name) {
        String pkg = name.substring(0, Math.max(0, name.lastIndexOf('.')));
        int offered = java.util.Arrays.asList(Complete.OFFERED_PACKAGES).indexOf(pkg);
        if (offered >= 0)
            return offered;
        return Complete.OFFERED_PACKAGES.length + (name.startsWith("java.") ? 0 : name.startsWith("javax.") ? 1 : 2);
    }

    // The top-level types of the packages the JDK's modules export to all.
    static Map<String, List<String>> readJdkTypes(Fixes.Unit u) throws IOException {
        Map<String, List<String>> out = new HashMap<>();
        for (ModuleElement m : u.elements.getAllModuleElements()) {
            if (m.isUnnamed())
                continue;
            for (ModuleElement.Directive d : m.getDirectives()) {
                if (!(d instanceof ModuleElement.ExportsDirective) || ((ModuleElement.ExportsDirective) d)
                        .getTargetModules() != null)
                    continue;
                PackageElement p = ((ModuleElement.ExportsDirective) d).getPackage();
                listPackage(u.files, m.getQualifiedName().toString(), p.getQualifiedName().toString(), out);
            }
        }
        return out;
    }

    static void listPackage(JavaFileManager files, String module, String pkg, Map<String, List<String>> out)
            throws IOException {
        JavaFileManager.Location where = files.getLocationForModule(StandardLocation.SYSTEM_MODULES, module);
        if (where == null)
            return;
        for (JavaFileObject f : files.list(where, pkg, Set.of(JavaFileObject.Kind.CLASS), false)) {
            String binary = files.inferBinaryName(where, f);
            if (binary == null || binary.indexOf('$') >= 0 || binary.endsWith("-info"))
                continue;
            String simple = binary.substring(binary.lastIndexOf('.') + 1);
            out.computeIfAbsent(simple, k -> new ArrayList<>()).add(binary);
        }
    }

    // --------------------------------------------------------- misspellings

    static int distance(String a, String b) {
        int[] row = new int[b.length() + 1];
        for (int j = 0; j <= b.length(); j++)
            row[j] = j;
        for (int i = 1; i <= a.length(); i++) {
            int diagonal = row[0];
            row[0] = i;
            for (int j = 1; j <= b.length(); j++) {
                int above = row[j];
                int cost = a.charAt(i - 1) == b.charAt(j - 1) ? 0 : 1;
                row[j] = Math.min(Math.min(row[j] + 1, row[j - 1] + 1), diagonal + cost);
                diagonal = above;
            }
        }
        return row[b.length()];
    }

    // The names in scope at `at` (methods for a call, else variables and
    // types) nearest to `name`, nearest first.
    List<String> nearNames(Fixes.Unit u, TreePath at, String name, boolean call) {
        int most = name.length() <= 3 ? 1 : name.length() <= 6 ? 2 : 3;
        Map<String, Integer> found = new TreeMap<>();
        List<String> pool = at.getLeaf() instanceof MemberSelectTree ? memberNames(u, at, call)
                : namesInScope(u, at, call);
        for (String n : pool) {
            int d = n.equalsIgnoreCase(name) ? 1 : distance(n, name);
            if (d > 0 && d <= most)
                found.merge(n, d, Math::min);
        }
        List<String> out = new ArrayList<>(found.keySet());
        out.sort(Comparator.comparing(found::get));
        return out.subList(0, Math.min(MOST_NAMES, out.size()));
    }

    // The members of the type before the "." of a member selection.
    static List<String> memberNames(Fixes.Unit u, TreePath at, boolean call) {
        List<String> out = new ArrayList<>();
        TypeMirror t = u.trees.getTypeMirror(new TreePath(at, ((MemberSelectTree) at.getLeaf()).getExpression()));
        if (t instanceof DeclaredType) {
            for (Element e : u.elements.getAllMembers((TypeElement) ((DeclaredType) t).asElement()))
                addName(e, call, out);
        }
        return out;
    }

    static List<String> namesInScope(Fixes.Unit u, TreePath at, boolean call) {
        List<String> out = new ArrayList<>();
        Scope scope = u.trees.getScope(at);
        for (Scope s = scope; s != null; s = s.getEnclosingScope()) {
            for (Element e : s.getLocalElements())
                addName(e, call, out);
        }
        for (TypeElement c = scope.getEnclosingClass(); c != null; c = enclosingClass(c)) {
            for (Element e : u.elements.getAllMembers(c))
                addName(e, call, out);
        }
        if (!call) {
            for (TypeElement t : visibleTypes(u))
                out.add(t.getSimpleName().toString());
        }
        return out;
    }

    static TypeElement enclosingClass(Element e) {
        for (Element o = e.getEnclosingElement(); o != null; o = o.getEnclosingElement()) {
            if (o instanceof TypeElement)
                return (TypeElement) o;
        }
        return null;
    }

    static void addName(Element e, boolean call, List<String> out) {
        ElementKind k = e.getKind();
        boolean method = k == ElementKind.METHOD;
        boolean variable = k == ElementKind.FIELD || k == ElementKind.LOCAL_VARIABLE || k == ElementKind.PARAMETER
                || k == ElementKind.ENUM_CONSTANT || k == ElementKind.EXCEPTION_PARAMETER
                || k == ElementKind.RESOURCE_VARIABLE || k.isClass() || k.isInterface();
        if (call ? method : variable)
            out.add(e.getSimpleName().toString());
    }

    static List<TypeElement> visibleTypes(Fixes.Unit u) {
        List<TypeElement> out = new ArrayList<>();
        Imports.addTypesOf(out, u.elements.getPackageElement("java.lang"));
        TreePath unitPath = new TreePath(u.tree);
        for (ImportTree i : u.tree.getImports()) {
            Element t = i.isStatic() ? null : u.trees.getElement(new TreePath(new TreePath(unitPath, i),
                    i.getQualifiedIdentifier()));
            if (t instanceof TypeElement)
                out.add((TypeElement) t);
            else if (t instanceof PackageElement)
                Imports.addTypesOf(out, (PackageElement) t);
        }
        return out;
    }

    // ---------------------------------------------------------- types written

    // How a fix writes `t` in the source: by its simple name, with an import
    // step added to `steps` when the source does not import it yet.
    String written(Fixes.Unit u, TypeMirror t, TreePath at, List<Reply.Step> steps) {
        if (t.getKind() == TypeKind.ARRAY)
            return written(u, ((ArrayType) t).getComponentType(), at, steps) + "[]";
        if (t.getKind() == TypeKind.NULL || t.getKind() == TypeKind.ERROR || t.getKind() == TypeKind.INTERSECTION
                || t.getKind() == TypeKind.TYPEVAR || t.getKind() == TypeKind.WILDCARD)
            return "Object";
        if (t.getKind() != TypeKind.DECLARED)
            return t.toString();
        TypeElement e = (TypeElement) ((DeclaredType) t).asElement();
        String name = e.getSimpleName().toString();
        Element outer = e.getEnclosingElement();
        if (outer instanceof TypeElement)
            name = written(u, outer.asType(), at, steps).replaceAll("<.*", "") + "." + name;
        else if (!simpleNameFits(u, e, at))
            steps.add(new Reply.Step("import", 0, 0, e.getQualifiedName().toString()));
        List<String> args = new ArrayList<>();
        for (TypeMirror a : ((DeclaredType) t).getTypeArguments())
            args.add(a.getKind() == TypeKind.WILDCARD ? "?" : written(u, a, at, steps));
        return args.isEmpty() ? name : name + "<" + String.join(", ", args) + ">";
    }

    static boolean simpleNameFits(Fixes.Unit u, TypeElement e, TreePath at) {
        Element pkg = e.getEnclosingElement();
        String p = pkg instanceof PackageElement ? ((PackageElement) pkg).getQualifiedName().toString() : "";
        if (p.isEmpty() || p.equals("java.lang"))
            return true;
        String own = u.tree.getPackageName() != null ? u.tree.getPackageName().toString() : "";
        if (p.equals(own))
            return true;
        String qualified = e.getQualifiedName().toString();
        for (ImportTree i : u.tree.getImports()) {
            String q = i.getQualifiedIdentifier().toString();
            if (!i.isStatic() && (q.equals(qualified) || q.equals(p + ".*")))
                return true;
        }
        return false;
    }

    // `base`, or `base` with a number after it, that no name in scope has.
    String freeName(Fixes.Unit u, TreePath at, String base) {
        List<String> taken = namesInScope(u, at, false);
        String name = base;
        for (int n = 1; taken.contains(name); n++)
            name = base + n;
        return name;
    }

    // --------------------------------------------------------------- methods

    void createMethod(Fixes.Unit u, TreePath call, String name, List<Reply.Fix> out) {
        TreePath c = Fixes.enclosing(call, ClassTree.class);
        if (c == null)
            return;
        long brace = u.end(c.getLeaf()) - 1;
        if (brace < 0 || brace >= u.text.length() || u.text.charAt((int) brace) != '}')
            return;
        List<Reply.Step> steps = new ArrayList<>();
        List<String> types = new ArrayList<>();
        List<String> params = new ArrayList<>();
        for (ExpressionTree a : ((MethodInvocationTree) call.getLeaf()).getArguments()) {
            TypeMirror t = u.trees.getTypeMirror(new TreePath(call, a));
            String type = t == null ? "Object" : written(u, t, call, steps);
            String p = a instanceof IdentifierTree ? ((IdentifierTree) a).getName().toString() : "arg";
            while (params.contains(p) || p.equals("arg"))
                p = (p.equals("arg") ? "arg" : p) + params.size();
            types.add(type);
            params.add(p);
        }
        List<String> declared = new ArrayList<>();
        for (int i = 0; i < types.size(); i++)
            declared.add(types.get(i) + " " + params.get(i));
        TypeMirror result = resultWanted(u, call);
        String returns = result == null ? "void" : written(u, result, call, steps);
        String value = Fixes.defaultValue(result);
        String text = "private " + (isStatic(u, call) ? "static " : "") + returns + " " + name + "("
                + String.join(", ", declared) + ") {\n" + (value != null ? "\treturn " + value + ";\n" : "") + "}";
        steps.add(new Reply.Step("method", brace, brace, text));
        out.add(new Reply.Fix("Create method '" + name + "(" + String.join(", ", types) + ")'", steps));
    }

    // The type a call's place wants; null for a statement of its own.
    static TypeMirror resultWanted(Fixes.Unit u, TreePath call) {
        TreePath p = call.getParentPath();
        Tree t = p.getLeaf();
        if (t instanceof ExpressionStatementTree)
            return null;
        if (t instanceof VariableTree && ((VariableTree) t).getInitializer() == call.getLeaf())
            return u.trees.getTypeMirror(p);
        if (t instanceof AssignmentTree)
            return u.trees.getTypeMirror(new TreePath(p, ((AssignmentTree) t).getVariable()));
        if (t instanceof ReturnTree) {
            TreePath m = Fixes.enclosing(p, MethodTree.class);
            Element e = m != null ? u.trees.getElement(m) : null;
            if (e instanceof ExecutableElement)
                return ((ExecutableElement) e).getReturnType();
        }
        if (t.getKind() == Tree.Kind.PARENTHESIZED && p.getParentPath().getLeaf().getKind() != Tree.Kind.METHOD_INVOCATION)
            return u.types.getPrimitiveType(TypeKind.BOOLEAN);
        return u.elements.getTypeElement("java.lang.Object").asType();
    }

    static boolean isStatic(Fixes.Unit u, TreePath call) {
        for (TreePath p = call; p != null; p = p.getParentPath()) {
            Tree t = p.getLeaf();
            if (t instanceof MethodTree)
                return ((MethodTree) t).getModifiers().getFlags().contains(Modifier.STATIC);
            if (t instanceof VariableTree && p.getParentPath().getLeaf() instanceof ClassTree)
                return ((VariableTree) t).getModifiers().getFlags().contains(Modifier.STATIC);
            if (t instanceof ClassTree)
                return false;
        }
        return false;
    }
}
