// Regular expressions over a large document: hexview's byte regex (PCRE2's
// 8-bit library on the bytes where they lie) against Qt's QRegularExpression
// over the same bytes as Latin-1 text (each byte one character U+0000 to
// U+00FF, so offsets map 1:1), which first needs the text: a copy of twice
// the document's size.
//
//   bench_regex [MiB]   (default 64)
//
// Prints:
//   info the times (best of several runs) and the extra memory of each way;
//   ratio regex_bytes_vs_qregularexpression = <byte regex / Latin-1 text
//       with QRegularExpression, conversion included> (target <= 1).

#include "hexview/core/byteregex.h"
#include "hexview/core/findresults.h"

#include "bench_support.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using namespace bench;

QByteArray Document(int64_t size)
{
    // Random bytes with a record now and then, as a firmware image has.
    QByteArray data(qsizetype(size), '\0');
    std::mt19937_64 rng(7);
    for (qsizetype i = 0; i + 8 <= data.size(); i += 8) {
        const uint64_t w = rng();
        std::memcpy(data.data() + i, &w, 8);
    }
    for (qsizetype at = 1000; at + 32 < data.size(); at += 100000)
        std::memcpy(data.data() + at, "version=1.23.456;", 17);
    return data;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int64_t mib = 64;
    if (argc > 1 && std::atoll(argv[1]) > 0)
        mib = std::atoll(argv[1]);
    const QByteArray data = Document(mib * 1024 * 1024);
    const QString pattern = QStringLiteral("version=[0-9]+\\.[0-9]+\\.[0-9]+;");

    const hexview::TByteRegex regex(pattern, false);
    TMPHFindParams params;
    params.Data = reinterpret_cast<const uint8_t*>(data.constData());
    params.Size = data.size();
    const QRegularExpression qt(pattern, QRegularExpression::DotMatchesEverythingOption);

    double bestBytes = 1e9, bestQt = 1e9;
    size_t countBytes = 0, countQt = 0;
    for (int run = 0; run < 3; ++run) {
        auto start = Clock::now();
        const auto found = hexview::FindAllMatches(regex, params, int64_t(1) << 40).Matches;
        bestBytes = std::min(bestBytes, Seconds(start, Clock::now()));
        countBytes = found.size();

        start = Clock::now();
        const QString text = QString::fromLatin1(data); // offsets map 1:1 to bytes
        size_t n = 0;
        for (auto it = qt.globalMatch(text); it.hasNext(); it.next())
            ++n;
        bestQt = std::min(bestQt, Seconds(start, Clock::now()));
        countQt = n;
    }
    if (countBytes != countQt || countBytes == 0) {
        std::fprintf(stderr, "bench_regex: %zu matches over bytes, %zu over text\n", countBytes, countQt);
        return 1;
    }
    std::printf("info regex over %lld MiB, %zu matches: bytes %.1f ms (no extra memory), "
                "QRegularExpression over Latin-1 text %.1f ms (text of %lld MiB), best of 3\n",
                (long long)mib, countBytes, bestBytes * 1e3, bestQt * 1e3, (long long)(2 * mib));
    std::printf("ratio regex_bytes_vs_qregularexpression = %.3f (target <= 1)\n", bestBytes / bestQt);
    return 0;
}
