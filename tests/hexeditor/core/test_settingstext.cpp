// The settings text without an editor: names, lines and value conversions.

#include "hexeditor/core/mphsettingstext.h"
#include "hexeditor/core/mphtypes.h"
#include "platform/core/exceptions.h"

#include <QMetaProperty>
#include <QObject>
#include <QSet>
#include <gtest/gtest.h>

namespace {

class SettingsSample : public QObject
{
    Q_OBJECT
public:
    enum Shade { shLight, shDark };
    Q_ENUM(Shade)
    enum Part { ptTop = 1, ptMiddle = 2, ptBottom = 4 };
    Q_DECLARE_FLAGS(Parts, Part)
    Q_FLAG(Parts)

    Q_PROPERTY(bool Flag MEMBER flag)
    Q_PROPERTY(int Number MEMBER number)
    Q_PROPERTY(uchar Small MEMBER small)
    Q_PROPERTY(QString Text MEMBER text)
    Q_PROPERTY(Shade Tone MEMBER tone)
    Q_PROPERTY(Parts Pieces READ Pieces WRITE SetPieces)
    Q_PROPERTY(MPHEnums::TMPHCaretKind Caret MEMBER caret)

public:
    Parts Pieces() const { return pieces; }
    void SetPieces(Parts value) { pieces = value; }
    bool flag = false;
    int number = 0;
    uchar small = 0;
    QString text;
    Shade tone = shLight;
    Parts pieces;
    TMPHCaretKind caret = ckAuto;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(SettingsSample::Parts)

QMetaProperty PropertyOf(const char* name)
{
    const QMetaObject& meta = SettingsSample::staticMetaObject;
    return meta.property(meta.indexOfProperty(name));
}

QString TextOf(const char* name, const SettingsSample& sample)
{
    const QMetaProperty p = PropertyOf(name);
    return PropertyValueText(p, p.read(&sample));
}

// Converts text and stores the result in sample; the message of the error, if any.
QString Store(const char* name, const QString& text, SettingsSample& sample)
{
    try {
        const QMetaProperty p = PropertyOf(name);
        QVariant v = PropertyValueFromText(p, text, QString::fromLatin1(name));
        EXPECT_TRUE(p.write(&sample, v));
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return QString();
}

} // namespace

TEST(SettingsNames, SixtySevenDistinctNamesComparedWithoutCase)
{
    QSet<QString> seen;
    for (const char* name : MPHPublicPropertyNames)
        seen.insert(QString::fromLatin1(name).toLower());
    EXPECT_EQ(seen.size(), 67);
    EXPECT_TRUE(IsListedPropertyName(QStringLiteral("colors.background")));
    EXPECT_TRUE(IsListedPropertyName(QStringLiteral("PRINTOPTIONS.FLAGS")));
    EXPECT_FALSE(IsListedPropertyName(QStringLiteral("Align")));
    EXPECT_FALSE(IsListedPropertyName(QStringLiteral("Colors")));
    EXPECT_FALSE(IsListedPropertyName(QStringLiteral("Colors.Background ")));
    EXPECT_FALSE(IsListedPropertyName(QString()));
}

TEST(SettingsLines, AnyOfTheThreeLineEndsSplitsLines)
{
    EXPECT_EQ(SplitSettingsLines(QStringLiteral("a=1\r\nb=2\rc=3\nd=4")),
              (QStringList{"a=1", "b=2", "c=3", "d=4"}));
    EXPECT_EQ(SplitSettingsLines(QStringLiteral("a=1\n\nb=2\r\n")), (QStringList{"a=1", "", "b=2"}));
    EXPECT_EQ(SplitSettingsLines(QStringLiteral("\n\r")), (QStringList{"", ""}));
    EXPECT_TRUE(SplitSettingsLines(QString()).isEmpty());
}

TEST(SettingsLines, NameEndsAtTheFirstEqualsSign)
{
    const TMPHSettingsLine line = ParseSettingsLine(QStringLiteral("PrintOptions.PageHeader=a=b "));
    EXPECT_EQ(line.Name, QStringLiteral("PrintOptions.PageHeader"));
    EXPECT_EQ(line.Value, QStringLiteral("a=b "));
    EXPECT_TRUE(ParseSettingsLine(QStringLiteral("no equals sign")).Name.isEmpty());
    EXPECT_EQ(ParseSettingsLine(QStringLiteral("=x")).Name, QString());
}

TEST(SettingsValues, ValuesAreWrittenByTheirKind)
{
    SettingsSample s;
    s.flag = true;
    s.number = -16777211;
    s.small = 200;
    s.text = QStringLiteral(" as is ");
    s.tone = SettingsSample::shDark;
    s.pieces = SettingsSample::ptTop | SettingsSample::ptBottom;
    s.caret = ckBottom;
    EXPECT_EQ(TextOf("Flag", s), QStringLiteral("True"));
    EXPECT_EQ(TextOf("Number", s), QStringLiteral("-16777211"));
    EXPECT_EQ(TextOf("Small", s), QStringLiteral("200"));
    EXPECT_EQ(TextOf("Text", s), QStringLiteral(" as is "));
    EXPECT_EQ(TextOf("Tone", s), QStringLiteral("shDark"));
    EXPECT_EQ(TextOf("Pieces", s), QStringLiteral("ptTop,ptBottom"));
    EXPECT_EQ(TextOf("Caret", s), QStringLiteral("ckBottom"));
    s.pieces = {};
    s.flag = false;
    EXPECT_EQ(TextOf("Pieces", s), QString());
    EXPECT_EQ(TextOf("Flag", s), QStringLiteral("False"));
}

TEST(SettingsValues, NamesAreReadBackWithoutRegardToCase)
{
    SettingsSample s;
    EXPECT_EQ(Store("Flag", QStringLiteral("tRUE"), s), QString());
    EXPECT_TRUE(s.flag);
    EXPECT_EQ(Store("Tone", QStringLiteral("SHDARK"), s), QString());
    EXPECT_EQ(s.tone, SettingsSample::shDark);
    EXPECT_EQ(Store("Pieces", QStringLiteral("ptmiddle,PTBOTTOM"), s), QString());
    EXPECT_EQ(s.pieces, SettingsSample::ptMiddle | SettingsSample::ptBottom);
    EXPECT_EQ(Store("Pieces", QStringLiteral("[ptTop, ptMiddle]"), s), QString());
    EXPECT_EQ(s.pieces, SettingsSample::ptTop | SettingsSample::ptMiddle);
    EXPECT_EQ(Store("Pieces", QString(), s), QString());
    EXPECT_EQ(s.pieces, SettingsSample::Parts());
    EXPECT_EQ(Store("Caret", QStringLiteral("ckleft"), s), QString());
    EXPECT_EQ(s.caret, ckLeft);
    EXPECT_EQ(Store("Number", QStringLiteral("-42"), s), QString());
    EXPECT_EQ(s.number, -42);
    EXPECT_EQ(Store("Text", QStringLiteral(""), s), QString());
}

TEST(SettingsValues, TextsThatDoNotConvertRaiseTheConversionError)
{
    SettingsSample s;
    s.number = 5;
    EXPECT_EQ(Store("Number", QStringLiteral("abc"), s), QStringLiteral("Invalid value \"abc\" for the setting Number"));
    EXPECT_FALSE(Store("Number", QStringLiteral("0x10"), s).isEmpty());
    EXPECT_FALSE(Store("Number", QStringLiteral("2147483648"), s).isEmpty());
    EXPECT_FALSE(Store("Number", QString(), s).isEmpty());
    EXPECT_EQ(s.number, 5);
    EXPECT_FALSE(Store("Small", QStringLiteral("256"), s).isEmpty());
    EXPECT_FALSE(Store("Small", QStringLiteral("-1"), s).isEmpty());
    EXPECT_FALSE(Store("Flag", QStringLiteral("1"), s).isEmpty());
    EXPECT_FALSE(Store("Tone", QStringLiteral("shMedium"), s).isEmpty());
    EXPECT_FALSE(Store("Tone", QStringLiteral("1"), s).isEmpty());
    EXPECT_FALSE(Store("Pieces", QStringLiteral("ptTop,,ptMiddle"), s).isEmpty());
    EXPECT_FALSE(Store("Pieces", QStringLiteral("ptTop,ptSide"), s).isEmpty());
    EXPECT_EQ(s.tone, SettingsSample::shLight);
    EXPECT_EQ(s.pieces, SettingsSample::Parts());
}

#include "test_settingstext.moc"
