#pragma once

// Text at the boundary of the window: the archive's code page 932 bytes become
// UTF-16 for the W functions, and the test dump is written as UTF-8.

#include <string>
#include <string_view>

namespace kz::launcher {

std::wstring FromCp932(std::string_view bytes);
std::string ToUtf8(std::wstring_view text);

// The model resolves paths on char16_t text; on Windows that is wchar_t.
std::u16string ToU16(std::wstring_view text);
std::wstring FromU16(std::u16string_view text);

} // namespace kz::launcher
