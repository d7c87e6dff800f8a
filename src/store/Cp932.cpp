#include "store/Cp932.h"

#include <unicode/ucnv.h>

#include <memory>

namespace kz {
namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// One converter per thread: opening one costs far more than a short conversion.
UConverter* Converter() {
    thread_local ConverterPtr converter = [] {
        UErrorCode status = U_ZERO_ERROR;
        ConverterPtr c(ucnv_open("windows-932", &status));
        if (c) {
            status = U_ZERO_ERROR;
            ucnv_setSubstChars(c.get(), "?", 1, &status);
        }
        return c;
    }();
    if (converter)
        ucnv_reset(converter.get());
    return converter.get();
}

// Input methods on other systems produce the JIS forms of a few characters that
// Windows keeps under the full-width forms; map them so that they are stored
// as the characters the user sees instead of '?'.
char16_t PreferredForm(char16_t c) {
    switch (c) {
    case u'\u301C':
        return u'\uFF5E'; // wave dash
    case u'\u2016':
        return u'\u2225'; // double vertical line
    case u'\u2212':
        return u'\uFF0D'; // minus sign
    case u'\u00A2':
        return u'\uFFE0'; // cent sign
    case u'\u00A3':
        return u'\uFFE1'; // pound sign
    case u'\u00AC':
        return u'\uFFE2'; // not sign
    case u'\u2014':
        return u'\u2015'; // em dash
    default:
        return c;
    }
}

} // namespace

QByteArray ToCp932(const QString& text) {
    if (text.isEmpty())
        return {};
    std::u16string source(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<std::size_t>(text.size()));
    for (auto& c : source)
        c = PreferredForm(c);
    UConverter* c = Converter();
    if (!c)
        return text.toLatin1();
    QByteArray out(static_cast<qsizetype>(source.size()) * 2 + 4, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_fromUChars(c, out.data(), static_cast<int32_t>(out.size()),
                                      reinterpret_cast<const UChar*>(source.data()),
                                      static_cast<int32_t>(source.size()), &status);
    if (U_FAILURE(status))
        return {};
    out.truncate(n);
    return out;
}

QString FromCp932(const char* data, qsizetype size) {
    if (size <= 0)
        return {};
    UConverter* c = Converter();
    if (!c)
        return QString::fromLatin1(data, size);
    QString out(size, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n =
        ucnv_toUChars(c, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                      data, static_cast<int32_t>(size), &status);
    if (U_FAILURE(status))
        return {};
    out.truncate(n);
    return out;
}

QString FromCp932(const QByteArray& bytes) {
    return FromCp932(bytes.constData(), bytes.size());
}

int AnsiLen(const QString& text) {
    int size = 0;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xFF61 && u <= 0xFF9F)) { // ASCII and half-width katakana
            ++size;
            continue;
        }
        // Each UTF-16 unit is one character here, as the original counting did;
        // a character that does not convert counts as its single '?'.
        const QByteArray b = ToCp932(QString(ch));
        size += b.size() >= 2 ? 2 : 1;
    }
    return size;
}

} // namespace kz
