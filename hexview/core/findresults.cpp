#include "hexview/core/findresults.h"

#include <algorithm>

namespace hexview {

TFindAllResult FindAllMatches(const TMPHMatcher& matcher, const TMPHFindParams& params, int64_t limit)
{
    TFindAllResult result;
    ForEachMatch(matcher, params, [&](int64_t position, int64_t length) {
        if (int64_t(result.Matches.size()) >= limit) {
            result.Truncated = true;
            return false;
        }
        result.Matches.push_back({position, length});
        return true;
    });
    return result;
}

namespace {

void AppendHex(QString& out, const uint8_t* p, int64_t n)
{
    static const char digits[] = "0123456789ABCDEF";
    for (int64_t i = 0; i < n; ++i) {
        if (!out.isEmpty() && !out.endsWith(QLatin1Char('[')))
            out += QLatin1Char(' ');
        out += QLatin1Char(digits[p[i] >> 4]);
        out += QLatin1Char(digits[p[i] & 15]);
    }
}

void AppendText(QString& out, const uint8_t* p, int64_t n)
{
    for (int64_t i = 0; i < n; ++i)
        out += p[i] >= 0x20 && p[i] < 0x7F ? QLatin1Char(char(p[i])) : QLatin1Char('.');
}

} // namespace

TMatchContext MatchContext(const uint8_t* data, int64_t size, const TFoundMatch& match, int64_t context)
{
    TMatchContext c;
    const int64_t position = std::clamp<int64_t>(match.Position, 0, size);
    const int64_t end = std::clamp<int64_t>(match.Position + match.Length, position, size);
    const int64_t shownEnd = std::min(end, position + ShownMatchBytes);
    const int64_t before = std::max<int64_t>(0, position - context);
    const int64_t after = std::min(size, end + context);
    AppendHex(c.Hex, data + before, position - before);
    c.Hex += c.Hex.isEmpty() ? QStringLiteral("[") : QStringLiteral(" [");
    AppendHex(c.Hex, data + position, shownEnd - position);
    if (shownEnd < end)
        c.Hex += QStringLiteral(" ...");
    c.Hex += QLatin1Char(']');
    AppendHex(c.Hex, data + end, after - end);
    AppendText(c.Text, data + before, shownEnd - before);
    if (shownEnd < end)
        c.Text += QStringLiteral("...");
    AppendText(c.Text, data + end, after - end);
    return c;
}

QString MatchesAsText(const uint8_t* data, int64_t size, const std::vector<TFoundMatch>& matches)
{
    QString text;
    for (const TFoundMatch& m : matches)
        text += MatchLine(m, MatchContext(data, size, m));
    return text;
}

QString MatchLine(const TFoundMatch& match, const TMatchContext& context)
{
    return QStringLiteral("0x%1\t%2\t%3\t%4\n")
        .arg(match.Position, 8, 16, QLatin1Char('0'))
        .arg(match.Length)
        .arg(context.Hex, context.Text);
}

} // namespace hexview
