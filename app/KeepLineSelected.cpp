#include "app/KeepLineSelected.h"

#include <QListWidget>
#include <QSignalBlocker>

void KeepLineSelected(QListWidget &list)
{
    QObject::connect(&list, &QListWidget::itemSelectionChanged, &list, [&list] {
        QListWidgetItem *current = list.currentItem();
        if (!current || list.selectionModel()->hasSelection())
            return;
        // The line was current all along: nothing to load again.
        const QSignalBlocker blocker(list);
        current->setSelected(true);
    });
}
