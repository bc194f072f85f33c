// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's completion: a source's text, with a placeholder name
// at the caret, parsed and attributed in memory with the options of a check
// (see Check); what fits there is read from javac's own view
// of it: the scope at the caret, the members of the type of the expression
// before a ".". Attribution goes on past errors, so that a text that does
// not compile elsewhere is completed all the same. The parameter hints
// (Signature) use the same analysis.

package brewpad.service;

import com.sun.source.tree.ClassTree;
import com.sun.source.tree.CompilationUnitTree;
import com.sun.source.tree.ErroneousTree;
import com.sun.source.tree.IdentifierTree;
import com.sun.source.tree.MemberSelectTree;
import com.sun.source.tree.MethodTree;
import com.sun.source.tree.Tree;
import com.sun.source.tree.VariableTree;
import com.sun.source.util.JavacTask;
import com.sun.source.util.SourcePositions;
import com.sun.source.util.TreeScanner;
import com.sun.source.util.TreePath;
import com.sun.source.util.TreePathScanner;
import com.sun.source.util.Trees;
import com.sun.source.tree.Scope;

import java.io.IOException;
import java.io.Writer;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Set;
import java.util.TreeSet;
import javax.lang.model.element.Element;
import javax.lang.model.element.ElementKind;
import javax.lang.model.element.ExecutableElement;
import javax.lang.model.element.Modifier;
import javax.lang.model.element.PackageElement;
import javax.lang.model.element.TypeElement;
import javax.lang.model.element.VariableElement;
import javax.lang.model.type.ArrayType;
import javax.lang.model.type.DeclaredType;
import javax.lang.model.type.ExecutableType;
import javax.lang.model.type.TypeMirror;
import javax.lang.model.type.TypeVariable;
import javax.lang.model.util.Elements;
import javax.tools.DiagnosticCollector;
import javax.tools.JavaCompiler;
import javax.tools.JavaFileManager;
import javax.tools.JavaFileObject;
import javax.tools.StandardJavaFileManager;

final class Complete {

    // The name put in the caret's place: no source has it.
    static final String CARET = "brewpad$caret";
    // At most this many items in an answer.
    static final int MOST = 400;
    // Packages whose types are offered by a prefix of their name even when
    // the source does not import them.
    static final String[] OFFERED_PACKAGES = {"java.util", "java.util.function", "java.util.stream",
        "java.util.concurrent", "java.util.regex", "java.io", "java.nio.file", "java.nio.charset", "java.math",
        "java.net", "java.time", "java.text", "javax.swing", "java.awt", "java.awt.event"};
    static final String[] KEYWORDS = {"abstract", "assert", "boolean", "break", "byte", "case", "catch", "char",
        "class", "continue", "default", "do", "double", "else", "enum", "extends", "false", "final", "finally",
        "float", "for", "if", "implements", "import", "instanceof", "int", "interface", "long", "native", "new",
        "null", "package", "private", "protected", "public", "return", "short", "static", "strictfp", "super",
        "switch", "synchronized", "this", "throw", "throws", "transient", "true", "try", "var", "void",
        "volatile", "while"};

    // While completions come, the heap keeps this much room: the resident
    // JVM's heap shrinks to a few megabytes when idle, and a completion in a
    // heap that small spends most of its time collecting; held, it makes the
    // heap (and its young part) grow to fit a completion at once. Let go when
    // the service is idle, so that the memory goes back to the system.
    private static final int ROOM_BYTES = 48 << 20;
    private byte[] room;

    private final JavaCompiler compiler;
    private final ReplyEncoder replies;
    private final Check check;
    private final ParamNames paramNames;

    Complete(JavaCompiler compiler, ReplyEncoder replies, Check check, ParamNames paramNames) {
        this.compiler = compiler;
        this.replies = replies;
        this.check = check;
        this.paramNames = paramNames;
    }

    ParamNames paramNames() {
        return paramNames;
    }

    void keepRoom() {
        if (room == null)
            room = CompileService.allocate(() -> new byte[ROOM_BYTES]);
    }

    // The service is idle.
    void idle() {
        room = null;
    }

    // ------------------------------------------------------------ analysis

    // The text attributed, and the placeholder's place in it.
    static final class Analysis {
        JavacTask task;
        Trees trees;
        Elements elements;
        CompilationUnitTree unit;
        TreePath at;  // the identifier or member selection named CARET; null when there is none
    }

