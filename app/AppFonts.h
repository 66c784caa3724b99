#pragma once

#include <QFont>

// The fonts of the windows: "MS Sans Serif" for labels, boxes and buttons and
// "Courier New" for the aligned lists, each replaced by the platform's own
// sans-serif or fixed-pitch font where the family is not installed.

QFont SansFont(qreal pointSize, bool bold = false);
QFont FixedFont(qreal pointSize);
