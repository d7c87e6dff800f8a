#pragma once

#include <QStringList>
#include <QTextStream>

#include <cstdint>
#include <optional>

// Each verb of kazanoro-cli: arguments after the verb in, exit code out
// (0 done, 1 failed with a message on err, 2 bad usage).
namespace kz::cli {

using Command = int (*)(const QStringList& args, QTextStream& out, QTextStream& err);

int RunIni(const QStringList& args, QTextStream& out, QTextStream& err);
int RunShow(const QStringList& args, QTextStream& out, QTextStream& err);
int RunIcons(const QStringList& args, QTextStream& out, QTextStream& err);
int RunPack(const QStringList& args, QTextStream& out, QTextStream& err);
int RunUnpack(const QStringList& args, QTextStream& out, QTextStream& err);
int RunSave(const QStringList& args, QTextStream& out, QTextStream& err);
int RunLoad(const QStringList& args, QTextStream& out, QTextStream& err);
int RunPrint(const QStringList& args, QTextStream& out, QTextStream& err);
int RunDump(const QStringList& args, QTextStream& out, QTextStream& err);
int RunIso(const QStringList& args, QTextStream& out, QTextStream& err);
int RunCheck(const QStringList& args, QTextStream& out, QTextStream& err);

// A colour value as typed: "0x8000000F" or "8000000F", at most 8 hex digits.
std::optional<std::uint32_t> ParseColour(QString text);
QString Hex32(std::uint32_t value);
// True for a folder; otherwise says so on err.
bool IsFolder(const QString& path, QTextStream& err);

// Shared by the verbs: the message for bad usage, and exit codes.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

} // namespace kz::cli
