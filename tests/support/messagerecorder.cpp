#include "support/messagerecorder.h"

MessageRecorder::MessageRecorder()
{
    Messages::setHandler([this](QMessageBox::Icon icon, QWidget *, const QString &title,
                                const QString &text, QMessageBox::StandardButtons buttons) {
        m_shown << Shown{icon, title, text};
        if (icon == QMessageBox::Question) {
            return m_answers.isEmpty() ? QMessageBox::Yes : m_answers.takeFirst();
        }
        return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Yes;
    });
}

MessageRecorder::~MessageRecorder()
{
    Messages::setHandler(Messages::Handler());
}

QStringList MessageRecorder::texts() const
{
    QStringList result;
    for (const Shown &s : m_shown) {
        result << s.title + QLatin1Char('/') + s.text;
    }
    return result;
}
