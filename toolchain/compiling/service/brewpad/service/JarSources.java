// SPDX-License-Identifier: GPL-3.0-or-later
// Go to Definition into a class of a jar on the class path: its source from
// the "-sources.jar" beside the jar (taken out into the private cache, as the
// JDK's are), else a read-only view written from the compiler's model of the
// class: its package, its declaration and its public and protected members,
// without bodies.

package brewpad.service;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardCopyOption;
import java.nio.file.attribute.PosixFilePermissions;
import java.util.List;
import java.util.Set;
import java.util.jar.JarFile;
import java.util.stream.Collectors;
import javax.lang.model.element.Element;
import javax.lang.model.element.ElementKind;
import javax.lang.model.element.ExecutableElement;
import javax.lang.model.element.Modifier;
import javax.lang.model.element.TypeElement;
import javax.lang.model.element.VariableElement;

final class JarSources {

    private JarSources() {}

    // The source of `top` (its file `rel`, "org/demo/A.java") when a jar of
    // the class path of `options` holds its class; null otherwise.
    static Path sourceOf(List<String> options, String dir, TypeElement top, String pkg, String rel, Path cache) {
        Path jar = jarHolding(options, dir, rel.substring(0, rel.length() - ".java".length()) + ".class");
        if (jar == null)
            return null;
        String name = jar.getFileName().toString();
        Path folder = cache.resolve("jars").resolve(name + "-" + Integer.toHexString(jar.toString().hashCode()));
        Path sources = jar.resolveSibling(name.substring(0, name.length() - ".jar".length()) + "-sources.jar");
        if (Files.isRegularFile(sources)) {
            Path extracted = JdkSources.extract(sources, rel, folder.resolve("sources"));
            if (extracted != null)
                return extracted;
        }
        Path target = folder.resolve("members").resolve(rel).normalize();
        return target.startsWith(folder) ? writeView(target, view(top, pkg, name)) : null;
    }

    static Path jarHolding(List<String> options, String dir, String classEntry) {
        String classPath = null;
        for (int i = 0; i + 1 < options.size(); i++) {
            String o = options.get(i);
            if (o.equals("-classpath") || o.equals("-cp") || o.equals("--class-path"))
                classPath = options.get(i + 1);
        }
        if (classPath == null)
            return null;
        for (String entry : classPath.split(":")) {
            if (!entry.toLowerCase().endsWith(".jar"))
                continue;
            Path jar = Paths.get(dir).resolve(entry).toAbsolutePath().normalize();
            if (!Files.isRegularFile(jar))
                continue;
            try (JarFile f = new JarFile(jar.toFile())) {
                if (f.getEntry(classEntry) != null)
                    return jar;
            } catch (IOException e) {
                // not a jar that can be read: the next one
            }
        }
        return null;
    }

    static Path writeView(Path target, String text) {
        try {
            Files.createDirectories(target.getParent(),
                    PosixFilePermissions.asFileAttribute(PosixFilePermissions.fromString("rwx------")));
            Path part = Files.createTempFile(target.getParent(), ".part", ".java");
            Files.write(part, text.getBytes(StandardCharsets.UTF_8));
            Files.setPosixFilePermissions(part, PosixFilePermissions.fromString("r--------"));
            Files.move(part, target, StandardCopyOption.REPLACE_EXISTING, StandardCopyOption.ATOMIC_MOVE);
            return target;
        } catch (IOException | RuntimeException e) {
            return null;
        }
    }

    static String view(TypeElement top, String pkg, String jarName) {
        StringBuilder out = new StringBuilder();
        out.append("// ").append(top.getQualifiedName()).append(" of ").append(jarName)
                .append(": no source beside the jar, so its public and protected members only\n");
        if (!pkg.isEmpty())
            out.append("package ").append(pkg).append(";\n");
        out.append('\n');
        type(out, top, "");
        return out.toString();
    }

    static boolean shown(Element e) {
        Set<Modifier> m = e.getModifiers();
        return m.contains(Modifier.PUBLIC) || m.contains(Modifier.PROTECTED);
    }

    static String modifiers(Element e) {
        return e.getModifiers().stream().filter(m -> m != Modifier.NATIVE && m != Modifier.SYNCHRONIZED)
                .map(m -> m + " ").collect(Collectors.joining());
    }

    static void type(StringBuilder out, TypeElement t, String indent) {
        ElementKind k = t.getKind();
        String kind = k == ElementKind.INTERFACE ? "interface"
                : k == ElementKind.ENUM ? "enum"
                : k == ElementKind.ANNOTATION_TYPE ? "@interface"
                : "class";
        String mods = modifiers(t);
        if (t.getKind() == ElementKind.INTERFACE || t.getKind() == ElementKind.ANNOTATION_TYPE)
            mods = mods.replace("abstract ", "");
        if (t.getKind() == ElementKind.ENUM)
            mods = mods.replace("final ", "");
        out.append(indent).append(mods).append(kind).append(' ').append(t.getSimpleName()).append(" {\n");
        String inner = indent + "    ";
        if (t.getKind() == ElementKind.ENUM) {
            out.append(inner).append(t.getEnclosedElements().stream()
                    .filter(e -> e.getKind() == ElementKind.ENUM_CONSTANT).map(e -> e.getSimpleName().toString())
                    .collect(Collectors.joining(", "))).append(";\n");
        }
        for (Element e : t.getEnclosedElements()) {
            if (!shown(e) && e.getKind() != ElementKind.ENUM_CONSTANT)
                continue;
            if (e instanceof TypeElement)
                type(out, (TypeElement) e, inner);
            else if (e.getKind() == ElementKind.FIELD)
                out.append(inner).append(modifiers(e)).append(((VariableElement) e).asType()).append(' ')
                        .append(e.getSimpleName()).append(";\n");
            else if (e instanceof ExecutableElement)
                method(out, (ExecutableElement) e, t, inner);
        }
        out.append(indent).append("}\n");
    }

    static void method(StringBuilder out, ExecutableElement m, TypeElement owner, String indent) {
        if (m.getKind() == ElementKind.STATIC_INIT || m.getKind() == ElementKind.INSTANCE_INIT)
            return;
        out.append(indent).append(modifiers(m).replace("default ", ""));
        if (!m.getTypeParameters().isEmpty())
            out.append('<').append(m.getTypeParameters().stream().map(Object::toString)
                    .collect(Collectors.joining(", "))).append("> ");
        boolean constructor = m.getKind() == ElementKind.CONSTRUCTOR;
        if (!constructor)
            out.append(m.getReturnType()).append(' ');
        out.append(constructor ? owner.getSimpleName() : m.getSimpleName()).append('(');
        String sep = "";
        for (VariableElement p : m.getParameters()) {
            out.append(sep).append(p.asType()).append(' ').append(p.getSimpleName());
            sep = ", ";
        }
        out.append(')');
        if (!m.getThrownTypes().isEmpty())
            out.append(" throws ").append(m.getThrownTypes().stream().map(Object::toString)
                    .collect(Collectors.joining(", ")));
        out.append(";\n");
    }
}
