#include "launcher/Win32Text.h"

#include <windows.h>

#include <climits>

namespace kz::launcher {
namespace {

constexpr UINT kJapanese = 932;

} // namespace

std::wstring FromCp932(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > INT_MAX)
        return {};
    const int size = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(kJapanese, 0, bytes.data(), size, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(kJapanese, 0, bytes.data(), size, text.data(), n);
    return text;
}

std::string ToUtf8(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return {};
    std::string bytes(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, bytes.data(), n, nullptr, nullptr);
    return bytes;
}

std::u16string ToU16(std::wstring_view text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    return std::u16string(text.begin(), text.end());
}

std::wstring FromU16(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

} // namespace kz::launcher
