#pragma once

#include <QString>

namespace kz {

inline const QString kGothicFont = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kMinchoFont = QStringLiteral("ＭＳ Ｐ明朝");

// Where the Japanese fonts the windows and print-outs are designed for are not
// installed, installed Japanese fonts of the same kind take their place, so no
// character shows as an empty box.
void InstallFontSubstitutes();

} // namespace kz
