#pragma once

// What the launcher shows and does, without any window: the menu read from
// Auto_Run.dat, the colour rules, the page arithmetic, where a slot's path
// leads and where a slot's icon lies in its bytes. Plain C++, so that it builds
// for Windows inside AutoRun.exe and natively for the tests.
//
// Texts stay code page 932 bytes here; the window converts them for display.
// Paths are resolved on UTF-16 text, after that conversion, because a trail
// byte of a double-byte character can look like a backslash.

#include "store/VariantTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kz::launcher {

inline constexpr int kPages = 20;
inline constexpr int kButtons = 5;
inline constexpr int kSlots = kPages * kButtons;

// Colours in the Windows COLORREF layout, 0x00BBGGRR.
using Colour = std::uint32_t;
inline constexpr Colour kRed = 0x000000FF;
inline constexpr Colour kBlue = 0x00FF0000;
inline constexpr Colour kBlack = 0x00000000;

// As stored: 0x00BBGGRR, or a system colour index with the top bit set.
inline constexpr std::uint32_t kButtonFace = 0x8000000F;
inline constexpr std::uint32_t kButtonText = 0x80000012;

// Code page 932 spellings of the texts the menu itself supplies.
inline const std::string kMarkerText = "\x90\xDD\x92\xE8"; // 設定
inline const std::string kDefaultNameTitle =
    "\x93\x6F\x98\x5E\xD5\xB0\xBB\xDE\xB0\x96\xBC"; // 登録ﾕｰｻﾞｰ名
inline const std::string kDefaultSerialTitle = "\xBC\xD8\xB1\xD9\xB7\xB0"; // ｼﾘｱﾙｷｰ

// One slot as the archive holds it: icon file bytes and eight texts.
struct SlotRecord {
    ByteArray icon;
    std::string path;          // relative to the CD root, or a web address
    std::string firstLine;     // first description line
    std::string secondLine;    // second description line
    std::string appName;       // the name beside the button
    std::string userName;      // first copyable value (registered user name)
    std::string serial;        // second copyable value (serial key)
    std::string userNameTitle; // title of userName; empty for the default
    std::string serialTitle;   // title of serial; empty for the default

    bool empty() const;
};

enum class MenuState {
    Loaded,  // the archive was read
    Missing, // no Auto_Run.dat beside the launcher, or it could not be opened
    Damaged, // the file holds no readable table
};

struct Menu {
    MenuState state = MenuState::Missing;
    std::array<SlotRecord, kSlots> records{};
    // Colours as stored; the defaults of a new project until a marker row says
    // otherwise.
    std::uint32_t background = kButtonFace;
    std::uint32_t text = kButtonText;
};

// The menu an archive's bytes describe. Slots come from rows 1 to 100 (slot
// (button b, page p) is row 5p + b + 1) up to the marker row, whose field 0 is
// the text "設定" and whose fields 1 and 2 hold the colours. The marker row
// itself and every row after it hold no slot, even where packing left a slot's
// texts in it. Bytes that hold no table give a Damaged, empty menu.
Menu ReadMenu(const std::uint8_t* data, std::size_t size);
Menu ReadMenu(const ByteArray& bytes);

// ---- Pages and buttons

inline constexpr int SlotIndex(int page, int button) {
    return page * kButtons + button;
}
// The slot key the editor uses: button index then page index ("00", "412").
std::string SlotKey(int page, int button);
// "1/20" on the first page.
std::string PageIndicator(int page);
inline constexpr bool ShowsPrevious(int page) {
    return page > 0;
}
inline constexpr bool ShowsNext(int page) {
    return page < kPages - 1;
}
// The page after a step of `delta`, kept within the 20 pages.
int StepPage(int page, int delta);

// ---- Colours

// The colour to paint with. A system colour is looked up by its index in the
// low byte; an index Windows does not define gives the button face.
Colour ResolveColour(std::uint32_t stored, const std::function<Colour(int index)>& systemColour);

// Characters in a code page 932 text (a double-byte character counts once).
std::size_t CharacterCount(std::string_view cp932);

// The colour of a description line: a line of more than 5 characters is blue
// when it begins exactly with "http:" and `plain` otherwise; a shorter line
// keeps the colour the label had.
Colour DescriptionColour(std::string_view cp932, Colour previous, Colour plain);

// The two description lines' colours as they change from slot to slot.
struct DescriptionColours {
    Colour firstLine = kRed;
    Colour secondLine = kBlack;
    void show(const SlotRecord& slot);
};

// The two value titles as shown: the stored one, or the default when empty.
const std::string& ShownUserNameTitle(const SlotRecord& slot);
const std::string& ShownSerialTitle(const SlotRecord& slot);

// ---- Starting a slot

struct LaunchTarget {
    enum class Kind { Nothing, Address, File };
    Kind kind = Kind::Nothing;
    std::u16string target; // what to hand to the shell
    std::u16string folder; // the working folder for a file: the folder it lies in
};

// Where a slot's path leads. An empty path leads nowhere; "http:" or any other
// scheme of two or more letters is an address handed over as it is; anything
// else is a file below the CD root (slashes become backslashes, leading
// backslashes are dropped), unless it already names a drive or a network path.
LaunchTarget ResolveTarget(std::u16string_view cdRoot, std::u16string_view path);

// The folder a file path lies in, kept with its backslash when that is a drive
// root ("D:\").
std::u16string FolderOf(std::u16string_view path);

// ---- Icons

// Where the picture lies inside a slot's icon bytes, checked against the bytes
// so that Windows is never handed a header that points past them.
struct PictureLocation {
    enum class Kind { None, Bitmap, Icon };
    Kind kind = Kind::None;
    // Bitmap: the BITMAPINFO starts at `offset` (right after the file header)
    // and the pixels at `bitsOffset`. Icon: the chosen image's resource bytes
    // (a DIB with its AND mask, or a PNG) are `size` bytes from `offset`.
    std::size_t offset = 0;
    std::size_t size = 0;
    std::size_t bitsOffset = 0;
    int width = 0;
    int height = 0;
};

// A BMP file ("BM") or an .ico file; for an .ico, the image nearest 32 x 32,
// the deepest colours first among equals.
PictureLocation LocatePicture(const ByteArray& bytes);

} // namespace kz::launcher
