#pragma once
// The settings text of the extended editor, without the editor: the list of
// setting names, the split into lines and the conversion between a property
// value and its text. Qt Core only.
//
// Value texts: Booleans "True"/"False"; enumerations by their value's name;
// sets as their member names joined by commas, no brackets, no spaces;
// integers (colours and character codes included) in decimal; strings as
// they are. Names are compared without regard to case.

#include <QMetaProperty>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>

// The published settings, in their fixed order.
extern const std::array<const char*, 67> MPHPublicPropertyNames;

// True when name is one of MPHPublicPropertyNames, ignoring case.
bool IsListedPropertyName(const QString& name);

// The lines of text; a carriage return, a line feed, or both together end a line.
QStringList SplitSettingsLines(const QString& text);

// One line split at its first "=": the name before it (empty when the line
// has no "=") and the value after it.
struct TMPHSettingsLine
{
    QString Name;
    QString Value;
};
TMPHSettingsLine ParseSettingsLine(const QString& line);

// The text of a property's value by the rules above.
QString PropertyValueText(const QMetaProperty& property, const QVariant& value);

// The value of text for a property; raises EConvertError naming fullName
// when the text does not convert to the property's type.
QVariant PropertyValueFromText(const QMetaProperty& property, const QString& text, const QString& fullName);

// True for the property types the settings text can carry.
bool IsSettingsValueType(const QMetaProperty& property);
