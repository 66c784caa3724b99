#pragma once

#include "store/ProgramStore.h"

#include <QWidget>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class SpinArrows;

// The "Reagents" tab of the main window: the list of the 200 reagent names,
// the reagent shown in the name box, and the reagent number box with its spin
// control that chooses the reagent a single read fetches.
class ReagentEditor : public QWidget
{
    Q_OBJECT

public:
    explicit ReagentEditor(ProgramStore &store, QWidget *parent = nullptr);

    // Places the controls; origin as for the "Programs" tab.
    void placeControls(QPoint origin);

    // Fills the list with the 200 reagent lines.
    void fillReagentList();
    // Selects a line of the list and shows its reagent in the name box.
    void selectReagentLine(int line);

    // Keeps the spin control in step with the reagent number box.
    void txtRead_Change();

    // Locks or unlocks the three reagent transfer buttons.
    void EnableEditing(bool enabled);
    // Enables or disables the three reagent transfer buttons, which follow
    // the connection to the instrument.
    void setTransferButtonsEnabled(bool enabled);

private:
    void VScroll1_Change();
    void lsReagents_Click();
    bool eventFilter(QObject *watched, QEvent *event) override;

    ProgramStore &m_store;

    QGroupBox *Frame1;
    QLabel *Label8;
    QLineEdit *txtRead;
    SpinArrows *VScroll1;
    QPushButton *cmdReadReagents;
    QPushButton *cmdReadAllReagents;
    QProgressBar *pbReagents;
    QLabel *lblPercent;
    QListWidget *lsReagents;
    QWidget *m_nameRow; // the bottom row: caption, name box and send button
    QLabel *lblReagents;
    QLineEdit *txtReagent;
    QPushButton *cmdSend;
    QMenu *mnReagent;
    QAction *mnReagentCopy;
    QAction *mnReagentPaste;
    QAction *mnReagentDelete;
};
