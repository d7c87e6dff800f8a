#pragma once

#include <QString>

#include <cstdint>

class QWidget;

namespace kz {

class Desktop;

// What the entry editor needs of the window that opened it: the slot handed
// over, the launcher's look, and the controls it updates directly on OK.
class EntryHost {
public:
    enum class Detail { FirstLine, SecondLine, Path, NameTitle, SerialTitle, Name, Serial };

    virtual ~EntryHost() = default;

    virtual QWidget* hostWindow() = 0;
    virtual Desktop& hostDesktop() = 0;
    virtual QString handOverKey() const = 0;
    virtual QString hostWorkFolder() const = 0;
    virtual std::uint32_t hostBackground() const = 0;

    // The disc's volume label, shown as the host's caption.
    virtual QString volumeCaption() const = 0;
    virtual void setVolumeCaption(const QString& label) = 0;

    virtual void showSlotPicture(int button, const QString& iconPath) = 0;
    virtual void showSlotName(int button, const QString& name) = 0;
    virtual void showDetail(Detail detail, const QString& text) = 0;
    virtual void markModified() = 0;

    // The editor has closed, by whatever route.
    virtual void editorClosed() = 0;
};

} // namespace kz
