#include "platform/SystemColour.h"

#include <QGuiApplication>
#include <QPalette>

namespace kz {

QColor ResolveColour(std::uint32_t value) {
    if (!IsSystemColour(value))
        return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                      static_cast<int>((value >> 16) & 0xFF));
    const QPalette palette = QGuiApplication::palette();
    switch (value & 0xFF) {
    case 1:  // desktop
    case 12: // application workspace
        return palette.color(QPalette::Dark);
    case 2:  // active caption
    case 13: // highlight
        return palette.color(QPalette::Highlight);
    case 3:  // inactive caption
    case 11: // inactive border
        return palette.color(QPalette::Inactive, QPalette::Highlight);
    case 4: // menu
    case 5: // window
        return palette.color(QPalette::Base);
    case 6:  // window frame
    case 21: // 3D dark shadow
        return palette.color(QPalette::Shadow);
    case 7: // menu text
    case 8: // window text
        return palette.color(QPalette::Text);
    case 9:  // caption text
    case 14: // highlight text
        return palette.color(QPalette::HighlightedText);
    case 16: // button shadow
        return palette.color(QPalette::Mid);
    case 17: // grey text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    case 19: // inactive caption text
        return palette.color(QPalette::Inactive, QPalette::HighlightedText);
    case 20: // button highlight
    case 22: // 3D light
        return palette.color(QPalette::Light);
    case 23: // tooltip text
        return palette.color(QPalette::ToolTipText);
    case 24: // tooltip background
        return palette.color(QPalette::ToolTipBase);
    default: // 0 scroll bar, 10 active border, 15 button face and unknown indices
        return palette.color(QPalette::Button);
    }
}

std::uint32_t ColourValue(const QColor& colour) {
    return ColourValue(colour.red(), colour.green(), colour.blue());
}

} // namespace kz
