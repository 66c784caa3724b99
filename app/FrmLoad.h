#pragma once

#include <QWidget>

class QEventLoop;
class QLabel;
class QProgressBar;

// The small window without title bar that shows "Loading..." and a bar of
// five steps while the main window loads behind it.
class FrmLoad : public QWidget
{
    Q_OBJECT

public:
    explicit FrmLoad(QWidget *parent = nullptr);

    // One step of the start: the bar advances by one.
    void ProgressStep();

    // Shows the window centred on the screen and returns once it has been
    // painted, or after a short wait when the window system does not paint it.
    void ShowPainted();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_label;
    QProgressBar *m_bar;
    bool m_painted = false;
    QEventLoop *m_waiting = nullptr;
};
