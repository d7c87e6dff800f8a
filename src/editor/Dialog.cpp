#include "editor/Dialog.h"

#include "editor/EntryHost.h"
#include "editor/modPicture.h"
#include "platform/Desktop.h"
#include "platform/Drops.h"
#include "platform/SystemColour.h"
#include "platform/Twips.h"
#include "store/FileName.h"
#include "store/Ini.h"
#include "store/Shell.h"
#include "store/Slots.h"

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
    const QImage& picture() const { return picture_; }
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
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(geometry);
        return l;
    };
    auto button = [this](const char* name, const QString& text, QRect geometry) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(geometry);
        return b;
    };

    label1_ = label("Label1", QStringLiteral("ICON"), TwipsRect(120, 0, 495, 255));
    picture1_ = new IconPreview(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->setGeometry(TwipsRect(120, 240, 495, 495));
    picture1_->setAcceptDrops(true);
    picture1_->installEventFilter(this);
    ic_ = new QComboBox(this);
    ic_->setObjectName(QStringLiteral("IC"));
    ic_->setGeometry(TwipsRect(120, 240, 855, 315));
    ic_->setIconSize(QSize(16, 16));
    ic_->view()->setIconSize(QSize(modPicture::kIconSide, modPicture::kIconSide));
    ic_->setAcceptDrops(true);
    ic_->installEventFilter(this);
    ic_->hide();
    text5_ = line("Text5", TwipsRect(1080, 360, 3135, 270));
    command1_ = button("Command1", QStringLiteral("..."), TwipsRect(4200, 360, 255, 255));
    label("Label5", QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝ名"), TwipsRect(120, 840, 1095, 255));
    text4_ = line("Text4", TwipsRect(120, 1080, 4335, 270));
    label("Label3", QStringLiteral("ﾃｷｽﾄ１行目"), TwipsRect(120, 1440, 1455, 255));
    text2_ = line("Text2", TwipsRect(120, 1680, 4335, 270));
    label("Label4", QStringLiteral("ﾃｷｽﾄ２行目"), TwipsRect(120, 2040, 1095, 255));
    text3_ = line("Text3", TwipsRect(120, 2280, 4335, 270));
    label("Label2", QStringLiteral("実行ﾌｧｲﾙﾊﾟｽ"), TwipsRect(120, 2640, 1095, 255));
    text1_ = line("Text1", TwipsRect(120, 2880, 4095, 270));
    command2_ = button("Command2", QStringLiteral("..."), TwipsRect(4210, 2880, 255, 255));
    text8_ = line("Text8", TwipsRect(120, 3220, 4335, 270));
    text7_ = line("Text7", TwipsRect(120, 3480, 4335, 270));
    text9_ = line("Text9", TwipsRect(120, 3830, 4335, 270));
    text6_ = line("Text6", TwipsRect(120, 4080, 4335, 270));
    ok_ = button("OKButton", QStringLiteral("OK"), TwipsRect(4560, 120, 1000, 375));
    cancel_ = button("CancelButton", QStringLiteral("ｷｬﾝｾﾙ"), TwipsRect(4560, 600, 1000, 375));
    ok_->setDefault(true);

    for (QPushButton* b : {command1_, command2_})
        b->setToolTip(QStringLiteral("ﾌｧｲﾙ選択"));
    for (QLineEdit* e : {text1_, text5_})
        e->setToolTip(QStringLiteral("→のボタンで選択"));
    QPalette red = text2_->palette();
    red.setColor(QPalette::Text, QColor(255, 0, 0));
    text2_->setPalette(red);
    QPalette tip = text4_->palette();
    tip.setColor(QPalette::Base, palette().color(QPalette::ToolTipBase));
    text4_->setPalette(tip);

    const QList<QWidget*> order = {text5_, command1_, ic_,       text4_,  text2_,
                                   text3_, text1_,    command2_, text8_,  text7_,
                                   text9_, text6_,    ok_,       cancel_, picture1_};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    picture1_->setFocusPolicy(Qt::TabFocus);

    connect(text5_, &QLineEdit::textChanged, this,
            [this](const QString& text) { ShowIconChoices(text); });
    connect(ic_, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < im_.size())
            picture1_->setPicture(im_[index]);
    });
    connect(command1_, &QPushButton::clicked, this, &Dialog::chooseIconSource);
    connect(command2_, &QPushButton::clicked, this, &Dialog::chooseStartFile);
    connect(ok_, &QPushButton::clicked, this, &Dialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &Dialog::reject);
    // OK, Cancel, Escape and the close box all end here.
    connect(this, &QDialog::finished, this, [this] { host_.editorClosed(); });
}

