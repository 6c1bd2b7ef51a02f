#pragma once

#include "widgets/messages.h"

#include <QList>
#include <QString>

// Answers every message box while it lives and remembers what was shown.
class MessageRecorder
{
public:
    struct Shown
    {
        QMessageBox::Icon icon;
        QString title;
        QString text;
    };

    MessageRecorder();
    ~MessageRecorder();

    // Answers for the next question boxes, in order; Yes once they run out.
    void answerNext(QMessageBox::StandardButton answer) { m_answers << answer; }

    const QList<Shown> &shown() const { return m_shown; }
    int count() const { return m_shown.size(); }
    bool isEmpty() const { return m_shown.isEmpty(); }
    Shown last() const { return m_shown.isEmpty() ? Shown{QMessageBox::NoIcon, {}, {}} : m_shown.last(); }
    // "title/text" of every box, for compact comparisons.
    QStringList texts() const;
    void clear() { m_shown.clear(); }

private:
    QList<Shown> m_shown;
    QList<QMessageBox::StandardButton> m_answers;
};
