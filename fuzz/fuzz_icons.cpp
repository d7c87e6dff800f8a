// Any bytes as a program, a library or an icon file: reading icons must stay
// within the bytes and the size limits.
#include "editor/IconResources.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace kz::icons;

namespace {

void CheckPixels(const Pixels& pixels) {
    if (pixels.isNull())
        return;
    if (pixels.width < 1 || pixels.height < 1 || pixels.width > kMaxImageSide ||
        pixels.height > kMaxImageSide ||
        pixels.argb.size() != std::size_t(pixels.width) * std::size_t(pixels.height))
        __builtin_trap();
}

void CheckImage(const Bytes& image) {
    if (image.size() > kMaxImageBytes)
        __builtin_trap();
    if (IsPng(image))
        (void)PngSize(image);
    else
        CheckPixels(DecodeDib(image));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemorySource source(data, size);
    const IconResources resources(source);
    const int count = resources.count();
    if (count < 0 || (resources.kind() == FileKind::Unknown && count != 0) ||
        (resources.kind() == FileKind::Ico && count != 1))
        __builtin_trap();

    for (int i = 0; i < std::min(count, 4); ++i) {
        const std::vector<IconEntry> entries = resources.entries(i);
        if (entries.size() > std::size_t(kMaxImagesPerIcon) ||
            entries.empty() != !resources.bestEntry(i))
            __builtin_trap();
        // The first few images, decoded.
        for (std::size_t k = 0; k < std::min<std::size_t>(entries.size(), 4); ++k)
            if (const auto image = resources.imageData(entries[k]))
                CheckImage(*image);
    }

    // The bytes as a bare icon image as well.
    const Bytes raw(data, data + std::min<std::size_t>(size, kMaxImageBytes));
    CheckImage(raw);
    return 0;
}
