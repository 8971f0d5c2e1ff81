#pragma once
// Enumerations and event types shared by the editor's parts.

#include <QObject>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>

class QPainter;

namespace MPHEnums {
Q_NAMESPACE

enum TMPHProgressKind { pkLoad, pkSave, pkFind };
Q_ENUM_NS(TMPHProgressKind)

// How the character field turns bytes into characters (see mphtranslation.h).
// A fixed underlying type: a value outside the list is representable and
// shows every byte as the mask character.
enum TMPHTranslationKind : int { tkAsIs, tkDos8, tkASCII, tkMac, tkBCD, tkCustom };
Q_ENUM_NS(TMPHTranslationKind)

// Shape of the caret: the whole cell, its left edge, its bottom edge, or
// chosen from the editing state.
enum TMPHCaretKind { ckFull, ckLeft, ckBottom, ckAuto };
Q_ENUM_NS(TMPHCaretKind)

} // namespace MPHEnums
using namespace MPHEnums;

// Events are optional callbacks; callers test them for assignment first.
using TNotifyEvent = std::function<void(QObject* sender)>;
using TMPHProgressEvent = std::function<void(QObject* sender, TMPHProgressKind progressType,
                                             const QString& aName, uint8_t percent, bool& cancel)>;
// Asks for the text of an offset (the gutter); an empty handler text is kept.
using TMPHGetOffsetTextEvent = std::function<void(QObject* sender, int64_t number, QString& offsetText)>;

// Lets a host draw a cell itself: the painter has the cell's pen, brush and
// font set; the handler may change the text; clearing defaultDraw leaves the
// cell to the handler.
using TMPHDrawCellEvent = std::function<void(QObject* sender, QPainter* canvas, int col, int row,
                                             QString& wideText, const QRect& rect, bool& defaultDraw)>;
// Lets a host hide a setting from the settings export and import.
using TMPHQueryPublicPropertyEvent = std::function<void(QObject* sender, const QString& propertyName,
                                                        bool& isPublic)>;

// Codes of the editor's private messages.
inline constexpr int CM_SELECTIONCHANGED = 0xB101;
inline constexpr int CM_INTRESIZE = 0xB100;
