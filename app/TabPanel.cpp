#include "app/TabPanel.h"

#include <QStyle>
#include <QStyleOptionTabWidgetFrame>

TabPanel::TabPanel(QWidget *parent)
    : QTabWidget(parent)
{
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        const int previous = m_activeTab;
        m_activeTab = index;
        if (previous >= 0)
            emit tabClicked(previous);
    });
}

QPoint TabPanel::pageOrigin() const
{
    // The same computation QTabWidget makes when it lays out its pages.
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this).topLeft();
}
