// SPDX-License-Identifier: GPL-3.0-or-later
// Values of the paused program as the debugger shows them: one line of text
// per value, and an id for those that can be expanded (objects, arrays,
// strings), under which their fields, elements or whole text are given. No
// method of the program is ever called to show a value.
package brewpad.debugger;

import com.sun.jdi.AbsentInformationException;
import com.sun.jdi.ArrayReference;
import com.sun.jdi.CharValue;
import com.sun.jdi.ClassNotLoadedException;
import com.sun.jdi.Field;
import com.sun.jdi.LocalVariable;
import com.sun.jdi.ObjectReference;
import com.sun.jdi.ReferenceType;
import com.sun.jdi.StackFrame;
import com.sun.jdi.StringReference;
import com.sun.jdi.Value;

import java.util.ArrayList;
import java.util.HashMap;
import java.util.List;
import java.util.Map;

final class DebuggerValues {
    static final int PAGE = 100;
    static final int SHORT_STRING = 200;
    static final String NO_LOCALS =
        "Local variables are not available: compile with Debug info Generation (Compiler Options)";

    private final Map<Long, ObjectReference> byId = new HashMap<>();

    /** The fields of one shown value: name, type, text and id (0: nothing to expand). */
    static final class Shown {
        final String kind, name, type, text;
        final long id;
        Shown(String kind, String name, String type, String text, long id) {
            this.kind = kind;
            this.name = name;
            this.type = type;
            this.text = text;
            this.id = id;
        }
    }

    Shown show(String kind, String name, String declaredType, Value v) {
        if (v == null)
            return new Shown(kind, name, declaredType, "null", 0);
        String type = v.type().name();
        if (v instanceof StringReference) {
            StringReference s = (StringReference) v;
            return new Shown(kind, name, type, quote(s.value(), SHORT_STRING), remember(s));
        }
        if (v instanceof ArrayReference) {
            ArrayReference a = (ArrayReference) v;
            String t = type.endsWith("[]")
                ? type.substring(0, type.indexOf('[')) + "[" + a.length() + "]" + type.substring(type.indexOf('[') + 2)
                : type;
            return new Shown(kind, name, type, t, a.length() > 0 ? remember(a) : 0);
        }
        if (v instanceof ObjectReference) {
            ObjectReference o = (ObjectReference) v;
            return new Shown(kind, name, type, shortName(type) + " (id=" + o.uniqueID() + ")", remember(o));
        }
        if (v instanceof CharValue)
            return new Shown(kind, name, type, quoteChar(((CharValue) v).value()), 0);
        return new Shown(kind, name, type, v.toString(), 0);
    }

    private long remember(ObjectReference o) {
        byId.put(o.uniqueID(), o);
        return o.uniqueID();
    }

    ObjectReference find(long id) {
        return byId.get(id);
    }

    /** `this` first, then the parameters and locals visible at the frame, then the statics of its class. */
    List<Shown> frameVariables(StackFrame frame, String[] note) {
        List<Shown> out = new ArrayList<>();
        ObjectReference self = frame.thisObject();
        if (self != null)
            out.add(show("this", "this", self.referenceType().name(), self));
        try {
            for (LocalVariable lv : frame.visibleVariables())
                out.add(show(lv.isArgument() ? "argument" : "local", lv.name(), lv.typeName(), frame.getValue(lv)));
        } catch (AbsentInformationException e) {
            note[0] = NO_LOCALS;
            List<Value> args = frame.getArgumentValues();
            for (int i = 0; i < args.size(); ++i)
                out.add(show("argument", "arg" + i, "", args.get(i)));
        }
        ReferenceType type = frame.location().declaringType();
        for (Field f : type.allFields()) {
            if (f.isStatic() && !f.isSynthetic())
                out.add(show("static", f.name(), f.typeName(), type.getValue(f)));
        }
        return out;
    }

    /** Children of a value: fields of an object, a page of an array's elements, a string's whole text. */
    List<Shown> children(ObjectReference o, int start, int[] total) {
        List<Shown> out = new ArrayList<>();
        if (o instanceof StringReference) {
            total[0] = 1;
            String s = ((StringReference) o).value();
            out.add(new Shown("value", "value", "java.lang.String", quote(s, Integer.MAX_VALUE), 0));
        } else if (o instanceof ArrayReference) {
            ArrayReference a = (ArrayReference) o;
            total[0] = a.length();
            int from = Math.max(0, Math.min(start, a.length()));
            int count = Math.min(PAGE, a.length() - from);
            if (count > 0) {
                List<Value> vals = a.getValues(from, count);
                String elem = elementType(a);
                for (int i = 0; i < count; ++i)
                    out.add(show("element", "[" + (from + i) + "]", elem, vals.get(i)));
            }
        } else {
            List<Field> fields = new ArrayList<>();
            for (Field f : o.referenceType().allFields())
                if (!f.isStatic())
                    fields.add(f);
            total[0] = fields.size();
            Map<Field, Value> vals = o.getValues(fields);
            for (Field f : fields)
                out.add(show("field", f.name(), f.typeName(), vals.get(f)));
        }
        return out;
    }

    private static String elementType(ArrayReference a) {
        try {
            return ((com.sun.jdi.ArrayType) a.type()).componentType().name();
        } catch (ClassNotLoadedException e) {
            return ((com.sun.jdi.ArrayType) a.type()).componentTypeName();
        }
    }

    /** The message of a throwable, read from its field (no method is called). */
    static String throwableMessage(ObjectReference t) {
        Field f = t.referenceType().fieldByName("detailMessage");
        if (f == null)
            return "";
        Value v = t.getValue(f);
        return v instanceof StringReference ? ((StringReference) v).value() : "";
    }

    static String shortName(String type) {
        return type.substring(type.lastIndexOf('.') + 1);
    }

    static String quote(String s, int max) {
        StringBuilder b = new StringBuilder("\"");
        int n = Math.min(s.length(), max);
        for (int i = 0; i < n; ++i)
            b.append(escapeChar(s.charAt(i)));
        b.append('"');
        if (n < s.length())
            b.append("... (").append(s.length()).append(" characters)");
        return b.toString();
    }

    static String quoteChar(char c) {
        return "'" + (c == '\'' ? "\\'" : c == '"' ? "\"" : escapeChar(c)) + "'";
    }

    private static String escapeChar(char c) {
        switch (c) {
        case '\n': return "\\n";
        case '\t': return "\\t";
        case '\r': return "\\r";
        case '\\': return "\\\\";
        case '"': return "\\\"";
        default:
            return c < 0x20 ? String.format("\\u%04x", (int) c) : String.valueOf(c);
        }
    }
}
