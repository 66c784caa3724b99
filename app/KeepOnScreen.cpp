#include "app/KeepOnScreen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

QRect KeepOnScreen(QRect window, const QRect &screen)
{
    if (window.height() > screen.height())
        window.setHeight(screen.height());
    if (window.width() > screen.width())
        window.setWidth(screen.width());

    const int lowestTop = screen.top() + screen.height() - window.height();
    if (window.top() < screen.top())
        window.moveTop(screen.top());
    if (window.top() >= lowestTop)
        window.moveTop(lowestTop);

    const int rightmostLeft = screen.left() + screen.width() - window.width();
    if (window.left() < screen.left())
        window.moveLeft(screen.left());
    if (window.left() >= rightmostLeft)
        window.moveLeft(rightmostLeft);
    return window;
}

void KeepOnScreen(QWidget &window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect frame = window.frameGeometry();
    const QRect kept = KeepOnScreen(frame, screen->geometry());
    if (kept.size() != frame.size()) {
        // The frame's decorations keep their size; the client area gives way.
        const QSize client = window.size() - (frame.size() - kept.size());
        if (window.minimumSize() == window.maximumSize())
            window.setFixedSize(client);
        else
            window.resize(client);
    }
    window.move(kept.topLeft());
}
