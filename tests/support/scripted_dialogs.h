// SPDX-License-Identifier: GPL-3.0-or-later
// Dialogs for tests: answers come from a script, every request is recorded.
// Nothing blocks: an unscripted question gets Cancel (or No for Yes/No) and an
// unscripted file dialog is cancelled.
#pragma once
#include "platform/dialogs.h"
#include "platform/filedata.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

struct AskedMessage {
    QString text;
    QString caption;  // as shown: AppName when none was given
    Buttons buttons;
    Icon icon;
};

class ScriptedDialogs : public Dialogs {
public:
    ScriptedDialogs() { setDialogs(this); }
    ~ScriptedDialogs() override { setDialogs(nullptr); }

    std::vector<AskedMessage> messages;
    std::deque<Answer> answers;
    // Decides an answer from the text when set; consulted before `answers`.
    std::function<std::optional<Answer>(const AskedMessage&)> answerFor;

    std::deque<QString> openPaths;          // an empty string cancels
    std::deque<QStringList> openPathLists;  // for several files or a folder; an empty list cancels
    std::deque<QString> savePaths;          // an empty string cancels
    QStringList saveFolders;                // the folder each save dialog starts in (its record's)
    QStringList openFilters, saveProposals;
    QStringList openFolders;  // the folder each dialog for several files starts in (its record's)

    std::optional<QFont> fontAnswer;
    std::optional<QColor> colorAnswer;
    int fontRequests = 0;

    bool printAnswer = true;
    bool pageSetupAnswer = true;
    int printRequests = 0, pageSetupRequests = 0;
    std::function<void(QPrinter*)> onPageSetup;  // lets a test change the set-up

    std::optional<int> gotoAnswer;
    int aboutShown = 0;

    // What "choose one of these items" was asked, and the answers given in
    // turn (none, or an empty answer, cancels).
    struct AskedChoice {
        QString caption, prompt;
        QStringList items;
        int current = -1;
    };
    std::vector<AskedChoice> choices;
    std::deque<std::optional<int>> choiceAnswers;

    // Breakpoint Properties: the line and fields each was asked with, and
    // the answers to give (none, or nothing, cancels).
    struct AskedBreakpoint {
        int line = 0;
        BreakpointFields fields;
    };
    std::vector<AskedBreakpoint> breakpointAsked;
    std::deque<std::optional<BreakpointFields>> breakpointAnswers;

    std::deque<FindInFilesQuery> findInFilesAnswers;  // none cancels
    std::vector<FindInFilesQuery> findInFilesProposals;

    Answer message(QWidget*, const QString& text, const QString& caption, Buttons buttons, Icon icon) override
    {
        AskedMessage m{text, caption.isEmpty() ? AppName : caption, buttons, icon};
        messages.push_back(m);
        if (answerFor) {
            if (auto a = answerFor(m))
                return *a;
        }
        if (!answers.empty()) {
            Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        switch (buttons) {
        case Buttons::Ok: return Answer::Ok;
        case Buttons::YesNo: return Answer::No;
        default: return Answer::Cancel;
        }
    }
    bool openFile(QWidget*, FileDialogRecord& rec) override
    {
        openFilters << rec.filter;
        if (openPaths.empty())
            return false;
        QString p = openPaths.front();
        openPaths.pop_front();
        if (p.isEmpty())
            return false;
        rec.fileName = rec.withDefaultExt(p);
        return true;
    }
    bool openFiles(QWidget*, FileDialogRecord& rec, QStringList& chosen) override
    {
        openFilters << rec.filter;
        openFolders << rec.initialDir;
        if (openPathLists.empty())
            return false;
        chosen = openPathLists.front();
        openPathLists.pop_front();
        if (chosen.isEmpty())
            return false;
        rec.fileName = chosen.first();
        return true;
    }
    bool saveFile(QWidget*, FileDialogRecord& rec) override
    {
        saveProposals << rec.fileName;
        saveFolders << rec.initialDir;
        if (savePaths.empty())
            return false;
        QString p = savePaths.front();
        savePaths.pop_front();
        if (p.isEmpty())
            return false;
        rec.fileName = rec.withDefaultExt(p);
        return true;
    }
    bool chooseFont(QWidget*, QFont& font, QColor& color) override
    {
        ++fontRequests;
        if (!fontAnswer)
            return false;
        font = *fontAnswer;
        if (colorAnswer)
            color = *colorAnswer;
        return true;
    }
    bool printDialog(QWidget*, QPrinter*) override
    {
        ++printRequests;
        return printAnswer;
    }
    bool pageSetup(QWidget*, QPrinter* p) override
    {
        ++pageSetupRequests;
        if (onPageSetup)
            onPageSetup(p);
        return pageSetupAnswer;
    }
    std::optional<int> gotoLine(QWidget*, int, int) override { return gotoAnswer; }
    void about(QWidget*) override { ++aboutShown; }
    std::optional<BreakpointFields> breakpointProperties(QWidget*, int line, const BreakpointFields& current) override
    {
        breakpointAsked.push_back({line, current});
        if (breakpointAnswers.empty())
            return std::nullopt;
        const std::optional<BreakpointFields> a = breakpointAnswers.front();
        breakpointAnswers.pop_front();
        return a;
    }
    std::optional<int> chooseItem(QWidget*, const QString& caption, const QString& prompt, const QStringList& items,
                                  int current) override
    {
        choices.push_back({caption, prompt, items, current});
        if (choiceAnswers.empty())
            return std::nullopt;
        const std::optional<int> a = choiceAnswers.front();
        choiceAnswers.pop_front();
        return a;
    }
    std::optional<FindInFilesQuery> findInFiles(QWidget*, const FindInFilesQuery& proposed) override
    {
        findInFilesProposals.push_back(proposed);
        if (findInFilesAnswers.empty())
            return std::nullopt;
        FindInFilesQuery q = findInFilesAnswers.front();
        findInFilesAnswers.pop_front();
        return q;
    }

    // Text questions: what each asked, and the answers given in turn (none,
    // or nothing, cancels).
    struct AskedText {
        QString title, label, initial;
    };
    std::vector<AskedText> textsAsked;
    std::deque<std::optional<QString>> textAnswers;
    std::optional<QString> askText(QWidget*, const QString& title, const QString& label,
                                   const QString& initial) override
    {
        textsAsked.push_back({title, label, initial});
        if (textAnswers.empty())
            return std::nullopt;
        const std::optional<QString> a = textAnswers.front();
        textAnswers.pop_front();
        return a;
    }

    // Rename previews: what each listed, and whether to apply it (none cancels).
    struct AskedPreview {
        QString title;
        QList<RenamePreviewRow> rows;
        QString note;
    };
    std::vector<AskedPreview> previews;
    std::deque<bool> previewAnswers;
    std::function<void()> previewHook;  // runs while a preview is up
    bool renamePreview(QWidget*, const QString& title, const QList<RenamePreviewRow>& rows,
                       const QString& note) override
    {
        previews.push_back({title, rows, note});
        if (previewHook)
            previewHook();
        if (previewAnswers.empty())
            return false;
        const bool a = previewAnswers.front();
        previewAnswers.pop_front();
        return a;
    }

    // Texts of all messages asked so far.
    QStringList texts() const
    {
        QStringList t;
        for (const auto& m : messages)
            t << m.text;
        return t;
    }
};
