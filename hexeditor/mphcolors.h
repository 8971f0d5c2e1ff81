#pragma once
// The editor's colour set: thirteen colours, each stored as a TColor and
// published as a property, so that settings can be walked as
// "Colors.Background" and so on. Owned by the editor it paints.
//
// System colour indices (TColor FF0000xxh) resolve through the owner's palette:
//
//   index  meaning                 palette role
//   0      scroll bar              Button
//   1      desktop                 Window
//   2, 13, 27, 29  active caption, highlight, caption gradient, menu highlight
//                                  Highlight
//   3, 28  inactive caption        Mid
//   4, 30  menu, menu bar          Window
//   5      window background       Base
//   6, 21  window frame, 3-D dark shadow
//                                  Shadow
//   7      menu text               WindowText
//   8, 19  window text, inactive caption text
//                                  Text
//   9, 14  caption text, highlighted text
//                                  HighlightedText
//   10, 11 borders                 Button
//   12     application workspace   Dark
//   15     button face             Button
//   16     button shadow           Dark
//   17     gray text               Text of the disabled group
//   18     button text             ButtonText
//   20     button highlight        Light
//   22     3-D light               Midlight
//   23     tooltip text            ToolTipText
//   24     tooltip background      ToolTipBase
//   26     hot-tracked item        Link
//   any other index                Window

#include "hexeditor/core/mphcolorvalue.h"

#include <QColor>
#include <QObject>

class QPalette;
class TCustomMPHexEditor;

// The colour a TColor stands for, system indices resolved through palette.
QColor ResolveColor(TColor color, const QPalette& palette);
// The RGB TColor of a colour (alpha dropped).
TColor ColorToRgb(const QColor& color);

class TMPHColors : public QObject
{
    Q_OBJECT
    Q_PROPERTY(quint32 Background READ Background WRITE SetBackground)
    Q_PROPERTY(quint32 ChangedBackground READ ChangedBackground WRITE SetChangedBackground)
    Q_PROPERTY(quint32 ChangedText READ ChangedText WRITE SetChangedText)
    Q_PROPERTY(quint32 CursorFrame READ CursorFrame WRITE SetCursorFrame)
    Q_PROPERTY(quint32 NonFocusCursorFrame READ NonFocusCursorFrame WRITE SetNonFocusCursorFrame)
    Q_PROPERTY(quint32 Offset READ Offset WRITE SetOffset)
    Q_PROPERTY(quint32 OddColumn READ OddColumn WRITE SetOddColumn)
    Q_PROPERTY(quint32 EvenColumn READ EvenColumn WRITE SetEvenColumn)
    Q_PROPERTY(quint32 CurrentOffsetBackground READ CurrentOffsetBackground WRITE SetCurrentOffsetBackground)
    Q_PROPERTY(quint32 OffsetBackGround READ OffsetBackGround WRITE SetOffsetBackGround)
    Q_PROPERTY(quint32 CurrentOffset READ CurrentOffset WRITE SetCurrentOffset)
    Q_PROPERTY(quint32 ActiveFieldBackground READ ActiveFieldBackground WRITE SetActiveFieldBackground)
    Q_PROPERTY(quint32 Grid READ Grid WRITE SetGrid)

public:
    // The owner (may be null) is repainted on every change.
    explicit TMPHColors(TCustomMPHexEditor* owner = nullptr);

    TCustomMPHexEditor* Owner() const { return m_owner; }

    TColor Offset() const { return m_offset; }
    void SetOffset(TColor value) { Store(m_offset, value); }
    TColor OddColumn() const { return m_oddColumn; }
    void SetOddColumn(TColor value) { Store(m_oddColumn, value); }
    TColor EvenColumn() const { return m_evenColumn; }
    void SetEvenColumn(TColor value) { Store(m_evenColumn, value); }
    TColor CursorFrame() const { return m_cursorFrame; }
    void SetCursorFrame(TColor value) { Store(m_cursorFrame, value); }
    TColor NonFocusCursorFrame() const { return m_nonFocusCursorFrame; }
    void SetNonFocusCursorFrame(TColor value) { Store(m_nonFocusCursorFrame, value); }
    TColor Background() const { return m_background; }
    // Also becomes the colour the control is erased with.
    void SetBackground(TColor value);
    TColor ChangedText() const { return m_changedText; }
    void SetChangedText(TColor value) { Store(m_changedText, value); }
    TColor ChangedBackground() const { return m_changedBackground; }
    void SetChangedBackground(TColor value) { Store(m_changedBackground, value); }
    TColor CurrentOffsetBackground() const { return m_currentOffsetBackground; }
    void SetCurrentOffsetBackground(TColor value) { Store(m_currentOffsetBackground, value); }
    TColor OffsetBackGround() const { return m_offsetBackGround; }
    void SetOffsetBackGround(TColor value) { Store(m_offsetBackGround, value); }
    TColor ActiveFieldBackground() const { return m_activeFieldBackground; }
    void SetActiveFieldBackground(TColor value) { Store(m_activeFieldBackground, value); }
    TColor CurrentOffset() const { return m_currentOffset; }
    void SetCurrentOffset(TColor value) { Store(m_currentOffset, value); }
    TColor Grid() const { return m_grid; }
    void SetGrid(TColor value) { Store(m_grid, value); }

    // Copies all thirteen colours from another set through the setters;
    // any other kind of object (or null) changes nothing.
    void Assign(const QObject* source);

    // Applies Background to the owner's palette (used at construction too).
    void ApplyBackgroundToOwner();

private:
    void Store(TColor& field, TColor value);
    void RepaintOwner();

    TCustomMPHexEditor* m_owner;
    TColor m_offset = MPHColor::clBlack;
    TColor m_oddColumn = MPHColor::clBlue;
    TColor m_evenColumn = MPHColor::clNavy;
    TColor m_cursorFrame = MPHColor::clNavy;
    TColor m_nonFocusCursorFrame = MPHColor::clAqua;
    TColor m_background = MPHColor::clWindow;
    TColor m_changedText = MPHColor::clMaroon;
    TColor m_changedBackground = MPHColor::clLightYellow;
    TColor m_currentOffsetBackground = MPHColor::clBtnShadow;
    TColor m_offsetBackGround = MPHColor::clBtnFace;
    TColor m_activeFieldBackground = MPHColor::clWindow;
    TColor m_currentOffset = MPHColor::clBtnHighlight;
    TColor m_grid = MPHColor::clBtnFace;
};
