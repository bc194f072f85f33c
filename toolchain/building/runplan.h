// SPDX-License-Identifier: GPL-3.0-or-later
// What a run command starts, decided over plain data: the model of the
// window's file, the class the classification found and the tools. The
// caller shows the refusal, or starts what was planned.
#pragma once
#include "platform/dialogs.h"
#include "project/projectmodel.h"
#include "toolchain/building/runkinds.h"

#include <QString>

#include <optional>

// A message for the user instead of a start; an empty text says nothing.
struct Refusal {
    QString text;
    QString caption;
    Icon icon = Icon::None;
};

// The tools a run starts with.
struct RunTools {
    QString javabin;                   // the Java tools' folder: java and the applet viewer in it
    QString java;                      // Debug Run's java (the configured JDK's); empty: javabin's
    QString terminal;                  // Java Run's terminal
    std::optional<QString> arguments;  // the Program Arguments
};

struct RunPlan {
    std::optional<RunLaunch> launch;  // nullopt: nothing starts, `refusal` says why
    Refusal refusal;
    QString className;
    QString classDir;   // the class root: the folder of the class's file, or of its package's folders; absolute
    QString sourceDir;  // the source's folder, where the program starts
};

// The model of the window's file: a .jpr project (`isProject`) or a single
// source, with the Compiler Options' class path and class folder.
ProjectModel buildModel(const QString& file, bool isProject);

// The refusal of a name whose bytes are not UTF-8: the Java tools cannot open
// it, and no program gets it as an argument (`done`: "compiled", "run").
// Empty text for any other name.
Refusal oddNameRefusal(const QString& file, const QString& done);

// Plans a run of `kind` for the model's file: enters the source's folder
// (curdir), chooses the class there ("class not found" when its class file
// is missing, see chooseClass), refuses a class name java would misread, and
// builds the command line. A source in a package (the model's packageName)
// is looked for in its package's folders and run, from the package's root,
// by its name with its package. A model without a file plans nothing,
// silently.
RunPlan planRun(const RunKind& kind, const ProjectModel& model, const QString& classename, const RunTools& tools);
