#include "app/sumcommand.h"

#include "app/apperrors.h"
#include "firmware/core/bootimage.h"
#include "hexeditor/core/mphdigest.h"
#include "platform/core/errortext.h"
#include "platform/core/streams.h"

#include <QTextStream>

#include <functional>
#include <memory>
#include <vector>

namespace editboot {

namespace {

// The digest of a whole file. A file that cannot be read, is not a regular
// file or changes while it is read is an error.
QString FileDigest(const QString& path, TMPHDigestKind kind)
{
    std::unique_ptr<TFileStream> file = TFileStream::OpenInput(path);
    TMPHDigest digest(kind, boot::Crc32Update);
    std::vector<uint8_t> buffer(1 << 20);
    for (;;) {
        const int64_t n = file->Read(buffer.data(), int64_t(buffer.size()));
        if (n == 0)
            break;
        digest.Add(buffer.data(), size_t(n));
    }
    file->CheckUnchanged();
    return digest.HexResult();
}

QString KnownKeys()
{
    QStringList keys;
    for (TMPHDigestKind kind : AllDigestKinds())
        keys << DigestKindKey(kind);
    return keys.join(QStringLiteral(", "));
}

// Takes "--algo NAME" or "--algo=NAME" from the front of the arguments.
QStringList TakeAlgorithm(QStringList args, TMPHDigestKind& kind,
                          const std::function<void(const QString&)>& usageError)
{
    kind = TMPHDigestKind::Sha256;
    if (args.isEmpty() || (args[0] != QLatin1String("--algo") && !args[0].startsWith(QLatin1String("--algo="))))
        return args;
    QString key;
    if (args[0].startsWith(QLatin1String("--algo="))) {
        key = args[0].mid(7);
        args.removeFirst();
    } else if (args[0] == QLatin1String("--algo") && args.size() >= 2) {
        key = args[1];
        args.remove(0, 2);
    } else {
        usageError(QStringLiteral("'--algo' needs a name (%1)").arg(KnownKeys()));
    }
    if (!DigestKindFromKey(key, kind))
        usageError(QStringLiteral("unknown algorithm '%1' (known: %2)").arg(key, KnownKeys()));
    return args;
}

// The files named: as sha256sum, an argument starting with "--" is an
// option, and none but --algo is known; after "--" every argument is a file.
QStringList TakeFiles(QStringList args, const std::function<void(const QString&)>& usageError)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--")) {
            args.remove(i);
            break;
        }
        if (args[i].startsWith(QLatin1String("--")))
            usageError(QStringLiteral("unknown option '%1' (sum takes --algo NAME)").arg(args[i]));
    }
    return args;
}

} // namespace

QString DigestLine(const QString& hex, const QString& name)
{
    if (!name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r')) && !name.contains(QLatin1Char('\\')))
        return hex + QStringLiteral("  ") + name;
    QString escaped = name;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    escaped.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return QLatin1Char('\\') + hex + QStringLiteral("  ") + escaped;
}

int RunSum(const QStringList& args, QTextStream& out, QTextStream& err,
           const std::function<void(const QString&)>& usageError)
{
    TMPHDigestKind kind;
    const QStringList files = TakeFiles(TakeAlgorithm(args.mid(1), kind, usageError), usageError);
    if (files.isEmpty())
        usageError(QStringLiteral("'sum' needs at least one file: editboot sum [--algo NAME] FILE..."));
    int status = 0;
    for (const QString& path : files) {
        try {
            out << DigestLine(FileDigest(path, kind), path) << '\n';
        } catch (...) {
            // One unreadable file does not stop the others.
            out.flush();
            QString text = WithFullStop(CurrentExceptionText());
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            err << "editboot: " << text << '\n';
            err.flush();
            status = 1;
        }
    }
    return status;
}

} // namespace editboot
