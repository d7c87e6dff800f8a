#include "editor/Dialog.h"

#include "editor/EntryHost.h"
#include "editor/modPicture.h"
#include "platform/Desktop.h"
#include "platform/Drops.h"
#include "platform/SystemColour.h"
#include "platform/Twips.h"
#include "store/FileName.h"
#include "store/Ini.h"
#include "store/Parts.h"
#include "store/Shell.h"
#include "store/Slots.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>

namespace kz {

// The icon preview: the launcher background with the chosen picture drawn at
// its top-left corner. It grows to fit its picture.
class IconPreview : public QFrame {
public:
    explicit IconPreview(QWidget* parent) : QFrame(parent) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    }
    void setBackground(const QColor& colour) {
        background_ = colour;
        update();
    }
    void setPicture(const QImage& picture) {
        picture_ = picture;
        if (!picture_.isNull())
            resize(picture_.size() + QSize(2 * frameWidth(), 2 * frameWidth()));
        update();
    }
    QImage composed() const {
        const QSize size = picture_.isNull() ? QSize(modPicture::kIconSide, modPicture::kIconSide)
                                             : picture_.size();
        QImage out(size, QImage::Format_RGB32);
        out.fill(background_);
        QPainter painter(&out);
        if (!picture_.isNull())
            painter.drawImage(0, 0, picture_);
        return out;
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        {
            QPainter painter(this);
            painter.fillRect(contentsRect(), background_);
            if (!picture_.isNull())
                painter.drawImage(contentsRect().topLeft(), picture_);
        }
        QFrame::paintEvent(event);
    }

private:
    QColor background_;
    QImage picture_;
};

namespace {

const QString kTitle = QStringLiteral("ファイルを開く");
const QString kStartFileFilter = QStringLiteral("全てのﾌｧｲﾙ(*.*)|*.*|実行ﾌｧｲﾙ(*.exe)|*.exe");
const QString kIconSourceFilter =
    QStringLiteral("全てのﾌｧｲﾙ(*.*)|*.*|ｱｲｺﾝ(*.ico)|*.ico|実行ﾌｧｲﾙ(*.exe;*.scr)|*.exe;*.scr|"
                   "ﾀﾞｲﾅﾐｯｸﾘﾝｸ ﾗｲﾌﾞﾗﾘ(*.dll)|*.dll");

bool IsProgramFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(2) == "MZ";
}

} // namespace

