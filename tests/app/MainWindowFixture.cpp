#include "MainWindowFixture.h"

#include "IsolatedPorts.h"
#include "app/SpinArrows.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

MainWindowFixture::MainWindowFixture(const ProgramStore &stored,
                                     const std::function<void()> &beforeLoad)
{
    WriteStoreFile(stored, m_folder.path());
    IsolatePorts(m_folder.path());
    if (beforeLoad)
        beforeLoad();
    m_window = std::make_unique<FrmMain>(m_store, m_dialogs, ReplyPeriodMs);
    m_window->Load(m_folder.path());
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        qFatal("main window not exposed");
    m_window->activateWindow();
}

MainWindowFixture::~MainWindowFixture() = default;

QString MainWindowFixture::text(const char *lineEditOrLabel) const
{
    QObject *control = find<QObject>(lineEditOrLabel);
    if (auto *box = qobject_cast<QLineEdit *>(control))
        return box->text();
    if (auto *label = qobject_cast<QLabel *>(control))
        return label->text();
    qFatal("%s has no text", lineEditOrLabel);
}

void MainWindowFixture::type(const char *box, const QString &keys)
{
    QWidget *widget = find(box);
    for (QChar c : keys) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, char(c.unicode()));
        } else {
            // A character no key code names, as a keyboard layout types it.
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), {});
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), {});
        }
    }
}

void MainWindowFixture::erase(const char *box)
{
    // The number box may show "1" again once emptied; then it is erased once more.
    auto *edit = find<QLineEdit>(box);
    for (int round = 0; round < 3 && !edit->text().isEmpty(); ++round) {
        QTest::keyClick(edit, Qt::Key_End);
        for (qsizetype n = edit->text().size(); n > 0; --n)
            QTest::keyClick(edit, Qt::Key_Backspace);
    }
}

void MainWindowFixture::paste(const char *box, const QString &text)
{
    auto *edit = find<QLineEdit>(box);
    QGuiApplication::clipboard()->setText(text);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
}

void MainWindowFixture::click(const char *control)
{
    QWidget *widget = find(control);
    if (!widget->isEnabled())
        qFatal("%s is disabled", control);
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(8, widget->height() / 2));
}

void MainWindowFixture::spinUp(const char *spin)
{
    QTest::mouseClick(find<SpinArrows>(spin)->upButton(), Qt::LeftButton);
}

void MainWindowFixture::spinDown(const char *spin)
{
    QTest::mouseClick(find<SpinArrows>(spin)->downButton(), Qt::LeftButton);
}

void MainWindowFixture::pick(const char *comboBox, int index)
{
    auto *combo = find<QComboBox>(comboBox);
    combo->showPopup();
    QAbstractItemView *view = combo->view();
    if (!QTest::qWaitForWindowExposed(view->window()))
        qFatal("list of %s did not open", comboBox);
    // Through the open list with the keyboard: first entry, down to the entry, Enter.
    QTest::keyClick(view, Qt::Key_Home);
    for (int row = 0; row < index; ++row)
        QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    if (combo->view()->isVisible())
        qFatal("list of %s stayed open", comboBox);
}

void MainWindowFixture::pickLine(const char *list, int row)
{
    auto *lines = find<QListWidget>(list);
    lines->scrollToItem(lines->item(row));
    const QPoint at = lines->visualItemRect(lines->item(row)).center();
    QTest::mouseClick(lines->viewport(), Qt::LeftButton, {}, at);
}

void MainWindowFixture::chooseFromLineMenu(const char *list, int row, const char *menu,
                                           const char *item)
{
    auto *lines = find<QListWidget>(list);
    lines->scrollToItem(lines->item(row));
    const QPoint at = lines->visualItemRect(lines->item(row)).center();
    QTest::mouseClick(lines->viewport(), Qt::RightButton, {}, at);
    auto *popup = find<QMenu>(menu);
    if (!QTest::qWaitForWindowExposed(popup))
        qFatal("%s did not open", menu);
    auto *action = find<QAction>(item);
    QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(action).center());
}

void MainWindowFixture::clickTab(int index)
{
    QTabBar *bar = find<QTabWidget>("SSTab1")->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

void MainWindowFixture::showProgram(int p)
{
    erase("txtReadProgram");
    type("txtReadProgram", QString::number(p));
}

QStringList MainWindowFixture::lines(const char *list) const
{
    auto *lines = find<QListWidget>(list);
    QStringList texts;
    for (int row = 0; row < lines->count(); ++row)
        texts.append(lines->item(row)->text());
    return texts;
}

int MainWindowFixture::selectedLine(const char *list) const
{
    return find<QListWidget>(list)->currentRow();
}