    // The text with the bodies of the methods that do not hold the caret
    // emptied (their line breaks kept, so that every place stays where it
    // is): only the caret's method is attributed, however long the source.
    String withOtherBodiesBlank(JavaFileManager fm, Path file, String text, int caret) throws IOException {
        JavacTask parser = (JavacTask) compiler.getTask(Writer.nullWriter(), fm,
                d -> { }, List.of("-proc:none"), null,
                Collections.singletonList(new Check.Source(file.toUri(), text)));
        Trees trees = Trees.instance(parser);
        char[] out = text.toCharArray();
        for (CompilationUnitTree unit : parser.parse()) {
            SourcePositions at = trees.getSourcePositions();
            new TreeScanner<Void, Void>() {
                @Override
                public Void visitMethod(MethodTree m, Void v) {
                    if (!blank(m.getBody(), 1, null))
                        super.visitMethod(m, v);
                    return null;
                }

                // A field's initializer becomes "null": its type is all
                // the caret's method may need of it.
                @Override
                public Void visitClass(ClassTree c, Void v) {
                    for (Tree member : c.getMembers()) {
                        if (member instanceof VariableTree)
                            blank(((VariableTree) member).getInitializer(), 0, "null");
                    }
                    return super.visitClass(c, v);
                }

                boolean blank(Tree t, int inside, String with) {
                    long from = t != null ? at.getStartPosition(unit, t) : -1;
                    long to = t != null ? at.getEndPosition(unit, t) : -1;
                    if (from < 0 || to <= from || to > out.length || (caret >= from && caret <= to))
                        return false;
                    if (with != null && (to - from < with.length() || !text.substring(0, (int) from).stripTrailing()
                            .endsWith("=")))
                        return false;
                    for (int i = (int) from + inside; i < to - inside; i++) {
                        if (out[i] != '\n' && out[i] != '\r')
                            out[i] = ' ';
                    }
                    if (with != null)
                        with.getChars(0, with.length(), out, (int) from);
                    return true;
                }
            }.scan(unit, null);
        }
        return new String(out);
    }

    // The text `text` of the request `r` attributed.
    Analysis analyze(Request.Complete r, String text, int caret) throws IOException {
        Path file = Paths.get(r.workDir).resolve(r.file).toAbsolutePath().normalize();
        List<String> options = check.options(r.options, r.workDir);
        options.add("-implicit:none");
        options.add("-Xlint:none");
        DiagnosticCollector<JavaFileObject> diags = new DiagnosticCollector<>();
        StandardJavaFileManager standard = compiler.getStandardFileManager(diags,
                Locale.getDefault(), StandardCharsets.UTF_8);
        Check.InMemory fm = new Check.InMemory(standard);
        Analysis a = new Analysis();
        text = withOtherBodiesBlank(fm, file, text, caret);
        a.task = (JavacTask) compiler.getTask(Writer.nullWriter(), fm, diags, options, null,
                Collections.singletonList(new Check.Source(file.toUri(), text)));
        a.trees = Trees.instance(a.task);
        a.elements = a.task.getElements();
        for (CompilationUnitTree u : a.task.parse())
            a.unit = u;
        a.task.analyze();
        final TreePath[] found = {null};
        new TreePathScanner<Void, Void>() {
            @Override
            public Void visitIdentifier(IdentifierTree t, Void v) {
                if (found[0] == null && t.getName().contentEquals(CARET))
                    found[0] = getCurrentPath();
                return null;
            }

            @Override
            public Void visitMemberSelect(MemberSelectTree t, Void v) {
                if (found[0] == null && t.getIdentifier().contentEquals(CARET))
                    found[0] = getCurrentPath();
                return super.visitMemberSelect(t, v);
            }

            // What the parser could not make sense of holds the caret too.
            @Override
            public Void visitErroneous(ErroneousTree t, Void v) {
                return scan(t.getErrorTrees(), v);
            }
        }.scan(a.unit, null);
        a.at = found[0];
        return a;
    }

    static boolean identifierPart(String text, int i) {
        return i >= 0 && i < text.length() && Character.isJavaIdentifierPart(text.charAt(i));
    }

    static int wordStart(String text, int offset) {
        int s = offset;
        while (identifierPart(text, s - 1))
            s--;
        return s;
    }

    static int wordEnd(String text, int offset) {
        int e = offset;
        while (identifierPart(text, e))
            e++;
        return e;
    }

    // The items of an answer, each once, in the order found.
    static final class Items {
        final Map<String, String[]> byKey = new LinkedHashMap<>();
        final String prefix;
        final boolean exact;  // the name must be the prefix itself
        ParamNames sourceNames;  // reads a JDK method's parameter names from its source; null when not wanted

        Items(String prefix, boolean exact) {
            this.prefix = prefix.toLowerCase(Locale.ROOT);
            this.exact = exact;
        }

        boolean wants(String name) {
            if (name.isEmpty() || name.indexOf('$') >= 0 || name.startsWith("<"))
                return false;
            String n = name.toLowerCase(Locale.ROOT);
            return exact ? n.equals(prefix) : n.startsWith(prefix);
        }

