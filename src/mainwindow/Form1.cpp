#include "mainwindow/Form1.h"

#include "about/frmAbout.h"
#include "editor/Dialog.h"
#include "editor/modPicture.h"
#include "options/CdIcon.h"
#include "options/frmOpt.h"
#include "output/CdCheck.h"
#include "output/DiscImage.h"
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
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>
#include <functional>

namespace kz {
namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kBlack(0, 0, 0);

QString Indexed(const char* name, int i) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i);
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

// The picture of the copy buttons: two overlapping sheets.
// clang-format off
const char* const kCopyPicture[] = {
    "12 12 3 1", "  c None", ". c #282828", "# c #FFFFFF",
    "........    ",
    ".######.    ",
    ".######.    ",
    ".###........",
    ".###.######.",
    ".###.######.",
    ".###.######.",
    ".###.######.",
    ".....######.",
    "    .######.",
    "    .######.",
    "    ........",
};
// clang-format on

// The design places every control on whole pixels, 15 twips each. A value
// off that grid is a typo that rounding would hide, so it is refused when
// compiling.
consteval int Pixels(int twips) {
    if (twips % kTwipsPerPixel != 0)
        throw "a position off the pixel grid";
    return twips / kTwipsPerPixel;
}

consteval QRect Placed(int left, int top, int width, int height) {
    return QRect(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
}

// F1 asks for the help in every window of the program, the dialogs too: the
// key is watched for the whole application, so no window needs code of its
// own for it.
class HelpKey : public QObject {
public:
    HelpKey(QObject* parent, std::function<void()> showHelp)
        : QObject(parent), showHelp_(std::move(showHelp)) {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress ||
            static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
            return QObject::eventFilter(watched, event);
        showHelp_();
        return true;
    }

private:
    std::function<void()> showHelp_;
};

} // namespace

Form1::Form1(Desktop& desktop, const QString& workFolder, const QString& programFolder,
             QWidget* parent)
    : QMainWindow(parent), desktop_(desktop), workFolder_(workFolder),
      programFolder_(programFolder), backgroundColour_(kButtonFaceColour),
      textColour_(kButtonTextColour) {
    setObjectName(QStringLiteral("Form1"));
    buildControls();
    buildMenus();
    paintColours();
    new HelpKey(this, [this] { desktop_.showHelp(helpFile_); });
}

Form1::~Form1() = default;

