#include "launcher/LauncherWindow.h"

#include "launcher/Win32Text.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>
#include <utility>

namespace kz::launcher {
namespace {

enum ControlId : int {
    kIdSlotButton = 100, // to 104, top to bottom
    kIdAppName = 110,
    kIdFirstLine = 120,
    kIdSecondLine,
    kIdPath,
    kIdOpenFolder,
    kIdUserNameTitle,
    kIdUserName,
    kIdCopyUserName,
    kIdSerialTitle,
    kIdSerial,
    kIdCopySerial,
    kIdPreviousPage,
    kIdPageIndicator,
    kIdNextPage,
    kIdOpenCd,
};

constexpr wchar_t kClassName[] = L"KazanoroAutoRunMenu";
constexpr wchar_t kFallbackTitle[] = L"AutoRun";

// The client area in twips, as the editor previews it.
constexpr int kClientWidth = 4200;
constexpr int kClientHeight = 5580;

// Japanese UI faces, best first. Older Japanese Windows has the first two;
// every Windows since Vista has Meiryo, and 8.1 on Yu Gothic.
constexpr const wchar_t* kFaces[] = {
    L"ＭＳ Ｐゴシック", L"MS PGothic", L"MS UI Gothic", L"Meiryo UI", L"Yu Gothic UI", L"Meiryo",
};

int CALLBACK FaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM faces) {
    if (font->lfFaceName[0] != L'@') // vertical writing
        reinterpret_cast<std::vector<std::wstring>*>(faces)->push_back(font->lfFaceName);
    return 1;
}

// A face that shows Japanese. Without any of the known ones (as under other
// systems' font sets), another face covering the Japanese code page will do;
// an empty name leaves the choice to the font mapper.
std::wstring JapaneseFace() {
    HDC dc = GetDC(nullptr);
    std::wstring chosen;
    for (const wchar_t* face : kFaces) {
        LOGFONTW wanted{};
        wanted.lfCharSet = SHIFTJIS_CHARSET;
        wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
        bool found = false;
        EnumFontFamiliesExW(dc, &wanted, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
        if (found) {
            chosen = face;
            break;
        }
    }
    if (chosen.empty()) {
        LOGFONTW any{};
        any.lfCharSet = SHIFTJIS_CHARSET;
        std::vector<std::wstring> faces;
        EnumFontFamiliesExW(dc, &any, CollectFace, reinterpret_cast<LPARAM>(&faces), 0);
        // A proportional Gothic is closest to the intended face, then any
        // Gothic, then whatever covers the code page.
        auto rank = [](const std::wstring& face) {
            const auto has = [&face](const wchar_t* part) {
                return face.find(part) != std::wstring::npos;
            };
            if (has(L"PGothic") || has(L"Pゴシック"))
                return 2;
            return has(L"Gothic") || has(L"ゴシック") ? 1 : 0;
        };
        int best = -1;
        for (const std::wstring& face : faces) {
            if (rank(face) > best) {
                best = rank(face);
                chosen = face;
            }
        }
    }
    ReleaseDC(nullptr, dc);
    return chosen;
}

HFONT MakeFont(const std::wstring& face, int points, int dpi, bool bold) {
    return CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                       FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

std::wstring WindowText(HWND window) {
    const int n = GetWindowTextLengthW(window);
    if (n <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), n + 1);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

// Pointing at a button repeats for every mouse movement; setting an unchanged
// text would only flicker and drop the user's selection.
void SetText(HWND window, const std::wstring& text) {
    if (WindowText(window) != text)
        SetWindowTextW(window, text.c_str());
}

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

std::wstring JoinPath(const std::wstring& folder, const wchar_t* name) {
    if (!folder.empty() && folder.back() != L'\\')
        return folder + L'\\' + name;
    return folder + name;
}

std::wstring VolumeLabel(const std::wstring& folder) {
    wchar_t volume[MAX_PATH + 1] = {};
    if (!GetVolumePathNameW(folder.c_str(), volume, MAX_PATH))
        return {};
    wchar_t label[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(volume, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0))
        return {};
    return label;
}

Colour SystemColour(int index) {
    return GetSysColor(index);
}

bool IsShown(HWND window) {
    return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::wstring ColourText(Colour c) {
    wchar_t text[8];
    swprintf(text, 8, L"#%02X%02X%02X", static_cast<unsigned>(c & 0xFF),
             static_cast<unsigned>((c >> 8) & 0xFF), static_cast<unsigned>((c >> 16) & 0xFF));
    return text;
}

} // namespace

LauncherWindow::LauncherWindow(HINSTANCE instance, std::wstring cdRoot, Menu menu)
    : instance_(instance), cdRoot_(std::move(cdRoot)), menu_(std::move(menu)) {
    pictures_.reserve(kSlots);
    for (const SlotRecord& slot : menu_.records)
        pictures_.emplace_back(slot.icon);
    background_ = ResolveColour(menu_.background, SystemColour);
    namesColour_ = ResolveColour(menu_.text, SystemColour);
    backgroundBrush_.reset(CreateSolidBrush(background_));

    // The CD's own icon, when the disc carries one, is the window's too.
    const std::wstring cdIcon = JoinPath(cdRoot_, L"ARun.ico");
    bigIcon_ = static_cast<HICON>(LoadImageW(nullptr, cdIcon.c_str(), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON),
                                             GetSystemMetrics(SM_CYICON), LR_LOADFROMFILE));
    smallIcon_ = static_cast<HICON>(LoadImageW(nullptr, cdIcon.c_str(), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_LOADFROMFILE));
}

LauncherWindow::~LauncherWindow() {
    if (window_)
        DestroyWindow(window_);
    if (bigIcon_)
        DestroyIcon(bigIcon_);
    if (smallIcon_)
        DestroyIcon(smallIcon_);
}

int LauncherWindow::twips(int value) const {
    return MulDiv(value, dpi_, 1440);
}

bool LauncherWindow::create(int show) {
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpi_ <= 0)
        dpi_ = 96;
    chooseFonts();

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = bigIcon_ ? bigIcon_ : LoadIconW(nullptr, IDI_APPLICATION);
    wc.hIconSm = smallIcon_;
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT frame{0, 0, twips(kClientWidth), twips(kClientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + (work.right - work.left - width) / 2;
    const int y = work.top + (work.bottom - work.top - height) / 2;

    std::wstring title = VolumeLabel(cdRoot_);
    if (title.empty())
        title = kFallbackTitle;
    window_ = CreateWindowExW(0, kClassName, title.c_str(), style, x > 0 ? x : 0, y > 0 ? y : 0,
                              width, height, nullptr, nullptr, instance_, this);
    if (!window_)
        return false;
    createControls();
    showPage();
    ShowWindow(window_, show);
    UpdateWindow(window_);
    SetFocus(slotButtons_[0]);
    return true;
}

void LauncherWindow::chooseFonts() {
    const std::wstring face = JapaneseFace();
    font_.reset(MakeFont(face, 9, dpi_, false));
    indicatorFont_.reset(MakeFont(face, 12, dpi_, true));
}

HWND LauncherWindow::addControl(const wchar_t* cls, const std::wstring& text, DWORD style, int id,
                                int left, int top, int width, int height, DWORD exStyle) {
    HWND control =
        CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
                        twips(left), twips(top), twips(width), twips(height), window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.font()), FALSE);
    return control;
}

void LauncherWindow::addTooltip(HWND tool, const wchar_t* text) {
    TTTOOLINFOW info{};
    // The short form of the structure is understood by every version of the
    // common controls.
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = window_;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void LauncherWindow::createControls() {
    // Creation order is the tab order: the slots first, then paging and the
    // CD button, then the detail area's controls.
    constexpr DWORD kTab = WS_TABSTOP;
    constexpr DWORD kSlotStyle = kTab | BS_OWNERDRAW | BS_NOTIFY;
    for (int k = 0; k < kButtons; ++k) {
        slotButtons_[static_cast<std::size_t>(k)] =
            addControl(L"BUTTON", L"", kSlotStyle, kIdSlotButton + k, 0, 2040 + 600 * k, 600, 600);
        HWND button = slotButtons_[static_cast<std::size_t>(k)];
        // Pointing at a slot shows its details, as focusing it does.
        const LONG_PTR original =
            SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SlotButtonProc));
        SetWindowLongPtrW(button, GWLP_USERDATA, original);
    }
    previousPageButton_ =
        addControl(L"BUTTON", L"<<", kTab | BS_PUSHBUTTON, kIdPreviousPage, 720, 5160, 615, 375);
    nextPageButton_ =
        addControl(L"BUTTON", L">>", kTab | BS_PUSHBUTTON, kIdNextPage, 2400, 5160, 615, 375);
    openCdButton_ =
        addControl(L"BUTTON", L"CDを参照", kTab | BS_PUSHBUTTON, kIdOpenCd, 3120, 5160, 975, 375);
    constexpr DWORD kValueStyle = kTab | ES_READONLY | ES_AUTOHSCROLL;
    userNameBox_ =
        addControl(L"EDIT", L"", kValueStyle, kIdUserName, 0, 1080, 3975, 270, WS_EX_CLIENTEDGE);
    copyUserNameButton_ =
        addControl(L"BUTTON", L"", kTab | BS_OWNERDRAW, kIdCopyUserName, 3960, 1080, 255, 255);
    serialBox_ =
        addControl(L"EDIT", L"", kValueStyle, kIdSerial, 0, 1710, 3975, 270, WS_EX_CLIENTEDGE);
    copySerialButton_ =
        addControl(L"BUTTON", L"", kTab | BS_OWNERDRAW, kIdCopySerial, 3960, 1710, 255, 255);
    openFolderButton_ =
        addControl(L"BUTTON", L"...", kTab | BS_PUSHBUTTON, kIdOpenFolder, 3960, 480, 255, 255);

