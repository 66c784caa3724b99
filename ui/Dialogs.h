#pragma once

#include <QString>

class QPrinter;
class QWidget;

// Every message box, question, input box, file dialog and printer dialog of
// the program goes through this interface. The program shows real Qt dialogs
// (QtDialogs); tests answer from a script and read back what was asked.
class Dialogs
{
public:
    enum class Icon { None, Question, Exclamation, Information, Critical };
    enum class Buttons { Ok, OkCancel, YesNo };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Dialogs() = default;

    // A modal message box; returns the button the user pressed.
    virtual Answer message(QWidget *parent, const QString &title, const QString &text, Icon icon,
                           Buttons buttons) = 0;
    // An input box with OK and Cancel; Cancel returns the empty text.
    virtual QString input(QWidget *parent, const QString &title, const QString &prompt,
                          const QString &defaultText) = 0;
    // File dialogs; the empty text when the user cancels.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &folder,
                                 const QString &filter) = 0;
    // The printer set-up dialog for printer; false when the user cancels.
    virtual bool printerSetup(QWidget *parent, QPrinter &printer) = 0;
};
