#include "platform/QtDesktop.h"

#include "platform/SystemColour.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QCryptographicHash>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>

namespace kz {
namespace {

class DialogProgress : public Progress {
public:
    DialogProgress(const QString& title, const QString& text, qint64 total)
        : scale_(total > INT_MAX ? total / INT_MAX + 1 : 1),
          dialog_(text, QStringLiteral("キャンセル"), 0, static_cast<int>(total / scale_),
                  QApplication::activeWindow()) {
        dialog_.setWindowTitle(title);
        dialog_.setWindowModality(Qt::ApplicationModal);
        dialog_.setMinimumDuration(700); // short copies never flash a window
        dialog_.setValue(0);
    }
    bool update(qint64 done) override {
        dialog_.setValue(static_cast<int>(done / scale_));
        QCoreApplication::processEvents();
        return !dialog_.wasCanceled();
    }

private:
    qint64 scale_;
    QProgressDialog dialog_;
};

// A message box that, when an answer is required, stays up on Escape and on
// its close box: a user who means "not now" must not be taken for one who
// answered.
class AnswerBox : public QMessageBox {
public:
    AnswerBox(Icon icon, const QString& title, const QString& text, bool answerRequired)
        : QMessageBox(icon, title, text, NoButton, QApplication::activeWindow()),
          answerRequired_(answerRequired) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (answerRequired_ && event->matches(QKeySequence::Cancel))
            event->accept();
        else
            QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (answerRequired_)
            event->ignore();
        else
            QMessageBox::closeEvent(event);
    }

private:
    bool answerRequired_;
};

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QtDesktop::QtDesktop() = default;
QtDesktop::~QtDesktop() = default;

Answer QtDesktop::message(const QString& text, const QString& title, MessageIcon icon,
                          MessageButtons buttons) {
    // A carriage return alone breaks the line in the system's message boxes.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // A Yes/No question has exactly those two answers.
    AnswerBox box(ToQtIcon(icon), title, shown, buttons == MessageButtons::YesNo);
    struct Choice {
        QMessageBox::ButtonRole role;
        QString caption;
        Answer answer;
    };
    QList<Choice> choices;
    switch (buttons) {
    case MessageButtons::Ok:
        choices = {{QMessageBox::AcceptRole, QStringLiteral("OK"), Answer::Ok}};
        break;
    case MessageButtons::OkCancel:
        choices = {{QMessageBox::AcceptRole, QStringLiteral("OK"), Answer::Ok},
                   {QMessageBox::RejectRole, QStringLiteral("キャンセル"), Answer::Cancel}};
        break;
    case MessageButtons::YesNo:
        choices = {{QMessageBox::YesRole, QStringLiteral("はい(&Y)"), Answer::Yes},
                   {QMessageBox::NoRole, QStringLiteral("いいえ(&N)"), Answer::No}};
        break;
    case MessageButtons::YesNoCancel:
        choices = {{QMessageBox::YesRole, QStringLiteral("はい(&Y)"), Answer::Yes},
                   {QMessageBox::NoRole, QStringLiteral("いいえ(&N)"), Answer::No},
                   {QMessageBox::RejectRole, QStringLiteral("キャンセル"), Answer::Cancel}};
        break;
    case MessageButtons::YesAllNoCancel:
        choices = {{QMessageBox::YesRole, QStringLiteral("はい(&Y)"), Answer::Yes},
                   {QMessageBox::YesRole, QStringLiteral("すべて上書き(&A)"), Answer::YesToAll},
                   {QMessageBox::NoRole, QStringLiteral("いいえ(&N)"), Answer::No},
                   {QMessageBox::RejectRole, QStringLiteral("キャンセル"), Answer::Cancel}};
        break;
    }
    QList<QAbstractButton*> buttonsMade;
    for (const Choice& choice : choices)
        buttonsMade.append(box.addButton(choice.caption, choice.role));
    box.setDefaultButton(qobject_cast<QPushButton*>(buttonsMade.first()));
    box.exec();
    const int index = buttonsMade.indexOf(box.clickedButton());
    if (index >= 0)
        return choices[index].answer;
    // Closed with Escape or the close box: the cancelling answer the box offers.
    return buttons == MessageButtons::Ok ? Answer::Ok : Answer::Cancel;
}

void QtDesktop::setClipboardText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    if (!text.isEmpty())
        clipboard->setText(text);
}

QString QtDesktop::clipboardText() const {
    return QGuiApplication::clipboard()->text();
}

bool QtDesktop::openDocument(const QString& target) {
    if (target.isEmpty())
        return false;
    const bool address = target.startsWith(QLatin1String("http:"), Qt::CaseInsensitive) ||
                         target.startsWith(QLatin1String("https:"), Qt::CaseInsensitive);
    return QDesktopServices::openUrl(address ? QUrl(target) : QUrl::fromLocalFile(target));
}

