// The editor's colour set: defaults, the Background side effect, Assign and
// the Colors property as the settings export walks it.

#include "hexeditor/mphexeditor.h"

#include <QMetaProperty>
#include <gtest/gtest.h>

TEST(Colors, DefaultsOfAFreshEditor)
{
    TMPHexEditor editor;
    const TMPHColors& c = *editor.Colors();
    EXPECT_EQ(c.Offset(), MPHColor::clBlack);
    EXPECT_EQ(c.OddColumn(), 0xFF0000u);
    EXPECT_EQ(c.EvenColumn(), 0x800000u);
    EXPECT_EQ(c.CursorFrame(), 0x800000u);
    EXPECT_EQ(c.NonFocusCursorFrame(), 0xFFFF00u);
    EXPECT_EQ(c.Background(), 0xFF000005u);
    EXPECT_EQ(c.ChangedText(), 0x000080u);
    EXPECT_EQ(c.ChangedBackground(), 0xA8FFFFu);
    EXPECT_EQ(c.CurrentOffsetBackground(), 0xFF000010u);
    EXPECT_EQ(c.OffsetBackGround(), 0xFF00000Fu);
    EXPECT_EQ(c.ActiveFieldBackground(), 0xFF000005u);
    EXPECT_EQ(c.CurrentOffset(), 0xFF000014u);
    EXPECT_EQ(c.Grid(), 0xFF00000Fu);
    EXPECT_EQ(c.Owner(), &editor);
    EXPECT_TRUE(editor.FocusFrame());
    EXPECT_TRUE(editor.DrawGutter3D());
    EXPECT_EQ(editor.CaretKind(), ckAuto);
    EXPECT_EQ(editor.DrawDataPosition(), -1);
}

TEST(Colors, BackgroundBecomesTheEraseColour)
{
    TMPHexEditor editor;
    editor.Colors()->SetBackground(MPHColor::Rgb(10, 20, 30));
    QWidget* port = editor.viewport();
    EXPECT_EQ(port->palette().color(port->backgroundRole()), QColor(10, 20, 30));
}

TEST(Colors, AssignCopiesAllThirteenAndIgnoresOtherObjects)
{
    TMPHexEditor a;
    TMPHexEditor b;
    TMPHColors source;
    const QMetaObject* meta = source.metaObject();
    ASSERT_EQ(meta->propertyCount() - meta->propertyOffset(), 13);
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        meta->property(i).write(&source, QVariant::fromValue<quint32>(quint32(0x010203 * i)));
    a.Colors()->Assign(&source);
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        EXPECT_EQ(meta->property(i).read(a.Colors()).toUInt(), quint32(0x010203 * i)) << meta->property(i).name();

    const TColor before = b.Colors()->Grid();
    QObject other;
    b.Colors()->Assign(&other);
    b.Colors()->Assign(nullptr);
    EXPECT_EQ(b.Colors()->Grid(), before);

    // The editor's property copies into its own set.
    TMPHColors* own = b.Colors();
    b.SetColors(a.Colors());
    EXPECT_EQ(b.Colors(), own);
    EXPECT_EQ(b.Colors()->Background(), a.Colors()->Background());
}

TEST(Colors, ColorsIsAnObjectPropertyOfTheEditor)
{
    TMPHexEditor editor;
    const QVariant value = editor.property("Colors");
    auto* colors = value.value<TMPHColors*>();
    ASSERT_EQ(colors, editor.Colors());
    EXPECT_EQ(colors->property("Background").toUInt(), 0xFF000005u);
    EXPECT_TRUE(colors->setProperty("Grid", QVariant::fromValue<quint32>(0x123456)));
    EXPECT_EQ(editor.Colors()->Grid(), 0x123456u);
}
