#include "app/commandline.h"

#include "app/apperrors.h"
#include "app/diffcommand.h"
#include "app/idstrings.h"
#include "app/infojson.h"
#include "app/sumcommand.h"
#include "firmware/core/bootimage.h"
#include "hexeditor/mphexeditor.h"
#include "platform/core/errortext.h"
#include "platform/core/fileutils.h"
#include "platform/core/streams.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <vector>

namespace editboot {

namespace {

// A usage mistake: wrong sub-command or wrong number of arguments.
struct TUsageError
{
    QString Text;
};

// Error texts may carry "\r\n" line breaks; a terminal wants "\n".
QString TerminalText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

void RequireArgumentCount(const QStringList& args, int count, const char* synopsis)
{
    if (args.size() - 1 != count)
        throw TUsageError{QStringLiteral("'%1' takes %2 argument%3: editboot %4")
                              .arg(args[0])
                              .arg(count)
                              .arg(QLatin1String(count == 1 ? "" : "s"))
                              .arg(QLatin1String(synopsis))};
}

// Path, file name, the two ID strings and the CRC-32, read as the window's
// "open" reads them: through the editor's selection, a zero byte ending an ID
// string, a short image failing with the editor's selection errors.
int Info(const QStringList& args, QTextStream& out)
{
    if (args.size() >= 2 && args[1] == QLatin1String("--json")) {
        RequireArgumentCount(args, 2, "info --json IMAGE");
        WriteInfoJson(args[2], out);
        return ExitOk;
    }
    RequireArgumentCount(args, 1, "info IMAGE");
    const QString path = QFileInfo(args[1]).absoluteFilePath();
    TMPHexEditor editor;
    editor.CreateEmptyFile(QString());
    editor.LoadFromFile(path);
    const QString first =
        boot::IdLabelText(boot::ReadIdBytes(editor, boot::FirstIdStart, boot::FirstIdEnd));
    const QString second =
        boot::IdLabelText(boot::ReadIdBytes(editor, boot::SecondIdStart, boot::SecondIdEnd));
    // As in the window, a checksum of 0 shows nothing.
    const QString crc = boot::ChecksumText(boot::FileCrc32(path));
    out << "Path: " << path << '\n'
        << "File name: " << QFileInfo(path).fileName() << '\n'
        << "ID 1: " << first << '\n'
        << "ID 2: " << second << '\n'
        << "CRC-32: " << crc << '\n';
    return ExitOk;
}

int Extract(const QStringList& args, QTextStream& out)
{
    RequireArgumentCount(args, 2, "extract IMAGE BOOTFILE");
    // Writing the boot block over its own image would lose the image.
    boot::RefuseBlockOverImage(args[1], args[2]);
    std::unique_ptr<TMPHMemoryStream> block = boot::ExtractBlock(args[1], boot::SharedBlockBuffer());
    boot::SaveStreamToFile(*block, args[2]);
    out << "File Saved to: " << args[2] << "!\n";
    return ExitOk;
}

int Insert(const QStringList& args, QTextStream& out, QTextStream& err)
{
    RequireArgumentCount(args, 3, "insert IMAGE BOOTFILE OUTPUT");
    std::unique_ptr<TMPHMemoryStream> image = boot::LoadImageAtMarker(args[1]);
    std::unique_ptr<TMPHMemoryStream> bootFile = boot::LoadBootFile(args[2]);
    if (!bootFile) {
        err << "editboot: Error boot file!\n";
        return ExitError;
    }
    boot::InsertBlock(*image, *bootFile, boot::SharedBlockBuffer());
    boot::SaveStreamToFile(*image, args[3]);
    out << "File Saved to: " << args[3] << "!\n";
    return ExitOk;
}

// The CRC-32 of a whole file; unlike the window's checksum, a file that cannot
// be read, is not a regular file or changes while it is read is an error here,
// not a checksum of 0.
uint32_t CheckedFileCrc32(const QString& path)
{
    std::unique_ptr<TFileStream> file = TFileStream::OpenInput(path);
    std::vector<uint8_t> buffer(0xFFF1);
    uint32_t reg = 0xFFFFFFFFu;
    for (;;) {
        const int64_t n = file->Read(buffer.data(), static_cast<int64_t>(buffer.size()));
        if (n == 0)
            break;
        reg = boot::Crc32Update(reg, buffer.data(), static_cast<size_t>(n));
    }
    file->CheckUnchanged();
    return ~reg;
}

int Crc32(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() < 2)
        throw TUsageError{QStringLiteral("'crc32' needs at least one file: editboot crc32 FILE...")};
    int status = ExitOk;
    for (qsizetype i = 1; i < args.size(); ++i) {
        try {
            const uint32_t crc = CheckedFileCrc32(args[i]);
            out << ChecksumLine(crc, args[i]) << '\n';
        } catch (...) {
            // One unreadable file does not stop the others.
            out.flush();
            err << "editboot: " << TerminalText(WithFullStop(CurrentExceptionText())) << '\n';
            err.flush();
            status = ExitError;
        }
    }
    return status;
}

int Diff(const QStringList& args, QTextStream& out)
{
    RequireArgumentCount(args, 2, "diff FILE1 FILE2");
    return DiffFiles(args[1], args[2], out);
}

} // namespace

