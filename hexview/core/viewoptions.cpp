#include "hexview/core/viewoptions.h"

#include "hexeditor/core/mphexception.h"
#include "hexeditor/core/mphlayout.h"
#include "hexeditor/core/mphoffsetformat.h"
#include "hexeditor/core/mphtranslation.h"
#include "platform/core/fileutils.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMetaEnum>

namespace hexview {

namespace {

// The editor's defaults, which the checks start from.
constexpr int DefaultBytesPerRow = 16;
constexpr int DefaultBytesPerColumn = 2;

bool ParseNumber(const QString& text, int64_t& value)
{
    bool ok = false;
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = t.mid(2).toLongLong(&ok, 16);
    else
        value = t.toLongLong(&ok, 10);
    return ok && !t.isEmpty();
}

QString InvalidValue(const QString& option, const QString& value)
{
    return QStringLiteral("Invalid value \"%1\" for --%2").arg(value, option);
}

// Runs the editor's checks on the chosen settings; an error carries the
// editor's own message.
void CheckWithEditorRules(const TViewOptions& o)
{
    const int bytesPerRow = o.BytesPerRow.value_or(DefaultBytesPerRow);
    CheckBytesPerRow(bytesPerRow, false);
    if (o.Unicode) {
        CheckUnicodeModeAllowed(bytesPerRow, DefaultBytesPerColumn, 0);
        if (o.Translation)
            CheckTranslationAllowed(*o.Translation, true);
    }
    if (o.OffsetFormat) {
        TMPHOffsetFormat format;
        TMPHOffsetUnitSources sources;
        sources.BytesPerRow = bytesPerRow;
        sources.BytesPerColumn = DefaultBytesPerColumn;
        sources.RulerUnit = 1;
        ParseOffsetFormat(format, *o.OffsetFormat, sources);
    }
}

QString ReadOptions(const QCommandLineParser& parser, TViewOptions& o)
{
    int64_t number = 0;
    if (parser.isSet(QStringLiteral("bytes-per-row"))) {
        const QString v = parser.value(QStringLiteral("bytes-per-row"));
        if (!ParseNumber(v, number) || number < INT32_MIN || number > INT32_MAX)
            return InvalidValue(QStringLiteral("bytes-per-row"), v);
        o.BytesPerRow = int(number);
    }
    if (parser.isSet(QStringLiteral("translation"))) {
        const QString v = parser.value(QStringLiteral("translation"));
        o.Translation = TranslationFromName(v);
        if (!o.Translation)
            return InvalidValue(QStringLiteral("translation"), v) +
                   QStringLiteral(" (use WIN, DOS, ASC, MAC, BCD or Cust)");
    }
    if (parser.isSet(QStringLiteral("offset-format")))
        o.OffsetFormat = parser.value(QStringLiteral("offset-format"));
    if (parser.isSet(QStringLiteral("ruler-base"))) {
        const QString v = parser.value(QStringLiteral("ruler-base"));
        if (!ParseNumber(v, number) || number < 2 || number > 16)
            return InvalidValue(QStringLiteral("ruler-base"), v) + QStringLiteral(" (use 2 to 16)");
        o.RulerBase = int(number);
    }
    if (parser.isSet(QStringLiteral("select"))) {
        const QString v = parser.value(QStringLiteral("select"));
        int32_t first = 0, last = 0;
        if (!ParseSelectionRange(v, first, last))
            return InvalidValue(QStringLiteral("select"), v) + QStringLiteral(" (use FIRST-LAST)");
        o.SelFirst = first;
        o.SelLast = last;
    }
    o.Ruler = parser.isSet(QStringLiteral("ruler")) || o.RulerBase.has_value();
    o.Unicode = parser.isSet(QStringLiteral("unicode"));
    o.BigEndian = parser.isSet(QStringLiteral("big-endian"));
    o.ReadOnly = parser.isSet(QStringLiteral("read-only"));
    o.FirmwareOverlay = !parser.isSet(QStringLiteral("no-overlay"));
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(QStringLiteral("diff"))) {
        if (files.size() != 2)
            return QStringLiteral("--diff compares two files, got %1").arg(files.size());
        o.DiffFiles = files;
        return {};
    }
    o.FileNames = files;
    return {};
}

void AddOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("Shows a file as offsets, hexadecimal digits and characters."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The files to open, each in a tab of its own."),
                                 QStringLiteral("[FILE...]"));
    parser.addOptions({
        {QStringLiteral("bytes-per-row"), QStringLiteral("Bytes shown in one row (default 16)."), QStringLiteral("N")},
        {QStringLiteral("translation"), QStringLiteral("Character translation: WIN, DOS, ASC, MAC, BCD or Cust."),
         QStringLiteral("KIND")},
        {QStringLiteral("offset-format"), QStringLiteral("Format of the offset column, e.g. \"-!10:0x|\"."),
         QStringLiteral("FORMAT")},
        {QStringLiteral("ruler"), QStringLiteral("Show the ruler above the data.")},
        {QStringLiteral("ruler-base"), QStringLiteral("Number base of the ruler, 2 to 16 (implies --ruler)."),
         QStringLiteral("BASE")},
        {QStringLiteral("unicode"), QStringLiteral("Show the characters as UTF-16 (little-endian).")},
        {QStringLiteral("big-endian"), QStringLiteral("UTF-16 characters are big-endian.")},
        {QStringLiteral("read-only"), QStringLiteral("Open the file for viewing only.")},
        {QStringLiteral("select"), QStringLiteral("Select bytes FIRST to LAST after opening."),
         QStringLiteral("FIRST-LAST")},
        {QStringLiteral("no-overlay"), QStringLiteral("Do not mark the boot block of firmware images.")},
        {QStringLiteral("diff"), QStringLiteral("Compare two files side by side: hexview --diff FILE1 FILE2.")},
    });
    parser.addHelpOption();
    parser.addVersionOption();
}

} // namespace

