#include "Profile.h"

#include <algorithm>

namespace kz::profile {
namespace {

constexpr bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

unsigned FoldDouble(unsigned code) {
    if (code >= 0x8281 && code <= 0x829A) // full-width a-z
        return code - 0x21;
    if (code >= 0x83BF && code <= 0x83D6) // Greek
        return code - 0x20;
    if (code >= 0x8470 && code <= 0x847E) // Cyrillic a to en
        return code - 0x30;
    if (code >= 0x8480 && code <= 0x8491) // Cyrillic o to ya
        return code - 0x31;
    return code;
}

std::string Sanitised(std::string_view s) {
    std::string out(s);
    std::replace(out.begin(), out.end(), '\r', ' ');
    std::replace(out.begin(), out.end(), '\n', ' ');
    return out;
}

} // namespace

std::string_view Trim(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && IsProfileSpace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && IsProfileSpace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

std::string FoldCase(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (IsLead(c) && i + 1 < name.size()) {
            const unsigned folded = FoldDouble((c << 8) | static_cast<unsigned char>(name[i + 1]));
            out.push_back(static_cast<char>(folded >> 8));
            out.push_back(static_cast<char>(folded & 0xFF));
            ++i;
        } else if (c >= 'a' && c <= 'z') {
            out.push_back(static_cast<char>(c - 'a' + 'A'));
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

Document::Document(std::string_view bytes) : text_(bytes) {
    const std::string_view all(text_);
    std::size_t pos = 0;
    Section* current = nullptr;
    while (pos < all.size()) {
        Line line;
        line.begin = pos;
        const std::size_t brk = all.find_first_of("\r\n", pos);
        if (brk == std::string_view::npos) {
            line.end = line.next = all.size();
        } else {
            line.end = brk;
            line.next = brk + 1;
            if (all[brk] == '\r' && line.next < all.size() && all[line.next] == '\n')
                ++line.next;
        }
        pos = line.next;

        const std::string_view body = Trim(all.substr(line.begin, line.end - line.begin));
        const std::size_t index = lines_.size();
        if (body.empty()) {
            line.blank = true;
            lines_.push_back(line);
            continue;
        }
        if (body.front() == '[') {
            const std::size_t close = body.rfind(']');
            if (close != std::string_view::npos) {
                line.section = true;
                line.name = body.substr(1, close - 1);
                lines_.push_back(line);
                sections_.push_back(Section{line.name, index, index, {}});
                current = &sections_.back();
                if (!line.name.empty())
                    sectionIndex_.try_emplace(FoldCase(line.name), sections_.size() - 1);
                continue;
            }
        }
        const std::size_t eq = body.find('=');
        if (eq == std::string_view::npos) {
            line.name = body;
        } else {
            line.name = Trim(body.substr(0, eq));
            line.value = Trim(body.substr(eq + 1));
        }
        lines_.push_back(line);
        if (current) {
            current->last = index;
            current->keys.try_emplace(FoldCase(line.name), index);
        }
    }
}

const Document::Section* Document::findSection(std::string_view name) const {
    const std::string_view trimmed = Trim(name);
    if (trimmed.empty())
        return nullptr;
    const auto it = sectionIndex_.find(FoldCase(trimmed));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

std::optional<std::string_view> Document::find(std::string_view section,
                                               std::string_view key) const {
    const Section* s = findSection(section);
    if (!s)
        return std::nullopt;
    const auto it = s->keys.find(FoldCase(Trim(key)));
    if (it == s->keys.end())
        return std::nullopt;
    return lines_[it->second].value.value_or(std::string_view{});
}

std::string Document::get(std::string_view section, std::string_view key,
                          std::size_t bufferSize) const {
    if (bufferSize == 0)
        return {};
    std::string_view value = find(section, key).value_or(std::string_view{});
    bool quoted = false;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value.remove_prefix(1);
        quoted = true;
    }
    const std::size_t room = bufferSize - 1;
    if (quoted && value.size() - 1 <= room)
        value.remove_suffix(1);
    if (value.size() <= room)
        return std::string(value);
    // Cut at the buffer, never through the middle of a double-byte character.
    std::size_t cut = 0;
    while (cut < room) {
        const auto c = static_cast<unsigned char>(value[cut]);
        const std::size_t width = IsLead(c) && cut + 1 < value.size() ? 2 : 1;
        if (cut + width > room)
            break;
        cut += width;
    }
    return std::string(value.substr(0, cut));
}

std::string Document::withValue(std::string_view section, std::string_view key,
                                std::string_view value) const {
    const std::string sectionName = Sanitised(Trim(section));
    const std::string keyName = Sanitised(Trim(key));
    std::string cleanValue = Sanitised(value);
    std::size_t lead = 0;
    while (lead < cleanValue.size() && IsProfileSpace(static_cast<unsigned char>(cleanValue[lead])))
        ++lead;
    cleanValue.erase(0, lead);

    const std::string_view all(text_);
    const Section* s = findSection(sectionName);
    if (s) {
        const auto it = s->keys.find(FoldCase(keyName));
        if (it != s->keys.end()) {
            const Line& line = lines_[it->second];
            std::string out;
            out.reserve(text_.size() + cleanValue.size() + 8);
            out.append(all.substr(0, line.begin));
            out.append(line.name);
            out.push_back('=');
            out.append(cleanValue);
            out.append(all.substr(line.end));
            return out;
        }
        const Line& after = lines_[s->last];
        std::string out;
        out.reserve(text_.size() + keyName.size() + cleanValue.size() + 8);
        out.append(all.substr(0, after.next));
        if (after.next == after.end) // the section's last line ends the file without a break
            out.append("\r\n");
        out.append(keyName).append("=").append(cleanValue).append("\r\n");
        out.append(all.substr(after.next));
        return out;
    }
    std::string out = text_;
    if (!out.empty() && out.back() != '\n' && out.back() != '\r')
        out.append("\r\n");
    out.append("[").append(sectionName).append("]\r\n");
    out.append(keyName).append("=").append(cleanValue).append("\r\n");
    return out;
}

} // namespace kz::profile
