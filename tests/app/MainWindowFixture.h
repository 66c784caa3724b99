#pragma once

#include "AppFixture.h"
#include "ScriptedDialogs.h"
#include "app/FrmMain.h"

#include <QStringList>
#include <QTemporaryDir>

#include <functional>

#include <memory>

class QComboBox;
class QLineEdit;
class QListWidget;
class QMenu;

// The main window loaded from a store file in a temporary folder of its own
// and shown, with the actions a user takes on it: typing, clicking buttons
// and spin arrows, picking list entries and menu items.
class MainWindowFixture
{
public:
    // The serial link's reply period: short, so a silent port times out fast.
    static constexpr int ReplyPeriodMs = 20;

    // beforeLoad runs once the ports are isolated, before the window's load
    // searches for the instrument (a test puts an emulated one on a port there).
    explicit MainWindowFixture(const ProgramStore &stored = SampleStore(),
                               const std::function<void()> &beforeLoad = {});
    ~MainWindowFixture();

    FrmMain &window() { return *m_window; }
    ProgramStore &store() { return m_store; }
    ScriptedDialogs &dialogs() { return m_dialogs; }
    QString folder() const { return m_folder.path(); }

    // The control of that objectName; the test fails when there is none.
    template<typename T = QWidget> T *find(const char *name) const
    {
        T *found = m_window->findChild<T *>(QLatin1StringView(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QString text(const char *lineEditOrLabel) const;

    // Keys typed into a box, as the keyboard sends them.
    void type(const char *box, const QString &keys);
    // Empties a box with End and Backspace (twice for the number box, which
    // shows "1" again when emptied while another program is shown).
    void erase(const char *box);
    // Replaces a box's text with text pasted from the clipboard (Ctrl+V).
    void paste(const char *box, const QString &text);
    // A left click into a control (a button, a box, a check box ...).
    void click(const char *control);
    void spinUp(const char *spin);
    void spinDown(const char *spin);
    // Opens a drop-down list and picks its entry index with the keyboard.
    void pick(const char *comboBox, int index);
    // Clicks line row of a list.
    void pickLine(const char *list, int row);
    // Releases the right button over line row of a list and clicks the item
    // of the menu that opens.
    void chooseFromLineMenu(const char *list, int row, const char *menu, const char *item);
    // Clicks a tab of the tabbed panel.
    void clickTab(int index);
    // Shows program p the way a user does: erase the number box and type p.
    void showProgram(int p);

    QStringList lines(const char *list) const;
    int selectedLine(const char *list) const;

private:
    QTemporaryDir m_folder;
    ScriptedDialogs m_dialogs;
    ProgramStore m_store;
    std::unique_ptr<FrmMain> m_window;
};
