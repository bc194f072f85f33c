// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's replies, each kept as the fields of its frame (the
// kinds and their fields are described in CompileService), which
// ReplyEncoder writes.

package brewpad.service;

import java.util.Arrays;
import java.util.List;
import java.util.Optional;

abstract class Reply {

    // The id of the request answered; empty for "ready".
    final String id;
    // The fields of the reply's frame, its verb first.
    final Part frame;

    Reply(String id, Object... fields) {
        this.id = id;
        this.frame = new Part(fields);
    }

    // A frame or a part of one as the fields it carries, in order: a
    // String as a text (UTF-8), a number as its digits, a Name in the
    // file-name encoding, bytes as they are, a list as its size and then its
    // elements, an Optional as its value or as nothing when it is empty, a
    // Part as its own fields.
    static class Part {
        final List<Object> fields;

        Part(Object... fields) {
            Object[] copy = fields.clone();
            for (int i = 0; i < copy.length; i++) {
                if (copy[i] instanceof List)
                    copy[i] = List.copyOf((List<?>) copy[i]);
                else if (copy[i] instanceof byte[])
                    copy[i] = ((byte[]) copy[i]).clone();
            }
            this.fields = Arrays.asList(copy);
        }
    }

    // A path, written as Brewpad names its files.
    static final class Name {
        final String path;

        Name(String path) {
            this.path = path;
        }
    }

    // "ready": the compiler is warm, in `workDir`.
    static final class Ready extends Reply {
        Ready(String workDir) {
            super("", "ready", new Name(workDir));
        }
    }

    // "compiled": javac's exit status and the bytes it wrote to its standard error.
    static final class Compiled extends Reply {
        Compiled(String id, int status, byte[] output) {
            super(id, "compiled", id, status, output);
        }
    }

    // One message of a check.
    static final class Diagnostic extends Part {
        Diagnostic(long line, long column, boolean warning, String message) {
            super(line, column, warning ? "warning" : "error", message);
        }
    }

    // "checked": the errors and warnings of a check.
    static final class Checked extends Reply {
        Checked(String id, List<Diagnostic> diagnostics) {
            super(id, "checked", id, diagnostics);
        }
    }

    // One thing that fits at the caret.
    static final class Item extends Part {
        Item(String kind, String name, String detail, String insert) {
            super(kind, name, detail, insert);
        }
    }

    // "completed": what fits at the caret.
    static final class Completed extends Reply {
        Completed(String id, List<Item> items) {
            super(id, "completed", id, items);
        }
    }

    // One overload of a call; `returns` empty for a constructor.
    static final class Overload extends Part {
        Overload(String name, String returns, List<String> parameters) {
            super(name, returns, parameters);
        }
    }

    // "signatures": the overloads of a call and the index of the caret's argument.
    static final class Signatures extends Reply {
        Signatures(String id, int argument, List<Overload> overloads) {
            super(id, "signatures", id, argument, overloads);
        }
    }

    // "declared": where a declaration is; `jdk` for a copy of a JDK source.
    static final class Declared extends Reply {
        Declared(String id, String path, long line, long column, boolean jdk) {
            super(id, "declared", id, path, line, column, jdk ? Optional.of("jdk") : Optional.empty());
        }
    }

    // "undeclared": why no declaration was found.
    static final class Undeclared extends Reply {
        Undeclared(String id, String reason) {
            super(id, "undeclared", id, reason);
        }
    }

    // "documented": the symbol asked about, its signature, the class whose
    // doc comments name its links (`context`), and its doc comment as the
    // compiler reads it (without the comment's marks and the stars that
    // begin its lines); empty when it has none.
    static final class Documented extends Reply {
        Documented(String id, String name, String signature, String context, String comment) {
            super(id, "documented", id, name, signature, context, comment);
        }
    }

    // One row of an outline.
    static final class Row extends Part {
        Row(int depth, String kind, String name, String detail, long line, long column) {
            super(depth, kind, name, detail, line, column);
        }
    }

    // "outlined": the rows of an outline.
    static final class Outlined extends Reply {
        Outlined(String id, List<Row> rows) {
            super(id, "outlined", id, rows);
        }
    }

    // One change of a quick fix (see Fixes).
    static final class Step extends Part {
        Step(String kind, long start, long end, String text) {
            super(kind, start, end, text);
        }
    }

    // A quick fix: its title and its changes.
    static final class Fix extends Part {
        final String title;

        Fix(String title, List<Step> steps) {
            super(title, steps);
            this.title = title;
        }
    }

    // "quickfixes": the fixes of the errors of a line.
    static final class Fixes extends Reply {
        Fixes(String id, List<Fix> fixes) {
            super(id, "quickfixes", id, fixes);
        }
    }

    // A place of a renamed name: its source, offset and length in UTF-16 units.
    static final class Spot extends Part {
        final String path;
        final long offset;

        Spot(String path, long offset, long length) {
            super(new Name(path), offset, length);
            this.path = path;
            this.offset = offset;
        }
    }

    // "renamed": the places of the old name `old`, and a note for the user
    // (empty for none).
    static final class Renamed extends Reply {
        final String note;
        final List<Spot> spots;

        Renamed(String id, String old, String note, List<Spot> spots) {
            super(id, "renamed", id, old, note, spots);
            this.note = note;
            this.spots = List.copyOf(spots);
        }
    }

    // "unrenamed": why the rename cannot be made.
    static final class Unrenamed extends Reply {
        Unrenamed(String id, String reason) {
            super(id, "unrenamed", id, reason);
        }
    }

    // "cancelled": the request was given up.
    static final class Cancelled extends Reply {
        Cancelled(String id) {
            super(id, "cancelled", id);
        }
    }

    // "failed": nothing was done that can be trusted; `cold` when this JVM
    // cannot do it.
    static final class Failed extends Reply {
        Failed(String id, String reason, boolean cold) {
            super(id, "failed", id, reason, cold ? Optional.of("cold") : Optional.empty());
        }
    }
}
