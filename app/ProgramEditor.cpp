#include "app/ProgramEditor.h"

#include "app/AppFonts.h"
#include "app/Controls.h"
#include "app/DigitKeyFilter.h"
#include "app/EditorTexts.h"
#include "app/KeepLineSelected.h"
#include "app/LineMenu.h"
#include "app/SpinArrows.h"
#include "app/Twips.h"
#include "store/Win1252.h"
#include "ui/Dialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace {

QByteArray Bytes(const QLineEdit *box)
{
    return ToWin1252(box->text());
}

} // namespace

ProgramEditor::ProgramEditor(ProgramStore &store, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("tabPrograms"));
    buildControls();
    connectHandlers();
}

void ProgramEditor::buildControls()
{
    const QFont regular = SansFont(8.25);
    const QFont bold = SansFont(8.25, true);
    setFont(regular);

    Frame2 = MakeFrame("Frame2", QStringLiteral("Connection to Quenor"), this);
    Label7 = MakeLabel("Label7", QStringLiteral("Program:"), Frame2);
    txtReadProgram = MakeControl<QLineEdit>("txtReadProgram", Frame2);
    txtReadProgram->setMaxLength(2);
    txtReadProgram->setText(QStringLiteral("1"));
    FitWidth(txtReadProgram, 2);
    LabelFor(Label7, txtReadProgram);
    VScroll2 = MakeControl<SpinArrows>("VScroll2", Frame2);
    VScroll2->setRange(0, ProgramCount + 1); // one past either end, to wrap around
    VScroll2->setValue(1);
    VScroll2->setAccessibleName(Label7->text());
    cmdReadProgram = MakeButton("cmdReadProgram", QStringLiteral("Read from Quenor"), Frame2);
    cmdSendProgram = MakeButton("cmdSendProgram", QStringLiteral("Send to Quenor"), Frame2);
    // Enabled by the device search once the instrument answers.
    cmdReadProgram->setEnabled(false);
    cmdSendProgram->setEnabled(false);
    pbPrograms = MakeControl<QProgressBar>("pbPrograms", Frame2);
    pbPrograms->setTextVisible(false);
    pbPrograms->setValue(0);
    pbPrograms->setFixedHeight(14);
    lblPercent2 = MakeControl<QLabel>("lblPercent2", Frame2);
    lblPercent2->setAlignment(Qt::AlignCenter);
    {
        auto *numberRow = MakeRow(0);
        numberRow->addWidget(txtReadProgram);
        numberRow->addWidget(VScroll2);
        auto *row = MakeRow();
        row->addWidget(Label7);
        row->addLayout(numberRow);
        row->addSpacing(4);
        row->addWidget(cmdReadProgram, 1);
        row->addWidget(cmdSendProgram, 1);
        auto *rows = MakeRows(Frame2);
        rows->addLayout(row);
        rows->addWidget(pbPrograms);
        rows->addWidget(lblPercent2);
    }

    // The frame's caption is bold 9.75 pt; its controls keep fonts of their own.
    frameProgram = MakeFrame("frameProgram", QString::fromLatin1(ProgramCaption(1)), this);
    frameProgram->setFont(SansFont(9.75, true));
    Label2 = MakeLabel("Label2", QStringLiteral("Program Name"), frameProgram);
    txtProgramName = MakeControl<QLineEdit>("txtProgramName", frameProgram);
    txtProgramName->setMaxLength(NameWidth);
    LabelFor(Label2, txtProgramName);
    Label1 = MakeLabel("Label1", QStringLiteral("Program Type"), frameProgram);
    cbType = MakeControl<QComboBox>("cbType", frameProgram);
    LabelFor(Label1, cbType);
    lblDuration = MakeLabel("lblDuration", QString::fromLatin1(DurationText(0)), frameProgram);
    for (QWidget *w :
         std::initializer_list<QWidget *>{Label2, txtProgramName, Label1, cbType, lblDuration})
        w->setFont(bold);
    cmdCopy = MakeButton("cmdCopy", QStringLiteral("&Copy"), frameProgram);
    cmdPaste = MakeButton("cmdPaste", QStringLiteral("&Paste"), frameProgram);
    cmdDelete = MakeButton("cmdDelete", QStringLiteral("&Delete"), frameProgram);
    cmdPaste->setEnabled(false);
    for (QPushButton *button : {cmdCopy, cmdPaste, cmdDelete}) {
        button->setFont(regular);
        FitWidth(button, 7, u'e');
    }
    {
        auto *nameRow = MakeRow();
        nameRow->addWidget(Label2);
        nameRow->addWidget(txtProgramName, 1);
        nameRow->addSpacing(4);
        nameRow->addWidget(Label1);
        nameRow->addWidget(cbType);
        auto *timeRow = MakeRow();
        timeRow->addWidget(lblDuration, 1);
        timeRow->addWidget(cmdCopy);
        timeRow->addWidget(cmdPaste);
        timeRow->addWidget(cmdDelete);
        auto *rows = MakeRows(frameProgram);
        rows->addLayout(nameRow);
        rows->addLayout(timeRow);
    }

    lsVials = MakeControl<QListWidget>("lsVials", this);
    lsVials->setFont(FixedFont(9.75));
    lsVials->setSelectionMode(QAbstractItemView::SingleSelection);
    lsVials->setAccessibleName(QStringLiteral("Vials"));
    lsVials->setContextMenuPolicy(Qt::PreventContextMenu);
    lsVials->setUniformItemSizes(true);
    KeepLineSelected(*lsVials);

    mnVial = MakeControl<QMenu>("mnVial", this);
    mnVial->setTitle(QStringLiteral("VialPopup"));
    mnCopy = mnVial->addAction(QStringLiteral("&Copy"));
    mnCopy->setObjectName(QStringLiteral("mnCopy"));
    mnPaste = mnVial->addAction(QStringLiteral("&Paste"));
    mnPaste->setObjectName(QStringLiteral("mnPaste"));
    mnPaste->setEnabled(false);
    mnDelete = mnVial->addAction(QStringLiteral("&Delete"));
    mnDelete->setObjectName(QStringLiteral("mnDelete"));

    Frame4 = MakeFrame("Frame4", QStringLiteral("Edit Vial"), this);
    cbReagents = MakeControl<QComboBox>("cbReagents", Frame4);
    cbReagents->setAccessibleName(QStringLiteral("Reagent"));
    m_timeRow = new QWidget(Frame4);
    Label5 = MakeLabel("Label5", QStringLiteral("Time:"), m_timeRow);
    txtHrs = MakeControl<QLineEdit>("txtHrs", m_timeRow);
    txtHrs->setMaxLength(2);
    txtHrs->setText(QStringLiteral("00"));
    FitWidth(txtHrs, 2);
    LabelFor(Label5, txtHrs);
    txtHrs->setAccessibleName(QStringLiteral("Time: h"));
    Label3 = MakeLabel("Label3", QStringLiteral("h"), m_timeRow);
    txtMin = MakeControl<QLineEdit>("txtMin", m_timeRow);
    txtMin->setMaxLength(2);
    txtMin->setText(QStringLiteral("00"));
    FitWidth(txtMin, 2);
    Label4 = MakeLabel("Label4", QStringLiteral("min"), m_timeRow);
    LabelFor(Label4, txtMin);
    {
        auto *row = MakeRow(3);
        row->addStretch(1);
        for (QWidget *w : std::initializer_list<QWidget *>{Label5, txtHrs, Label3, txtMin, Label4})
            row->addWidget(w);
        row->addStretch(1);
        m_timeRow->setLayout(row);
    }
    cbAgit = MakeControl<QComboBox>("cbAgit", Frame4);
    cbAgit->setAccessibleName(QStringLiteral("Agitation"));
    Frame3 = MakeFrame("Frame3", QStringLiteral("Heater/Cooler"), Frame4);
    Frame3->setFlat(true);
    optOff = MakeControl<QRadioButton>("optOff", Frame3);
    optOff->setText(QStringLiteral("Off"));
    optOff->setChecked(true);
    optOn = MakeControl<QRadioButton>("optOn", Frame3);
    optOn->setText(QStringLiteral("On"));
    txtDeg = MakeControl<QLineEdit>("txtDeg", Frame3);
    txtDeg->setMaxLength(2);
    txtDeg->setText(QStringLiteral("--"));
    txtDeg->setEnabled(false);
    FitWidth(txtDeg, 2);
    Label6 = MakeLabel("Label6", QStringLiteral("\u00B0C"), Frame3);
    LabelFor(Label6, txtDeg);
    {
        auto *row = MakeRow(6);
        row->setContentsMargins(4, 0, 4, 0);
        row->addWidget(optOff);
        row->addWidget(optOn);
        row->addStretch(1);
        auto *degrees = MakeRow(3);
        degrees->addWidget(txtDeg);
        degrees->addWidget(Label6);
        row->addLayout(degrees);
        Frame3->setLayout(row);
    }
    chkPause = MakeControl<QCheckBox>("chkPause", Frame4);
    chkPause->setText(QStringLiteral("Pause"));
    cmdOK = MakeButton("cmdOK", QStringLiteral("&Ok"), Frame4);

    for (QLineEdit *box : {txtReadProgram, txtHrs, txtMin, txtDeg}) {
        box->installEventFilter(this);
        // The key filter sees key presses only; composed text would pass it.
        box->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
    new LineMenu(*lsVials, *mnVial);
}

void ProgramEditor::placeControls(QPoint origin)
{
    // Positions within the tabbed panel, which includes the tab strip.
    const auto inPanel = [origin](int left, int top, int width, int height) {
        return TwipsRect(left, top, width, height).translated(-origin);
    };
    Frame2->setGeometry(inPanel(120, 420, 5655, 1335));
    frameProgram->setGeometry(inPanel(120, 1800, 5655, 1155));
    lsVials->setGeometry(inPanel(120, 3045, 5655, 1740));
    Frame4->setGeometry(inPanel(120, 4860, 5655, 1335));

    // Within the vial editor's frame.
    cbReagents->setGeometry(TwipsRect(120, 300, 1935, 315));
    cbAgit->setGeometry(TwipsRect(4080, 300, 1455, 315));
    m_timeRow->setGeometry(QRect(QPoint(cbReagents->geometry().right() + 1, cbReagents->y()),
                                 QPoint(cbAgit->x() - 1, cbReagents->geometry().bottom())));
    Frame3->setGeometry(TwipsRect(120, 660, 2475, 555));
    const QRect ok = TwipsRect(3720, 780, 1815, 375);
    cmdOK->setGeometry(ok);
    const QRect heater = Frame3->geometry();
    chkPause->setGeometry(
        QRect(QPoint(heater.right() + 10, ok.top()), QPoint(ok.left() - 6, ok.bottom())));
}

void ProgramEditor::connectHandlers()
{
    connect(txtReadProgram, &QLineEdit::textChanged, this, &ProgramEditor::txtReadProgram_Change);
    connect(VScroll2, &QAbstractSlider::valueChanged, this, &ProgramEditor::VScroll2_Change);
    connect(txtProgramName, &QLineEdit::textChanged, this, &ProgramEditor::txtProgramName_Change);
    // activated: the user picked an entry (code sets the list with its signals blocked).
    connect(cbType, &QComboBox::activated, this, &ProgramEditor::cbType_Click);
    connect(lsVials, &QListWidget::currentRowChanged, this, &ProgramEditor::lsVials_Click);
    connect(optOff, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            opt_Click(0);
    });
    connect(optOn, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            opt_Click(1);
    });
    connect(cmdOK, &QPushButton::clicked, this, &ProgramEditor::cmdOK_Click);
    connect(cmdCopy, &QPushButton::clicked, this, &ProgramEditor::cmdCopy_Click);
    connect(cmdPaste, &QPushButton::clicked, this, &ProgramEditor::cmdPaste_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &ProgramEditor::cmdDelete_Click);
    connect(mnCopy, &QAction::triggered, this, &ProgramEditor::mnCopy_Click);
    connect(mnPaste, &QAction::triggered, this, &ProgramEditor::mnPaste_Click);
    connect(mnDelete, &QAction::triggered, this, &ProgramEditor::mnDelete_Click);
}

