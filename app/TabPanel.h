#pragma once

#include <QTabWidget>

// The main window's tabbed panel. Its controls are placed relative to the
// panel's own corner, tab strip included, so the panel tells where its pages
// begin; and every change of tab is reported together with the tab that was
// active before it.
class TabPanel : public QTabWidget
{
    Q_OBJECT

public:
    explicit TabPanel(QWidget *parent = nullptr);

    // Where the pages' top left corner lies within the panel at its current
    // size and font.
    QPoint pageOrigin() const;

signals:
    // The user or the program switched tabs; previousTab was active before.
    void tabClicked(int previousTab);

private:
    int m_activeTab = -1;
};
