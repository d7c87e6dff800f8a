#pragma once

#include <QString>

namespace kz {

// The text with every full-width character that has a half-width form in the
// Japanese code page replaced by that form: Latin letters, digits and
// punctuation, the ideographic space, Japanese punctuation and katakana (a
// voiced katakana becomes the base and a separate sound mark, ガ to ｶﾞ).
// Everything else, kanji and hiragana among it, is left as it is.
QString ToHalfWidth(const QString& text);

} // namespace kz