void Form1::buildControls() {
    clientArea_ = new QWidget(this);
    clientArea_->setObjectName(QStringLiteral("client"));
    clientArea_->setFixedSize(Placed(0, 0, 4200, 5580).size());
    clientArea_->setAutoFillBackground(true);
    setCentralWidget(clientArea_);

    auto makeLabel = [this](const char* name, QRect geometry) {
        auto* label = new QLabel(clientArea_);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(geometry);
        return label;
    };
    auto makeButton = [this](const QString& name, const QString& text, QRect geometry) {
        auto* button = new QPushButton(text, clientArea_);
        button->setObjectName(name);
        button->setGeometry(geometry);
        return button;
    };
    auto makeValueBox = [this](const char* name, QRect geometry) {
        auto* box = new QLineEdit(clientArea_);
        box->setObjectName(QLatin1String(name));
        box->setGeometry(geometry);
        // The values fit their boxes without the frame's margin.
        box->setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; }"));
        return box;
    };

    firstLineLabel_ = makeLabel("Label2", Placed(0, 0, 4200, 255));
    secondLineLabel_ = makeLabel("Label3", Placed(0, 240, 4200, 255));
    startPathLabel_ = makeLabel("Label5", Placed(0, 480, 3975, 255));
    startPathLabel_->setToolTip(QStringLiteral("\"→のボタンでﾌｫﾙﾀﾞｰ開く\""));
    pathFolderButton_ =
        makeButton(QStringLiteral("Command2"), QStringLiteral("..."), Placed(3960, 480, 255, 255));
    pathFolderButton_->setToolTip(QStringLiteral("ﾌｫﾙﾀﾞｰを開く"));
    userNameTitleLabel_ = makeLabel("Label7", Placed(0, 840, 1455, 255));
    userNameBox_ = makeValueBox("Text1", Placed(0, 1080, 3975, 270));
    userNameBox_->setToolTip(QStringLiteral("→ﾎﾞﾀﾝでｺﾋﾟｰ"));
    copyUserNameButton_ =
        makeButton(QStringLiteral("Command3"), QString(), Placed(3960, 1080, 255, 255));
    copyUserNameButton_->setToolTip(QStringLiteral("ｺﾋﾟｰ"));
    serialTitleLabel_ = makeLabel("Label6", Placed(0, 1440, 1095, 255));
    serialBox_ = makeValueBox("Text2", Placed(0, 1710, 3975, 270));
    serialBox_->setToolTip(QStringLiteral("→ﾎﾞﾀﾝで選択範囲をｺﾋﾟｰ"));
    copySerialButton_ =
        makeButton(QStringLiteral("Command4"), QString(), Placed(3960, 1710, 255, 255));
    copySerialButton_->setToolTip(QStringLiteral("選択範囲をｺﾋﾟｰ"));
    for (QPushButton* copyButton : {copyUserNameButton_, copySerialButton_}) {
        copyButton->setIcon(QIcon(QPixmap(kCopyPicture)));
        copyButton->setIconSize(QPixmap(kCopyPicture).size());
        // A click leaves the focus, and with it the selection to copy, in the
        // value's box; the keyboard still reaches the button with Tab.
        copyButton->setFocusPolicy(Qt::TabFocus);
    }

    for (int k = 0; k < kButtons; ++k) {
        auto* slotButton = makeButton(Indexed("Com", k), QString(),
                                      Placed(0, 2040, 600, 600).translated(0, Pixels(600) * k));
        slotButton->setIconSize(QSize(32, 32));
        slotButton->setMouseTracking(true);
        slotButton->setAcceptDrops(true);
        slotButton->installEventFilter(this);
        connect(slotButton, &QPushButton::clicked, this, [this, k] { EditSlot(k); });
        slotButtons_[static_cast<std::size_t>(k)] = slotButton;
        auto* nameLabel = new QLabel(clientArea_);
        nameLabel->setObjectName(Indexed("Label1", k));
        nameLabel->setGeometry(Placed(720, 2280, 3405, 255).translated(0, Pixels(600) * k));
        nameLabels_[static_cast<std::size_t>(k)] = nameLabel;
    }

    previousPageButton_ =
        makeButton(QStringLiteral("Down"), QStringLiteral("<<"), Placed(720, 5160, 615, 375));
    pageIndicator_ = makeLabel("Label4", Placed(1440, 5220, 855, 495));
    pageIndicator_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont indicatorFont(kGothicFont, 12);
    indicatorFont.setBold(true);
    pageIndicator_->setFont(indicatorFont);
    nextPageButton_ =
        makeButton(QStringLiteral("UP"), QStringLiteral(">>"), Placed(2400, 5160, 615, 375));
    openCdButton_ = makeButton(QStringLiteral("Command1"), QStringLiteral("CDを参照"),
                               Placed(3120, 5160, 975, 375));

    // Printing loaded its pictures into this box; it lies below the visible
    // client area and is kept for the layout's sake.
    makeLabel("Image1", Placed(0, 5760, 615, 615));

    SetTextColour(firstLineLabel_, kRed);
    SetTextColour(secondLineLabel_, kBlack);

    connect(nextPageButton_, &QPushButton::clicked, this, [this] {
        setCurrentPage(currentPage_ + 1);
        ShowPage();
    });
    connect(previousPageButton_, &QPushButton::clicked, this, [this] {
        setCurrentPage(currentPage_ - 1);
        ShowPage();
    });
    connect(openCdButton_, &QPushButton::clicked, this,
            [this] { ShellOpen(desktop_, workFolder_); });
    connect(copyUserNameButton_, &QPushButton::clicked, this,
            [this] { desktop_.setClipboardText(userNameBox_->text()); });
    connect(copySerialButton_, &QPushButton::clicked, this, [this] {
        const QString selected = serialBox_->selectedText();
        desktop_.setClipboardText(selected.isEmpty() ? serialBox_->text() : selected);
    });
}

