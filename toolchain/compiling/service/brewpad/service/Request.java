// SPDX-License-Identifier: GPL-3.0-or-later
// The requests Brewpad makes of the compile service, as RequestDecoder reads
// them (the kinds and their fields are described in CompileService).

package brewpad.service;

import java.util.List;

abstract class Request {

    // The request's id as Brewpad wrote it; empty for "quit".
    final String id;

    Request(String id) {
        this.id = id;
    }

    // "compile": javac run on `args` as the launcher would run it in `workDir`.
    static final class Compile extends Request {
        final String workDir;
        final List<String> args;

        Compile(String id, String workDir, List<String> args) {
            super(id);
            this.workDir = workDir;
            this.args = List.copyOf(args);
        }
    }

    // A question about `text`, the text of `file` (relative to `workDir`),
    // compiled in memory with the compiler options `options`.
    abstract static class OfText extends Request {
        final String workDir;
        final String file;
        final String text;
        final List<String> options;

        OfText(String id, String workDir, String file, String text, List<String> options) {
            super(id);
            this.workDir = workDir;
            this.file = file;
            this.text = text;
            this.options = List.copyOf(options);
        }
    }

    // "check": the errors and warnings of the text.
    static final class Check extends OfText {
        Check(String id, String workDir, String file, String text, List<String> options) {
            super(id, workDir, file, text, options);
        }
    }

    // A question about the place `offset` (in UTF-16 units) of the text.
    abstract static class AtOffset extends OfText {
        final int offset;

        AtOffset(String id, String workDir, String file, String text, int offset, List<String> options) {
            super(id, workDir, file, text, options);
            this.offset = offset;
        }
    }

    // "complete" (what fits at `offset`) or "signature" (the overloads of the
    // call whose "(" encloses it).
    static final class Complete extends AtOffset {
        final boolean signatures;

        Complete(String id, boolean signatures, String workDir, String file, String text, int offset,
                List<String> options) {
            super(id, workDir, file, text, offset, options);
            this.signatures = signatures;
        }
    }

    // A question about the name at `offset` that may lead into the JDK's
    // sources, which are copied into `cacheDir`.
    abstract static class IntoJdk extends AtOffset {
        final String cacheDir;

        IntoJdk(String id, String workDir, String file, String text, int offset, String cacheDir,
                List<String> options) {
            super(id, workDir, file, text, offset, options);
            this.cacheDir = cacheDir;
        }
    }

    // "declaration": where the name at `offset` is declared.
    static final class Declaration extends IntoJdk {
        Declaration(String id, String workDir, String file, String text, int offset, String cacheDir,
                List<String> options) {
            super(id, workDir, file, text, offset, cacheDir, options);
        }
    }

    // "doc": the signature and the doc comment of the name at `offset`, or,
    // when `reference` is not empty, of the symbol it names ("String#length()",
    // "java.util.List", "#size()") as the doc comments of the class `context`
    // name it.
    static final class Doc extends IntoJdk {
        final String context;
        final String reference;

        Doc(String id, String workDir, String file, String text, int offset, String cacheDir, String context,
                String reference, List<String> options) {
            super(id, workDir, file, text, offset, cacheDir, options);
            this.context = context;
            this.reference = reference;
        }
    }

    // "outline": the classes, fields and methods of `text`, the text of `file`.
    static final class Outline extends Request {
        final String file;
        final String text;

        Outline(String id, String file, String text) {
            super(id);
            this.file = file;
            this.text = text;
        }
    }

    // "quickfix": the fixes of the errors on `line` (from 1) of the text.
    static final class Fixes extends OfText {
        final int line;

        Fixes(String id, String workDir, String file, String text, int line, List<String> options) {
            super(id, workDir, file, text, options);
            this.line = line;
        }
    }

    // "rename": the element named at `offset` of `file` renamed `newName`
    // across the `open` sources (path, then text, for each) and the `others`
    // read from disk (see Rename).
    static final class Rename extends Request {
        final String workDir;
        final String file;
        final int offset;
        final String newName;
        final List<String> open;
        final List<String> others;
        final List<String> options;

        Rename(String id, String workDir, String file, int offset, String newName, List<String> open,
                List<String> others, List<String> options) {
            super(id);
            this.workDir = workDir;
            this.file = file;
            this.offset = offset;
            this.newName = newName;
            this.open = List.copyOf(open);
            this.others = List.copyOf(others);
            this.options = List.copyOf(options);
        }
    }

    // "cancel": the request `id` is no longer wanted.
    static final class Cancel extends Request {
        Cancel(String id) {
            super(id);
        }
    }

    // "quit", or the end of the requests.
    static final class Quit extends Request {
        Quit() {
            super("");
        }
    }

    // A request that cannot be served as it came: too big for this JVM's
    // memory (`cold`), of an unknown kind or short of fields.
    static final class Refused extends Request {
        final String reason;
        final boolean cold;

        Refused(String id, String reason, boolean cold) {
            super(id);
            this.reason = reason;
            this.cold = cold;
        }
    }
}
