#pragma once

// The launcher's one window: the page of five slot buttons with their names,
// the details of the slot under the pointer or focused, paging, the copy
// buttons and the button that opens the CD.

#include "launcher/LauncherModel.h"
#include "launcher/SlotPicture.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

namespace kz::launcher {

// A GDI object that is deleted with its owner.
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(HGDIOBJ object) : object_(object) {}
    ~GdiObject() {
        if (object_)
            DeleteObject(object_);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    void reset(HGDIOBJ object) {
        if (object_)
            DeleteObject(object_);
        object_ = object;
    }
    HFONT font() const { return static_cast<HFONT>(object_); }
    HBRUSH brush() const { return static_cast<HBRUSH>(object_); }

private:
    HGDIOBJ object_ = nullptr;
};

class LauncherWindow {
public:
    // `cdRoot` is the folder the launcher runs from, which slot paths are
    // relative to.
    LauncherWindow(HINSTANCE instance, std::wstring cdRoot, Menu menu);
    ~LauncherWindow();
    LauncherWindow(const LauncherWindow&) = delete;
    LauncherWindow& operator=(const LauncherWindow&) = delete;

    // Creates and shows the window; false when Windows refuses.
    bool create(int show);
    HWND handle() const { return window_; }

    // Tells the user once, after the window is up, that the menu could not
    // be read.
    void reportMenuProblem() const;

    // Walks every page and slot as a user pointing at each button would, and
    // writes what the controls show (UTF-8, one control a line) to `file`.
    // A check that the window shows the archive's contents.
    bool dumpTexts(const std::wstring& file);

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK SlotButtonProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void createControls();
    HWND addControl(const wchar_t* cls, const std::wstring& text, DWORD style, int id, int left,
                    int top, int width, int height, DWORD exStyle = 0);
    void addTooltip(HWND tool, const wchar_t* text);
    void chooseFonts();
    int twips(int value) const;

    void showPage();
    void showDetails(int button);
    void launch(int button) const;
    void openSlotFolder() const;
    void openCd() const;
    void copyUserName() const;
    void copySerial() const;
    void putOnClipboard(const std::wstring& text) const;

    void drawButton(const DRAWITEMSTRUCT& item) const;
    HBRUSH colourStatic(HDC dc, HWND control) const;
    const SlotRecord& slotOf(int button) const;
    std::wstring menuProblem() const;

    HINSTANCE instance_;
    std::wstring cdRoot_;
    Menu menu_;
    std::vector<SlotPicture> pictures_; // one per slot
    Colour background_ = 0;
    Colour namesColour_ = 0;
    DescriptionColours lineColours_;
    int page_ = 0;
    int shownButton_ = 0; // the slot whose details are up
    int dpi_ = 96;

    HWND window_ = nullptr;
    HWND tooltip_ = nullptr;
    std::array<HWND, kButtons> slotButtons_{};
    std::array<HWND, kButtons> appNameLabels_{};
    HWND firstLineLabel_ = nullptr, secondLineLabel_ = nullptr, pathLabel_ = nullptr,
         serialTitleLabel_ = nullptr, userNameTitleLabel_ = nullptr, pageIndicator_ = nullptr;
    HWND userNameBox_ = nullptr, serialBox_ = nullptr;
    HWND openCdButton_ = nullptr, openFolderButton_ = nullptr, copyUserNameButton_ = nullptr,
         copySerialButton_ = nullptr;
    HWND nextPageButton_ = nullptr, previousPageButton_ = nullptr;

    GdiObject font_;
    GdiObject indicatorFont_;
    GdiObject backgroundBrush_;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};

} // namespace kz::launcher
