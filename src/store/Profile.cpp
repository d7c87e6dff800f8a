#include "store/Profile.h"

#include <algorithm>

namespace kz::profile {
namespace {

constexpr bool IsLead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

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
                line.name = Trim(body.substr(1, close - 1));
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
    return withValues({Edit{std::string(section), std::string(key), std::string(value)}});
}

std::string Document::withValues(const std::vector<Edit>& edits) const {
    // New key lines, in the order first written; a later value for the same
    // key replaces an earlier one.
    struct Pending {
        std::vector<std::pair<std::string, std::string>> lines; // folded key, line text
        void put(const std::string& folded, std::string text) {
            for (auto& [k, t] : lines)
                if (k == folded) {
                    t = std::move(text);
                    return;
                }
            lines.emplace_back(folded, std::move(text));
        }
    };
    std::unordered_map<std::size_t, std::string> rewritten; // line index -> new text
    std::unordered_map<std::size_t, Pending> inserted;      // after line index
    std::vector<std::pair<std::string, Pending>> appended;  // new sections: header, keys
    std::unordered_map<std::string, std::size_t> appendedIndex;

    for (const Edit& edit : edits) {
        const std::string sectionName = Sanitised(Trim(edit.section));
        const std::string keyName = Sanitised(Trim(edit.key));
        std::string value = Sanitised(edit.value);
        std::size_t lead = 0;
        while (lead < value.size() && IsProfileSpace(static_cast<unsigned char>(value[lead])))
            ++lead;
        value.erase(0, lead);
        const std::string foldedKey = FoldCase(keyName);

        if (const Section* s = findSection(sectionName)) {
            const auto it = s->keys.find(foldedKey);
            if (it != s->keys.end())
                rewritten[it->second] = std::string(lines_[it->second].name) + "=" + value;
            else
                inserted[s->last].put(foldedKey, keyName + "=" + value);
            continue;
        }
        const std::string foldedSection = FoldCase(sectionName);
        auto [pos, added] = appendedIndex.try_emplace(foldedSection, appended.size());
        if (added)
            appended.emplace_back(sectionName, Pending{});
        appended[pos->second].second.put(foldedKey, keyName + "=" + value);
    }

    const std::string_view all(text_);
    // New lines end as the file's lines end; a new file gets CR LF.
    std::string_view lineEnd = "\r\n";
    if (const std::size_t brk = all.find_first_of("\r\n"); brk != std::string_view::npos)
        lineEnd = all.substr(brk, all.compare(brk, 2, "\r\n") == 0 ? 2 : 1);
    std::string out;
    out.reserve(text_.size() + 128 * edits.size());
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        const auto re = rewritten.find(i);
        if (re != rewritten.end())
            out.append(re->second);
        else
            out.append(all.substr(line.begin, line.end - line.begin));
        out.append(all.substr(line.end, line.next - line.end));
        const auto in = inserted.find(i);
        if (in != inserted.end()) {
            if (line.next == line.end) // the section's last line ends the file without a break
                out.append(lineEnd);
            for (const auto& [folded, text] : in->second.lines)
                out.append(text).append(lineEnd);
        }
    }
    for (const auto& [header, pending] : appended) {
        if (!out.empty() && out.back() != '\n' && out.back() != '\r')
            out.append(lineEnd);
        out.append("[").append(header).append("]").append(lineEnd);
        for (const auto& [folded, text] : pending.lines)
            out.append(text).append(lineEnd);
    }
    return out;
}

} // namespace kz::profile
