#pragma once
// The command line of hexview as a plain struct: parsed with
// QCommandLineParser and checked with the editor's own rules and messages,
// so that a bad value is refused before any window exists.

#include "hexeditor/core/mphtypes.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace hexview {

// The arguments without the toolkit's own options (-platform NAME,
// -style=NAME, -reverse, ...), which the application object reads itself.
QStringList WithoutToolkitOptions(const QStringList& arguments);

// The program's arguments as text. A file name that is not valid UTF-8
// would reach the system as another name (its bad bytes replaced), so such
// an argument is refused: false, with the message in *error.
bool DecodeArguments(int argc, const char* const* argv, QStringList* out, QString* error);

struct TViewOptions {
    QStringList FileNames; // each in a tab of its own; none: an empty document
    std::optional<int> BytesPerRow;
    std::optional<TMPHTranslationKind> Translation;
    std::optional<QString> OffsetFormat;
    bool Ruler = false;
    std::optional<int> RulerBase;
    bool Unicode = false;
    bool BigEndian = false;
    bool ReadOnly = false;
    bool FirmwareOverlay = true;
    // A selection to make after loading: first and last position.
    std::optional<int32_t> SelFirst;
    std::optional<int32_t> SelLast;
    // --diff: the two files to compare (empty without --diff).
    QStringList DiffFiles;
};

struct TParsedCommandLine {
    enum TOutcome { Run, ShowHelp, ShowVersion, Error };
    TOutcome Outcome = Run;
    TViewOptions Options;
    // The help or version text, or the error message.
    QString Text;
};

// Parses arguments (arguments[0] is the program name).
TParsedCommandLine ParseViewCommandLine(const QStringList& arguments);

// A translation kind from its short name ("WIN", "DOS", ...), its long name
// or its enumeration name ("tkAsIs", ...), case-insensitive.
std::optional<TMPHTranslationKind> TranslationFromName(const QString& name);

// "FIRST-LAST" or "FIRST:COUNT"-free selection text: decimal or 0x-hex
// numbers, "FIRST-LAST" with FIRST <= LAST. False for anything else.
bool ParseSelectionRange(const QString& text, int32_t& first, int32_t& last);

} // namespace hexview