    constexpr DWORD kLine = SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS;
    firstLineLabel_ = addControl(L"STATIC", L"", kLine, kIdFirstLine, 0, 0, 4200, 255);
    secondLineLabel_ = addControl(L"STATIC", L"", kLine, kIdSecondLine, 0, 240, 4200, 255);
    pathLabel_ = addControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS | SS_NOTIFY,
                            kIdPath, 0, 480, 3975, 255);
    userNameTitleLabel_ = addControl(L"STATIC", L"", kLine, kIdUserNameTitle, 0, 840, 1455, 255);
    serialTitleLabel_ = addControl(L"STATIC", L"", kLine, kIdSerialTitle, 0, 1440, 1095, 255);
    for (int k = 0; k < kButtons; ++k)
        appNameLabels_[static_cast<std::size_t>(k)] =
            addControl(L"STATIC", L"", kLine, kIdAppName + k, 720, 2280 + 600 * k, 3405, 255);
    pageIndicator_ =
        addControl(L"STATIC", L"", SS_CENTER | SS_NOPREFIX, kIdPageIndicator, 1440, 5220, 855, 495);
    SendMessageW(pageIndicator_, WM_SETFONT, reinterpret_cast<WPARAM>(indicatorFont_.font()),
                 FALSE);

    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                               nullptr, instance_, nullptr);
    if (tooltip_) {
        SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.font()), FALSE);
        addTooltip(pathLabel_, L"\"→のボタンでﾌｫﾙﾀﾞｰ開く\"");
        addTooltip(openFolderButton_, L"ﾌｫﾙﾀﾞｰを開く");
        addTooltip(userNameBox_, L"→ﾎﾞﾀﾝでｺﾋﾟｰ");
        addTooltip(copyUserNameButton_, L"ｺﾋﾟｰ");
        addTooltip(serialBox_, L"→ﾎﾞﾀﾝで選択範囲をｺﾋﾟｰ");
        addTooltip(copySerialButton_, L"選択範囲をｺﾋﾟｰ");
    }
}

