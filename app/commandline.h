#pragma once
// The tool without its window: the same operations on images, driven by a
// sub-command, for scripts and machines without a display.

#include <QStringList>
#include <cstdint>

class QTextStream;

namespace editboot {

// Exit statuses of the command line.
inline constexpr int ExitOk = 0;
inline constexpr int ExitError = 1;
inline constexpr int ExitUsage = 2;

QString CommandLineHelp();
// One line of "crc32": 8 upper-case hex digits, two spaces, the name. A name
// holding a line break or a backslash is escaped as sha256sum does: the line
// starts with a backslash, and a newline is written \n, a carriage return \r,
// a backslash \\; so no name can forge a line.
QString ChecksumLine(uint32_t crc, const QString& name);
QString VersionText();

// Runs the sub-command in args (the arguments after the program name) and
// returns the exit status; results go to out, errors to err. "info" needs a
// QApplication (it reads the ID strings through the editor); the others need
// none.
int RunCommandLine(const QStringList& args, QTextStream& out, QTextStream& err);

// main's entry for a command line: creates the application object the
// sub-command needs (never one that wants a display), runs it and returns its
// exit status.
int RunCommandLineMain(int argc, char** argv);

} // namespace editboot
