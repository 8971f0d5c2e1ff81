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

namespace {

// Where a match's context lies: [Before, Position) before it, [Position,
// ShownEnd) of it, [End, After) after it.
struct TContextSpan
{
    int64_t Before, Position, ShownEnd, End, After;
};

TContextSpan ContextSpan(int64_t size, const TFoundMatch& match, int64_t context)
{
    TContextSpan s;
    s.Position = std::clamp<int64_t>(match.Position, 0, size);
    s.End = std::clamp<int64_t>(match.Position + match.Length, s.Position, size);
    s.ShownEnd = std::min(s.End, s.Position + ShownMatchBytes);
    s.Before = std::max<int64_t>(0, s.Position - context);
    s.After = std::min(size, s.End + context);
    return s;
}

// head: the bytes [Before, ShownEnd); tail: the bytes [End, After).
TMatchContext ContextText(const TContextSpan& s, const uint8_t* head, const uint8_t* tail)
{
    TMatchContext c;
    AppendHex(c.Hex, head, s.Position - s.Before);
    c.Hex += c.Hex.isEmpty() ? QStringLiteral("[") : QStringLiteral(" [");
    AppendHex(c.Hex, head + (s.Position - s.Before), s.ShownEnd - s.Position);
    if (s.ShownEnd < s.End)
        c.Hex += QStringLiteral(" ...");
    c.Hex += QLatin1Char(']');
    AppendHex(c.Hex, tail, s.After - s.End);
    AppendText(c.Text, head, s.ShownEnd - s.Before);
    if (s.ShownEnd < s.End)
        c.Text += QStringLiteral("...");
    AppendText(c.Text, tail, s.After - s.End);
    return c;
}

} // namespace

TMatchContext MatchContext(const uint8_t* data, int64_t size, const TFoundMatch& match, int64_t context)
{
    const TContextSpan s = ContextSpan(size, match, context);
    return ContextText(s, data + s.Before, data + s.End);
}

TMatchContext MatchContext(const TMPHReadFunc& read, int64_t size, const TFoundMatch& match, int64_t context)
{
    const TContextSpan s = ContextSpan(size, match, context);
    std::vector<uint8_t> head(size_t(s.ShownEnd - s.Before));
    std::vector<uint8_t> tail(size_t(s.After - s.End));
    if (!head.empty())
        read(s.Before, int64_t(head.size()), head.data());
    if (!tail.empty())
        read(s.End, int64_t(tail.size()), tail.data());
    return ContextText(s, head.data(), tail.data());
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