const SlotRecord& LauncherWindow::slotOf(int button) const {
    return menu_.records[static_cast<std::size_t>(SlotIndex(page_, button))];
}

std::wstring LauncherWindow::menuProblem() const {
    switch (menu_.state) {
    case MenuState::Loaded:
        return {};
    case MenuState::Missing:
        return L"Auto_Run.dat が見つかりません。";
    case MenuState::Damaged:
        break;
    }
    return L"Auto_Run.dat を読み込めません。";
}

void LauncherWindow::reportMenuProblem() const {
    if (menu_.state == MenuState::Loaded)
        return;
    const std::wstring text = menuProblem() + L"\n" + JoinPath(cdRoot_, L"Auto_Run.dat");
    MessageBoxW(window_, text.c_str(), kFallbackTitle, MB_OK | MB_ICONEXCLAMATION);
}

void LauncherWindow::showPage() {
    for (HWND w : {firstLineLabel_, secondLineLabel_, pathLabel_, serialTitleLabel_,
                   userNameTitleLabel_, userNameBox_, serialBox_})
        SetText(w, L"");
    ShowWindow(previousPageButton_, ShowsPrevious(page_) ? SW_SHOW : SW_HIDE);
    ShowWindow(nextPageButton_, ShowsNext(page_) ? SW_SHOW : SW_HIDE);
    SetText(pageIndicator_, Widen(PageIndicator(page_)));
    for (int k = 0; k < kButtons; ++k) {
        InvalidateRect(slotButtons_[static_cast<std::size_t>(k)], nullptr, TRUE);
        SetText(appNameLabels_[static_cast<std::size_t>(k)], FromCp932(slotOf(k).appName));
    }
    if (IsWindowVisible(window_))
        SetFocus(slotButtons_[0]);
    showDetails(0);
}

