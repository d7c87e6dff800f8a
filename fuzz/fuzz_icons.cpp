// Any bytes as a program, a library or an icon file: reading icons must stay
// within the bytes and the size limits, and an icon written out as an .ico
// file must read back with the very same images.
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
        // The images an .ico copy has room for, in order.
        std::vector<Bytes> readable;
        std::size_t total = 6;
        for (const IconEntry& entry : entries) {
            auto image = resources.imageData(entry);
            if (image && total + 16 + image->size() <= kMaxIconFileBytes) {
                total += 16 + image->size();
                readable.push_back(std::move(*image));
            }
        }
        for (std::size_t k = 0; k < std::min<std::size_t>(readable.size(), 4); ++k)
            CheckImage(readable[k]);

        const auto ico = resources.icoFile(i);
        if (!ico) {
            if (!readable.empty())
                __builtin_trap();
            continue;
        }
        MemorySource copySource(*ico);
        const IconResources copy(copySource);
        const std::vector<IconEntry> copied = copy.entries(0);
        if (ico->size() != total || copy.kind() != FileKind::Ico || copy.count() != 1 ||
            copied.size() != readable.size())
            __builtin_trap();
        for (std::size_t k = 0; k < copied.size(); ++k) {
            const auto image = copy.imageData(copied[k]);
            if (!image || *image != readable[k])
                __builtin_trap();
        }
    }

    // The bytes as a bare icon image as well.
    const Bytes raw(data, data + std::min<std::size_t>(size, kMaxImageBytes));
    CheckImage(raw);
    return 0;
}
