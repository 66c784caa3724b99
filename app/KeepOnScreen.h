#pragma once

#include <QRect>

class QWidget;

// The window rectangle shrunk to fit the screen and moved back onto it: a
// window taller or wider than the screen takes the screen's height or width,
// an edge above or left of the screen moves to it, and a window reaching past
// the bottom or right moves up or left until it ends there.
QRect KeepOnScreen(QRect window, const QRect &screen);

// Applies the above to a top-level window on the primary screen.
void KeepOnScreen(QWidget &window);