void Form1::buildMenus() {
    auto addMenu = [this](const char* name, const QString& title) {
        QMenu* menu = menuBar()->addMenu(title);
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    auto addItem = [](QMenu* menu, const char* name, const QString& text) {
        QAction* item = menu->addAction(text);
        item->setObjectName(QLatin1String(name));
        return item;
    };
    QMenu* fileMenu = addMenu("mnuFile", QStringLiteral("ﾌｧｲﾙ(&F)"));
    connect(addItem(fileMenu, "mnuNew", QStringLiteral("新規")), &QAction::triggered, this,
            &Form1::New);
    connect(addItem(fileMenu, "mnuSave", QStringLiteral("保存")), &QAction::triggered, this,
            &Form1::Save);
    connect(addItem(fileMenu, "mnuImage", kDiscImageTitle), &QAction::triggered, this,
            &Form1::makeDiscImage);
    connect(addItem(fileMenu, "mnuLode", QStringLiteral("読込み")), &QAction::triggered, this,
            &Form1::Load);
    fileMenu->addSeparator();
    connect(addItem(fileMenu, "mnuCDPrint", QStringLiteral("CDｼﾞｬｹｯﾄ印刷")), &QAction::triggered,
            this, [this] { PrintJacket(desktop_, printer(), workFolder_); });
    connect(addItem(fileMenu, "mnuListPrint", QStringLiteral("一覧印刷")), &QAction::triggered,
            this, [this] { PrintList(desktop_, printer(), workFolder_); });
    QMenu* editMenu = addMenu("mnuEdit", QStringLiteral("編集(&E)"));
    connect(addItem(editMenu, "mnuOp", QStringLiteral("ｵﾌﾟｼｮﾝ(&O)")), &QAction::triggered, this,
            &Form1::openOptions);
    QMenu* helpMenu = addMenu("mnuHelp", QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    connect(addItem(helpMenu, "mnuVer", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)")), &QAction::triggered,
            this, &Form1::openAbout);
    connect(addItem(helpMenu, "mnuHelpTopic", QStringLiteral("ﾄﾋﾟｯｸ検索")), &QAction::triggered,
            this, [this] { desktop_.showHelp(helpFile_); });
}

void Form1::openAbout() {
    if (!aboutBox_)
        aboutBox_ = new frmAbout(this);
    aboutBox_->show();
    aboutBox_->raise();
    aboutBox_->activateWindow();
}

bool Form1::startUp() {
    // New and Load run this again over replaced files: nothing of the project
    // before may survive it, from the archive table to the modified flag.
    projectTable_ = VariantTable{};
    // The help file ships beside the program.
    helpFile_ = LocalPath(programFolder_, QStringLiteral("\\") + kHelpFileName);
    modified_ = false;
    // A second copy on the same working folder ends without a word, before it
    // shows anything of the project the first copy is editing.
    if (!desktop_.claimSingleInstance(workFolder_))
        return false;
    // The CD icon doubles as the window icon.
    const QString cdIcon = CdIconPath(workFolder_);
    if (FileExists(cdIcon)) {
        const QIcon icon = LoadCdIcon(cdIcon);
        if (!icon.isNull())
            setWindowIcon(icon);
    }
    // The page and the settings path are set before the page is drawn from
    // them.
    currentPage_ = 0;
    settingsPath_ = LocalPath(workFolder_, kSettingsLiteral);
    setWindowTitle(ReadIni(settingsPath_, QStringLiteral("VolumeLabel"), QString()));
    ShowPage();
    return true;
}

void Form1::setCurrentPage(int page) {
    currentPage_ = std::clamp(page, 0, kPages - 1);
}

QString Form1::readSlot(const QString& section, const QString& prefix, const QString& key) const {
    return ReadIni(settingsPath_, section, prefix + key);
}

void Form1::showSlotPicture(int button, const QString& iconPath) {
    QPushButton* slotButton = slotButtons_[static_cast<std::size_t>(button)];
    slotButton->setIcon(QIcon());
    if (!FileExists(iconPath))
        return;
    const QImage image = modPicture::LoadPicture(iconPath); // bitmaps under an .ico name
    if (!image.isNull())
        slotButton->setIcon(QIcon(QPixmap::fromImage(image)));
}

void Form1::ShowPage() {
    for (QLabel* detail : {firstLineLabel_, secondLineLabel_, startPathLabel_, serialTitleLabel_,
                           userNameTitleLabel_})
        detail->clear();
    userNameBox_->clear();
    serialBox_->clear();

    previousPageButton_->setVisible(currentPage_ != 0);
    nextPageButton_->setVisible(currentPage_ != kPages - 1);
    pageIndicator_->setText(QStringLiteral("%1/20").arg(currentPage_ + 1));

    for (int i = 0; i < kButtons; ++i) {
        const QString key = SlotKey(i, currentPage_);
        showSlotPicture(i, LocalPath(workFolder_, IconLiteral(key)));
        nameLabels_[static_cast<std::size_t>(i)]->setText(
            readSlot(QStringLiteral("AppName"), QStringLiteral("App_"), key));
    }
    // Focus on the first button shows its details through the focus event;
    // only when focus does not arrive (window hidden or inactive, or already
    // there) are they shown here, so a page change reads them once.
    QPushButton* first = slotButtons_[0];
    const bool hadFocus = first->hasFocus();
    if (isVisible())
        first->setFocus();
    if (hadFocus || !first->hasFocus())
        ShowDetails(0);
}

void Form1::ShowDetails(int button) {
    const QString key = SlotKey(button, currentPage_);
    // A line longer than five characters is drawn blue when it is a web
    // address, otherwise in its normal colour; shorter lines keep the colour.
    auto colourLine = [](QLabel* label, const QString& text, const QColor& normal) {
        label->setText(text);
        if (text.size() > 5)
            SetTextColour(label, text.left(5) == QLatin1String("http:") ? kBlue : normal);
    };
    colourLine(firstLineLabel_, readSlot(QStringLiteral("Text1"), QStringLiteral("Text_"), key),
               kRed);
    colourLine(secondLineLabel_, readSlot(QStringLiteral("Text2"), QStringLiteral("Text_"), key),
               kBlack);
    startPathLabel_->setText(readSlot(QStringLiteral("FilePath"), QStringLiteral("Path_"), key));
    userNameBox_->setText(readSlot(QStringLiteral("Name"), QStringLiteral("Name_"), key));
    serialBox_->setText(readSlot(QStringLiteral("Serial"), QStringLiteral("Serial_"), key));
    const QString nameTitle = readSlot(QStringLiteral("NameTaitol"), QStringLiteral("Name_"), key);
    userNameTitleLabel_->setText(nameTitle.isEmpty() ? kDefaultNameTitle : nameTitle);
    const QString serialTitle =
        readSlot(QStringLiteral("SerialTaitol"), QStringLiteral("Serial_"), key);
    serialTitleLabel_->setText(serialTitle.isEmpty() ? kDefaultSerialTitle : serialTitle);
    nameLabels_[static_cast<std::size_t>(button)]->setText(
        readSlot(QStringLiteral("AppName"), QStringLiteral("App_"), key));
}

void Form1::applyLauncherColours(std::uint32_t background, std::uint32_t text) {
    backgroundColour_ = background;
    textColour_ = text;
    paintColours();
}

void Form1::paintColours() {
    const QColor background = ResolveColour(backgroundColour_);
    auto paint = [&background](QWidget* widget, QPalette::ColorRole role) {
        QPalette palette = widget->palette();
        palette.setColor(role, background);
        widget->setPalette(palette);
    };
    paint(clientArea_, QPalette::Window);
    paint(userNameBox_, QPalette::Base);
    for (QPushButton* slotButton : slotButtons_)
        paint(slotButton, QPalette::Button);
    for (QLabel* nameLabel : nameLabels_)
        SetTextColour(nameLabel, ResolveColour(textColour_));
}

void Form1::openOptions() {
    if (!optionsWindow_)
        optionsWindow_ = new frmOpt(*this);
    optionsWindow_->show();
    optionsWindow_->raise();
    optionsWindow_->activateWindow();
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
    const QString folder =
        desktop_.chooseFolder(QStringLiteral("保存フォルダを選択してください"), QString());
    if (folder.isEmpty())
        return false;
    modified_ = false;
    hide();
    const SaveResult result = SaveToFolder(
        desktop_, SaveSource{workFolder_, programFolder_, backgroundColour_, textColour_}, folder,
        projectTable_);
    if (result.complete()) {
        lastSavedFolder_ = folder;
        // Files kept as they were and what the CD would miss are warnings.
        const bool warned = !result.kept.isEmpty() || !result.findings.isEmpty();
        desktop_.message(SaveCompleteText(folder, result), kSaveCompleteTitle,
                         warned ? MessageIcon::Exclamation : MessageIcon::Information,
                         MessageButtons::Ok);
    } else {
        // A CD burned from this folder would not work: say so, and keep the
        // project marked as unsaved.
        modified_ = true;
        desktop_.message(SaveFailedText(folder, result), kSaveFailedTitle, MessageIcon::Exclamation,
                         MessageButtons::Ok);
    }
    show();
    return result.complete();
}

void Form1::makeDiscImage() {
    const QString folder = desktop_.chooseFolder(
        QStringLiteral("イメージにするCDフォルダを選択してください"), lastSavedFolder_);
    if (folder.isEmpty())
        return;
    const QStringList findings = CheckCdFolder(folder);
    if (!findings.isEmpty() &&
        desktop_.message(kCdFindingsHeading + QLatin1Char('\n') + findings.join(QLatin1Char('\n')) +
                             QStringLiteral("\n\nこのままイメージを作成しますか?"),
                         kDiscImageTitle, MessageIcon::Exclamation,
                         MessageButtons::YesNo) != Answer::Yes)
        return;
    // Offered beside the folder, named after it: an image inside the folder
    // would be part of itself.
    const QFileInfo info(folder);
    const QString image = desktop_.saveFile(
        kDiscImageTitle, kDiscImageFilter,
        QDir(info.absolutePath()).filePath(info.fileName() + QStringLiteral(".iso")));
    if (image.isEmpty())
        return;
    // The project's volume label is the window caption; without one the
    // image takes the folder's name.
    const DiscImageResult result = WriteDiscImage(desktop_, folder, image, windowTitle());
    if (result.written())
        desktop_.message(DiscImageDoneText(image, result), kDiscImageTitle,
                         result.warnings.isEmpty() ? MessageIcon::Information
                                                   : MessageIcon::Exclamation,
                         MessageButtons::Ok);
    else if (result.outcome == DiscImageResult::Outcome::Failed)
        desktop_.message(result.error, kDiscImageTitle, MessageIcon::Critical, MessageButtons::Ok);
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
    applyLauncherColours(kButtonFaceColour, kButtonTextColour);
    startUp();
}

void Form1::Load() {
    const QString chosen = desktop_.openFile(
        QStringLiteral("ファイルを開く"), QStringLiteral("設定ﾌｧｲﾙ(Auto_Run.dat)|Auto_Run.dat"), 0);
    if (chosen.isEmpty())
        return;
    // Only once a folder is chosen is the user's work at stake: it is offered
    // to save, and a save that did not complete keeps it.
    if (modified_ && FileExists(settingsPath_) && !offerToSave())
        return;
    hide();
    // The window is to show the loaded CD and nothing else, so nothing of the
    // working project may remain for the loaded files to mix with. The CD
    // icon stays unless the folder brings its own.
    QFile::remove(settingsPath_);
    RemoveWorkingIcons(workFolder_);
    const LoadResult result =
        LoadSavedFolder(desktop_, ParentFolder(chosen), workFolder_, projectTable_);
    if (result.colours)
        applyLauncherColours(result.colours->background.value_or(backgroundColour_),
                             result.colours->text.value_or(textColour_));
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
    // Every window of the program goes with this one: the help viewer has no
    // parent, and a window left open would keep the program running, with
    // the working folder still claimed, after its project is gone.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != this)
            window->close();
    event->accept();
}

void Form1::EditSlot(int button) {
    if (entryEditor_ && entryEditor_->isVisible()) // one slot at a time
        return;
    handOverKey_ = SlotKey(button, currentPage_);
    hide();
    entryEditor_ = new Dialog(*this);
    entryEditor_->showForSlot();
}

void Form1::EditSlotWithFile(int button, const QString& droppedPath) {
    if (droppedPath.isEmpty())
        return;
    EditSlot(button);
    if (entryEditor_)
        entryEditor_->takeDroppedFile(droppedPath);
}

void Form1::showSlotName(int button, const QString& name) {
    nameLabels_[static_cast<std::size_t>(button)]->setText(name);
}

void Form1::showDetail(Detail detail, const QString& text) {
    switch (detail) {
    case Detail::FirstLine:
        firstLineLabel_->setText(text);
        break;
    case Detail::SecondLine:
        secondLineLabel_->setText(text);
        break;
    case Detail::Path:
        startPathLabel_->setText(text);
        break;
    case Detail::NameTitle:
        userNameTitleLabel_->setText(text);
        break;
    case Detail::SerialTitle:
        serialTitleLabel_->setText(text);
        break;
    case Detail::Name:
        userNameBox_->setText(text);
        break;
    case Detail::Serial:
        serialBox_->setText(text);
        break;
    }
}

void Form1::editorClosed() {
    show();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    const auto slot = std::find(slotButtons_.begin(), slotButtons_.end(), watched);
    if (slot == slotButtons_.end())
        return QMainWindow::eventFilter(watched, event);
    const int button = static_cast<int>(slot - slotButtons_.begin());
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::FocusIn:
        ShowDetails(button);
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        // Only a drop that brings a file is taken; Qt then delivers no other.
        auto* drag = static_cast<QDropEvent*>(event);
        if (!FirstDroppedFile(drag->mimeData()).isEmpty())
            drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        drop->acceptProposedAction();
        EditSlotWithFile(button, FirstDroppedFile(drop->mimeData()));
        return true;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace kz
