#include "app/QuenorApp.h"
#include "ui/QtDialogs.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QtDialogs dialogs;
    QuenorApp quenor(dialogs, QCoreApplication::applicationDirPath());
    quenor.Start();
    return QApplication::exec();
}
