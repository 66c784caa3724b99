#include "ServiceConsole.h"

#include "SerialLink.h"

#include "store/Win1252.h"
#include "ui/Dialogs.h"

#include <QKeyEvent>
#include <QTabBar>
#include <QTabWidget>

ServiceConsole::ServiceConsole(QTabWidget &panel, SerialLink &link, Dialogs &dialogs,
                               QObject *parent)
    : QObject(parent)
    , m_panel(panel)
    , m_link(link)
    , m_dialogs(dialogs)
{
    // The panel passes its focus on to its tab bar, so the keys arrive there. A
    // tab bar takes the focus only by Tab unless told otherwise; the panel must
    // also take it when a tab is clicked, or the console is out of the mouse
    // user's reach.
    m_panel.tabBar()->setFocusPolicy(Qt::StrongFocus);
    m_panel.tabBar()->installEventFilter(this);
}

bool ServiceConsole::eventFilter(QObject *, QEvent *event)
{
    // Only the tab bar is watched, and it sees only its own keys: one that a
    // control on a page ignores goes on to the page's parents, not to it.
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    constexpr Qt::KeyboardModifiers Held =
        Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (key->key() != Qt::Key_S ||
        (key->modifiers() & Held) != (Qt::ShiftModifier | Qt::ControlModifier))
        return false;
    run();
    return true;
}

void ServiceConsole::run()
{
    QWidget *parent = m_panel.window();
    const QString command = m_dialogs.input(parent, QStringLiteral("Input Service Command"),
                                            QStringLiteral("Command?"), {});
    if (command.isEmpty())
        return;
    m_link.SendCommand(ToWin1252(command));
    m_dialogs.message(parent, QStringLiteral("Quenor"),
                      QStringLiteral("Response: ") + FromWin1252(m_link.ReplyText()),
                      Dialogs::Icon::None, Dialogs::Buttons::Ok);
}
