#pragma once

// What every test file needs: a fresh working folder with the project's files
// at hand, whole-file reads and writes, solid pictures, and control lookup
// that fails the test (naming the control) instead of crashing.

#include "output/Project.h"
#include "store/FileName.h"
#include "store/Slots.h"
#include "tests/support/ScriptedDesktop.h"

#include <QColor>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <array>

class QWidget;

namespace kz::test {

// The whole file; empty when it cannot be read.
QByteArray ReadBytes(const QString& path);
// Makes the file hold exactly `bytes`, creating missing folders.
bool WriteBytes(const QString& path, const QByteArray& bytes);
// Sets the file's modification time, to tell whether it is written again.
bool Backdate(const QString& path, const QDateTime& when);
QDateTime Modified(const QString& path);

// A picture of one colour.
QImage Solid(const QColor& colour, int width = 32, int height = 32);
// The colour at the middle of a picture (an invalid colour for a null one).
QColor CentreOf(const QImage& image);
// How many pixels of the picture have exactly this colour.
qsizetype CountOf(const QImage& image, const QColor& colour);
// A text as a UTF-16 file holds it, after its byte order mark.
QByteArray Utf16(const QString& text);

// Declares a data table's columns and gives what adds a row to it:
//   const auto row = Table<QString, int>({"path", "count"}); row("none", "", 0);
template <typename... Columns>
auto Table(const std::array<const char*, sizeof...(Columns)>& names) {
    std::size_t i = 0;
    (QTest::addColumn<Columns>(names[i++]), ...);
    return [](const char* tag, const Columns&... cells) { (QTest::newRow(tag) << ... << cells); };
}

// Drags onto the control and drops there, as the file manager and the
// platform do: files (absolute paths, one a line) or else plain text, offered
// only to a control that takes drops. The drop follows even a refused drag,
// so a control's own guard is tried too. True when both were accepted.
bool Drop(QWidget* target, const QString& payload);

// A working folder of its own, removed with the object: the settings file,
// the icon files and the CD icon where the program keeps them.
class WorkFolder {
public:
    QString path() const { return dir_.path(); }
    // A file in the folder from a Windows-style literal ("\AutoRun_Icon").
    QString file(const QString& literal) const { return LocalPath(path(), literal); }
    QString settings() const { return file(kSettingsLiteral); }
    QString icon(const QString& slotKey) const { return file(IconLiteral(slotKey)); }
    QString cdIcon() const { return file(QLatin1Char('\\') + kCdIconName); }
    QString archive() const { return ArchivePath(path()); }

    // Settings values, read and written as the program does.
    void set(const QString& section, const QString& key, const QString& value);
    QString get(const QString& section, const QString& key) const;
    // One slot's texts, by field section (see kSlotFields) and slot key.
    void setSlot(const QString& slotKey, const QString& section, const QString& value);
    // The slot's icon file as a bitmap of one colour.
    bool writeIcon(const QString& slotKey, const QColor& colour);

private:
    QTemporaryDir dir_;
    ScriptedDesktop quiet_;
};

} // namespace kz::test

// Looks up a child control by its objectName and fails the test naming it
// when there is none: KZ_CONTROL(QLabel, label, window, "Label2");
#define KZ_CONTROL(Type, var, parent, name)                                                        \
    Type* var = (parent)->findChild<Type*>(QStringLiteral(name));                                  \
    QVERIFY2(var, "no control named " name)