void ProgramEditor::fillAgitationList()
{
    const QSignalBlocker blocker(cbAgit);
    cbAgit->addItems(AgitationTexts());
    cbAgit->setCurrentIndex(-1);
}

void ProgramEditor::fillReagentChoices()
{
    const QSignalBlocker blocker(cbReagents);
    cbReagents->clear();
    QStringList choices;
    for (int r = 1; r <= ReagentCount; ++r)
        choices.append(FromWin1252(ReagentChoice(m_store.Reagents, r)));
    cbReagents->addItems(choices);
    cbReagents->setCurrentIndex(-1);
}

void ProgramEditor::fillTypeList()
{
    // A filled list selects nothing until a program is shown.
    const QSignalBlocker blocker(cbType);
    cbType->addItems({QStringLiteral("LM"), QStringLiteral("EM")});
    cbType->setCurrentIndex(-1);
}

int ProgramEditor::CurrentProgramNumber() const
{
    return ::CurrentProgramNumber(Bytes(txtReadProgram));
}

void ProgramEditor::txtReadProgram_Change()
{
    const int p = CurrentProgramNumber();
    // May rewrite the number box and show the program from there; this
    // showing then goes on with the same p.
    VScroll2->setValue(p);
    frameProgram->setTitle(QString::fromLatin1(ProgramCaption(p)));
    txtProgramName->setText(FromWin1252(FitName(m_store.Programs[p].Name, true)));
    showDuration(p);

    {
        const QSignalBlocker blocker(cbType);
        cbType->setCurrentIndex(m_store.Programs[p].Type == 0 ? 0 : 1);
    }
    // Run also when the selection stays, so that the total shown is always the
    // sum of the steps in use, whichever program was shown before.
    cbType_Click();

    {
        const QSignalBlocker blocker(lsVials);
        lsVials->setCurrentRow(-1);
        lsVials->setUpdatesEnabled(false);
        lsVials->clear();
        for (int v = 1; v <= VialCount; ++v) {
            if (m_store.Programs[p].usesVial(v))
                AddVialLine(p);
        }
        lsVials->setUpdatesEnabled(true);
    }
    selectVialLine(0);
}