        void add(String kind, String name, String detail, String insert) {
            if (byKey.size() < MOST && wants(name))
                byKey.putIfAbsent(kind + "\u0000" + detail, new String[] {kind, name, detail, insert});
        }
    }

    // A type as the source would write it: every name without its package.
    static String shown(TypeMirror t) {
        return t.toString().replaceAll("(?:[A-Za-z_$][\\w$]*\\.)+([A-Za-z_$][\\w$]*)", "$1");
    }

    static String parameters(ExecutableElement m, ExecutableType type, List<String> out, ParamNames sourceNames) {
        List<? extends VariableElement> ps = m.getParameters();
        List<String> names = sourceNames != null ? sourceNames.of(m) : null;
        List<? extends TypeMirror> ts = type != null ? type.getParameterTypes() : null;
        List<String> parts = new ArrayList<>();
        for (int i = 0; i < ps.size(); i++) {
            TypeMirror t = ts != null && i < ts.size() ? ts.get(i) : ps.get(i).asType();
            String s = shown(t);
            if (m.isVarArgs() && i == ps.size() - 1 && s.endsWith("[]"))
                s = s.substring(0, s.length() - 2) + "...";
            String name = names != null ? names.get(i) : ps.get(i).getSimpleName().toString();
            if (!ParamNames.synthetic(name))
                s += " " + name;
            parts.add(s);
        }
        if (out != null)
            out.addAll(parts);
        return String.join(", ", parts);
    }

    static ExecutableType memberType(Analysis a, DeclaredType in, Element e) {
        try {
            TypeMirror t = in != null ? a.task.getTypes().asMemberOf(in, e) : e.asType();
            return t instanceof ExecutableType ? (ExecutableType) t : null;
        } catch (IllegalArgumentException ex) {
            return null;
        }
    }

    // An element as an item: its kind, name, signature or type, and the text
    // to insert.
    static void addElement(Analysis a, Items items, Element e, DeclaredType in, Set<String> visibleTypes) {
        String name = e.getSimpleName().toString();
        switch (e.getKind()) {
        case METHOD: {
            ExecutableElement m = (ExecutableElement) e;
            ExecutableType t = memberType(a, in, e);
            TypeMirror r = t != null ? t.getReturnType() : m.getReturnType();
            items.add("method", name, name + "(" + parameters(m, t, null, items.sourceNames) + ") : " + shown(r), name + "()");
            break;
        }
        case FIELD:
        case ENUM_CONSTANT: {
            TypeMirror t = e.asType();
            try {
                if (in != null)
                    t = a.task.getTypes().asMemberOf(in, e);
            } catch (IllegalArgumentException ex) {
                // its declared type
            }
            items.add("field", name, name + " : " + shown(t), name);
            break;
        }
        case LOCAL_VARIABLE:
        case PARAMETER:
        case EXCEPTION_PARAMETER:
        case RESOURCE_VARIABLE:
            if (!name.equals(CARET))
                items.add("local", name, name + " : " + shown(e.asType()), name);
            break;
        case TYPE_PARAMETER:
            items.add("type", name, name, name);
            break;
        default:
            // The kinds of later Java versions too: records, pattern variables.
            if (e instanceof TypeElement) {
                String qualified = ((TypeElement) e).getQualifiedName().toString();
                boolean visible = visibleTypes == null || visibleTypes.contains(name);
                items.add("type", name, qualified.isEmpty() ? name : qualified, visible ? name : qualified);
            } else if (e.getKind().name().equals("BINDING_VARIABLE") && !name.equals(CARET)) {
                items.add("local", name, name + " : " + shown(e.asType()), name);
            }
            break;
        }
    }

    // The members of the type of the expression before the ".": those of a
    // type's name are its static ones; a package's are its types.
    static void membersAfterDot(Analysis a, Items items) {
        MemberSelectTree select = (MemberSelectTree) a.at.getLeaf();
        TreePath expr = new TreePath(a.at, select.getExpression());
        Element e = a.trees.getElement(expr);
        TypeMirror t = a.trees.getTypeMirror(expr);
        Scope scope = a.trees.getScope(a.at);
        if (e instanceof PackageElement) {
            for (Element m : e.getEnclosedElements()) {
                if (m instanceof TypeElement && a.trees.isAccessible(scope, (TypeElement) m))
                    addElement(a, items, m, null, null);
            }
            return;
        }
        boolean typeName = e instanceof TypeElement;
        if (t instanceof TypeVariable)
            t = ((TypeVariable) t).getUpperBound();
        if (t instanceof ArrayType) {
            items.add("field", "length", "length : int", "length");
            t = a.elements.getTypeElement("java.lang.Object").asType();
        }
        if (!(t instanceof DeclaredType))
            return;
        DeclaredType in = (DeclaredType) t;
        TypeElement type = (TypeElement) in.asElement();
        if (typeName && items.wants("class"))
            items.add("keyword", "class", "class", "class");
        for (Element m : byName(a.elements.getAllMembers(type))) {
            boolean isStatic = m.getModifiers().contains(Modifier.STATIC);
            if (typeName != isStatic && !(typeName && m instanceof TypeElement))
                continue;
            if (m.getKind() == ElementKind.CONSTRUCTOR || !a.trees.isAccessible(scope, m, in))
                continue;
            addElement(a, items, m, in, null);
        }
    }

