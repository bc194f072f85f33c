// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/typingcheck.h"

#include "editor/editcontrol.h"
#include "editor/editorhost.h"
#include "javatext/javatypename.h"
#include "javatext/javasource.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/testing/junitjars.h"
#include "toolchain/compiling/compileservice.h"
#include "toolchain/compiling/servicescratch.h"
#include "toolchain/settings/settings.h"

#include <QFileInfo>
#include <QTimer>

namespace {

constexpr int kPauseMs = 500;

// An empty folder of Brewpad's own, for the whole run: an Untitled window's
// text is checked as a file of it, as it would compile there alone.
QString untitledFolder()
{
    static const ServiceScratch scratch;
    return scratch.path();
}

// The file and folder a check of `text` names: the window's file, or for an
// Untitled window the file its public type would name in untitledFolder().
// False when there is none.
bool checkedFile(const QString& windowFile, const QString& text, QString* file, QString* dir)
{
    if (!windowFile.isEmpty()) {
        *file = windowFile;
        *dir = QFileInfo(windowFile).absolutePath();
        return true;
    }
    *dir = untitledFolder();
    const QString type = publicTypeName(text);
    *file = *dir + QLatin1Char('/') + javatext::sourceFileName(type.isEmpty() ? QStringLiteral("Untitled") : type);
    return !dir->isEmpty();
}

// The marks of F9 stay; those of earlier checks give way to `light`.
QList<TextMark> withCheckMarks(const QList<TextMark>& marks, const QList<TextMark>& light)
{
    QList<TextMark> out;
    for (const TextMark& m : marks) {
        if (!m.light)
            out << m;
    }
    return out + light;
}

}  // namespace

TypingCheck::TypingCheck(EditControl* edit, EditorHost* host) : edit_(edit), host_(host) {}

void TypingCheck::watch()
{
    checkTimer_ = new QTimer(this);
    checkTimer_->setSingleShot(true);
    checkTimer_->setInterval(kPauseMs);
    connect(checkTimer_, &QTimer::timeout, this, &TypingCheck::checkText);
    // A keystroke starts the pause again; the answer to an older check is
    // not wanted any more.
    connect(edit_->document(), &QTextDocument::contentsChanged, this, [this] {
        if (!host_->checkWhileTyping() || edit_->isReadOnly())
            return;
        checkTimer_->start();
    });
}

void TypingCheck::checkText()
{
    CompileService* service = sharedCompileService();
    if (!service || !host_->checkWhileTyping())
        return;
    // The text as a save would write it: javac sees what F9 would compile.
    const QString text = edit_->source()->savedText();
    QString file, dir;
    if (!checkedFile(edit_->source()->fileName(), text, &file, &dir))
        return;
    if (checkId_)
        service->cancel(checkId_);
    checkId_ = service->check(file, text,
                              CompileService::withoutJvmOptions(withJUnitClassPath(makeargsList(file), text)), dir);
    checkedRevision_ = edit_->document()->revision();
    if (!checkId_)
        return;  // no service ready: F9 still tells
    // One connection per window; answers to other windows' checks are ignored.
    if (!connected_) {
        connected_ = true;
        connect(service, &CompileService::checked, this, &TypingCheck::showResults);
        connect(service, &CompileService::checkFailed, this, [this](quint64 id, const QString& reason) {
            if (id != checkId_)
                return;
            checkId_ = 0;
            // Given up for a compilation or a completion: checked again after
            // the pause, once for each text.
            if (reason == QLatin1String("cancelled") && host_->checkWhileTyping() &&
                retriedRevision_ != checkedRevision_) {
                retriedRevision_ = checkedRevision_;
                checkTimer_->start();
            }
        });
    }
}

void TypingCheck::showResults(quint64 id, const QList<ServiceDiagnostic>& found)
{
    if (id != checkId_)
        return;
    checkId_ = 0;
    // The text changed since it was sent: a newer check will come.
    if (edit_->document()->revision() != checkedRevision_ || !host_->checkWhileTyping())
        return;
    QList<TextMark> light;
    for (const ServiceDiagnostic& d : found) {
        if (d.line <= 0)
            continue;
        const bool warning = d.kind == ServiceDiagnostic::Warning;
        light << TextMark{.line = d.line,
                          .column = d.column,
                          .kind = warning ? TextMark::Kind::Warning : TextMark::Kind::Error,
                          .text = d.message,
                          .light = true};
    }
    edit_->source()->marks().setMessageMarks(withCheckMarks(edit_->source()->marks().messageMarks(), light));
}

void TypingCheck::clearMarks()
{
    if (checkTimer_)
        checkTimer_->stop();
    checkId_ = 0;
    edit_->source()->marks().setMessageMarks(withCheckMarks(edit_->source()->marks().messageMarks(), {}));
}
