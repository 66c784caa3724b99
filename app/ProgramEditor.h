#pragma once

#include "store/ProgramStore.h"

#include <QWidget>

class Dialogs;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class SpinArrows;

// The "Programs" tab of the main window: choosing the current program, its
// name, type, vial list and total time, the vial step editor and the program
// and vial clipboard. Every change goes to the store in memory only.
//
// Setting a control from code runs that control's handler at once, nested in
// the caller, where the window's design relies on it: the number box and the
// spin control keep each other in step, writing the name box stores the
// name, and selecting a vial line loads the vial editor. Text boxes, the spin
// control and the option buttons do this through their change signals, which
// fire only on a real change. The type list and the vial list are set from
// code with their signals blocked and their handler called explicitly, so
// that it runs exactly once, also when the selection stays the same.
class ProgramEditor : public QWidget
{
    Q_OBJECT

public:
    ProgramEditor(ProgramStore &store, Dialogs &dialogs, QWidget *parent = nullptr);

    // Places the controls; origin is where this page lies within the tabbed
    // panel, whose corner the positions are measured from.
    void placeControls(QPoint origin);

    // The lists the store load fills.
    void fillAgitationList();
    void fillReagentChoices();
    void fillTypeList();

    // The current program: the number box's text clamped to 1 to 99.
    int CurrentProgramNumber() const;

    // Shows the current program again: spin value, caption, name, total
    // time, type, vial lines, and vial 1 in the vial editor.
    void txtReadProgram_Change();

    // After the reagent names may have changed: rebuilds the reagent choices
    // and the vial lines and loads the selected vial again.
    void showReagentNamesAgain();

    // Locks or unlocks the program editor for a transfer. The paste button is
    // only unlocked once a program has been copied.
    void EnableEditing(bool enabled);
    // Enables or disables the two program transfer buttons, which follow the
    // connection to the instrument.
    void setTransferButtonsEnabled(bool enabled);

private:
    void buildControls();
    void connectHandlers();

    void VScroll2_Change();
    void txtProgramName_Change();
    void cbType_Click();
    void lsVials_Click();
    void opt_Click(int index);
    void cmdOK_Click();
    void cmdCopy_Click();
    void cmdPaste_Click();
    void cmdDelete_Click();
    void mnCopy_Click();
    void mnPaste_Click();
    void mnDelete_Click();

    void AddVialLine(int p);
    int selectedVialLine() const;
    // Selects line (-1: none) of the vial list and runs its click step.
    void selectVialLine(int line);
    void showDuration(int p);
    bool confirm(const QString &title, const QByteArray &question);

    bool eventFilter(QObject *watched, QEvent *event) override;

    ProgramStore &m_store;
    Dialogs &m_dialogs;

    int m_copiedProgram = 0;
    int m_copiedVialProgram = 0;
    int m_copiedVial = 0;

    QGroupBox *Frame2;
    QLabel *Label7;
    QLineEdit *txtReadProgram;
    SpinArrows *VScroll2;
    QPushButton *cmdReadProgram;
    QPushButton *cmdSendProgram;
    QProgressBar *pbPrograms;
    QLabel *lblPercent2;

    QGroupBox *frameProgram;
    QLabel *Label2;
    QLineEdit *txtProgramName;
    QLabel *Label1;
    QComboBox *cbType;
    QLabel *lblDuration;
    QPushButton *cmdCopy;
    QPushButton *cmdPaste;
    QPushButton *cmdDelete;

    QListWidget *lsVials;
    QMenu *mnVial;
    QAction *mnCopy;
    QAction *mnPaste;
    QAction *mnDelete;

    QGroupBox *Frame4;
    QComboBox *cbReagents;
    QWidget *m_timeRow; // holds the hours and minutes between the two lists
    QLabel *Label5;
    QLineEdit *txtHrs;
    QLabel *Label3;
    QLineEdit *txtMin;
    QLabel *Label4;
    QComboBox *cbAgit;
    QGroupBox *Frame3;
    QRadioButton *optOff;
    QRadioButton *optOn;
    QLineEdit *txtDeg;
    QLabel *Label6;
    QCheckBox *chkPause;
    QPushButton *cmdOK;
};
