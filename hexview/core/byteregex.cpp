#include "hexview/core/byteregex.h"

#include "hexeditor/core/mphexception.h"

#include <QCoreApplication>

#include <cctype>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace hexview {

namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("hexview::TByteRegex", text);
}

QString PcreMessage(int code)
{
    PCRE2_UCHAR buffer[256];
    const int n = pcre2_get_error_message(code, buffer, sizeof buffer);
    return n > 0 ? QString::fromLatin1(reinterpret_cast<const char*>(buffer), n) : QString::number(code);
}

bool HexDigit(QChar c)
{
    return c.unicode() < 128 && std::isxdigit(c.unicode());
}

} // namespace

struct TByteRegex::TCompiled
{
    pcre2_code* Code = nullptr;
    pcre2_match_data* Match = nullptr;
    pcre2_match_context* Context = nullptr;
    pcre2_jit_stack* Stack = nullptr;
    int64_t MinLength = 1;

    ~TCompiled()
    {
        pcre2_jit_stack_free(Stack);
        pcre2_match_context_free(Context);
        pcre2_match_data_free(Match);
        pcre2_code_free(Code);
    }
};

TByteRegex::TByteRegex(const QString& pattern, bool ignoreCase) : m_compiled(std::make_unique<TCompiled>())
{
    if (pattern.isEmpty())
        throw EMPHexEditor(Tr("Enter the regular expression to find"));
    for (qsizetype i = 0; i < pattern.size(); ++i)
        if (pattern[i].unicode() > 0xFF)
            throw EMPHexEditor(Tr("Invalid regular expression at character %1: \"%2\" is no byte; write bytes "
                                  "above 0x7F as \\xHH")
                                   .arg(i + 1)
                                   .arg(pattern[i]));
    const QByteArray bytes = pattern.toLatin1();
    uint32_t options = PCRE2_DOTALL;
    if (ignoreCase)
        options |= PCRE2_CASELESS;
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    m_compiled->Code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(bytes.constData()), PCRE2_SIZE(bytes.size()),
                                     options, &error, &errorOffset, nullptr);
    if (!m_compiled->Code)
        throw EMPHexEditor(Tr("Invalid regular expression at character %1: %2")
                               .arg(qsizetype(errorOffset) + 1)
                               .arg(PcreMessage(error)));
    // Without the JIT (not on every machine) the interpreter is used.
    pcre2_jit_compile(m_compiled->Code, PCRE2_JIT_COMPLETE);
    m_compiled->Match = pcre2_match_data_create_from_pattern(m_compiled->Code, nullptr);
    m_compiled->Context = pcre2_match_context_create(nullptr);
    m_compiled->Stack = pcre2_jit_stack_create(32 * 1024, 16 * 1024 * 1024, nullptr);
    if (!m_compiled->Match || !m_compiled->Context)
        throw std::bad_alloc();
    if (m_compiled->Stack)
        pcre2_jit_stack_assign(m_compiled->Context, nullptr, m_compiled->Stack);
    uint32_t minLength = 0;
    pcre2_pattern_info(m_compiled->Code, PCRE2_INFO_MINLENGTH, &minLength);
    m_compiled->MinLength = std::max<int64_t>(1, minLength);
}

TByteRegex::~TByteRegex() = default;

int64_t TByteRegex::MinLength() const
{
    return m_compiled->MinLength;
}

int64_t TByteRegex::FindForward(const uint8_t* data, int64_t size, int64_t from, int64_t to, int64_t* length) const
{
    *length = 0;
    from = std::max<int64_t>(from, 0);
    if (from >= to || from >= size)
        return -1;
    const bool cached = m_cache.Data == data && m_cache.Size == size && m_cache.From >= 0 && from >= m_cache.From
                        && (m_cache.Hit < 0 || from <= m_cache.Hit);
    if (!cached) {
        const int rc = pcre2_match(m_compiled->Code, data, PCRE2_SIZE(size), PCRE2_SIZE(from), PCRE2_NOTEMPTY,
                                   m_compiled->Match, m_compiled->Context);
        if (rc < 0 && rc != PCRE2_ERROR_NOMATCH) {
            m_cache = {};
            throw EMPHexEditor(Tr("The regular expression cannot be searched for here: %1").arg(PcreMessage(rc)));
        }
        m_cache = TCache{data, size, from, -1, 0};
        if (rc >= 0) {
            const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(m_compiled->Match);
            m_cache.Hit = int64_t(ovector[0]);
            m_cache.Length = int64_t(ovector[1] - ovector[0]);
        }
    }
    if (m_cache.Hit < 0 || m_cache.Hit >= to)
        return -1;
    *length = m_cache.Length;
    return m_cache.Hit;
}

int64_t TByteRegex::FindBackward(const uint8_t* data, int64_t size, int64_t from, int64_t to, int64_t* length) const
{
    int64_t last = -1;
    *length = 0;
    for (int64_t p = std::max<int64_t>(from, 0); p < to;) {
        int64_t n = 0;
        const int64_t hit = FindForward(data, size, p, to, &n);
        if (hit < 0)
            break;
        last = hit;
        *length = n;
        p = hit + 1;
    }
    return last;
}

QByteArray EscapedBytes(const QString& text)
{
    QByteArray bytes;
    auto bad = [&](qsizetype at) {
        return EMPHexEditor(Tr("Invalid replacement at character %1: write bytes as \\xHH and a backslash as \\\\")
                                .arg(at + 1));
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c > 0xFF)
            throw bad(i);
        if (c != '\\') {
            bytes.append(char(c));
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\\')) {
            bytes.append('\\');
            ++i;
            continue;
        }
        const bool isHex = i + 3 < text.size() && (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))
                           && HexDigit(text[i + 2]) && HexDigit(text[i + 3]);
        if (!isHex)
            throw bad(i);
        const uint value = text.mid(i + 2, 2).toUInt(nullptr, 16);
        bytes.append(char(value));
        i += 3;
    }
    return bytes;
}

} // namespace hexview
