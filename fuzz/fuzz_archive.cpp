// Any bytes as a project archive: decoding must neither crash nor read outside
// the input nor allocate beyond its limits, and whatever it accepts must
// survive a write and a read unchanged, while any shorter cut of that is
// refused whole.
#include "output/ArchiveCodec.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto table = kz::DecodeArchive(data, size);
    if (!table)
        return 0;
    if (table->dimensions() != 2 ||
        static_cast<std::int64_t>(table->cells().size()) > kz::kMaxArchiveCells)
        __builtin_trap();

    const auto bytes = kz::EncodeArchive(*table);
    if (!bytes || bytes->size() > size)
        __builtin_trap();
    const auto again = kz::DecodeArchive(*bytes);
    if (!again || !(*again == *table))
        __builtin_trap();

    // A few cuts of the canonical bytes, each copied so that ASan sees a read
    // past the cut.
    for (std::size_t cut : {bytes->size() - 1, bytes->size() / 2, std::size_t{21}}) {
        if (cut >= bytes->size())
            continue;
        const std::vector<std::uint8_t> part(bytes->begin(),
                                             bytes->begin() + static_cast<std::ptrdiff_t>(cut));
        if (kz::DecodeArchive(part))
            __builtin_trap();
    }
    return 0;
}
