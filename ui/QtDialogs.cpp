#include "ui/QtDialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>

namespace {

QMessageBox::Icon ToQt(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    case Dialogs::Icon::Exclamation:
        return QMessageBox::Warning;
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Critical:
        return QMessageBox::Critical;
    case Dialogs::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(Dialogs::Buttons buttons)
{
    switch (buttons) {
    case Dialogs::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Dialogs::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Dialogs::Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

Dialogs::Answer QtDialogs::message(QWidget *parent, const QString &title, const QString &text,
                                   Icon icon, Buttons buttons)
{
    QMessageBox box(ToQt(icon), title, text, ToQt(buttons), parent);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
}

QString QtDialogs::input(QWidget *parent, const QString &title, const QString &prompt,
                         const QString &defaultText)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

QString QtDialogs::openFileName(QWidget *parent, const QString &title, const QString &folder,
                                const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString QtDialogs::saveFileName(QWidget *parent, const QString &title, const QString &folder,
                                const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, folder, filter);
}

bool QtDialogs::printerSetup(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}
