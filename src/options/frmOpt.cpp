#include "options/frmOpt.h"

#include "options/CdIcon.h"
#include "options/ExtraFiles.h"
#include "options/OptionsHost.h"
#include "platform/Desktop.h"
#include "platform/Drops.h"
#include "platform/SystemColour.h"
#include "platform/Twips.h"
#include "store/Parts.h"

#include <QAction>
#include <QDropEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>
#include <utility>

namespace kz {
namespace {

// The window is drawn up for a tab row that ends above 360 twips, where the
// first controls on a page begin; the styles' tabs are a little taller.
class LowTabs : public QProxyStyle {
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_TabBarTab)
            result.setHeight(std::min(result.height(), kTabRowHeight));
        return result;
    }

private:
    // 24 pixels, less the pane's edge below the row.
    static constexpr int kTabRowHeight = 22;
};

// A tab control whose pages' controls are placed relative to the tab control
// itself, tab row included, as the window is drawn up. Qt puts the pages
// below a tab row whose height depends on the style and the font, so the
// controls follow the page stack whenever Qt moves it.
class TabControl : public QTabWidget {
public:
    explicit TabControl(QWidget* parent) : QTabWidget(parent) {
        auto* style = new LowTabs;
        style->setParent(this);
        tabBar()->setStyle(style);
    }

    void place(int tab, QWidget* control, const QRect& rect) {
        QWidget* page = widget(tab);
        control->setParent(page);
        placed_.append({control, rect});
        // Every page fills the one stack that holds them.
        if (!stack_) {
            stack_ = page->parentWidget();
            stack_->installEventFilter(this);
        }
        reposition();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == stack_ && event->type() == QEvent::Move)
            reposition();
        return QTabWidget::eventFilter(watched, event);
    }

private:
    void reposition() {
        const QPoint pages = stack_->pos();
        for (const auto& [control, rect] : std::as_const(placed_))
            control->setGeometry(rect.translated(-pages));
    }

    QWidget* stack_ = nullptr;
    QList<std::pair<QWidget*, QRect>> placed_;
};

const QString kIconFilter = QStringLiteral("ｱｲｺﾝ(*.ico)|*.ico");
const QString kExtraFileFilter =
    QStringLiteral("ﾀﾞｲﾅﾐｯｸﾗｲﾌﾞﾗﾘ(*.dll)|*.dll|実行ﾌｧｲﾙ(*.exe)|*.exe|全てのﾌｧｲﾙ(*.*)|*.*");
const QString kExtraFileTitle = QStringLiteral("追加ファイルの選択");

// The preview box holds one icon of the usual large size.
constexpr int kPreviewSide = 32;

// Only the name decides whether a dropped file is offered as the CD icon.
bool IsIconName(const QString& path) {
    return path.right(4).toLower() == QLatin1String(".ico");
}

void SetBackground(QLabel* swatch, std::uint32_t colour) {
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, ResolveColour(colour));
    swatch->setPalette(palette);
}

} // namespace