void LauncherWindow::showDetails(int button) {
    shownButton_ = button;
    const SlotRecord& slot = slotOf(button);
    lineColours_.show(slot);
    // Without a menu the first line says why, whichever slot is pointed at.
    SetText(firstLineLabel_,
            menu_.state == MenuState::Loaded ? FromCp932(slot.firstLine) : menuProblem());
    SetText(secondLineLabel_, FromCp932(slot.secondLine));
    SetText(pathLabel_, FromCp932(slot.path));
    SetText(userNameBox_, FromCp932(slot.userName));
    SetText(serialBox_, FromCp932(slot.serial));
    SetText(userNameTitleLabel_, FromCp932(ShownUserNameTitle(slot)));
    SetText(serialTitleLabel_, FromCp932(ShownSerialTitle(slot)));
    SetText(appNameLabels_[static_cast<std::size_t>(button)], FromCp932(slot.appName));
    // The colour may change while the text stays.
    InvalidateRect(firstLineLabel_, nullptr, TRUE);
    InvalidateRect(secondLineLabel_, nullptr, TRUE);
}

void LauncherWindow::launch(int button) const {
    const LaunchTarget target =
        ResolveTarget(ToU16(cdRoot_), ToU16(FromCp932(slotOf(button).path)));
    if (target.kind == LaunchTarget::Kind::Nothing)
        return;
    const std::wstring file = FromU16(target.target);
    const std::wstring folder = FromU16(target.folder);
    // The default action of the file (run a program, open a document) in the
    // file's own folder, as installers on the disc expect.
    ShellExecuteW(window_, nullptr, file.c_str(), nullptr,
                  folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
}

void LauncherWindow::openSlotFolder() const {
    const LaunchTarget target =
        ResolveTarget(ToU16(cdRoot_), ToU16(FromCp932(slotOf(shownButton_).path)));
    if (target.kind != LaunchTarget::Kind::File || target.folder.empty())
        return;
    const std::wstring folder = FromU16(target.folder);
    ShellExecuteW(window_, L"open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void LauncherWindow::openCd() const {
    ShellExecuteW(window_, L"open", cdRoot_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void LauncherWindow::putOnClipboard(const std::wstring& text) const {
    // Another program holding the clipboard just means no copy this time.
    if (!OpenClipboard(window_))
        return;
    EmptyClipboard();
    if (!text.empty()) {
        const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            if (void* p = GlobalLock(memory)) {
                std::memcpy(p, text.c_str(), bytes);
                GlobalUnlock(memory);
                if (!SetClipboardData(CF_UNICODETEXT, memory))
                    GlobalFree(memory);
            } else {
                GlobalFree(memory);
            }
        }
    }
    CloseClipboard();
}

void LauncherWindow::copyUserName() const {
    putOnClipboard(WindowText(userNameBox_));
}

void LauncherWindow::copySerial() const {
    const std::wstring all = WindowText(serialBox_);
    DWORD first = 0;
    DWORD last = 0;
    SendMessageW(serialBox_, EM_GETSEL, reinterpret_cast<WPARAM>(&first),
                 reinterpret_cast<LPARAM>(&last));
    if (first < last && last <= all.size())
        putOnClipboard(all.substr(first, last - first));
    else
        putOnClipboard(all);
}

void LauncherWindow::drawButton(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const int id = static_cast<int>(item.CtlID);
    const bool slot = id >= kIdSlotButton && id < kIdSlotButton + kButtons;
    FillRect(dc, &face, slot ? backgroundBrush_.brush() : GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    if (pressed)
        OffsetRect(&face, 1, 1);
    if (slot) {
        pictures_[static_cast<std::size_t>(SlotIndex(page_, id - kIdSlotButton))].draw(
            dc, face, MulDiv(32, dpi_, 96));
    } else {
        // Two overlapping sheets: copy.
        const int u = dpi_ >= 144 ? 2 : 1;
        const int cx = (face.left + face.right) / 2;
        const int cy = (face.top + face.bottom) / 2;
        const RECT back{cx - 5 * u, cy - 6 * u, cx + 2 * u, cy + 3 * u};
        const RECT front{cx - 2 * u, cy - 3 * u, cx + 5 * u, cy + 6 * u};
        for (const RECT& sheet : {back, front}) {
            FillRect(dc, &sheet, GetSysColorBrush(COLOR_WINDOW));
            FrameRect(dc, &sheet, GetSysColorBrush(COLOR_BTNTEXT));
        }
    }
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

HBRUSH LauncherWindow::colourStatic(HDC dc, HWND control) const {
    if (control == serialBox_) {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return GetSysColorBrush(COLOR_WINDOW);
    }
    Colour text = GetSysColor(COLOR_BTNTEXT);
    if (control == userNameBox_)
        text = GetSysColor(COLOR_WINDOWTEXT);
    else if (control == firstLineLabel_)
        text = menu_.state == MenuState::Loaded ? lineColours_.firstLine : kRed;
    else if (control == secondLineLabel_)
        text = lineColours_.secondLine;
    for (HWND name : appNameLabels_)
        if (control == name)
            text = namesColour_;
    SetTextColor(dc, text);
    SetBkColor(dc, background_);
    return backgroundBrush_.brush();
}

LRESULT CALLBACK LauncherWindow::SlotButtonProc(HWND button, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(button, GWLP_USERDATA));
    if (message == WM_MOUSEMOVE) {
        auto* self =
            reinterpret_cast<LauncherWindow*>(GetWindowLongPtrW(GetParent(button), GWLP_USERDATA));
        if (self)
            self->showDetails(GetDlgCtrlID(button) - kIdSlotButton);
    }
    return CallWindowProcW(original, button, message, wParam, lParam);
}

LRESULT CALLBACK LauncherWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* self = static_cast<LauncherWindow*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<LauncherWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY && self) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        self = nullptr;
    }
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT LauncherWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window_, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, backgroundBrush_.brush());
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return reinterpret_cast<LRESULT>(
            colourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_DRAWITEM:
        drawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_SYSCOLORCHANGE:
        // System colours in the menu follow the user's scheme.
        background_ = ResolveColour(menu_.background, SystemColour);
        namesColour_ = ResolveColour(menu_.text, SystemColour);
        backgroundBrush_.reset(CreateSolidBrush(background_));
        InvalidateRect(window_, nullptr, TRUE);
        return 0;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id >= kIdSlotButton && id < kIdSlotButton + kButtons) {
            if (code == BN_CLICKED)
                launch(id - kIdSlotButton);
            else if (code == BN_SETFOCUS)
                showDetails(id - kIdSlotButton);
            return 0;
        }
        if (code != BN_CLICKED)
            return 0;
        switch (id) {
        case kIdNextPage:
        case kIdPreviousPage:
            page_ = StepPage(page_, id == kIdNextPage ? 1 : -1);
            showPage();
            break;
        case kIdOpenCd:
            openCd();
            break;
        case kIdOpenFolder:
            openSlotFolder();
            break;
        case kIdCopyUserName:
            copyUserName();
            break;
        case kIdCopySerial:
            copySerial();
            break;
        case IDOK: {
            // Enter presses the focused button, a slot included.
            HWND focus = GetFocus();
            if (focus && GetParent(focus) == window_) {
                wchar_t cls[16] = {};
                GetClassNameW(focus, cls, 16);
                if (_wcsicmp(cls, L"Button") == 0)
                    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED),
                                 reinterpret_cast<LPARAM>(focus));
            }
            break;
        }
        case IDCANCEL:
            DestroyWindow(window_);
            break;
        default:
            break;
        }
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

