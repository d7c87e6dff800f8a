#include "launcher/SlotPicture.h"

#include <cstring>
#include <utility>
#include <vector>

namespace kz::launcher {
namespace {

// GDI reads headers as DWORD-aligned structures; the archive's bytes have no
// such alignment, so each part is copied first.
std::vector<DWORD> Aligned(const ByteArray& bytes, std::size_t offset, std::size_t size) {
    std::vector<DWORD> copy((size + sizeof(DWORD) - 1) / sizeof(DWORD) + 1, 0);
    std::memcpy(copy.data(), bytes.data() + offset, size);
    return copy;
}

} // namespace

SlotPicture::SlotPicture(const ByteArray& bytes) {
    const PictureLocation where = LocatePicture(bytes);
    if (where.kind == PictureLocation::Kind::Bitmap) {
        std::vector<DWORD> info = Aligned(bytes, where.offset, where.size);
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(info.data());
        // A later header may name a colour profile by an offset of its own,
        // which nothing has checked; an icon needs none.
        constexpr DWORD kStandardRgb = 0x73524742; // LCS_sRGB, spelt out for -Wmultichar
        if (header->biSize >= sizeof(BITMAPV4HEADER))
            reinterpret_cast<BITMAPV4HEADER*>(info.data())->bV4CSType = kStandardRgb;
        const std::size_t bitsSize = bytes.size() - where.bitsOffset;
        const std::vector<DWORD> bits = Aligned(bytes, where.bitsOffset, bitsSize);
        HDC screen = GetDC(nullptr);
        bitmap_ = CreateDIBitmap(screen, header, CBM_INIT, bits.data(),
                                 reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
    } else if (where.kind == PictureLocation::Kind::Icon) {
        std::vector<BYTE> resource(bytes.begin() + static_cast<std::ptrdiff_t>(where.offset),
                                   bytes.begin() +
                                       static_cast<std::ptrdiff_t>(where.offset + where.size));
        constexpr DWORD kIconFormat = 0x00030000;
        icon_ = CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()), TRUE,
                                         kIconFormat, where.width, where.height, LR_DEFAULTCOLOR);
    }
    if (!empty()) {
        width_ = where.width;
        height_ = where.height;
    }
}

SlotPicture::~SlotPicture() {
    release();
}

SlotPicture::SlotPicture(SlotPicture&& other) noexcept {
    *this = std::move(other);
}

SlotPicture& SlotPicture::operator=(SlotPicture&& other) noexcept {
    if (this != &other) {
        release();
        bitmap_ = std::exchange(other.bitmap_, nullptr);
        icon_ = std::exchange(other.icon_, nullptr);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
    }
    return *this;
}

void SlotPicture::release() {
    if (bitmap_)
        DeleteObject(bitmap_);
    if (icon_)
        DestroyIcon(icon_);
    bitmap_ = nullptr;
    icon_ = nullptr;
}

void SlotPicture::draw(HDC dc, const RECT& area, int side) const {
    if (empty())
        return;
    // Scale with the screen's dpi as the rest of the window does; an icon of
    // another size keeps its proportions.
    const int w = MulDiv(width_, side, 32);
    const int h = MulDiv(height_, side, 32);
    const int x = (area.left + area.right - w) / 2;
    const int y = (area.top + area.bottom - h) / 2;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    if (bitmap_) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, bitmap_);
        if (w == width_ && h == height_) {
            BitBlt(dc, x, y, w, h, memory, 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, x, y, w, h, memory, 0, 0, width_, height_, SRCCOPY);
        }
        SelectObject(memory, old);
        DeleteDC(memory);
    } else {
        DrawIconEx(dc, x, y, icon_, w, h, 0, nullptr, DI_NORMAL);
    }
    RestoreDC(dc, saved);
}

std::wstring SlotPicture::describe() const {
    if (empty())
        return L"none";
    return std::wstring(bitmap_ ? L"bitmap " : L"icon ") + std::to_wstring(width_) + L"x" +
           std::to_wstring(height_);
}

} // namespace kz::launcher