Dialog::Dialog(EntryHost& host)
    : QDialog(host.hostWindow(), Qt::Dialog | Qt::WindowStaysOnTopHint), host_(host) {
    setObjectName(QStringLiteral("Dialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    buildControls();
}

Dialog::~Dialog() = default;

void Dialog::buildControls() {
    setFixedSize(Px(5610), Px(4455));
    auto line = [this](const char* name, QRect geometry) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setGeometry(geometry);
        edit->setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; }"));
        edit->installEventFilter(this);
        return edit;
    };
    auto label = [this](const char* name, const QString& text, QRect geometry) {
        auto* caption = new QLabel(text, this);
        caption->setObjectName(QLatin1String(name));
        caption->setGeometry(geometry);
        return caption;
    };
    auto button = [this](const char* name, const QString& text, QRect geometry) {
        auto* pushButton = new QPushButton(text, this);
        pushButton->setObjectName(QLatin1String(name));
        pushButton->setGeometry(geometry);
        return pushButton;
    };

    label("Label1", QStringLiteral("ICON"), TwipsRect(120, 0, 495, 255));
    iconPreview_ = new IconPreview(this);
    iconPreview_->setObjectName(QStringLiteral("Picture1"));
    iconPreview_->setGeometry(TwipsRect(120, 240, 495, 495));
    iconPreview_->setAcceptDrops(true);
    iconPreview_->installEventFilter(this);
    iconList_ = new QComboBox(this);
    iconList_->setObjectName(QStringLiteral("IC"));
    iconList_->setGeometry(TwipsRect(120, 240, 855, 315));
    // The box shows its pictures at their full size, as the drop-down does.
    iconList_->setIconSize(QSize(modPicture::kIconSide, modPicture::kIconSide));
    iconList_->setAcceptDrops(true);
    iconList_->installEventFilter(this);
    iconList_->hide();
    iconSourceEdit_ = line("Text5", TwipsRect(1080, 360, 3135, 270));
    chooseIconSourceButton_ =
        button("Command1", QStringLiteral("..."), TwipsRect(4200, 360, 255, 255));
    label("Label5", QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝ名"), TwipsRect(120, 840, 1095, 255));
    appNameEdit_ = line("Text4", TwipsRect(120, 1080, 4335, 270));
    label("Label3", QStringLiteral("ﾃｷｽﾄ１行目"), TwipsRect(120, 1440, 1455, 255));
    firstLineEdit_ = line("Text2", TwipsRect(120, 1680, 4335, 270));
    label("Label4", QStringLiteral("ﾃｷｽﾄ２行目"), TwipsRect(120, 2040, 1095, 255));
    secondLineEdit_ = line("Text3", TwipsRect(120, 2280, 4335, 270));
    label("Label2", QStringLiteral("実行ﾌｧｲﾙﾊﾟｽ"), TwipsRect(120, 2640, 1095, 255));
    startPathEdit_ = line("Text1", TwipsRect(120, 2880, 4095, 270));
    chooseStartFileButton_ =
        button("Command2", QStringLiteral("..."), TwipsRect(4210, 2880, 255, 255));
    userNameTitleEdit_ = line("Text8", TwipsRect(120, 3220, 4335, 270));
    userNameEdit_ = line("Text7", TwipsRect(120, 3480, 4335, 270));
    serialTitleEdit_ = line("Text9", TwipsRect(120, 3830, 4335, 270));
    serialEdit_ = line("Text6", TwipsRect(120, 4080, 4335, 270));
    okButton_ = button("OKButton", QStringLiteral("OK"), TwipsRect(4560, 120, 1000, 375));
    cancelButton_ =
        button("CancelButton", QStringLiteral("ｷｬﾝｾﾙ"), TwipsRect(4560, 600, 1000, 375));
    okButton_->setDefault(true);

    for (QPushButton* fileButton : {chooseIconSourceButton_, chooseStartFileButton_})
        fileButton->setToolTip(QStringLiteral("ﾌｧｲﾙ選択"));
    for (QLineEdit* pathEdit : {startPathEdit_, iconSourceEdit_})
        pathEdit->setToolTip(QStringLiteral("→のボタンで選択"));
    QPalette redText = firstLineEdit_->palette();
    redText.setColor(QPalette::Text, QColor(255, 0, 0));
    firstLineEdit_->setPalette(redText);
    QPalette tipBackground = appNameEdit_->palette();
    tipBackground.setColor(QPalette::Base, palette().color(QPalette::ToolTipBase));
    appNameEdit_->setPalette(tipBackground);

    const QList<QWidget*> order = {iconSourceEdit_, chooseIconSourceButton_, iconList_,
                                   appNameEdit_,    firstLineEdit_,          secondLineEdit_,
                                   startPathEdit_,  chooseStartFileButton_,  userNameTitleEdit_,
                                   userNameEdit_,   serialTitleEdit_,        serialEdit_,
                                   okButton_,       cancelButton_,           iconPreview_};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    iconPreview_->setFocusPolicy(Qt::TabFocus);

    connect(iconSourceEdit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { ShowIconChoices(text); });
    // The list holds exactly the offered icons, in their order.
    connect(iconList_, &QComboBox::activated, this,
            [this](int index) { iconPreview_->setPicture(offeredIcons_.value(index)); });
    connect(chooseIconSourceButton_, &QPushButton::clicked, this, &Dialog::chooseIconSource);
    connect(chooseStartFileButton_, &QPushButton::clicked, this, &Dialog::chooseStartFile);
    connect(okButton_, &QPushButton::clicked, this, &Dialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &Dialog::reject);
    // OK, Cancel, Escape and the close box all end here.
    connect(this, &QDialog::finished, this, [this] { host_.editorClosed(); });
}

void Dialog::showForSlot() {
    QWidget* mainWindow = host_.hostWindow();
    setWindowIcon(mainWindow->windowIcon());
    slotKey_ = host_.handOverKey();
    move(mainWindow->pos());
    iconPreview_->setBackground(ResolveColour(host_.hostBackground()));
    show();
    load();
}

int Dialog::buttonIndex() const {
    return slotKey_.left(1).toInt();
}

void Dialog::load() {
    settingsPath_ = LocalPath(host_.hostWorkFolder(), kSettingsLiteral);
    const int page = slotKey_.mid(1).toInt();
    setWindowTitle(
        QStringLiteral("%1ページ目　ボタン%2 ﾌﾟﾛﾊﾟﾃｨ").arg(page + 1).arg(buttonIndex() + 1));
    auto read = [this](const char* section, const char* prefix) {
        return ReadIni(settingsPath_, QLatin1String(section), QLatin1String(prefix) + slotKey_);
    };
    startPathEdit_->setText(read("FilePath", "Path_"));
    iconPreview_->setPicture(
        modPicture::LoadPicture(LocalPath(host_.hostWorkFolder(), IconLiteral(slotKey_))));
    firstLineEdit_->setText(read("Text1", "Text_"));
    secondLineEdit_->setText(read("Text2", "Text_"));
    appNameEdit_->setText(read("AppName", "App_"));
    userNameEdit_->setText(read("Name", "Name_"));
    serialEdit_->setText(read("Serial", "Serial_"));
    const QString nameTitle = read("NameTaitol", "Name_");
    userNameTitleEdit_->setText(nameTitle.isEmpty() ? kDefaultNameTitle : nameTitle);
    const QString serialTitle = read("SerialTaitol", "Serial_");
    serialTitleEdit_->setText(serialTitle.isEmpty() ? kDefaultSerialTitle : serialTitle);
}

void Dialog::takeDroppedFile(const QString& path) {
    iconSourceEdit_->setText(path);
    startPathEdit_->setText(PathOnDisc(host_.hostDesktop(), path));
    appNameEdit_->setText(RemoveExtension(FileNameOf(path)));
}

QImage Dialog::composedImage() const {
    return iconPreview_->composed();
}

void Dialog::ShowIconChoices(const QString& path) {
    if (path.isEmpty())
        return;
    if (path.endsWith(QLatin1String("ico"))) {
        // An icon file only changes the preview; the offered list stays.
        QImage picture = modPicture::IconPicture(path, 0);
        if (picture.isNull())
            picture = modPicture::LoadPicture(path);
        if (!picture.isNull())
            iconPreview_->setPicture(picture);
        return;
    }
    QList<QImage> offered;
    const int count = modPicture::IconCount(path);
    if (count > 0) {
        for (int i = 0; i < count; ++i) {
            QImage picture = modPicture::IconPicture(path, i);
            if (picture.isNull())
                break;
            offered.append(picture);
        }
    } else if (!IsProgramFile(path) && modPicture::HasAssociatedIcon(path)) {
        // A document offers the icon its type has on this desktop.
        offered.append(modPicture::AssociatedIcon(path));
    } else {
        return;
    }
    offeredIcons_ = offered;
    iconList_->clear();
    for (const QImage& picture : offeredIcons_)
        iconList_->addItem(QIcon(QPixmap::fromImage(picture)), QString());
    // The list shows its first entry, as the preview does.
    iconPreview_->setPicture(offeredIcons_.value(0));
    // The box grows from its drawn height to hold a whole picture.
    iconList_->resize(iconList_->size().expandedTo(iconList_->sizeHint()));
    if (iconList_->count() > 1)
        iconList_->show();
}

void Dialog::chooseIconSource() {
    const QString path = host_.hostDesktop().openFile(kTitle, kIconSourceFilter, 0);
    if (!path.isEmpty())
        iconSourceEdit_->setText(path);
}

void Dialog::chooseStartFile() {
    Desktop& desktop = host_.hostDesktop();
    const QString path = desktop.openFile(kTitle, kStartFileFilter, 0);
    if (path.isEmpty())
        return;
    startPathEdit_->setText(PathOnDisc(desktop, path));
    host_.setVolumeCaption(VolumeLabelOf(desktop, VolumeRootOf(desktop, path)));
}

void Dialog::accept() {
    Desktop& desktop = host_.hostDesktop();
    IniBatch settings(desktop, settingsPath_);
    auto write = [&](const char* section, const char* prefix, const QString& value) {
        settings.write(QLatin1String(section), QLatin1String(prefix) + slotKey_, value);
    };
    using Detail = EntryHost::Detail;
    // The writes keep this order: a section the file lacks is appended where
    // it is first written, and the length warnings come field by field.
    // The start path is written even when empty, so it can be cleared.
    write("FilePath", "Path_", startPathEdit_->text());
    host_.showDetail(Detail::Path, startPathEdit_->text());
    // The icon file is stored on every OK, before the slot button is shown:
    // the main window loads the button's picture from that file.
    const int button = buttonIndex();
    const QString workFolder = host_.hostWorkFolder();
    QDir().mkpath(LocalPath(workFolder, kIconFolderLiteral));
    const QString iconPath = LocalPath(workFolder, IconLiteral(slotKey_));
    // Through the safe writer: a full disk keeps the old icon and says so.
    QByteArray iconBytes;
    QBuffer buffer(&iconBytes);
    if (buffer.open(QIODevice::WriteOnly) && composedImage().save(&buffer, "BMP"))
        WriteFileBytes(desktop, iconPath, iconBytes);
    host_.showSlotPicture(button, iconPath);
    // An emptied field keeps its stored value and what the main window shows;
    // only the two titles are shown even when empty.
    const struct {
        QLineEdit* edit;
        const char* section;
        const char* prefix;
        Detail detail;
    } details[] = {{firstLineEdit_, "Text1", "Text_", Detail::FirstLine},
                   {secondLineEdit_, "Text2", "Text_", Detail::SecondLine},
                   {userNameEdit_, "Name", "Name_", Detail::Name},
                   {serialEdit_, "Serial", "Serial_", Detail::Serial}};
    for (const auto& field : details) {
        if (field.edit->text().isEmpty())
            continue;
        write(field.section, field.prefix, field.edit->text());
        host_.showDetail(field.detail, field.edit->text());
    }
    if (!appNameEdit_->text().isEmpty()) {
        write("AppName", "App_", appNameEdit_->text());
        host_.showSlotName(button, appNameEdit_->text());
    }
    if (!userNameTitleEdit_->text().isEmpty())
        write("NameTaitol", "Name_", userNameTitleEdit_->text());
    host_.showDetail(Detail::NameTitle, userNameTitleEdit_->text());
    if (!serialTitleEdit_->text().isEmpty())
        write("SerialTaitol", "Serial_", serialTitleEdit_->text());
    host_.showDetail(Detail::SerialTitle, serialTitleEdit_->text());
    // The caption may hold a volume label the start-file button took. The
    // file is complete before the main window counts the project as changed.
    settings.write(QStringLiteral("VolumeLabel"), QString(), host_.volumeCaption());
    settings.commit();
    host_.markModified();
    QDialog::accept();
}

bool Dialog::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn:
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            edit->selectAll();
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (watched == iconSourceEdit_ || watched == iconPreview_ || watched == iconList_ ||
            watched == startPathEdit_ || watched == appNameEdit_) {
            if (FirstDroppedFile(drag->mimeData()).isEmpty())
                drag->ignore();
            else
                drag->acceptProposedAction();
            return true;
        }
        break;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = FirstDroppedFile(drop->mimeData());
        if (watched == iconSourceEdit_ || watched == iconPreview_ || watched == iconList_) {
            if (!path.isEmpty())
                iconSourceEdit_->setText(path);
        } else if (watched == startPathEdit_) {
            if (!path.isEmpty())
                startPathEdit_->setText(PathOnDisc(host_.hostDesktop(), path));
        } else if (watched == appNameEdit_) {
            if (!path.isEmpty()) {
                appNameEdit_->setText(RemoveExtension(FileNameOf(path)));
                appNameEdit_->setFocus();
            }
        } else {
            break;
        }
        drop->acceptProposedAction();
        return true;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kz
