#include "app/AppFonts.h"

#include <QFontDatabase>

namespace {

QFont Family(const QString &family, QFontDatabase::SystemFont fallback, qreal pointSize)
{
    QFont font =
        QFontDatabase::hasFamily(family) ? QFont(family) : QFontDatabase::systemFont(fallback);
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace

QFont SansFont(qreal pointSize, bool bold)
{
    QFont font = Family(QStringLiteral("MS Sans Serif"), QFontDatabase::GeneralFont, pointSize);
    font.setBold(bold);
    return font;
}

QFont FixedFont(qreal pointSize)
{
    QFont font = Family(QStringLiteral("Courier New"), QFontDatabase::FixedFont, pointSize);
    font.setFixedPitch(true);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}