    // Members in the order of their names (overloads in their own order).
    static List<Element> byName(List<? extends Element> members) {
        List<Element> out = new ArrayList<>(members);
        out.sort((x, y) -> x.getSimpleName().toString().compareTo(y.getSimpleName().toString()));
        return out;
    }

    // What the names at the caret may be: locals and parameters in scope
    // there, members of the enclosing classes, types, keywords.
    static void namesInScope(Analysis a, Items items, boolean withKeywords) {
        Scope scope = a.at != null ? a.trees.getScope(a.at) : null;
        Set<String> visible = new TreeSet<>();
        List<TypeElement> types = Imports.visibleTypes(a, scope);
        for (TypeElement t : types)
            visible.add(t.getSimpleName().toString());
        if (scope != null) {
            for (Scope s = scope; s != null; s = s.getEnclosingScope()) {
                for (Element e : s.getLocalElements()) {
                    if (e instanceof VariableElement || e.getKind() == ElementKind.TYPE_PARAMETER)
                        addElement(a, items, e, null, visible);
                }
            }
            enclosingMembers(a, items, scope, visible);
            Imports.staticMembers(a, items, scope, visible);
        }
        for (TypeElement t : types) {
            // Reading a type's modifiers reads its class: only for those wanted.
            if (items.wants(t.getSimpleName().toString())
                    && (a.elements.getPackageOf(t).isUnnamed() || t.getModifiers().contains(Modifier.PUBLIC)))
                addElement(a, items, t, null, visible);
        }
        if (!items.prefix.isEmpty())
            offeredTypes(a, items, scope, visible);
        if (withKeywords) {
            for (String k : KEYWORDS)
                items.add("keyword", k, k, k);
        }
    }

    static void enclosingMembers(Analysis a, Items items, Scope scope, Set<String> visible) {
        ExecutableElement method = scope.getEnclosingMethod();
        boolean staticOnly = method != null && method.getModifiers().contains(Modifier.STATIC);
        for (Element c = scope.getEnclosingClass(); c != null; c = c.getEnclosingElement()) {
            if (c instanceof PackageElement)
                break;
            if (!(c instanceof TypeElement)) {
                staticOnly |= c.getModifiers().contains(Modifier.STATIC);
                continue;
            }
            TypeElement type = (TypeElement) c;
            DeclaredType in = (DeclaredType) type.asType();
            for (Element m : a.elements.getAllMembers(type)) {
                if (m.getKind() == ElementKind.CONSTRUCTOR || !a.trees.isAccessible(scope, m, in))
                    continue;
                if (staticOnly && !m.getModifiers().contains(Modifier.STATIC) && !(m instanceof TypeElement))
                    continue;
                addElement(a, items, m, in, visible);
            }
            staticOnly |= type.getModifiers().contains(Modifier.STATIC);
        }
    }

    // Types of the common packages of the JDK whose names begin with the
    // prefix, inserted with their package unless they are known already.
    static void offeredTypes(Analysis a, Items items, Scope scope, Set<String> visible) {
        for (String name : OFFERED_PACKAGES) {
            PackageElement p = a.elements.getPackageElement(name);
            if (p == null)
                continue;
            for (Element e : p.getEnclosedElements()) {
                if (e instanceof TypeElement && items.wants(e.getSimpleName().toString())
                        && e.getModifiers().contains(Modifier.PUBLIC))
                    addElement(a, items, e, null, visible);
            }
        }
    }

    // What fits at the caret of the request `r`.
    void complete(Request.Complete r) throws IOException {
        keepRoom();
        String text = r.text;
        int offset = Math.max(0, Math.min(text.length(), r.offset));
        int start = wordStart(text, offset);
        String prefix = text.substring(start, offset);
        String withCaret = text.substring(0, start) + CARET + text.substring(wordEnd(text, offset));
        Analysis a = analyze(r, withCaret, start);
        Items items = new Items(prefix, false);
        if (a.at != null && a.at.getLeaf() instanceof MemberSelectTree)
            membersAfterDot(a, items);
        else
            namesInScope(a, items, true);
        List<Reply.Item> found = new ArrayList<>();
        for (String[] item : items.byKey.values())
            found.add(new Reply.Item(item[0], item[1], item[2], item[3]));
        replies.send(new Reply.Completed(r.id, found));
    }
}
