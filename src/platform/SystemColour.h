#pragma once

#include <QColor>

#include <cstdint>

// Colours as the project stores them: 0x00BBGGRR for an explicit colour, or a
// system colour index with the top bit set (0x8000000F is the button face).
namespace kz {

constexpr std::uint32_t kButtonFaceColour = 0x8000000F;
constexpr std::uint32_t kButtonTextColour = 0x80000012;

constexpr bool IsSystemColour(std::uint32_t value) {
    return (value & 0x80000000u) != 0;
}

// The colour to paint with; a system colour is looked up in the application's
// palette (an unknown index gives the button face).
QColor ResolveColour(std::uint32_t value);

// The explicit colour value of a painted colour.
constexpr std::uint32_t ColourValue(int red, int green, int blue) {
    return static_cast<std::uint32_t>(red & 0xFF) |
           (static_cast<std::uint32_t>(green & 0xFF) << 8) |
           (static_cast<std::uint32_t>(blue & 0xFF) << 16);
}
std::uint32_t ColourValue(const QColor& colour);

} // namespace kz