void ProgramEditor::VScroll2_Change()
{
    WrapSpinValue(*VScroll2, *txtReadProgram, ProgramCount);
}

void ProgramEditor::txtProgramName_Change()
{
    m_store.Programs[CurrentProgramNumber()].Name = FitName(Bytes(txtProgramName), false);
}

void ProgramEditor::cbType_Click()
{
    const int type = cbType->currentIndex();
    if (type < 0)
        return;
    const int p = CurrentProgramNumber();
    if (type != 0) {
        const QSignalBlocker blocker(lsVials);
        while (lsVials->count() < VialCount)
            AddVialLine(p);
    } else {
        const int line = qMin(selectedVialLine(), LmVialCount - 1);
        {
            const QSignalBlocker blocker(lsVials);
            lsVials->setUpdatesEnabled(false);
            while (lsVials->count() > LmVialCount)
                delete lsVials->takeItem(lsVials->count() - 1);
            lsVials->setUpdatesEnabled(true);
        }
        selectVialLine(line);
    }
    m_store.Programs[p].Type = type;
    RecomputeDuration(m_store.Programs[p]);
    showDuration(p);
}

void ProgramEditor::lsVials_Click()
{
    const int line = selectedVialLine();
    if (line < 0)
        return;
    const VialStep &step = m_store.Programs[CurrentProgramNumber()].Vials[line + 1];

    // A value outside the editor's ranges (from a hand-edited store file)
    // selects no entry, and the boxes show what Ok would store.
    const bool knownReagent = step.Reagent >= 1 && step.Reagent <= ReagentCount;
    cbReagents->setCurrentIndex(knownReagent ? step.Reagent - 1 : -1);
    txtHrs->setText(QString::number(qBound(0, step.Hrs, 99)));
    txtMin->setText(QString::fromLatin1(PadNumber(qBound(0, step.Min, 59), 2)));
    const bool knownAgit = step.Agit >= 0 && step.Agit < AgitationLevels;
    cbAgit->setCurrentIndex(knownAgit ? step.Agit : -1);
    chkPause->setChecked(step.Pause == 1);
    if (step.Temp != 0) {
        optOn->setChecked(true);
        txtDeg->setText(QString::number(qBound(4, step.Temp, 60)));
    } else {
        optOff->setChecked(true);
    }
}

