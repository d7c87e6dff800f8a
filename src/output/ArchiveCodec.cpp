#include "output/ArchiveCodec.h"

#include "store/ByteReader.h"

#include <limits>
#include <string>
#include <type_traits>
#include <variant>

namespace kz {
namespace {

class Writer {
public:
    void u16(std::uint16_t v) {
        out_.push_back(static_cast<std::uint8_t>(v & 0xFF));
        out_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void i32(std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8)
            out_.push_back(static_cast<std::uint8_t>((u >> shift) & 0xFF));
    }
    template <typename It> void bytes(It first, It last) { out_.insert(out_.end(), first, last); }
    std::vector<std::uint8_t> take() { return std::move(out_); }

private:
    std::vector<std::uint8_t> out_;
};

bool EncodeCell(Writer& w, const Cell& cell) {
    return std::visit(
        [&w](const auto& v) -> bool {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                w.u16(kTagEmpty);
            } else if constexpr (std::is_same_v<T, std::string>) {
                if (v.size() > std::numeric_limits<std::uint16_t>::max())
                    return false;
                w.u16(kTagText);
                w.u16(static_cast<std::uint16_t>(v.size()));
                w.bytes(v.begin(), v.end());
            } else if constexpr (std::is_same_v<T, std::int32_t>) {
                w.u16(kTagInt32);
                w.i32(v);
            } else {
                if (v.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
                    return false;
                w.u16(kTagByteArray);
                w.u16(1);
                w.i32(static_cast<std::int32_t>(v.size()));
                w.i32(0);
                w.bytes(v.begin(), v.end());
            }
            return true;
        },
        cell);
}

// One cell at the reader's position; false when it is cut short or of a kind
// the archive never holds.
bool DecodeCell(ByteReader& r, Cell& cell) {
    const std::uint16_t tag = r.u16();
    if (!r.ok())
        return false;
    switch (tag) {
    case kTagEmpty:
        cell = std::monostate{};
        return true;
    case kTagInt32: {
        const std::int32_t v = r.i32();
        cell = v;
        return r.ok();
    }
    case kTagText: {
        const auto text = r.take(r.u16());
        cell = std::string(text.begin(), text.end());
        return r.ok();
    }
    case kTagByteArray: {
        const std::uint16_t dims = r.u16();
        const std::int32_t count = r.i32();
        r.i32(); // the lower bound: the bytes are all an icon file needs
        if (!r.ok() || dims != 1 || count < 0)
            return false;
        const auto bytes = r.take(static_cast<std::size_t>(count));
        cell = ByteArray(bytes.begin(), bytes.end());
        return r.ok();
    }
    default:
        // A tag we do not know has a size we do not know: nothing after it can
        // be read.
        return false;
    }
}

} // namespace

std::optional<std::vector<std::uint8_t>> EncodeArchive(const VariantTable& table) {
    if (table.dimensions() != 2)
        return std::nullopt;
    const Bound fields = table.bounds()[0];
    const Bound rows = table.bounds()[1];
    if (fields.lower != 0 || rows.lower != 0 ||
        std::int64_t{fields.count} * rows.count > kMaxArchiveCells)
        return std::nullopt;

    Writer w;
    w.u16(kTagVariantArray);
    w.u16(2);
    for (const Bound& b : {fields, rows}) {
        w.i32(b.count);
        w.i32(b.lower);
    }
    for (const Cell& cell : table.cells())
        if (!EncodeCell(w, cell))
            return std::nullopt;
    return w.take();
}

std::optional<VariantTable> DecodeArchive(const std::uint8_t* data, std::size_t size) {
    if (!data && size != 0)
        return std::nullopt;
    ByteReader r(data, size);
    const std::uint16_t tag = r.u16();
    const std::uint16_t dims = r.u16();
    if (!r.ok() || tag != kTagVariantArray || dims != 2)
        return std::nullopt;

    Bound bounds[2];
    for (Bound& b : bounds) {
        b.count = r.i32();
        b.lower = r.i32();
        if (!r.ok() || b.count < 0 || b.count > kMaxArchiveCells || b.lower != 0)
            return std::nullopt;
    }
    const std::int64_t cells = std::int64_t{bounds[0].count} * bounds[1].count;
    // Every cell takes at least its 2-byte tag, so a count the remaining bytes
    // cannot hold is refused before anything is allocated for it.
    if (cells > kMaxArchiveCells || static_cast<std::uint64_t>(cells) * 2 > r.remaining())
        return std::nullopt;

    VariantTable table = VariantTable::Make(std::vector<Bound>{bounds[0], bounds[1]});
    for (Cell& cell : table.cells())
        if (!DecodeCell(r, cell))
            return std::nullopt;
    return table;
}

} // namespace kz
