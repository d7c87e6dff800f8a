#include "mainwindow/Form1.h"

#include "about/frmAbout.h"
#include "editor/Dialog.h"
#include "editor/modPicture.h"
#include "options/CdIcon.h"
#include "options/frmOpt.h"
#include "output/Folders.h"
#include "platform/Desktop.h"
#include "platform/Drops.h"
#include "platform/Fonts.h"
#include "platform/SystemColour.h"
#include "platform/Twips.h"
#include "printing/Printing.h"
#include "printing/QtPrinter.h"
#include "store/FileName.h"
#include "store/Ini.h"
#include "store/Parts.h"
#include "store/Shell.h"
#include "store/Slots.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>

namespace kz {
namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kBlack(0, 0, 0);

QString Indexed(const char* name, int i) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i);
}

void SetTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    w->setPalette(p);
}

// Two overlapping sheets: the picture of the copy buttons.
QIcon CopyIcon() {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QColor(40, 40, 40));
    painter.setBrush(Qt::white);
    painter.drawRect(0, 0, 7, 8);
    painter.drawRect(4, 3, 7, 8);
    return QIcon(pixmap);
}

} // namespace

Form1::Form1(Desktop& desktop, const QString& workFolder, const QString& programFolder,
             QWidget* parent)
    : QMainWindow(parent), desktop_(desktop), workFolder_(workFolder),
      programFolder_(programFolder), background_(kButtonFaceColour), text_(kButtonTextColour) {
    setObjectName(QStringLiteral("Form1"));
    buildControls();
    buildMenus();
    applyColours();
}

Form1::~Form1() = default;

void Form1::buildControls() {
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    client_->setFixedSize(Px(4200), Px(5580));
    client_->setAutoFillBackground(true);
    setCentralWidget(client_);

    auto label = [this](const char* name, QRect geometry) {
        auto* l = new QLabel(client_);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(geometry);
        return l;
    };
    auto button = [this](const QString& name, const QString& text, QRect geometry) {
        auto* b = new QPushButton(text, client_);
        b->setObjectName(name);
        b->setGeometry(geometry);
        return b;
    };

    label2_ = label("Label2", TwipsRect(0, 0, 4200, 255));
    label3_ = label("Label3", TwipsRect(0, 240, 4200, 255));
    label5_ = label("Label5", TwipsRect(0, 480, 3975, 255));
    label5_->setToolTip(QStringLiteral("\"→のボタンでﾌｫﾙﾀﾞｰ開く\""));
    command2_ =
        button(QStringLiteral("Command2"), QStringLiteral("..."), TwipsRect(3960, 480, 255, 255));
    command2_->setToolTip(QStringLiteral("ﾌｫﾙﾀﾞｰを開く"));
    label7_ = label("Label7", TwipsRect(0, 840, 1455, 255));
    text1_ = new QLineEdit(client_);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(TwipsRect(0, 1080, 3975, 270));
    text1_->setToolTip(QStringLiteral("→ﾎﾞﾀﾝでｺﾋﾟｰ"));
    command3_ = button(QStringLiteral("Command3"), QString(), TwipsRect(3960, 1080, 255, 255));
    command3_->setToolTip(QStringLiteral("ｺﾋﾟｰ"));
    label6_ = label("Label6", TwipsRect(0, 1440, 1095, 255));
    text2_ = new QLineEdit(client_);
    text2_->setObjectName(QStringLiteral("Text2"));
    text2_->setGeometry(TwipsRect(0, 1710, 3975, 270));
    text2_->setToolTip(QStringLiteral("→ﾎﾞﾀﾝで選択範囲をｺﾋﾟｰ"));
    command4_ = button(QStringLiteral("Command4"), QString(), TwipsRect(3960, 1710, 255, 255));
    command4_->setToolTip(QStringLiteral("選択範囲をｺﾋﾟｰ"));
    for (QPushButton* b : {command3_, command4_}) {
        b->setIcon(CopyIcon());
        b->setIconSize(QSize(12, 12));
    }
    for (QWidget* w : {text1_, text2_}) // the values fit their boxes without the frame's margin
        w->setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; }"));

    for (int k = 0; k < kButtons; ++k) {
        auto* com = button(Indexed("Com", k), QString(), TwipsRect(0, 2040 + 600 * k, 600, 600));
        com->setIconSize(QSize(32, 32));
        com->setMouseTracking(true);
        com->setAcceptDrops(true);
        com->installEventFilter(this);
        connect(com, &QPushButton::clicked, this, [this, k] { EditSlot(k); });
        com_[static_cast<std::size_t>(k)] = com;
        auto* name = new QLabel(client_);
        name->setObjectName(Indexed("Label1", k));
        name->setGeometry(TwipsRect(720, 2280 + 600 * k, 3405, 255));
        label1_[static_cast<std::size_t>(k)] = name;
    }

    down_ = button(QStringLiteral("Down"), QStringLiteral("<<"), TwipsRect(720, 5160, 615, 375));
    label4_ = label("Label4", TwipsRect(1440, 5220, 855, 495));
    label4_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont indicator(kGothicFont, 12);
    indicator.setBold(true);
    label4_->setFont(indicator);
    up_ = button(QStringLiteral("UP"), QStringLiteral(">>"), TwipsRect(2400, 5160, 615, 375));
    command1_ = button(QStringLiteral("Command1"), QStringLiteral("CDを参照"),
                       TwipsRect(3120, 5160, 975, 375));

    // Printing loads its pictures here; it lies below the visible client area.
    image1_ = label("Image1", TwipsRect(0, 5760, 615, 615));

    SetTextColour(label2_, kRed);
    SetTextColour(label3_, kBlack);

    connect(up_, &QPushButton::clicked, this, [this] {
        setCurrentPage(currentPage_ + 1);
        ShowPage();
    });
    connect(down_, &QPushButton::clicked, this, [this] {
        setCurrentPage(currentPage_ - 1);
        ShowPage();
    });
    connect(command1_, &QPushButton::clicked, this, [this] { ShellOpen(desktop_, workFolder_); });
    connect(command3_, &QPushButton::clicked, this,
            [this] { desktop_.setClipboardText(text1_->text()); });
    connect(command4_, &QPushButton::clicked, this, [this] {
        const QString selected = text2_->selectedText();
        desktop_.setClipboardText(selected.isEmpty() ? text2_->text() : selected);
    });
}