void ProgramEditor::opt_Click(int index)
{
    if (index == 1) {
        txtDeg->setEnabled(true);
    } else {
        txtDeg->setText(QStringLiteral("--"));
        txtDeg->setEnabled(false);
    }
}

void ProgramEditor::cmdOK_Click()
{
    const int line = selectedVialLine();
    if (line < 0)
        return;
    const int p = CurrentProgramNumber();
    VialStep &step = m_store.Programs[p].Vials[line + 1];

    if (cbReagents->currentIndex() >= 0)
        step.Reagent = cbReagents->currentIndex() + 1;
    // Limited like the minutes: a pasted "-5" or "1e9" must not reach the store.
    step.Hrs = ClampText(Bytes(txtHrs), 0, 99);
    step.Min = ClampText(Bytes(txtMin), 0, 59);
    if (cbAgit->currentIndex() >= 0)
        step.Agit = cbAgit->currentIndex();
    step.Pause = chkPause->isChecked() ? 1 : 0;
    step.Temp = optOff->isChecked() ? 0 : ClampText(Bytes(txtDeg), 4, 60);

    RecomputeDuration(m_store.Programs[p]);
    txtReadProgram_Change();
    selectVialLine(line);
}

void ProgramEditor::cmdCopy_Click()
{
    m_copiedProgram = CurrentProgramNumber();
    if (!cmdPaste->isEnabled())
        cmdPaste->setEnabled(true);
}

