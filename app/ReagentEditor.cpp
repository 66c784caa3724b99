#include "app/ReagentEditor.h"

#include "app/AppFonts.h"
#include "app/Controls.h"
#include "app/DigitKeyFilter.h"
#include "app/EditorTexts.h"
#include "app/KeepLineSelected.h"
#include "app/LineMenu.h"
#include "app/SpinArrows.h"
#include "app/Twips.h"
#include "store/Win1252.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

QPushButton *MakeTransferButton(const char *name, const QString &text, QWidget *parent)
{
    QPushButton *button = MakeButton(name, text, parent);
    // Enabled by the device search once the instrument answers.
    button->setEnabled(false);
    return button;
}

QAction *MakeAction(const char *name, const QString &text, QMenu *menu)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(QLatin1StringView(name));
    return action;
}

} // namespace

ReagentEditor::ReagentEditor(ProgramStore &store, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
{
    setObjectName(QStringLiteral("tabReagents"));
    setFont(SansFont(8.25));
    const QFont bold = SansFont(8.25, true);

    Frame1 = MakeFrame("Frame1", QStringLiteral("Connection to Quenor"), this);
    Label8 = MakeLabel("Label8", QStringLiteral("Reagent:"), Frame1);
    txtRead = MakeControl<QLineEdit>("txtRead", Frame1);
    txtRead->setMaxLength(3);
    txtRead->setText(QStringLiteral("1"));
    FitWidth(txtRead, 3);
    LabelFor(Label8, txtRead);
    VScroll1 = MakeControl<SpinArrows>("VScroll1", Frame1);
    VScroll1->setRange(0, ReagentCount + 1); // one past either end, to wrap around
    VScroll1->setValue(1);
    VScroll1->setAccessibleName(Label8->text());
    cmdReadReagents =
        MakeTransferButton("cmdReadReagents", QStringLiteral("Read from Quenor"), Frame1);
    cmdReadAllReagents =
        MakeTransferButton("cmdReadAllReagents", QStringLiteral("Read ALL from Quenor"), Frame1);
    pbReagents = MakeControl<QProgressBar>("pbReagents", Frame1);
    pbReagents->setRange(1, ReagentCount);
    pbReagents->setValue(1);
    pbReagents->setTextVisible(false);
    pbReagents->setFixedHeight(14);
    lblPercent = MakeControl<QLabel>("lblPercent", Frame1);
    lblPercent->setAlignment(Qt::AlignCenter);
    {
        auto *numberRow = MakeRow(0);
        numberRow->addWidget(txtRead);
        numberRow->addWidget(VScroll1);
        auto *row = MakeRow();
        row->addWidget(Label8);
        row->addLayout(numberRow);
        // The longer caption gets its full width; the other button takes the rest.
        cmdReadAllReagents->setMinimumWidth(
            cmdReadAllReagents->fontMetrics().horizontalAdvance(cmdReadAllReagents->text()) + 12);
        row->addWidget(cmdReadReagents, 1);
        row->addWidget(cmdReadAllReagents);
        auto *rows = MakeRows(Frame1);
        rows->addLayout(row);
        rows->addWidget(pbReagents);
        rows->addWidget(lblPercent);
    }

    lsReagents = MakeControl<QListWidget>("lsReagents", this);
    lsReagents->setFont(FixedFont(9.75));
    lsReagents->setSelectionMode(QAbstractItemView::SingleSelection);
    lsReagents->setAccessibleName(QStringLiteral("Reagents"));
    lsReagents->setContextMenuPolicy(Qt::PreventContextMenu);
    lsReagents->setUniformItemSizes(true);
    KeepLineSelected(*lsReagents);

    m_nameRow = new QWidget(this);
    lblReagents = MakeLabel("lblReagents", QString::fromLatin1(ReagentCaption(1)), m_nameRow);
    lblReagents->setFont(bold);
    txtReagent = MakeControl<QLineEdit>("txtReagent", m_nameRow);
    txtReagent->setMaxLength(NameWidth);
    txtReagent->setFont(bold);
    FitWidth(txtReagent, NameWidth, u'x');
    lblReagents->setBuddy(txtReagent);
    cmdSend = MakeTransferButton("cmdSend", QStringLiteral("&Send reagent"), m_nameRow);
    {
        auto *row = MakeRow(6);
        row->addWidget(lblReagents);
        row->addWidget(txtReagent);
        row->addStretch(1);
        row->addWidget(cmdSend);
        m_nameRow->setLayout(row);
    }

    mnReagent = MakeControl<QMenu>("mnReagent", this);
    mnReagent->setTitle(QStringLiteral("ReagentPopup"));
    mnReagentCopy = MakeAction("mnReagentCopy", QStringLiteral("&Copy"), mnReagent);
    mnReagentPaste = MakeAction("mnReagentPaste", QStringLiteral("&Paste"), mnReagent);
    mnReagentPaste->setEnabled(false);
    mnReagentDelete = MakeAction("mnReagentDelete", QStringLiteral("&Delete"), mnReagent);

    txtRead->installEventFilter(this);
    // The key filter sees key presses only; composed text would pass it.
    txtRead->setAttribute(Qt::WA_InputMethodEnabled, false);
    new LineMenu(*lsReagents, *mnReagent);

    connect(txtRead, &QLineEdit::textChanged, this, &ReagentEditor::txtRead_Change);
    connect(VScroll1, &QAbstractSlider::valueChanged, this, &ReagentEditor::VScroll1_Change);
    connect(lsReagents, &QListWidget::currentRowChanged, this, &ReagentEditor::lsReagents_Click);
}

void ReagentEditor::placeControls(QPoint origin)
{
    const auto inPanel = [origin](int left, int top, int width, int height) {
        return TwipsRect(left, top, width, height).translated(-origin);
    };
    Frame1->setGeometry(inPanel(120, 420, 5655, 1335));
    lsReagents->setGeometry(inPanel(120, 1860, 5655, 3900));
    m_nameRow->setGeometry(inPanel(120, 5880, 5655, 360));
}

void ReagentEditor::fillReagentList()
{
    {
        const QSignalBlocker blocker(lsReagents);
        lsReagents->clear();
        QStringList lines;
        for (int r = 1; r <= ReagentCount; ++r)
            lines.append(FromWin1252(ReagentLine(m_store.Reagents, r)));
        lsReagents->addItems(lines);
    }
}

void ReagentEditor::selectReagentLine(int line)
{
    {
        const QSignalBlocker blocker(lsReagents);
        lsReagents->setCurrentRow(line < lsReagents->count() ? line : -1);
    }
    lsReagents_Click();
}

void ReagentEditor::txtRead_Change()
{
    VScroll1->setValue(ClampText(ToWin1252(txtRead->text()), 1, ReagentCount));
}

void ReagentEditor::VScroll1_Change()
{
    WrapSpinValue(*VScroll1, *txtRead, ReagentCount);
}

void ReagentEditor::lsReagents_Click()
{
    const int r = lsReagents->currentRow() + 1;
    if (r < 1)
        return;
    lblReagents->setText(QString::fromLatin1(ReagentCaption(r)));
    txtReagent->setText(FromWin1252(FitName(m_store.Reagents[r], true)));
    // Before the window is shown (during the load) the focus stays where it is.
    if (txtReagent->isVisible())
        txtReagent->setFocus();
}

void ReagentEditor::EnableEditing(bool enabled)
{
    setTransferButtonsEnabled(enabled);
}

void ReagentEditor::setTransferButtonsEnabled(bool enabled)
{
    cmdReadAllReagents->setEnabled(enabled);
    cmdReadReagents->setEnabled(enabled);
    cmdSend->setEnabled(enabled);
}

bool ReagentEditor::eventFilter(QObject *watched, QEvent *event)
{
    return watched == txtRead && FilterDigitBoxEvent(*txtRead, *event);
}
