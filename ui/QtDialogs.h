#pragma once

#include "ui/Dialogs.h"

// The dialogs the user sees: QMessageBox, QInputDialog, QFileDialog, QPrintDialog.
class QtDialogs final : public Dialogs
{
public:
    Answer message(QWidget *parent, const QString &title, const QString &text, Icon icon,
                   Buttons buttons) override;
    QString input(QWidget *parent, const QString &title, const QString &prompt,
                  const QString &defaultText) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override;
    bool printerSetup(QWidget *parent, QPrinter &printer) override;
};