QString ChecksumLine(uint32_t crc, const QString& name)
{
    return DigestLine(QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0')).toUpper(), name);
}

QString CommandLineHelp()
{
    return QStringLiteral(
        "Usage: editboot [COMMAND ARGUMENTS...]\n"
        "Without a command, opens the window.\n"
        "\n"
        "Commands:\n"
        "  info IMAGE                    show the path, file name, ID strings and CRC-32\n"
        "                                of a firmware image\n"
        "  extract IMAGE BOOTFILE        write the image's 65,536-byte boot block to BOOTFILE\n"
        "  insert IMAGE BOOTFILE OUTPUT  write the image with its boot block replaced by\n"
        "                                BOOTFILE (exactly 65,536 bytes) to OUTPUT\n"
        "  info --json IMAGE             the same with the marker, boot block range, ID\n"
        "                                ranges and CRC-32 of image and block, as JSON\n"
        "  crc32 FILE...                 print the CRC-32 of each file\n"
        "  diff FILE1 FILE2              print the ranges where the files differ, one per\n"
        "                                line: OFFSET (hex, from 0) and LENGTH (decimal),\n"
        "                                e.g. \"0000001A 3\"; bytes are compared position\n"
        "                                by position, the longer file's rest is one range\n"
        "  sum [--algo NAME] FILE...     print a checksum or digest of each file as\n"
        "                                sha256sum does; NAME: crc32, adler32, md5, sha1,\n"
        "                                sha256 (the default), sha512\n"
        "  --help                        show this help\n"
        "  --version                     show the version\n"
        "\n"
        "Files are written exactly as named (no \".bin\" is added) and atomically: a\n"
        "failed write leaves an existing file as it was.\n"
        "Exit status: 0 on success, 1 on an error, 2 on a usage error; diff, as cmp:\n"
        "0 when the files are equal, 1 when they differ, 2 on an error.\n");
}

QString VersionText()
{
    return QStringLiteral("editboot 1.0\n");
}

int RunCommandLine(const QStringList& args, QTextStream& out, QTextStream& err)
{
    int status = ExitError;
    // diff answers 1 for "different": its errors are 2, as cmp's.
    int errorStatus = ExitError;
    try {
        if (args.isEmpty())
            throw TUsageError{QStringLiteral("no command given")};
        const QString& command = args[0];
        if (command == QLatin1String("--help")) {
            out << CommandLineHelp();
            status = ExitOk;
        } else if (command == QLatin1String("--version")) {
            out << VersionText();
            status = ExitOk;
        } else if (command == QLatin1String("info")) {
            status = Info(args, out);
        } else if (command == QLatin1String("extract")) {
            status = Extract(args, out);
        } else if (command == QLatin1String("insert")) {
            status = Insert(args, out, err);
        } else if (command == QLatin1String("crc32")) {
            status = Crc32(args, out, err);
        } else if (command == QLatin1String("diff")) {
            errorStatus = DiffTrouble;
            status = Diff(args, out);
        } else if (command == QLatin1String("sum")) {
            status = RunSum(args, out, err, [](const QString& text) { throw TUsageError{text}; });
        } else {
            throw TUsageError{QStringLiteral("unknown command '%1'").arg(command)};
        }
    } catch (const TUsageError& e) {
        out.flush();
        err << "editboot: " << e.Text << '\n' << "Try 'editboot --help' for more information.\n";
        status = ExitUsage;
    } catch (...) {
        out.flush();
        err << "editboot: " << TerminalText(WithFullStop(CurrentExceptionText())) << '\n';
        status = errorStatus;
    }
    out.flush();
    err.flush();
    return status;
}

int RunCommandLineMain(int argc, char** argv)
{
    // A name that is not valid UTF-8 would reach the system as another name
    // (its bad bytes replaced): refuse it rather than read or write the wrong
    // file.
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        QString arg;
        if (!DecodeFileNameExactly(QByteArray(argv[i]), &arg)) {
            fprintf(stderr, "editboot: argument %d is not valid UTF-8; such file names are not supported (%s)\n", i,
                    QString::fromUtf8(argv[i]).toUtf8().constData());
            return ExitError;
        }
        args.append(arg);
    }

    // Qt sees only the program name, so that no argument is taken as one of
    // its own options.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    // The toolkit's notes about its own set-up (runtime folders, platform
    // plugins) are not the command's output; only its serious errors are.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            fprintf(stderr, "%s\n", qPrintable(message));
    });
    std::unique_ptr<QCoreApplication> app;
    if (!args.isEmpty() && args[0] == QLatin1String("info")) {
        // The ID strings are read through the editor, a widget: it needs a
        // QApplication, which the offscreen platform gives without a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(qtArgc, qtArgv);
    } else {
        app = std::make_unique<QCoreApplication>(qtArgc, qtArgv);
    }
    QCoreApplication::setApplicationName(ApplicationTitle());
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunCommandLine(args, out, err);
}

} // namespace editboot
