// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's parameter hints: the call whose "(" encloses the
// caret, found in the text, and its overloads from javac's view of it (the
// analysis of Complete with the placeholder in the place of
// the method's name), each with its parameters; the index of the caret's
// argument.

package brewpad.service;

import com.sun.source.tree.MemberSelectTree;
import com.sun.source.tree.NewClassTree;
import com.sun.source.tree.Scope;
import com.sun.source.util.TreePath;
import com.sun.source.util.TreePathScanner;

import java.io.IOException;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import javax.lang.model.element.Element;
import javax.lang.model.element.ElementKind;
import javax.lang.model.element.ExecutableElement;
import javax.lang.model.element.TypeElement;
import javax.lang.model.type.DeclaredType;

final class Signature {

    private final ReplyEncoder replies;
    private final Complete complete;
    private final ParamNames paramNames;

    Signature(ReplyEncoder replies, Complete complete, ParamNames paramNames) {
        this.replies = replies;
        this.complete = complete;
        this.paramNames = paramNames;
    }

    // Where the call whose "(" encloses `offset` opens, and how many of its
    // commas come before `offset`: {position of "(", commas}, or null.
    static int[] enclosingCall(String text, int offset) {
        List<int[]> open = new ArrayList<>();  // {position, character, commas}
        int i = 0;
        while (i < offset) {
            char c = text.charAt(i);
            if (c == '/' && i + 1 < text.length() && text.charAt(i + 1) == '/') {
                int e = text.indexOf('\n', i);
                i = e < 0 ? text.length() : e;
            } else if (c == '/' && i + 1 < text.length() && text.charAt(i + 1) == '*') {
                int e = text.indexOf("*/", i + 2);
                i = e < 0 ? text.length() : e + 2;
            } else if (text.startsWith("\"\"\"", i)) {
                int e = text.indexOf("\"\"\"", i + 3);
                i = e < 0 ? text.length() : e + 3;
            } else if (c == '"' || c == '\'') {
                i++;
                while (i < text.length() && text.charAt(i) != c && text.charAt(i) != '\n')
                    i += text.charAt(i) == '\\' ? 2 : 1;
                i++;
            } else {
                if (c == '(' || c == '[' || c == '{')
                    open.add(new int[] {i, c, 0});
                else if (c == ')' || c == ']' || c == '}')
                    close(open, c == ')' ? '(' : c == ']' ? '[' : '{');
                else if (c == ',' && !open.isEmpty())
                    open.get(open.size() - 1)[2]++;
                i++;
            }
        }
        if (open.isEmpty() || open.get(open.size() - 1)[1] != '(' || i > offset)
            return null;
        int[] last = open.get(open.size() - 1);
        return new int[] {last[0], last[2]};
    }

    // Closes the innermost `opener`, and whatever was left open inside it.
    static void close(List<int[]> open, char opener) {
        for (int k = open.size() - 1; k >= 0; k--) {
            if (open.get(k)[1] == opener) {
                open.subList(k, open.size()).clear();
                return;
            }
        }
    }

    // The overloads of the call whose "(" encloses the caret of the request `r`.
    void signature(Request.Complete r) throws IOException {
        complete.keepRoom();
        String text = r.text;
        int offset = Math.max(0, Math.min(text.length(), r.offset));
        int[] call = enclosingCall(text, offset);
        int end = call != null ? call[0] : 0;
        while (end > 0 && Character.isWhitespace(text.charAt(end - 1)))
            end--;
        int start = Complete.wordStart(text, end);
        if (call == null || start == end) {
            replies.send(new Reply.Signatures(r.id, 0, List.of()));
            return;
        }
        String name = text.substring(start, end);
        List<Reply.Overload> overloads = constructorCall(text, start, name)
                ? constructors(r, text, call[0]) : methods(r, text, start, end, name);
        replies.send(new Reply.Signatures(r.id, call[1], overloads));
    }

    static boolean constructorCall(String text, int start, String name) {
        int i = start;
        while (i > 0 && (Character.isWhitespace(text.charAt(i - 1)) || text.charAt(i - 1) == '.'
                || Complete.identifierPart(text, i - 1)))
            i--;
        String before = text.substring(i, start).trim();
        return before.equals("new") || before.startsWith("new ") || before.startsWith("new\n");
    }

    // The overloads of the method called `name` at [start, end).
    List<Reply.Overload> methods(Request.Complete r, String text, int start, int end, String name)
            throws IOException {
        String withCaret = text.substring(0, start) + Complete.CARET + text.substring(end);
        Complete.Analysis a = complete.analyze(r, withCaret, start);
        Complete.Items items = new Complete.Items(name, true);
        items.sourceNames = paramNames;
        List<Reply.Overload> out = new ArrayList<>();
        if (a.at == null)
            return out;
        if (a.at.getLeaf() instanceof MemberSelectTree)
            Complete.membersAfterDot(a, items);
        else
            Complete.namesInScope(a, items, false);
        // The methods found, again as elements, for their parameters.
        for (String[] item : items.byKey.values()) {
            if (!item[0].equals("method"))
                continue;
            String detail = item[2];
            int open = detail.indexOf('('), close = detail.lastIndexOf(") : ");
            String params = detail.substring(open + 1, close);
            List<String> list = new ArrayList<>();
            if (!params.isEmpty())
                Collections.addAll(list, splitParameters(params));
            out.add(new Reply.Overload(name, detail.substring(close + 4), list));
        }
        return out;
    }

    // "Map<K, V> m, int n" as its parameters: commas inside <> belong to a type.
    static String[] splitParameters(String params) {
        List<String> out = new ArrayList<>();
        int depth = 0, from = 0;
        for (int i = 0; i < params.length(); i++) {
            char c = params.charAt(i);
            if (c == '<')
                depth++;
            else if (c == '>')
                depth--;
            else if (c == ',' && depth == 0) {
                out.add(params.substring(from, i).trim());
                from = i + 1;
            }
        }
        out.add(params.substring(from).trim());
        return out.toArray(new String[0]);
    }

    // The constructors of the class made by the "new" whose "(" is at `paren`.
    List<Reply.Overload> constructors(Request.Complete r, String text, int paren) throws IOException {
        Complete.Analysis a = complete.analyze(r, text, paren);
        List<Reply.Overload> out = new ArrayList<>();
        final TreePath[] found = {null};
        new TreePathScanner<Void, Void>() {
            @Override
            public Void visitNewClass(NewClassTree t, Void v) {
                long from = a.trees.getSourcePositions().getEndPosition(a.unit, t.getIdentifier());
                if (from >= 0 && from <= paren && text.substring((int) from, paren).isBlank())
                    found[0] = new TreePath(getCurrentPath(), t.getIdentifier());
                return super.visitNewClass(t, v);
            }
        }.scan(a.unit, null);
        if (found[0] == null)
            return out;
        Element e = a.trees.getElement(found[0]);
        if (!(e instanceof TypeElement))
            return out;
        Scope scope = a.trees.getScope(found[0]);
        DeclaredType in = (DeclaredType) e.asType();
        for (Element m : e.getEnclosedElements()) {
            if (m.getKind() != ElementKind.CONSTRUCTOR || !a.trees.isAccessible(scope, m, in))
                continue;
            List<String> params = new ArrayList<>();
            Complete.parameters((ExecutableElement) m, null, params, paramNames);
            out.add(new Reply.Overload(e.getSimpleName().toString(), "", params));
        }
        return out;
    }
}