std::optional<TMPHTranslationKind> TranslationFromName(const QString& name)
{
    const QMetaEnum kinds = QMetaEnum::fromType<TMPHTranslationKind>();
    for (int i = 0; i < kinds.keyCount(); ++i) {
        const auto kind = TMPHTranslationKind(kinds.value(i));
        if (name.compare(QString::fromLatin1(kinds.key(i)), Qt::CaseInsensitive) == 0 ||
            name.compare(TranslationShortName(kind), Qt::CaseInsensitive) == 0 ||
            name.compare(TranslationLongName(kind), Qt::CaseInsensitive) == 0)
            return kind;
    }
    return std::nullopt;
}

bool ParseSelectionRange(const QString& text, int32_t& first, int32_t& last)
{
    const QStringList parts = text.split(QLatin1Char('-'));
    int64_t a = 0, b = 0;
    if (parts.size() != 2 || !ParseNumber(parts[0], a) || !ParseNumber(parts[1], b))
        return false;
    if (a < 0 || b < a || b > INT32_MAX)
        return false;
    first = int32_t(a);
    last = int32_t(b);
    return true;
}

namespace {

// The toolkit's own options, which the application object takes from the
// command line; those in the second list take a value.
const char* const ToolkitFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
const char* const ToolkitValueOptions[] = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                           "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                           "style", "stylesheet", "display", "geometry", "title", "name"};

const QString ToolkitHelp = QStringLiteral(
    "\nToolkit options (taken by the window system layer):\n"
    "  -platform <name>          The window system plugin, e.g. xcb, wayland, offscreen.\n"
    "  -style <name>             The widget style, e.g. Fusion.\n"
    "  -stylesheet <file>        A style sheet for the window.\n"
    "  -reverse                  Right-to-left layout.\n"
    "  -qwindowgeometry <geom>   Size and place of the window, e.g. 900x600+0+0.\n"
    "  -qwindowtitle <title>     The window's title.\n");

// The name of a toolkit option (one or two leading dashes, an optional
// "=value"), or empty when the argument is none.
QString ToolkitOptionName(const QString& argument, bool& takesValue, bool& valueAttached)
{
    if (!argument.startsWith(u'-') || argument == QLatin1String("-") || argument == QLatin1String("--"))
        return QString();
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    valueAttached = name.contains(u'=');
    name = name.section(u'=', 0, 0);
    for (const char* flag : ToolkitFlags)
        if (name == QLatin1String(flag)) {
            takesValue = false;
            return name;
        }
    for (const char* option : ToolkitValueOptions)
        if (name == QLatin1String(option)) {
            takesValue = true;
            return name;
        }
    return QString();
}

} // namespace

QStringList WithoutToolkitOptions(const QStringList& arguments)
{
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--")) {
            // Everything after "--" is a file name.
            kept += arguments.mid(i);
            break;
        }
        bool takesValue = false;
        bool valueAttached = false;
        if (i == 0 || ToolkitOptionName(argument, takesValue, valueAttached).isEmpty()) {
            kept << argument;
            continue;
        }
        if (takesValue && !valueAttached)
            ++i;
    }
    return kept;
}

TParsedCommandLine ParseViewCommandLine(const QStringList& allArguments)
{
    TParsedCommandLine result;
    QCommandLineParser parser;
    AddOptions(parser);
    const QStringList arguments = WithoutToolkitOptions(allArguments);
    if (!parser.parse(arguments)) {
        result.Outcome = TParsedCommandLine::Error;
        result.Text = parser.errorText();
        return result;
    }
    const bool helpAll = parser.isSet(QStringLiteral("help-all"));
    if (parser.isSet(QStringLiteral("help")) || helpAll) {
        result.Outcome = TParsedCommandLine::ShowHelp;
        result.Text = parser.helpText() + (helpAll ? ToolkitHelp : QString());
        // The usage line names the program as it was called (the parser
        // would take the application object's, or none without one).
        const QString name = arguments.isEmpty() ? QStringLiteral("hexview") : QFileInfo(arguments[0]).fileName();
        const qsizetype end = result.Text.indexOf(QLatin1String(" [options]"));
        if (result.Text.startsWith(QLatin1String("Usage: ")) && end > 7)
            result.Text.replace(7, end - 7, name);
        return result;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        result.Outcome = TParsedCommandLine::ShowVersion;
        result.Text = QStringLiteral("hexview %1\n").arg(QCoreApplication::applicationVersion());
        return result;
    }
    QString error = ReadOptions(parser, result.Options);
    if (error.isEmpty()) {
        try {
            CheckWithEditorRules(result.Options);
        } catch (const Exception& e) {
            error = e.Message();
        }
    }
    if (!error.isEmpty()) {
        result.Outcome = TParsedCommandLine::Error;
        result.Text = error;
    }
    return result;
}

} // namespace hexview

namespace hexview {

bool DecodeArguments(int argc, const char* const* argv, QStringList* out, QString* error)
{
    out->clear();
    if (argc > 0)
        out->append(QString::fromLocal8Bit(argv[0])); // the program's own name is not opened
    for (int i = 1; i < argc; ++i) {
        QString arg;
        if (!DecodeFileNameExactly(QByteArray(argv[i]), &arg)) {
            *error = QStringLiteral("argument %1 is not valid UTF-8; such file names are not supported (%2)")
                         .arg(i)
                         .arg(QString::fromUtf8(argv[i]));
            return false;
        }
        out->append(arg);
    }
    return true;
}

} // namespace hexview