bool LauncherWindow::dumpTexts(const std::wstring& file) {
    std::wstring out;
    auto line = [&out](const std::wstring& key, std::wstring value) {
        for (wchar_t& c : value)
            if (c == L'\t' || c == L'\r' || c == L'\n')
                c = L' ';
        out += key + L'\t' + value + L'\n';
    };
    auto clipboard = [this]() {
        std::wstring text;
        if (!OpenClipboard(window_))
            return std::wstring(L"(clipboard busy)");
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = p;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        return text;
    };
    auto click = [this](HWND button) {
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    };
    // The colour a control's text is painted in, asked as Windows asks before painting.
    auto painted = [this](HWND control) {
        HDC dc = CreateCompatibleDC(nullptr);
        SendMessageW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(control));
        const Colour colour = GetTextColor(dc);
        DeleteDC(dc);
        return ColourText(colour);
    };
    const wchar_t* states[] = {L"loaded", L"missing", L"damaged"};
    line(L"window", WindowText(window_));
    line(L"state", states[static_cast<int>(menu_.state)]);
    line(L"background", ColourText(background_));
    line(L"names", painted(appNameLabels_[0]));
    for (int n = 0; n < kPages; ++n) {
        line(L"page", WindowText(pageIndicator_));
        line(L"details", WindowText(pathLabel_)); // of button 1 on a page just shown
        line(L"Down", IsShown(previousPageButton_) ? L"shown" : L"hidden");
        line(L"UP", IsShown(nextPageButton_) ? L"shown" : L"hidden");
        for (int k = 0; k < kButtons; ++k) {
            HWND button = slotButtons_[static_cast<std::size_t>(k)];
            SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
            line(L"slot", Widen(SlotKey(page_, k)));
            line(L"Com", pictures_[static_cast<std::size_t>(SlotIndex(page_, k))].describe());
            line(L"Label1", WindowText(appNameLabels_[static_cast<std::size_t>(k)]));
            line(L"Label2", WindowText(firstLineLabel_));
            line(L"Label2.colour", painted(firstLineLabel_));
            line(L"Label3", WindowText(secondLineLabel_));
            line(L"Label3.colour", painted(secondLineLabel_));
            line(L"Label5", WindowText(pathLabel_));
            line(L"Label7", WindowText(userNameTitleLabel_));
            line(L"Text1", WindowText(userNameBox_));
            line(L"Label6", WindowText(serialTitleLabel_));
            line(L"Text2", WindowText(serialBox_));
            click(copyUserNameButton_);
            line(L"copy1", clipboard());
            SendMessageW(serialBox_, EM_SETSEL, 0, 0);
            click(copySerialButton_);
            line(L"copy2", clipboard());
            SendMessageW(serialBox_, EM_SETSEL, 4, 8);
            click(copySerialButton_);
            line(L"copy2.selection", clipboard());
        }
        if (IsShown(nextPageButton_))
            click(nextPageButton_);
    }

    const std::string bytes = ToUtf8(out);
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    CloseHandle(handle);
    return ok;
}

} // namespace kz::launcher
