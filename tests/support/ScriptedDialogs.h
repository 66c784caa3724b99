#pragma once

#include "ui/Dialogs.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <functional>

// Answers the program's dialogs from a script and records what each showed,
// so that tests assert titles, texts, icons and buttons word for word.
class ScriptedDialogs final : public Dialogs
{
public:
    enum class Kind { Message, Input, OpenFile, SaveFile, PrinterSetup };

    struct Shown
    {
        Kind kind = Kind::Message;
        QString title;
        QString text; // the message, or the input box's prompt
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        QString defaultText; // input boxes
    };

    // Queue the answer to the next message box, input box or dialog.
    void answer(Answer answer) { m_answers.enqueue(answer); }
    void answerText(const QString &text) { m_texts.enqueue(text); }
    void answerPrinterSetup(bool accept) { m_printerAnswers.enqueue(accept); }

    // Called when a dialog is shown, after it is recorded and before it is
    // answered: lets a test look at the window while the dialog is "open".
    std::function<void(const Shown &)> onShown;

    const QList<Shown> &shown() const { return m_shown; }
    const Shown &last() const { return m_shown.last(); }
    void clear() { m_shown.clear(); }
    // True when every queued answer was used and no dialog went unanswered.
    bool scriptFinished() const
    {
        return m_answers.isEmpty() && m_texts.isEmpty() && m_printerAnswers.isEmpty() &&
               !m_unanswered;
    }
    bool unanswered() const { return m_unanswered; }

    Answer message(QWidget *parent, const QString &title, const QString &text, Icon icon,
                   Buttons buttons) override;
    QString input(QWidget *parent, const QString &title, const QString &prompt,
                  const QString &defaultText) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override;
    bool printerSetup(QWidget *parent, QPrinter &printer) override;

private:
    void record(const Shown &shown);

    QQueue<Answer> m_answers;
    QQueue<QString> m_texts;
    QQueue<bool> m_printerAnswers;
    QList<Shown> m_shown;
    bool m_unanswered = false;
};
