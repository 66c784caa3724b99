#pragma once

#include <QAbstractSlider>

class QToolButton;

// A spin control beside a number box: two arrow buttons over a value, like a
// short vertical scroll bar whose upper arrow raises the value by one and
// whose lower arrow lowers it. The keyboard's Up and Down keys and the wheel
// do the same while it has the focus. valueChanged is emitted at once, only
// when the value really changes.
class SpinArrows : public QAbstractSlider
{
    Q_OBJECT

public:
    explicit SpinArrows(QWidget *parent = nullptr);

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *m_up;
    QToolButton *m_down;
};
