#pragma once

#include <QString>

#include <array>

// How the project names its slots and where their data lives in the working
// folder.
namespace kz {

inline constexpr int kButtons = 5;
inline constexpr int kPages = 20;

// Button index followed directly by the page index: 00, 40, 01, 112, 419.
inline QString SlotKey(int button, int page) {
    return QString::number(button) + QString::number(page);
}

// The texts of one slot: a section of the settings file each, and the prefix
// that the slot key follows in the key name. Order as the archive stores them.
struct SlotField {
    const char16_t* section;
    const char16_t* prefix;
};
inline constexpr std::array<SlotField, 8> kSlotFields{{
    {u"FilePath", u"Path_"},
    {u"Text1", u"Text_"},
    {u"Text2", u"Text_"},
    {u"AppName", u"App_"},
    {u"Name", u"Name_"},
    {u"Serial", u"Serial_"},
    {u"NameTaitol", u"Name_"},
    {u"SerialTaitol", u"Serial_"},
}};

inline const QString kDefaultNameTitle = QStringLiteral("登録ﾕｰｻﾞｰ名");
inline const QString kDefaultSerialTitle = QStringLiteral("ｼﾘｱﾙｷｰ");

// Paths in the working folder, as Windows-style literals for LocalPath.
inline const QString kSettingsLiteral = QStringLiteral("\\設定.txt");
inline const QString kIconFolderLiteral = QStringLiteral("\\AutoRun_Icon");
inline QString IconLiteral(const QString& slotKey) {
    return QStringLiteral("\\AutoRun_Icon\\Icon_") + slotKey + QStringLiteral(".ico");
}
inline const QString kCdIconName = QStringLiteral("ARun.ico");
inline const QString kHelpFileName = QStringLiteral("Kazanoro.hlp");

} // namespace kz
