#include "ScriptedDialogs.h"

void ScriptedDialogs::record(const Shown &shown)
{
    m_shown.append(shown);
    if (onShown)
        onShown(shown);
}

Dialogs::Answer ScriptedDialogs::message(QWidget *, const QString &title, const QString &text,
                                         Icon icon, Buttons buttons)
{
    record({Kind::Message, title, text, icon, buttons, {}});
    if (m_answers.isEmpty()) {
        m_unanswered = buttons != Buttons::Ok; // a lone OK needs no script
        return buttons == Buttons::YesNo
                   ? Answer::No
                   : (buttons == Buttons::OkCancel ? Answer::Cancel : Answer::Ok);
    }
    return m_answers.dequeue();
}

QString ScriptedDialogs::input(QWidget *, const QString &title, const QString &prompt,
                               const QString &defaultText)
{
    record({Kind::Input, title, prompt, Icon::None, Buttons::OkCancel, defaultText});
    if (m_texts.isEmpty()) {
        m_unanswered = true;
        return {};
    }
    return m_texts.dequeue();
}

QString ScriptedDialogs::openFileName(QWidget *, const QString &title, const QString &,
                                      const QString &)
{
    record({Kind::OpenFile, title, {}, Icon::None, Buttons::OkCancel, {}});
    if (m_texts.isEmpty()) {
        m_unanswered = true;
        return {};
    }
    return m_texts.dequeue();
}

QString ScriptedDialogs::saveFileName(QWidget *, const QString &title, const QString &,
                                      const QString &)
{
    record({Kind::SaveFile, title, {}, Icon::None, Buttons::OkCancel, {}});
    if (m_texts.isEmpty()) {
        m_unanswered = true;
        return {};
    }
    return m_texts.dequeue();
}

bool ScriptedDialogs::printerSetup(QWidget *, QPrinter &)
{
    record({Kind::PrinterSetup, {}, {}, Icon::None, Buttons::OkCancel, {}});
    if (m_printerAnswers.isEmpty()) {
        m_unanswered = true;
        return false;
    }
    return m_printerAnswers.dequeue();
}
