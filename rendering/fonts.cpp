#include "rendering/fonts.h"

#include <QFont>
#include <QString>
#include <QStringList>

namespace rendering {

QFont designFont(const char *family, qreal points, bool bold, bool underline)
{
    QFont font(QString::fromUtf8(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

bool mapDesignFamilies()
{
    const QString song = QString::fromUtf8(kSongTi);
    if (!QFont::substitutes(song).isEmpty()) return false;
    // Song and Kai faces first, then any CJK face, so that Chinese text never
    // shows as empty boxes.
    const QStringList anyCjk{QStringLiteral("Noto Sans CJK SC"),
                             QStringLiteral("WenQuanYi Zen Hei"),
                             QStringLiteral("Droid Sans Fallback")};
    QFont::insertSubstitutions(
        song, QStringList{QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                          QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC")} +
                  anyCjk);
    QFont::insertSubstitutions(QString::fromUtf8(kKaiTi),
                               QStringList{QStringLiteral("KaiTi_GB2312"), QStringLiteral("KaiTi"),
                                           QStringLiteral("AR PL UKai CN"),
                                           QStringLiteral("AR PL UMing CN"),
                                           QStringLiteral("Noto Serif CJK SC")} +
                                   anyCjk);
    QFont::insertSubstitutions(QString::fromUtf8(kYouYuan),
                               QStringList{QStringLiteral("YouYuan")} + anyCjk);
    return true;
}

} // namespace rendering
