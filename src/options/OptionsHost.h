#pragma once

#include <QString>

#include <cstdint>

class QIcon;
class QWidget;

namespace kz {

class Desktop;

// What the options dialog needs of the window that opens it: the launcher's
// two colours, the window icon that shows the CD icon, and where the project
// lives. The names match the entry editor's host, so one window can serve both
// with the same members.
class OptionsHost {
public:
    virtual ~OptionsHost() = default;

    // Parent of the dialog; its window icon is the dialog's icon.
    virtual QWidget* hostWindow() = 0;
    virtual Desktop& hostDesktop() = 0;
    virtual QString hostWorkFolder() const = 0;

    // The launcher's colours as colour values (0x00BBGGRR or a system colour).
    virtual std::uint32_t hostBackground() const = 0;
    virtual std::uint32_t hostTextColour() const = 0;
    // Paints the launcher preview: the window, its first value box and slot
    // buttons in the background colour, the five names in the text colour.
    virtual void applyLauncherColours(std::uint32_t background, std::uint32_t text) = 0;

    // The CD icon has been installed; the host shows it as its window icon.
    virtual void setHostIcon(const QIcon& icon) = 0;
};

} // namespace kz
