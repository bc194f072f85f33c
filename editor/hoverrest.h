// SPDX-License-Identifier: GPL-3.0-or-later
// The mouse resting over a name of an edit control's text: once it has not
// moved for kRestMs over a character of an identifier, rested() gives the
// place of the text under it and where the mouse is on the screen; moving on,
// leaving, a click or a key ends the rest (ended()). What is shown for the
// name is up to whoever listens: the control does not know.
#pragma once
#include <QObject>
#include <QPoint>

class QTextEdit;
class QTimer;

class HoverRest : public QObject {
    Q_OBJECT
public:
    // How long the mouse rests before the name is reported.
    static constexpr int kRestMs = 600;

    // Watches the viewport of `edit`, whose mouse it tracks.
    explicit HoverRest(QTextEdit* edit);

    // The position of the text a point of the viewport stands over when it is
    // a character of an identifier; -1 otherwise.
    int identifierAt(QPoint viewportPos) const;

signals:
    void rested(int position, QPoint globalPos);
    void ended();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onTimeout();
    void end();

    QTextEdit* edit_;
    QTimer* timer_;
    QPoint at_;  // in the viewport
    bool reported_ = false;
};
