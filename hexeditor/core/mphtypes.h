#pragma once
// Enumerations and event types shared by the editor's parts.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

namespace MPHEnums {
Q_NAMESPACE

enum TMPHProgressKind { pkLoad, pkSave, pkFind };
Q_ENUM_NS(TMPHProgressKind)

// How the character field turns bytes into characters (see mphtranslation.h).
// A fixed underlying type: a value outside the list is representable and
// shows every byte as the mask character.
enum TMPHTranslationKind : int { tkAsIs, tkDos8, tkASCII, tkMac, tkBCD, tkCustom };
Q_ENUM_NS(TMPHTranslationKind)

} // namespace MPHEnums
using namespace MPHEnums;

// Events are optional callbacks; callers test them for assignment first.
using TNotifyEvent = std::function<void(QObject* sender)>;
using TMPHProgressEvent = std::function<void(QObject* sender, TMPHProgressKind progressType,
                                             const QString& aName, uint8_t percent, bool& cancel)>;
// Asks for the text of an offset (the gutter); an empty handler text is kept.
using TMPHGetOffsetTextEvent = std::function<void(QObject* sender, int64_t number, QString& offsetText)>;

// Codes of the editor's private messages.
inline constexpr int CM_SELECTIONCHANGED = 0xB101;
inline constexpr int CM_INTRESIZE = 0xB100;