void ProgramEditor::cmdPaste_Click()
{
    if (m_copiedProgram < 1)
        return;
    const int p = CurrentProgramNumber();
    if (!confirm(QStringLiteral("Paste Program"),
                 ProgramQuestion(p, m_store.Programs[p].Name, false)))
        return;
    m_store.Programs[p] = m_store.Programs[m_copiedProgram];
    txtReadProgram_Change();
}

void ProgramEditor::cmdDelete_Click()
{
    const int p = CurrentProgramNumber();
    if (!confirm(QStringLiteral("Delete Program"),
                 ProgramQuestion(p, m_store.Programs[p].Name, true)))
        return;
    m_store.Programs[p] = ProgramRecord::empty();
    txtReadProgram_Change();
}

void ProgramEditor::mnCopy_Click()
{
    const int line = selectedVialLine();
    if (line < 0)
        return;
    m_copiedVialProgram = CurrentProgramNumber();
    m_copiedVial = line + 1;
    mnPaste->setEnabled(true);
}

void ProgramEditor::mnPaste_Click()
{
    const int line = selectedVialLine();
    if (line < 0 || m_copiedVial < 1)
        return;
    const int p = CurrentProgramNumber();
    const int v = line + 1;
    const QByteArray reagent = ReagentName(m_store.Reagents, m_store.Programs[p].Vials[v].Reagent);
    if (!confirm(QStringLiteral("Paste Vial"), VialQuestion(v, reagent, false)))
        return;
    m_store.Programs[p].Vials[v] = m_store.Programs[m_copiedVialProgram].Vials[m_copiedVial];
    RecomputeDuration(m_store.Programs[p]);
    txtReadProgram_Change();
    selectVialLine(line);
}

void ProgramEditor::mnDelete_Click()
{
    const int line = selectedVialLine();
    if (line < 0)
        return;
    const int p = CurrentProgramNumber();
    const int v = line + 1;
    const QByteArray reagent = ReagentName(m_store.Reagents, m_store.Programs[p].Vials[v].Reagent);
    if (!confirm(QStringLiteral("Delete Vial"), VialQuestion(v, reagent, true)))
        return;
    m_store.Programs[p].Vials[v] = VialStep::empty();
    RecomputeDuration(m_store.Programs[p]);
    txtReadProgram_Change();
    selectVialLine(line);
}

void ProgramEditor::showReagentNamesAgain()
{
    const int line = selectedVialLine();
    fillReagentChoices();
    txtReadProgram_Change();
    selectVialLine(line);
}

void ProgramEditor::setTransferButtonsEnabled(bool enabled)
{
    cmdReadProgram->setEnabled(enabled);
    cmdSendProgram->setEnabled(enabled);
}

void ProgramEditor::EnableEditing(bool enabled)
{
    for (QWidget *w : {static_cast<QWidget *>(txtReadProgram), static_cast<QWidget *>(VScroll2),
                       static_cast<QWidget *>(cmdSendProgram), static_cast<QWidget *>(cmdOK),
                       static_cast<QWidget *>(cmdReadProgram), static_cast<QWidget *>(cmdCopy),
                       static_cast<QWidget *>(cmdDelete), static_cast<QWidget *>(lsVials),
                       static_cast<QWidget *>(txtProgramName), static_cast<QWidget *>(cbType)})
        w->setEnabled(enabled);
    if (m_copiedProgram > 0)
        cmdPaste->setEnabled(enabled);
}

void ProgramEditor::AddVialLine(int p)
{
    const int v = lsVials->count() + 1;
    lsVials->addItem(FromWin1252(VialLine(m_store, p, v)));
}

int ProgramEditor::selectedVialLine() const
{
    return lsVials->currentRow();
}

void ProgramEditor::selectVialLine(int line)
{
    {
        const QSignalBlocker blocker(lsVials);
        lsVials->setCurrentRow(line < lsVials->count() ? line : -1);
    }
    lsVials_Click();
}

void ProgramEditor::showDuration(int p)
{
    lblDuration->setText(QString::fromLatin1(DurationText(m_store.Programs[p].Duration)));
}

bool ProgramEditor::confirm(const QString &title, const QByteArray &question)
{
    return m_dialogs.message(window(), title, FromWin1252(question), Dialogs::Icon::Question,
                             Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes;
}

bool ProgramEditor::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box)
        return false;
    if (FilterDigitBoxEvent(*box, *event))
        return true;
    if (event->type() == QEvent::MouseButtonRelease && box != txtReadProgram &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        // A click into the hours, minutes or temperature box empties it for a new value.
        box->clear();
    }
    return false;
}
