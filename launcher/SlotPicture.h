#pragma once

// The picture of a slot button, made from the icon bytes the archive holds: a
// BMP file (what the editor writes) or an .ico file. Owns its GDI handle.

#include "launcher/LauncherModel.h"

#include <windows.h>

#include <string>

namespace kz::launcher {

class SlotPicture {
public:
    SlotPicture() = default;
    explicit SlotPicture(const ByteArray& bytes);
    ~SlotPicture();
    SlotPicture(SlotPicture&& other) noexcept;
    SlotPicture& operator=(SlotPicture&& other) noexcept;
    SlotPicture(const SlotPicture&) = delete;
    SlotPicture& operator=(const SlotPicture&) = delete;

    bool empty() const { return !bitmap_ && !icon_; }
    // Draws the picture centred in `area` at `side` pixels square (its natural
    // 32 pixels at 96 dpi), clipped to the area.
    void draw(HDC dc, const RECT& area, int side) const;
    // "bitmap 32x32", "icon 32x32" or "none".
    std::wstring describe() const;

private:
    void release();

    HBITMAP bitmap_ = nullptr;
    HICON icon_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

} // namespace kz::launcher