void Dialog::showForSlot() {
    QWidget* main = host_.hostWindow();
    setWindowIcon(main->windowIcon());
    slotKey_ = host_.handOverKey();
    move(main->pos());
    picture1_->setBackground(ResolveColour(host_.hostBackground()));
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
    text1_->setText(read("FilePath", "Path_"));
    picture1_->setPicture(
        modPicture::LoadPicture(LocalPath(host_.hostWorkFolder(), IconLiteral(slotKey_))));
    text2_->setText(read("Text1", "Text_"));
    text3_->setText(read("Text2", "Text_"));
    text4_->setText(read("AppName", "App_"));
    text7_->setText(read("Name", "Name_"));
    text6_->setText(read("Serial", "Serial_"));
    const QString nameTitle = read("NameTaitol", "Name_");
    text8_->setText(nameTitle.isEmpty() ? kDefaultNameTitle : nameTitle);
    const QString serialTitle = read("SerialTaitol", "Serial_");
    text9_->setText(serialTitle.isEmpty() ? kDefaultSerialTitle : serialTitle);
}

void Dialog::takeDroppedFile(const QString& path) {
    text5_->setText(path);
    text1_->setText(PathOnDisc(host_.hostDesktop(), path));
    text4_->setText(RemoveExtension(FileNameOf(path)));
}

QImage Dialog::composedImage() const {
    return picture1_->composed();
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
            picture1_->setPicture(picture);
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
    im_ = offered;
    ic_->clear();
    for (const QImage& picture : im_)
        ic_->addItem(QIcon(QPixmap::fromImage(picture)), QString());
    picture1_->setPicture(im_.isEmpty() ? QImage() : im_.first());
    if (!im_.isEmpty())
        ic_->setCurrentIndex(0);
    if (ic_->count() > 1)
        ic_->show();
}

void Dialog::chooseIconSource() {
    const QString path = host_.hostDesktop().openFile(kTitle, kIconSourceFilter, 0);
    if (!path.isEmpty())
        text5_->setText(path);
}

void Dialog::chooseStartFile() {
    Desktop& desktop = host_.hostDesktop();
    const QString path = desktop.openFile(kTitle, kStartFileFilter, 0);
    if (path.isEmpty())
        return;
    text1_->setText(PathOnDisc(desktop, path));
    host_.setVolumeCaption(VolumeLabelOf(desktop, VolumeRootOf(desktop, path)));
}

void Dialog::accept() {
    Desktop& desktop = host_.hostDesktop();
    IniBatch settings(desktop, settingsPath_);
    auto write = [&](const char* section, const char* prefix, const QString& value) {
        settings.write(QLatin1String(section), QLatin1String(prefix) + slotKey_, value);
    };
    using Detail = EntryHost::Detail;
    // 1-2. The start path is always written, so it can be cleared.
    write("FilePath", "Path_", text1_->text());
    host_.showDetail(Detail::Path, text1_->text());
    // 3-6. The icon file is stored on every OK.
    const int button = buttonIndex();
    const QString work = host_.hostWorkFolder();
    QDir().mkpath(LocalPath(work, kIconFolderLiteral));
    const QString iconPath = LocalPath(work, IconLiteral(slotKey_));
    composedImage().save(iconPath, "BMP");
    host_.showSlotPicture(button, iconPath);
    // 7-15. The other fields only when they hold something.
    if (!text2_->text().isEmpty()) {
        write("Text1", "Text_", text2_->text());
        host_.showDetail(Detail::FirstLine, text2_->text());
    }
    if (!text3_->text().isEmpty()) {
        write("Text2", "Text_", text3_->text());
        host_.showDetail(Detail::SecondLine, text3_->text());
    }
    if (!text7_->text().isEmpty()) {
        write("Name", "Name_", text7_->text());
        host_.showDetail(Detail::Name, text7_->text());
    }
    if (!text6_->text().isEmpty()) {
        write("Serial", "Serial_", text6_->text());
        host_.showDetail(Detail::Serial, text6_->text());
    }
    if (!text4_->text().isEmpty()) {
        write("AppName", "App_", text4_->text());
        host_.showSlotName(button, text4_->text());
    }
    if (!text8_->text().isEmpty())
        write("NameTaitol", "Name_", text8_->text());
    host_.showDetail(Detail::NameTitle, text8_->text());
    if (!text9_->text().isEmpty())
        write("SerialTaitol", "Serial_", text9_->text());
    host_.showDetail(Detail::SerialTitle, text9_->text());
    // 16-18.
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
        if (watched == text5_ || watched == picture1_ || watched == ic_ || watched == text1_ ||
            watched == text4_) {
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
        if (watched == text5_ || watched == picture1_ || watched == ic_) {
            if (!path.isEmpty())
                text5_->setText(path);
        } else if (watched == text1_) {
            if (!path.isEmpty())
                text1_->setText(PathOnDisc(host_.hostDesktop(), path));
        } else if (watched == text4_) {
            if (!path.isEmpty()) {
                text4_->setText(RemoveExtension(FileNameOf(path)));
                text4_->setFocus();
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
