// SPDX-License-Identifier: GPL-3.0-or-later
// The names of a JDK method's parameters where the compiler read it from a
// class file without them (arg0, arg1, ...): read from the declaring class's
// source in the JDK's lib/src.zip, parsed only (no attribution), and kept per
// class in memory (the most recently asked classes, a bounded number), so
// that the next hint for the class is as quick as one without names.

package brewpad.service;

import com.sun.source.tree.ClassTree;
import com.sun.source.tree.CompilationUnitTree;
import com.sun.source.tree.MethodTree;
import com.sun.source.tree.Tree;
import com.sun.source.tree.VariableTree;

import java.io.IOException;
import java.io.InputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.zip.ZipEntry;
import java.util.zip.ZipFile;
import javax.lang.model.element.Element;
import javax.lang.model.element.ElementKind;
import javax.lang.model.element.ExecutableElement;
import javax.lang.model.element.ModuleElement;
import javax.lang.model.element.PackageElement;
import javax.lang.model.element.TypeElement;
import javax.lang.model.element.VariableElement;

final class ParamNames {

    private static final int CLASSES = 64;

    // Per top-level class: "Outer.Inner#name(Type,Type)" and
    // "Outer.Inner#name/count" to the names its source gives. A class without
    // a source maps to an empty table.
    private final Map<String, Map<String, List<String>>> cache =
            new LinkedHashMap<>(CLASSES, 0.75f, true) {
                @Override
                protected boolean removeEldestEntry(Map.Entry<String, Map<String, List<String>>> eldest) {
                    return size() > CLASSES;
                }
            };

    // Parses the sources.
    private final Navigate navigate;

    ParamNames(Navigate navigate) {
        this.navigate = navigate;
    }

    static boolean synthetic(String name) {
        return name.matches("arg\\d+");
    }

    // The names of `m`'s parameters, or null when they are the compiler's
    // own and no source gives others.
    synchronized List<String> of(ExecutableElement m) {
        List<? extends VariableElement> ps = m.getParameters();
        if (ps.isEmpty() || !synthetic(ps.get(0).getSimpleName().toString()))
            return null;
        StringBuilder classes = new StringBuilder();
        Element top = m.getEnclosingElement();
        for (Element c = top; c instanceof TypeElement; c = c.getEnclosingElement()) {
            classes.insert(0, classes.length() == 0 ? c.getSimpleName() : c.getSimpleName() + ".");
            top = c;
        }
        if (!(top instanceof TypeElement) || !(top.getEnclosingElement() instanceof PackageElement))
            return null;
        PackageElement pkg = (PackageElement) top.getEnclosingElement();
        Element module = pkg.getEnclosingElement();
        if (!(module instanceof ModuleElement) || ((ModuleElement) module).isUnnamed())
            return null;
        String entry = ((ModuleElement) module).getQualifiedName() + "/"
                + (pkg.isUnnamed() ? "" : pkg.getQualifiedName().toString().replace('.', '/') + "/")
                + top.getSimpleName() + ".java";
        Map<String, List<String>> table = cache.computeIfAbsent(entry, this::read);
        String name = m.getKind() == ElementKind.CONSTRUCTOR ? "<init>" : m.getSimpleName().toString();
        List<String> types = new ArrayList<>();
        for (VariableElement v : ps)
            types.add(Navigate.simpleType(v.asType().toString()));
        List<String> names = table.get(classes + "#" + name + "(" + String.join(",", types) + ")");
        if (names == null)
            names = table.get(classes + "#" + name + "/" + ps.size());
        return names != null && names.size() == ps.size() ? names : null;
    }

    // The table of `entry` of the running JDK's src.zip; empty without one.
    Map<String, List<String>> read(String entry) {
        Map<String, List<String>> table = new HashMap<>();
        Path zip = Paths.get(System.getProperty("java.home"), "lib", "src.zip");
        if (!Files.isRegularFile(zip))
            return table;
        String text;
        try (ZipFile z = new ZipFile(zip.toFile())) {
            ZipEntry ze = z.getEntry(entry);
            if (ze == null)
                return table;
            try (InputStream in = z.getInputStream(ze)) {
                text = new String(in.readAllBytes(), StandardCharsets.UTF_8);
            }
            CompilationUnitTree unit = navigate.parse(Paths.get("/" + entry), text).unit;
            for (Tree t : unit.getTypeDecls())
                collect(t, "", table);
        } catch (IOException | RuntimeException e) {
            table.clear();
        }
        return table;
    }

    static void collect(Tree t, String outer, Map<String, List<String>> table) {
        if (!(t instanceof ClassTree))
            return;
        ClassTree c = (ClassTree) t;
        String classes = outer.isEmpty() ? c.getSimpleName().toString() : outer + "." + c.getSimpleName();
        for (Tree member : c.getMembers()) {
            if (member instanceof ClassTree) {
                collect(member, classes, table);
                continue;
            }
            if (!(member instanceof MethodTree))
                continue;
            MethodTree m = (MethodTree) member;
            List<String> types = new ArrayList<>();
            List<String> names = new ArrayList<>();
            for (VariableTree v : m.getParameters()) {
                types.add(Navigate.simpleType(String.valueOf(v.getType())));
                names.add(v.getName().toString());
            }
            if (names.isEmpty())
                continue;
            String key = classes + "#" + m.getName();
            table.putIfAbsent(key + "(" + String.join(",", types) + ")", names);
            table.putIfAbsent(key + "/" + names.size(), names);
        }
    }
}
