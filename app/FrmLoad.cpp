#include "app/FrmLoad.h"

#include "app/AppFonts.h"
#include "app/Twips.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>

FrmLoad::FrmLoad(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_label(new QLabel(QStringLiteral("Loading..."), this))
    , m_bar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("frmLoad"));
    setWindowTitle(QStringLiteral("Quenor"));
    setFont(SansFont(8.25));
    setAttribute(Qt::WA_StyledBackground);
    setFixedSize(TwipsRect(0, 0, 3750, 945).size());

    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setGeometry(12, 8, width() - 24, 18);
    m_bar->setObjectName(QStringLiteral("pbLoad"));
    m_bar->setAccessibleName(QStringLiteral("Loading..."));
    m_bar->setRange(0, 5);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setGeometry(12, 32, width() - 24, 18);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void FrmLoad::ProgressStep()
{
    m_bar->setValue(m_bar->value() + 1);
}

void FrmLoad::ShowPainted()
{
    show();
    QCoreApplication::processEvents();
    if (m_painted)
        return;
    // Some window systems expose a new window only after a round trip.
    QEventLoop loop;
    m_waiting = &loop;
    QTimer::singleShot(500, &loop, &QEventLoop::quit);
    loop.exec();
    m_waiting = nullptr;
}

void FrmLoad::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    m_painted = true;
    if (m_waiting)
        m_waiting->quit();
    // A thin border, since the window has no frame of its own.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
