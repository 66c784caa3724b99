#pragma once

#include <QObject>

class QListWidget;
class QMenu;

// The context menu of a list: releasing the right mouse button over the list
// opens the menu there. The right button never selects a line, so the menu
// acts on the line that was selected before.
class LineMenu : public QObject
{
    Q_OBJECT

public:
    LineMenu(QListWidget &list, QMenu &menu);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QMenu &m_menu;
};
