#include "app/LineMenu.h"

#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>

LineMenu::LineMenu(QListWidget &list, QMenu &menu)
    : QObject(&list)
    , m_menu(menu)
{
    list.viewport()->installEventFilter(this);
}

bool LineMenu::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return static_cast<QMouseEvent *>(event)->button() == Qt::RightButton;
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::RightButton)
            return false;
        m_menu.popup(mouse->globalPosition().toPoint());
        return true;
    }
    default:
        return false;
    }
}
