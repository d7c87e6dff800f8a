// AutoRun.exe: the menu that starts from the root of the CD. It shows the
// slots that Auto_Run.dat beside it describes and starts what the user picks.
//
// A test switch, /dump-window-texts FILE, writes what every page and slot of
// the window shows to FILE (UTF-8) once the window is up, then closes it.

#include "launcher/LauncherModel.h"
#include "launcher/LauncherWindow.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cwchar>
#include <exception>
#include <string>

using namespace kz::launcher;

namespace {

// The archive is a few kilobytes per slot; anything this large is not one.
constexpr LONGLONG kMaxArchiveBytes = 64LL * 1024 * 1024;

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

// The folder the program runs from: the CD root ("D:\") when started by
// AutoRun, or any folder it was copied to.
std::wstring ProgramFolder() {
    std::wstring path(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return L".";
    path.resize(slash);
    if (path.size() == 2 && path[1] == L':')
        path += L'\\';
    return path;
}

Menu ReadArchiveFile(const std::wstring& folder) {
    std::wstring path = folder;
    if (path.back() != L'\\')
        path += L'\\';
    path += L"Auto_Run.dat";
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    Menu unreadable;
    unreadable.state = MenuState::Damaged;
    if (!file.valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return Menu{}; // missing
        return unreadable;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxArchiveBytes)
        return unreadable;
    kz::ByteArray bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                      &got, nullptr) ||
            got == 0)
            return unreadable;
        done += got;
    }
    return ReadMenu(bytes);
}

std::wstring DumpFileArgument() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring file;
    for (int k = 1; args && k + 1 < count; ++k) {
        if (_wcsicmp(args[k], L"/dump-window-texts") == 0) {
            file = args[k + 1];
            break;
        }
    }
    LocalFree(args);
    return file;
}

int Run(HINSTANCE instance, int show) {
    const std::wstring dumpFile = DumpFileArgument();
    const std::wstring root = ProgramFolder();

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // The shell may hand documents to COM servers.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    int result = 0;
    {
        LauncherWindow window(instance, root, ReadArchiveFile(root));
        if (!window.create(show)) {
            result = 1;
        } else {
            MSG msg;
            if (!dumpFile.empty()) {
                while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
                result = window.dumpTexts(dumpFile) ? 0 : 3;
                DestroyWindow(window.handle());
            } else {
                window.reportMenuProblem();
            }
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                if (!window.handle() || !IsDialogMessageW(window.handle(), &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            }
        }
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return result;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    try {
        return Run(instance, show);
    } catch (const std::exception&) {
        // Out of memory while building the menu: say so rather than vanish.
        MessageBoxW(nullptr, L"メニューを表示できません。", L"AutoRun", MB_OK | MB_ICONERROR);
        return 2;
    }
}
