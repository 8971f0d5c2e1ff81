#pragma once
// "editboot sum [--algo NAME] FILE...": a checksum or digest of each file in
// sha256sum's line format (lower-case hex, two spaces, the name).

#include <QStringList>

#include <functional>

class QTextStream;

namespace editboot {

// A usage mistake (unknown algorithm, no file) raises the command line's
// usage error through usageError; returns the exit status otherwise.
int RunSum(const QStringList& args, QTextStream& out, QTextStream& err,
           const std::function<void(const QString&)>& usageError);

// One output line: hex, two spaces, the name; a name holding a line break or
// a backslash is escaped as sha256sum escapes it (leading backslash).
QString DigestLine(const QString& hex, const QString& name);

} // namespace editboot
