#pragma once

#include <QAbstractSlider>

class QLineEdit;
class QToolButton;

// A spin control beside a number box: two arrow buttons over a value, like a
// short vertical scroll bar whose upper arrow raises the value by one and
// whose lower arrow lowers it. The wheel does the same under the pointer, and
// the Up and Down keys while it has the focus. As on such a scroll bar, whose
// top end is the larger value, Home goes to the maximum and End to the
// minimum. valueChanged is emitted at once, only when the value really changes.
class SpinArrows : public QAbstractSlider
{
    Q_OBJECT

public:
    explicit SpinArrows(QWidget *parent = nullptr);

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

    QSize sizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *m_up;
    QToolButton *m_down;
};

// The change step of a spin control beside a number box for 1 to count, the
// control's range running one past either end: 0 wraps around to count and
// count + 1 to 1; the box shows the value in plain decimal.
void WrapSpinValue(SpinArrows &spin, QLineEdit &box, int count);
