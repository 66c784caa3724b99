#include "app/SpinArrows.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

namespace {

QToolButton *ArrowButton(Qt::ArrowType arrow, const QString &name, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAccessibleName(arrow == Qt::UpArrow ? QStringLiteral("Up") : QStringLiteral("Down"));
    return button;
}

} // namespace

SpinArrows::SpinArrows(QWidget *parent)
    : QAbstractSlider(parent)
    , m_up(ArrowButton(Qt::UpArrow, QStringLiteral("up"), this))
    , m_down(ArrowButton(Qt::DownArrow, QStringLiteral("down"), this))
{
    setOrientation(Qt::Vertical);
    setFocusPolicy(Qt::TabFocus);
    setSingleStep(1);
    setPageStep(1);
    connect(m_up, &QToolButton::clicked, this,
            [this] { triggerAction(QAbstractSlider::SliderSingleStepAdd); });
    connect(m_down, &QToolButton::clicked, this,
            [this] { triggerAction(QAbstractSlider::SliderSingleStepSub); });
}

QSize SpinArrows::sizeHint() const
{
    return QSize(16, 22);
}

void SpinArrows::keyPressEvent(QKeyEvent *event)
{
    // QAbstractSlider sends Home to the minimum, the bottom end of this control.
    if (event->key() == Qt::Key_Home) {
        triggerAction(QAbstractSlider::SliderToMaximum);
        event->accept();
    } else if (event->key() == Qt::Key_End) {
        triggerAction(QAbstractSlider::SliderToMinimum);
        event->accept();
    } else {
        QAbstractSlider::keyPressEvent(event);
    }
}

void SpinArrows::resizeEvent(QResizeEvent *event)
{
    QAbstractSlider::resizeEvent(event);
    const int upper = height() / 2;
    m_up->setGeometry(0, 0, width(), upper);
    m_down->setGeometry(0, upper, width(), height() - upper);
}

void WrapSpinValue(SpinArrows &spin, QLineEdit &box, int count)
{
    const int value = spin.value();
    if (value == 0) {
        box.setText(QString::number(count));
        spin.setValue(count);
    } else if (value == count + 1) {
        box.setText(QStringLiteral("1"));
        spin.setValue(1);
    } else {
        box.setText(QString::number(value));
    }
}
