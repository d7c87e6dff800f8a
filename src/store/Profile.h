#pragma once

// The private-profile (INI) format as the Windows profile functions read and
// write it, on raw code page 932 bytes. Plain C++ so that fuzzers and other
// programs can use it without Qt.
//
// Reading: lines end at CR LF, LF or a lone CR;
// white space (and Ctrl-Z) around lines, names and values is dropped; a line
// whose first character is '[' and that holds a ']' starts a section named by
// what lies between '[' and the last ']', trimmed; other non-blank lines are keys, the
// name before the first '=' and the value after it. Lines before the first
// section belong to a nameless section that no lookup reaches. Section and key
// names compare without regard to case (double-byte characters stay whole, so
// a trail byte is never folded). The first section of a name and the first key
// of a name within it win.
//
// Writing edits the file text in place: every other byte stays as it was.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kz::profile {

class Document {
public:
    explicit Document(std::string_view bytes);
    // The parsed lines point into text_, so a copy would point into the original.
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // The stored value, trimmed, or nothing when the section or key is missing.
    // A key line without '=' has the empty value.
    std::optional<std::string_view> find(std::string_view section, std::string_view key) const;

    // What GetPrivateProfileString hands back in a buffer of bufferSize bytes:
    // surrounding quotes removed, at most bufferSize - 1 bytes, and a double-byte
    // character that does not fit left out whole. Missing values give "".
    std::string get(std::string_view section, std::string_view key, std::size_t bufferSize) const;

    const std::string& bytes() const { return text_; }

    // Returns the file text with the value stored: an existing key's line is
    // rewritten, a new key goes after the last non-blank line of its section, a
    // new section goes at the end of the file. New lines end as the file's
    // first line does (CR LF in a new file). CR and LF inside names or the
    // value become spaces, so nothing can break or add a line. Leading white
    // space of the value is dropped, as the platform writer does.
    std::string withValue(std::string_view section, std::string_view key,
                          std::string_view value) const;

    // Several values at once, as if stored one after the other, in one pass.
    struct Edit {
        std::string section;
        std::string key;
        std::string value;
    };
    std::string withValues(const std::vector<Edit>& edits) const;

private:
    struct Line {
        std::size_t begin = 0; // first byte of the line
        std::size_t end = 0;   // one past its last byte, without the line break
        std::size_t next = 0;  // first byte of the following line
        bool blank = false;
        bool section = false;
        std::string_view name; // section name, or key name (trimmed)
        std::optional<std::string_view> value;
    };
    struct Section {
        std::string_view name;
        std::size_t header = 0; // index of the header line
        std::size_t last = 0;   // index of its last line (header included)
        std::unordered_map<std::string, std::size_t> keys; // folded name -> first line
    };

    std::string text_;
    std::vector<Line> lines_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_; // folded name -> first

    const Section* findSection(std::string_view name) const;
};

// Upper-case folding that keeps double-byte characters whole, with the full-width
// Latin, Greek and Cyrillic letters of code page 932 folded too.
std::string FoldCase(std::string_view name);

// White space as the profile functions see it.
constexpr bool IsProfileSpace(unsigned char c) {
    return c == ' ' || (c >= 0x09 && c <= 0x0D) || c == 0x1A;
}

std::string_view Trim(std::string_view s);

} // namespace kz::profile