frmOpt::frmOpt(OptionsHost& host) : QDialog(host.hostWindow()), host_(host) {
    setObjectName(QStringLiteral("frmOpt"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("ｵﾌﾟｼｮﾝ"));
    buildControls();
    load();
}

frmOpt::~frmOpt() = default;

void frmOpt::buildControls() {
    setFixedSize(Px(4845), Px(3060));

    auto* tabs = new TabControl(this);
    tabs_ = tabs;
    tabs->setObjectName(QStringLiteral("SSTab1"));
    tabs->setGeometry(TwipsRect(120, 120, 4575, 2415));
    for (const QString& caption :
         {QStringLiteral("ﾗﾝﾁｬｰ設定"), QStringLiteral("ﾗｲﾃｨﾝｸﾞﾌｧｲﾙ"), QStringLiteral("etc")})
        tabs->addTab(new QWidget, caption);

    auto frame = [tabs](const char* name, const QString& caption, int top) {
        auto* box = new QGroupBox(caption);
        box->setObjectName(QLatin1String(name));
        tabs->place(0, box, TwipsRect(120, top, 4215, 735));
        return box;
    };
    auto swatch = [this](const char* name, QWidget* parent) {
        auto* colourBox = new QLabel(parent);
        colourBox->setObjectName(QLatin1String(name));
        colourBox->setGeometry(TwipsRect(120, 240, 855, 375));
        colourBox->setFrameStyle(QFrame::Box | QFrame::Plain);
        colourBox->setLineWidth(1);
        colourBox->setAutoFillBackground(true);
        colourBox->installEventFilter(this);
        return colourBox;
    };
    QGroupBox* backgroundFrame = frame("Frame1", QStringLiteral("ﾗﾝﾁｬｰの背景色"), 780);
    backgroundSwatch_ = swatch("F_Color", backgroundFrame);
    QGroupBox* textFrame = frame("Frame3", QStringLiteral("ﾃｷｽﾄの文字色"), 1620);
    textSwatch_ = swatch("Label3", textFrame);
    sampleText_ = new QLabel(QStringLiteral("Aaあぁアァ亜宇"), textFrame);
    sampleText_->setObjectName(QStringLiteral("Label4"));
    sampleText_->setGeometry(TwipsRect(1560, 360, 1815, 255));

    extraFilesList_ = new QListWidget;
    extraFilesList_->setObjectName(QStringLiteral("List1"));
    extraFilesList_->setSelectionMode(QAbstractItemView::SingleSelection);
    // The right button belongs to the pop-up menu alone (see eventFilter).
    extraFilesList_->setContextMenuPolicy(Qt::PreventContextMenu);
    extraFilesViewport_ = extraFilesList_->viewport();
    extraFilesViewport_->installEventFilter(this);
    tabs->place(1, extraFilesList_, TwipsRect(120, 360, 4335, 1860));

    auto* cdIconCaption = new QLabel(QStringLiteral("CDｱｲｺﾝ"));
    cdIconCaption->setObjectName(QStringLiteral("Label2"));
    tabs->place(2, cdIconCaption, TwipsRect(120, 360, 735, 255));
    cdIconPreview_ = new QLabel;
    cdIconPreview_->setObjectName(QStringLiteral("Picture1"));
    cdIconPreview_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    cdIconPreview_->setLineWidth(2);
    cdIconPreview_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cdIconPreview_->setAcceptDrops(true);
    cdIconPreview_->installEventFilter(this);
    tabs->place(2, cdIconPreview_, TwipsRect(120, 600, 615, 615));
    cdIconPathLabel_ = new QLabel;
    cdIconPathLabel_->setObjectName(QStringLiteral("Label1"));
    cdIconPathLabel_->setTextFormat(Qt::PlainText);
    cdIconPathLabel_->setWordWrap(true);
    cdIconPathLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tabs->place(2, cdIconPathLabel_, TwipsRect(840, 600, 3375, 495));

    tabs_->setCurrentIndex(1);

    // Neither button is the default nor the cancel button: Enter presses only
    // the button that has the focus, and Escape does nothing.
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OK"));
    okButton_->setGeometry(TwipsRect(2400, 2640, 1095, 375));
    cancelButton_ = new QPushButton(QStringLiteral("キャンセル"), this);
    cancelButton_->setObjectName(QStringLiteral("Command2"));
    cancelButton_->setGeometry(TwipsRect(3600, 2640, 1095, 375));
    connect(okButton_, &QPushButton::clicked, this, &frmOpt::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &frmOpt::reject);

    listMenu_ = new QMenu(this);
    listMenu_->setObjectName(QStringLiteral("mnusub"));
    addFileAction_ = listMenu_->addAction(QStringLiteral("ﾘｽﾄに追加"));
    addFileAction_->setObjectName(QStringLiteral("mnuAdd"));
    removeFileAction_ = listMenu_->addAction(QStringLiteral("ﾘｽﾄから削除"));
    removeFileAction_->setObjectName(QStringLiteral("mnuDel"));
    connect(addFileAction_, &QAction::triggered, this, &frmOpt::addFile);
    connect(removeFileAction_, &QAction::triggered, this, &frmOpt::removeFile);
}

void frmOpt::load() {
    backgroundColour_ = host_.hostBackground();
    textColour_ = host_.hostTextColour();
    showSwatches();
    if (QWidget* mainWindow = host_.hostWindow())
        setWindowIcon(mainWindow->windowIcon());
    workingCdIconPath_ = CdIconPath(host_.hostWorkFolder());
    if (FileExists(workingCdIconPath_))
        showCdIcon(workingCdIconPath_);
    extraFilesList_->addItems(ReadExtraFiles(host_.hostDesktop()));
}

void frmOpt::showSwatches() {
    SetBackground(backgroundSwatch_, backgroundColour_);
    SetBackground(textSwatch_, textColour_);
    QPalette palette = sampleText_->palette();
    palette.setColor(QPalette::WindowText, ResolveColour(textColour_));
    sampleText_->setPalette(palette);
}

void frmOpt::pickColour(QLabel* swatch) {
    std::uint32_t& colour = swatch == backgroundSwatch_ ? backgroundColour_ : textColour_;
    // A cancelled picker answers with the colour it was given.
    colour = host_.hostDesktop().chooseColour(colour);
    showSwatches();
}

void frmOpt::showCdIcon(const QString& path) {
    // The path is taken even when the file turns out not to be a picture;
    // the preview then keeps what it showed.
    chosenCdIconPath_ = path;
    cdIconPathLabel_->setText(path);
    const QIcon icon = LoadCdIcon(path);
    if (icon.isNull())
        return;
    cdIconPreview_->setPixmap(icon.pixmap(QSize(kPreviewSide, kPreviewSide)));
}

void frmOpt::chooseCdIcon() {
    const QString path = host_.hostDesktop().openFile(QString(), kIconFilter, 0);
    if (!path.isEmpty())
        showCdIcon(path);
}

void frmOpt::dropCdIcon(const QString& path) {
    if (!path.isEmpty() && IsIconName(path))
        showCdIcon(path);
}

void frmOpt::addFile() {
    const QString path = host_.hostDesktop().openFile(kExtraFileTitle, kExtraFileFilter, 0);
    if (!path.isEmpty())
        extraFilesList_->addItem(path);
}

void frmOpt::removeFile() {
    const QList<QListWidgetItem*> selected = extraFilesList_->selectedItems();
    if (selected.isEmpty())
        return;
    delete extraFilesList_->takeItem(extraFilesList_->row(selected.first()));
    // The removed line was the selection; no other line takes its place.
    extraFilesList_->setCurrentRow(-1);
}

void frmOpt::accept() {
    // Each step stands alone: one that cannot be done leaves the others.
    host_.applyLauncherColours(backgroundColour_, textColour_);
    ApplyCdIcon(chosenCdIconPath_, workingCdIconPath_);
    const QIcon icon = LoadCdIcon(workingCdIconPath_);
    if (!icon.isNull())
        host_.setHostIcon(icon);
    QStringList files;
    for (int i = 0; i < extraFilesList_->count(); ++i)
        files.append(extraFilesList_->item(i)->text());
    WriteExtraFiles(host_.hostDesktop(), files);
    QDialog::accept();
}

void frmOpt::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        QWidget::keyPressEvent(event);
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmOpt::eventFilter(QObject* watched, QEvent* event) {
    // Compared, never followed: children may already be gone while the
    // window is taken down.
    if (watched == extraFilesViewport_) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::RightButton)
                break;
            // Kept from the list, which would select the line under the pointer.
            listMenu_->popup(mouse->globalPosition().toPoint());
            return true;
        }
        default:
            break;
        }
        return QDialog::eventFilter(watched, event);
    }

    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = static_cast<QWidget*>(watched);
        if (mouse->button() != Qt::LeftButton ||
            !widget->rect().contains(mouse->position().toPoint()))
            break;
        if (watched == backgroundSwatch_ || watched == textSwatch_)
            pickColour(static_cast<QLabel*>(watched));
        else if (watched == cdIconPreview_)
            chooseCdIcon();
        break;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove:
        if (watched == cdIconPreview_) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (IsIconName(FirstDroppedFile(drag->mimeData())))
                drag->acceptProposedAction();
            else
                drag->ignore();
        }
        break;
    case QEvent::Drop:
        if (watched == cdIconPreview_) {
            auto* drop = static_cast<QDropEvent*>(event);
            dropCdIcon(FirstDroppedFile(drop->mimeData()));
            drop->acceptProposedAction();
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kz
