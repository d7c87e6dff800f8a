#include "printing/HalfWidth.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace kz {
namespace {

// ICU's rule narrows more than the code page can hold (arrows, box drawing,
// squares and circles, Hangul): those have no single-byte form there and would
// come out as characters the printer fonts may lack, so only the blocks below
// go through it.
constexpr char kNarrowed[] = "[\\u3000-\\u3002\\u300C\\u300D\\u309B\\u309C\\u30A1-\\u30FC"
                             "\\uFF01-\\uFF5E\\uFFE5]; Fullwidth-Halfwidth";

const icu::Transliterator* Narrower() {
    static const std::unique_ptr<icu::Transliterator> narrower = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> transliterator(icu::Transliterator::createInstance(
            icu::UnicodeString::fromUTF8(kNarrowed), UTRANS_FORWARD, status));
        if (U_FAILURE(status))
            transliterator.reset();
        return transliterator;
    }();
    return narrower.get();
}

} // namespace

QString ToHalfWidth(const QString& text) {
    const icu::Transliterator* narrower = Narrower();
    if (!narrower)
        return text;
    icu::UnicodeString narrowed(reinterpret_cast<const char16_t*>(text.utf16()),
                                static_cast<int32_t>(text.size()));
    narrower->transliterate(narrowed);
    return QString(reinterpret_cast<const QChar*>(narrowed.getBuffer()), narrowed.length());
}

} // namespace kz
