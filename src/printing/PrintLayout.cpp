#include "printing/PrintLayout.h"

#include "editor/modPicture.h"

#include "printing/HalfWidth.h"
#include "printing/PrintSurface.h"
#include "store/FileName.h"
#include "store/Ini.h"
#include "store/Parts.h"
#include "store/Slots.h"

#include <QPainter>

namespace kz {
namespace {

// The settings file's texts of one slot.
class SlotReader {
public:
    explicit SlotReader(const QString& workFolder)
        : settings_(LocalPath(workFolder, kSettingsLiteral)) {}
    QString read(const char16_t* section, const char16_t* prefix, const QString& key) const {
        return ReadIni(settings_, QString::fromUtf16(section), QString::fromUtf16(prefix) + key);
    }
    // A slot is in use when it has something to start.
    bool inUse(const QString& key) const { return !read(u"FilePath", u"Path_", key).isEmpty(); }
    QString volumeLabel() const {
        return ReadIni(settings_, QStringLiteral("VolumeLabel"), QString());
    }

private:
    QString settings_;
};

struct UsedSlot {
    int button;
    int page;
    QString key;
};

// Slots in use, pages in ascending order and buttons 0-4 within a page; unused
// slots leave no gap.
QList<UsedSlot> SlotsInUse(const SlotReader& settings) {
    QList<UsedSlot> used;
    for (int page = 0; page < kPages; ++page)
        for (int button = 0; button < kButtons; ++button) {
            const QString key = SlotKey(button, page);
            if (settings.inUse(key))
                used.append({button, page, key});
        }
    return used;
}

void DrawSlotIcon(PrintSurface& surface, const PrintSource& source, const QString& key,
                  const QRect& target) {
    const QString path = LocalPath(source.workFolder, IconLiteral(key));
    if (!FileExists(path))
        return;
    const QImage picture = modPicture::LoadPicture(path);
    if (!picture.isNull())
        surface.drawPicture(target, PictureBoxImage(picture, source.pictureBoxColour));
}

} // namespace

QString SlotLabel(int button, int page) {
    return QString::number(button + 1) + QLatin1Char('/') +
           QStringLiteral("%1").arg(page + 1, 2, 10, QLatin1Char(' '));
}

QImage PictureBoxImage(const QImage& picture, const QColor& background) {
    QImage box(kPictureBoxPixels, kPictureBoxPixels, QImage::Format_RGB32);
    box.fill(background);
    QPainter painter(&box);
    painter.drawImage(0, 0, picture);
    return box;
}

void PrintJacketHeader(PrintSurface& surface, const PrintSource& source, int x, int y) {
    const QString cdIcon = LocalPath(source.workFolder, QStringLiteral("\\") + kCdIconName);
    if (FileExists(cdIcon)) {
        const QImage picture = modPicture::LoadPicture(cdIcon);
        if (!picture.isNull())
            surface.drawPicture(QPoint(x + 1700, y + 72), picture);
    }
    surface.setFontSize(16);
    surface.setTextColour(Qt::black);
    surface.setBold(true);
    surface.printText(QPoint(x + 2000, y + 20), SlotReader(source.workFolder).volumeLabel());
    surface.setFontSize(8);
    surface.setBold(false);
}

void PrintJacketPage(PrintSurface& surface, const PrintSource& source) {
    const SlotReader settings(source.workFolder);
    PrintJacketHeader(surface, source, 0, 0);
    int x = 85;
    int y = 450;
    int entryOnPanel = 1;
    for (const UsedSlot& slot : SlotsInUse(settings)) {
        if (entryOnPanel == 26) { // second column of the panel
            x += 3350;
            y = 450;
        }
        if (entryOnPanel == 51) { // the right panel, with a header of its own
            x = 6895;
            PrintJacketHeader(surface, source, 6895, 0);
            y = 450;
            entryOnPanel = 1;
        }
        surface.printText(QPoint(x, y), SlotLabel(slot.button, slot.page));
        DrawSlotIcon(surface, source, slot.key, QRect(x + 350, y - 50, 220, 220));
        surface.printText(QPoint(x + 650, y),
                          ToHalfWidth(settings.read(u"AppName", u"App_", slot.key)));
        y += 255;
        ++entryOnPanel;
    }
    surface.drawRectangle(QPoint(0, 0), QPoint(kJacketWidth, kJacketHeight), kJacketLineColour);
    surface.drawLine(QPoint(kJacketWidth / 2, 0), QPoint(kJacketWidth / 2, kJacketHeight),
                     kJacketLineColour);
}

void PrintListHeadings(PrintSurface& surface) {
    surface.setBold(true);
    surface.printText(QPoint(55, 725), QStringLiteral("ﾎﾞﾀﾝ/ﾍﾟｰｼﾞ"));
    surface.printText(QPoint(885, 600), QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝ名"));
    surface.printText(QPoint(4085, 600), QStringLiteral("テキスト１行目"));
    surface.printText(QPoint(7585, 600), QStringLiteral("テキスト２行目"));
    surface.printText(QPoint(885, 850), QStringLiteral("実行ファイルパス"));
    surface.printText(QPoint(4085, 850), QStringLiteral("CopyText1"));
    surface.printText(QPoint(7585, 850), QStringLiteral("CopyText2"));
    surface.drawLine(QPoint(85, 1050), QPoint(11085, 1050), Qt::black);
    surface.setBold(false);
}

void PrintListPages(PrintSurface& surface, const PrintSource& source) {
    const SlotReader settings(source.workFolder);
    PrintJacketHeader(surface, source, 100, 0);
    PrintListHeadings(surface);
    const int x = 85;
    int y = 1100;
    int rowOnPage = 1;
    for (const UsedSlot& slot : SlotsInUse(settings)) {
        // A page is only started for an entry that needs it, so the list
        // never ends with an empty page.
        if (rowOnPage == 26) {
            surface.newPage();
            PrintJacketHeader(surface, source, 100, 0);
            surface.setFontSize(7);
            PrintListHeadings(surface);
            y = 1100;
            rowOnPage = 1;
        }
        surface.setFontSize(7);
        surface.printText(QPoint(x, y + 125), SlotLabel(slot.button, slot.page));
        DrawSlotIcon(surface, source, slot.key, QRect(x + 350, y + 50, 350, 350));
        auto text = [&](int dx, int dy, const char16_t* section, const char16_t* prefix) {
            surface.printText(QPoint(x + dx, y + dy),
                              ToHalfWidth(settings.read(section, prefix, slot.key)));
        };
        text(800, 0, u"AppName", u"App_");
        text(4000, 0, u"Text1", u"Text_");
        text(7500, 0, u"Text2", u"Text_");
        text(800, 250, u"FilePath", u"Path_");
        text(4000, 250, u"Name", u"Name_");
        text(7500, 250, u"Serial", u"Serial_");
        surface.drawLine(QPoint(x, y + 450), QPoint(x + 11000, y + 450), Qt::black);
        y += 500;
        ++rowOnPage;
    }
}

} // namespace kz