void Form1::buildMenus() {
    auto menu = [this](const char* name, const QString& title) {
        QMenu* m = menuBar()->addMenu(title);
        m->setObjectName(QLatin1String(name));
        return m;
    };
    auto item = [this](QMenu* m, const char* name, const QString& text) {
        QAction* a = m->addAction(text);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    QMenu* file = menu("mnuFile", QStringLiteral("ﾌｧｲﾙ(&F)"));
    connect(item(file, "mnuNew", QStringLiteral("新規")), &QAction::triggered, this, &Form1::New);
    connect(item(file, "mnuSave", QStringLiteral("保存")), &QAction::triggered, this, &Form1::Save);
    connect(item(file, "mnuLode", QStringLiteral("読込み")), &QAction::triggered, this,
            &Form1::Load);
    file->addSeparator();
    connect(item(file, "mnuCDPrint", QStringLiteral("CDｼﾞｬｹｯﾄ印刷")), &QAction::triggered, this,
            [this] { PrintJacket(desktop_, printer(), workFolder_); });
    connect(item(file, "mnuListPrint", QStringLiteral("一覧印刷")), &QAction::triggered, this,
            [this] { PrintList(desktop_, printer(), workFolder_); });
    QMenu* edit = menu("mnuEdit", QStringLiteral("編集(&E)"));
    connect(item(edit, "mnuOp", QStringLiteral("ｵﾌﾟｼｮﾝ(&O)")), &QAction::triggered, this,
            &Form1::OpenOptions);
    QMenu* help = menu("mnuHelp", QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    QAction* about = item(help, "mnuVer", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"));
    connect(about, &QAction::triggered, this, [this] {
        if (!about_)
            about_ = new frmAbout(this);
        about_->show();
        about_->raise();
        about_->activateWindow();
    });
    QAction* topics = item(help, "mnuHelpTopic", QStringLiteral("ﾄﾋﾟｯｸ検索"));
    connect(topics, &QAction::triggered, this, [this] { desktop_.showHelp(helpFile_); });
}

bool Form1::startUp() {
    // 1. No archive is being built or read.
    projectTable_ = VariantTable{};
    // 2. The help file ships beside the program.
    helpFile_ = LocalPath(programFolder_, QStringLiteral("\\") + kHelpFileName);
    // 3.
    modified_ = false;
    // 4. A second copy on the same working folder ends without a word.
    if (!desktop_.claimSingleInstance(workFolder_))
        return false;
    // 5. The CD icon doubles as the window icon.
    const QString cdIcon = CdIconPath(workFolder_);
    if (FileExists(cdIcon)) {
        const QIcon icon = LoadCdIcon(cdIcon);
        if (!icon.isNull())
            setWindowIcon(icon);
    }
    // 6.-8.
    currentPage_ = 0;
    settingsPath_ = LocalPath(workFolder_, kSettingsLiteral);
    setWindowTitle(ReadIni(settingsPath_, QStringLiteral("VolumeLabel"), QString()));
    // 9.
    ShowPage();
    return true;
}

void Form1::setCurrentPage(int page) {
    currentPage_ = std::clamp(page, 0, kPages - 1);
}

QString Form1::readSlot(const QString& section, const QString& prefix, const QString& key) const {
    return ReadIni(settingsPath_, section, prefix + key);
}

void Form1::loadButtonPicture(int button, const QString& iconPath) {
    QPushButton* com = com_[static_cast<std::size_t>(button)];
    com->setIcon(QIcon());
    if (!FileExists(iconPath))
        return;
    const QImage image = modPicture::LoadPicture(iconPath); // bitmaps under an .ico name
    if (!image.isNull())
        com->setIcon(QIcon(QPixmap::fromImage(image)));
}

void Form1::ShowPage() {
    for (QLabel* l : {label2_, label3_, label5_, label6_, label7_})
        l->clear();
    text1_->clear();
    text2_->clear();

    down_->setVisible(currentPage_ != 0);
    up_->setVisible(currentPage_ != kPages - 1);
    label4_->setText(QStringLiteral("%1/20").arg(currentPage_ + 1));

    for (int i = 0; i < kButtons; ++i) {
        const QString key = SlotKey(i, currentPage_);
        loadButtonPicture(i, LocalPath(workFolder_, IconLiteral(key)));
        label1_[static_cast<std::size_t>(i)]->setText(
            readSlot(QStringLiteral("AppName"), QStringLiteral("App_"), key));
    }
    // Focus on the first button shows its details through the focus event;
    // only when focus does not arrive (window hidden or inactive, or already
    // there) are they shown here, so a page change reads them once.
    QPushButton* first = com_[0];
    const bool hadFocus = first->hasFocus();
    if (isVisible())
        first->setFocus();
    if (hadFocus || !first->hasFocus())
        ShowDetails(0);
}

void Form1::ShowDetails(int button) {
    if (button < 0 || button >= kButtons)
        return;
    const QString key = SlotKey(button, currentPage_);
    // A line longer than five characters is drawn blue when it is a web
    // address, otherwise in its normal colour; shorter lines keep the colour.
    auto colourLine = [](QLabel* label, const QString& text, const QColor& normal) {
        label->setText(text);
        if (text.size() > 5)
            SetTextColour(label, text.left(5) == QLatin1String("http:") ? kBlue : normal);
    };
    colourLine(label2_, readSlot(QStringLiteral("Text1"), QStringLiteral("Text_"), key), kRed);
    colourLine(label3_, readSlot(QStringLiteral("Text2"), QStringLiteral("Text_"), key), kBlack);
    label5_->setText(readSlot(QStringLiteral("FilePath"), QStringLiteral("Path_"), key));
    text1_->setText(readSlot(QStringLiteral("Name"), QStringLiteral("Name_"), key));
    text2_->setText(readSlot(QStringLiteral("Serial"), QStringLiteral("Serial_"), key));
    const QString nameTitle = readSlot(QStringLiteral("NameTaitol"), QStringLiteral("Name_"), key);
    label7_->setText(nameTitle.isEmpty() ? kDefaultNameTitle : nameTitle);
    const QString serialTitle =
        readSlot(QStringLiteral("SerialTaitol"), QStringLiteral("Serial_"), key);
    label6_->setText(serialTitle.isEmpty() ? kDefaultSerialTitle : serialTitle);
    label1_[static_cast<std::size_t>(button)]->setText(
        readSlot(QStringLiteral("AppName"), QStringLiteral("App_"), key));
}

void Form1::setLauncherColours(std::uint32_t background, std::uint32_t text) {
    background_ = background;
    text_ = text;
    applyColours();
}

void Form1::applyColours() {
    const QColor back = ResolveColour(background_);
    const QColor fore = ResolveColour(text_);
    QPalette p = client_->palette();
    p.setColor(QPalette::Window, back);
    client_->setPalette(p);
    QPalette box = text1_->palette();
    box.setColor(QPalette::Base, back);
    text1_->setPalette(box);
    for (QPushButton* com : com_) {
        QPalette b = com->palette();
        b.setColor(QPalette::Button, back);
        com->setPalette(b);
    }
    for (QLabel* name : label1_)
        SetTextColour(name, fore);
}

void Form1::OpenOptions() {
    if (!options_)
        options_ = new frmOpt(*this);
    options_->show();
    options_->raise();
    options_->activateWindow();
}

Printer& Form1::printer() {
    // One printer for the whole run, so its choice and settings carry over
    // from one print command to the next; made on first use, as it asks the
    // print system.
    if (!printer_)
        printer_ = std::make_unique<QtPrinter>();
    return *printer_;
}

void Form1::setPrinter(std::unique_ptr<Printer> printer) {
    printer_ = std::move(printer);
}

bool Form1::Save() {
    const QString folder = desktop_.chooseFolder(QStringLiteral("保存フォルダを選択してください"));
    if (folder.isEmpty())
        return false;
    modified_ = false;
    hide();
    const SaveResult result =
        SaveToFolder(desktop_, SaveSource{workFolder_, programFolder_, background_, text_}, folder,
                     projectTable_);
    if (result.complete()) {
        desktop_.message(SaveCompleteText(folder), kSaveCompleteTitle, MessageIcon::Information,
                         MessageButtons::Ok);
    } else {
        // A CD burned from this folder would not work: say so, and keep the
        // project marked as unsaved.
        modified_ = true;
        desktop_.message(
            QStringLiteral("次のファイルを保存フォルダに書き込めませんでした。\n%1\n\n"
                           "保存フォルダ: %2\n保存し直してからCDに焼いてください。")
                .arg(result.missing.join(QLatin1Char('\n')), QDir::toNativeSeparators(folder)),
            kSaveFailedTitle, MessageIcon::Exclamation, MessageButtons::Ok);
    }
    show();
    return result.complete();
}

bool Form1::offerToSave() {
    const Answer answer = desktop_.message(kSaveQuestionText, kSaveQuestionTitle,
                                           MessageIcon::Question, MessageButtons::YesNo);
    return answer != Answer::Yes || Save();
}

void Form1::New() {
    if (FileExists(settingsPath_)) {
        if (!offerToSave())
            return;
        QFile::remove(settingsPath_);
        RemoveWorkingIcons(workFolder_);
    }
    setLauncherColours(kButtonFaceColour, kButtonTextColour);
    startUp();
}

void Form1::Load() {
    const QString chosen = desktop_.openFile(
        QStringLiteral("ファイルを開く"), QStringLiteral("設定ﾌｧｲﾙ(Auto_Run.dat)|Auto_Run.dat"), 0);
    if (chosen.isEmpty())
        return;
    hide();
    const LoadResult result =
        LoadSavedFolder(desktop_, ParentFolder(chosen), workFolder_, projectTable_);
    if (result.colours)
        setLauncherColours(result.colours->background.value_or(background_),
                           result.colours->text.value_or(text_));
    startUp();
    modified_ = true;
    show();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (modified_ && FileExists(settingsPath_) && !offerToSave()) {
        event->ignore(); // the save did not complete: keep the window and the project
        return;
    }
    QFile::remove(ArchivePath(workFolder_));
    QFile::remove(settingsPath_);
    RemoveWorkingIcons(workFolder_);
    if (about_)
        about_->close();
    if (options_)
        options_->close();
    event->accept();
}

void Form1::EditSlot(int button) {
    if (button < 0 || button >= kButtons || (editor_ && editor_->isVisible()))
        return;
    handOverKey_ = SlotKey(button, currentPage_);
    hide();
    editor_ = new Dialog(*this);
    editor_->showForSlot();
}

void Form1::EditSlotWithFile(int button, const QString& droppedPath) {
    if (droppedPath.isEmpty())
        return;
    EditSlot(button);
    if (editor_)
        editor_->takeDroppedFile(droppedPath);
}

void Form1::showSlotName(int button, const QString& name) {
    if (button >= 0 && button < kButtons)
        label1_[static_cast<std::size_t>(button)]->setText(name);
}

void Form1::showDetail(Detail detail, const QString& text) {
    switch (detail) {
    case Detail::FirstLine:
        label2_->setText(text);
        break;
    case Detail::SecondLine:
        label3_->setText(text);
        break;
    case Detail::Path:
        label5_->setText(text);
        break;
    case Detail::NameTitle:
        label7_->setText(text);
        break;
    case Detail::SerialTitle:
        label6_->setText(text);
        break;
    case Detail::Name:
        text1_->setText(text);
        break;
    case Detail::Serial:
        text2_->setText(text);
        break;
    }
}

void Form1::editorClosed() {
    show();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    for (int i = 0; i < kButtons; ++i) {
        if (watched != com_[static_cast<std::size_t>(i)])
            continue;
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::FocusIn:
            ShowDetails(i);
            break;
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (FirstDroppedFile(drag->mimeData()).isEmpty())
                drag->ignore();
            else
                drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString path = FirstDroppedFile(drop->mimeData());
            if (!path.isEmpty()) {
                drop->acceptProposedAction();
                EditSlotWithFile(i, path);
            }
            return true;
        }
        default:
            break;
        }
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace kz