void QtDesktop::showHelp(const QString& helpFile) {
    // The help is an HTML page under the name the program has always used;
    // shown by the program itself, since no desktop knows what to open that
    // name with (or picks a viewer for another kind of file).
    if (!helpViewer_) {
        auto* browser = new QTextBrowser;
        browser->setObjectName(QStringLiteral("helpViewer"));
        browser->setAttribute(Qt::WA_DeleteOnClose);
        browser->setOpenExternalLinks(true);
        browser->resize(640, 560);
        helpViewer_ = browser;
    }
    auto* browser = static_cast<QTextBrowser*>(helpViewer_.data());
    QFile file(helpFile);
    if (!file.open(QIODevice::ReadOnly)) {
        browser->deleteLater();
        return;
    }
    browser->setHtml(QString::fromUtf8(file.readAll()));
    browser->setSearchPaths({QFileInfo(helpFile).absolutePath()});
    browser->setWindowTitle(browser->documentTitle());
    browser->show();
    browser->raise();
    browser->activateWindow();
}

bool QtDesktop::claimSingleInstance(const QString& workFolder) {
    const QString canonical = QFileInfo(workFolder).absoluteFilePath();
    if (instanceLock_) // one folder for the program's whole run, claimed again on New
        return claimedFolder_ == canonical;
    const QByteArray folderId =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex();
    auto lock = std::make_unique<QLockFile>(QDir::temp().filePath(
        QStringLiteral("kazanoro-%1.lock").arg(QString::fromLatin1(folderId))));
    lock->setStaleLockTime(0); // a crashed copy's lock is recognised by its dead process
    if (!lock->tryLock(0))
        return false;
    instanceLock_ = std::move(lock);
    claimedFolder_ = canonical;
    return true;
}

std::unique_ptr<Progress> QtDesktop::startProgress(const QString& title, const QString& text,
                                                   qint64 total) {
    return std::make_unique<DialogProgress>(title, text, total);
}

void QtDesktop::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

QString QtDesktop::openFile(const QString& title, const QString& filter, int filterIndex) {
    // "All files(*.*)|*.*|Programs(*.exe)|*.exe" becomes Qt's
    // "All files(*.*) (*);;Programs(*.exe) (*.exe)"; "*.*" means every file,
    // also one without an extension.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        entries.append(parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')'));
    }
    QFileDialog dialog(QApplication::activeWindow(), title);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(entries);
    if (filterIndex >= 0 && filterIndex < entries.size())
        dialog.selectNameFilter(entries[filterIndex]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

std::uint32_t QtDesktop::chooseColour(std::uint32_t initial) {
    QColorDialog dialog(ResolveColour(initial), QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("色の設定"));
    if (dialog.exec() != QDialog::Accepted)
        return initial;
    return ColourValue(dialog.selectedColor());
}

bool QtDesktop::choosePrinter(PrintJobSetup& setup) {
    // The dialog only picks the printer; the print command sets the rest.
    QPrinter printer;
    if (!QPrinterInfo::printerInfo(setup.printerName).isNull())
        printer.setPrinterName(setup.printerName);
    printer.setPageOrientation(setup.orientation == PaperOrientation::Landscape
                                   ? QPageLayout::Landscape
                                   : QPageLayout::Portrait);
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setWindowTitle(setup.title);
    // The job prints every page once, on A4 in its own orientation: copies,
    // page ranges, printing to a file and the printer's own page settings
    // would be offered only to be ignored. Qt's own dialog lets them go
    // (the options pane and the properties); a native one shows what it must.
    dialog.setOptions({});
    for (QDialogButtonBox* buttons : dialog.findChildren<QDialogButtonBox*>())
        for (QAbstractButton* button : buttons->buttons())
            button->setVisible(buttons->buttonRole(button) != QDialogButtonBox::ResetRole);
    if (QWidget* properties = dialog.findChild<QWidget*>(QStringLiteral("properties")))
        properties->hide();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    setup.printerName = printer.printerName();
    return true;
}

QString QtDesktop::saveFile(const QString& title, const QString& filter, const QString& suggested) {
    // The filter as openFile reads it; the first pattern gives the extension
    // added to a name typed without one.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        entries.append(parts[i] + QStringLiteral(" (") +
                       parts[i + 1].split(QLatin1Char(';')).join(QLatin1Char(' ')) +
                       QLatin1Char(')'));
    QFileDialog dialog(QApplication::activeWindow(), title, suggested);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(entries);
    if (parts.size() > 1)
        dialog.setDefaultSuffix(
            parts[1].section(QLatin1Char(';'), 0, 0).section(QLatin1Char('.'), 1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

QString QtDesktop::chooseFolder(const QString& title, const QString& start) {
    const QString folder =
        QFileDialog::getExistingDirectory(QApplication::activeWindow(), title, start);
    return folder.isEmpty() ? QString() : QDir::toNativeSeparators(folder);
}

} // namespace kz
