// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's replies, as ReplyEncoder writes them (the kinds and
// their fields are described in CompileService).

package brewpad.service;

import java.util.List;

abstract class Reply {

    // The id of the request answered; empty for "ready".
    final String id;

    Reply(String id) {
        this.id = id;
    }

    // "ready": the compiler is warm, in `workDir`.
    static final class Ready extends Reply {
        final String workDir;

        Ready(String workDir) {
            super("");
            this.workDir = workDir;
        }
    }

    // "compiled": javac's exit status and the bytes it wrote to its standard error.
    static final class Compiled extends Reply {
        final int status;
        final byte[] output;

        Compiled(String id, int status, byte[] output) {
            super(id);
            this.status = status;
            this.output = output.clone();
        }
    }

    // One message of a check.
    static final class Diagnostic {
        final long line;
        final long column;
        final boolean warning;
        final String message;

        Diagnostic(long line, long column, boolean warning, String message) {
            this.line = line;
            this.column = column;
            this.warning = warning;
            this.message = message;
        }
    }

    // "checked": the errors and warnings of a check.
    static final class Checked extends Reply {
        final List<Diagnostic> diagnostics;

        Checked(String id, List<Diagnostic> diagnostics) {
            super(id);
            this.diagnostics = List.copyOf(diagnostics);
        }
    }

    // One thing that fits at the caret.
    static final class Item {
        final String kind;
        final String name;
        final String detail;
        final String insert;

        Item(String kind, String name, String detail, String insert) {
            this.kind = kind;
            this.name = name;
            this.detail = detail;
            this.insert = insert;
        }
    }

    // "completed": what fits at the caret.
    static final class Completed extends Reply {
        final List<Item> items;

        Completed(String id, List<Item> items) {
            super(id);
            this.items = List.copyOf(items);
        }
    }

    // One overload of a call; `returns` empty for a constructor.
    static final class Overload {
        final String name;
        final String returns;
        final List<String> parameters;

        Overload(String name, String returns, List<String> parameters) {
            this.name = name;
            this.returns = returns;
            this.parameters = List.copyOf(parameters);
        }
    }

    // "signatures": the overloads of a call and the index of the caret's argument.
    static final class Signatures extends Reply {
        final int argument;
        final List<Overload> overloads;

        Signatures(String id, int argument, List<Overload> overloads) {
            super(id);
            this.argument = argument;
            this.overloads = List.copyOf(overloads);
        }
    }

    // "declared": where a declaration is; `jdk` for a copy of a JDK source.
    static final class Declared extends Reply {
        final String path;
        final long line;
        final long column;
        final boolean jdk;

        Declared(String id, String path, long line, long column, boolean jdk) {
            super(id);
            this.path = path;
            this.line = line;
            this.column = column;
            this.jdk = jdk;
        }
    }

    // "undeclared": why no declaration was found.
    static final class Undeclared extends Reply {
        final String reason;

        Undeclared(String id, String reason) {
            super(id);
            this.reason = reason;
        }
    }

    // "documented": the symbol asked about, its signature, the class whose
    // doc comments name its links (`context`), and its doc comment as the
    // compiler reads it (without the comment's marks and the stars that
    // begin its lines); empty when it has none.
    static final class Documented extends Reply {
        final String name;
        final String signature;
        final String context;
        final String comment;

        Documented(String id, String name, String signature, String context, String comment) {
            super(id);
            this.name = name;
            this.signature = signature;
            this.context = context;
            this.comment = comment;
        }
    }

    // One row of an outline.
    static final class Row {
        final int depth;
        final String kind;
        final String name;
        final String detail;
        final long line;
        final long column;

        Row(int depth, String kind, String name, String detail, long line, long column) {
            this.depth = depth;
            this.kind = kind;
            this.name = name;
            this.detail = detail;
            this.line = line;
            this.column = column;
        }
    }

    // "outlined": the rows of an outline.
    static final class Outlined extends Reply {
        final List<Row> rows;

        Outlined(String id, List<Row> rows) {
            super(id);
            this.rows = List.copyOf(rows);
        }
    }

    // One change of a quick fix (see Fixes).
    static final class Step {
        final String kind;
        final long start;
        final long end;
        final String text;

        Step(String kind, long start, long end, String text) {
            this.kind = kind;
            this.start = start;
            this.end = end;
            this.text = text;
        }
    }

    // A quick fix: its title and its changes.
    static final class Fix {
        final String title;
        final List<Step> steps;

        Fix(String title, List<Step> steps) {
            this.title = title;
            this.steps = List.copyOf(steps);
        }
    }

    // "quickfixes": the fixes of the errors of a line.
    static final class Fixes extends Reply {
        final List<Fix> fixes;

        Fixes(String id, List<Fix> fixes) {
            super(id);
            this.fixes = List.copyOf(fixes);
        }
    }

    // A place of a renamed name: its source, offset and length in UTF-16 units.
    static final class Spot {
        final String path;
        final long offset;
        final long length;

        Spot(String path, long offset, long length) {
            this.path = path;
            this.offset = offset;
            this.length = length;
        }
    }

    // "renamed": the places of the old name `old`, and a note for the user
    // (empty for none).
    static final class Renamed extends Reply {
        final String old;
        final String note;
        final List<Spot> spots;

        Renamed(String id, String old, String note, List<Spot> spots) {
            super(id);
            this.old = old;
            this.note = note;
            this.spots = List.copyOf(spots);
        }
    }

    // "unrenamed": why the rename cannot be made.
    static final class Unrenamed extends Reply {
        final String reason;

        Unrenamed(String id, String reason) {
            super(id);
            this.reason = reason;
        }
    }

    // "cancelled": the request was given up.
    static final class Cancelled extends Reply {
        Cancelled(String id) {
            super(id);
        }
    }

    // "failed": nothing was done that can be trusted; `cold` when this JVM
    // cannot do it.
    static final class Failed extends Reply {
        final String reason;
        final boolean cold;

        Failed(String id, String reason, boolean cold) {
            super(id);
            this.reason = reason;
            this.cold = cold;
        }
    }
}
