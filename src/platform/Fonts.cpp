#include "platform/Fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace kz {
namespace {

void Substitute(const QString& family, const QStringList& candidates) {
    const QStringList installed = QFontDatabase::families();
    if (installed.contains(family))
        return;
    QStringList present;
    for (const QString& candidate : candidates)
        if (installed.contains(candidate))
            present.append(candidate);
    if (!present.isEmpty())
        QFont::insertSubstitutions(family, present);
}

} // namespace

void InstallFontSubstitutes() {
    Substitute(kGothicFont, {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                             QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"),
                             QStringLiteral("Takao PGothic")});
    // The fixed-width Mincho: its narrow digits keep "4/11" clear of the icon beside it.
    Substitute(kMinchoFont, {QStringLiteral("IPAMincho"), QStringLiteral("IPAPMincho"),
                             QStringLiteral("Noto Serif CJK JP"), QStringLiteral("Takao PMincho")});
}

} // namespace kz
