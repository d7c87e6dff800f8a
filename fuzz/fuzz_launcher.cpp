// Any bytes as the CD's archive, as the launcher reads it: the menu it builds
// and the pictures it would hand to the system must stay inside the bytes.
#include "launcher/LauncherModel.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    (void)kz::launcher::ReadMenu(data, size);
    // The same bytes as one slot's icon.
    const kz::ByteArray bytes(data, data + size);
    using Kind = kz::launcher::PictureLocation::Kind;
    const kz::launcher::PictureLocation where = kz::launcher::LocatePicture(bytes);
    if (where.kind == Kind::Icon && (where.offset > size || where.size > size - where.offset))
        __builtin_trap();
    if (where.kind == Kind::Bitmap && (where.offset >= size || where.bitsOffset > size))
        __builtin_trap();
    return 0;
}
