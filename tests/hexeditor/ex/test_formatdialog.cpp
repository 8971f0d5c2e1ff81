// The format dialog: entries, preselection, the hex text box and its layout.
#include "hexeditor/ex/formatseldialog.h"
#include "hexeditor/ex/mphclipformats.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {
QStringList Entries(const TFormatSelDialog& d)
{
    QStringList list;
    for (int i = 0; i < d.FormatListBox->count(); ++i)
        list.append(d.FormatListBox->item(i)->text());
    return list;
}
} // namespace

TEST(FormatSelDialog, EntriesInCandidateOrderWithTheirTexts)
{
    const CLIPFORMAT unnamed = 0xBFFE;
    TFormatSelDialog d({CF_TEXT, CF_UNICODETEXT, CF_OEMTEXT, CF_LOCALE, HtmlFormat, unnamed, CF_PALETTE}, -1,
                       false);
    EXPECT_EQ(Entries(d), (QStringList{"Text", "Unicode Text", "OEM Text", "Text Locale", "HTML Format",
                                       "(49150)", "Color Palete"}));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Select data format"));
    EXPECT_EQ(d.HexTextCheckBox->text(), QStringLiteral("Hex text"));
    EXPECT_EQ(d.FormatListBox->currentRow(), 0) << "no last choice: the first entry";
    EXPECT_TRUE(d.OKButton->isEnabled());
    EXPECT_TRUE(d.OKButton->isDefault());
}

TEST(FormatSelDialog, RegisteredNamesAreTrimmedAndCut)
{
    const CLIPFORMAT spaced = RegisterClipboardFormat(QStringLiteral("  Spaced Name  "));
    const CLIPFORMAT huge = RegisterClipboardFormat(QString(600, QLatin1Char('h')));
    EXPECT_EQ(FormatDisplayText(spaced), QStringLiteral("Spaced Name"));
    EXPECT_EQ(FormatDisplayText(huge).size(), 512);
}

TEST(FormatSelDialog, PreselectsTheLastChoiceAndEnablesHexTextForTextOnly)
{
    TFormatSelDialog d({CF_TEXT, CF_UNICODETEXT, CF_OEMTEXT}, CF_UNICODETEXT, true);
    EXPECT_EQ(d.SelectedFormat(), CF_UNICODETEXT);
    EXPECT_TRUE(d.HexTextCheckBox->isChecked());
    EXPECT_FALSE(d.HexTextCheckBox->isEnabled());
    d.FormatListBox->setCurrentRow(2);
    EXPECT_EQ(d.SelectedFormat(), CF_OEMTEXT);
    EXPECT_TRUE(d.HexTextCheckBox->isEnabled());

    TFormatSelDialog absent({CF_TEXT, CF_DIB}, CF_LOCALE, false);
    EXPECT_EQ(absent.SelectedFormat(), CF_TEXT);
    EXPECT_FALSE(absent.HexTextCheckBox->isChecked());
}

TEST(FormatSelDialog, NoEntriesNoOk)
{
    TFormatSelDialog d({}, -1, false);
    EXPECT_FALSE(d.OKButton->isEnabled());
    EXPECT_EQ(d.SelectedFormat(), 0);
}

TEST(FormatSelDialog, LayoutFollowsTheFormSize)
{
    TFormatSelDialog d({CF_TEXT, CF_OEMTEXT}, -1, false);
    const QSize screen = QGuiApplication::primaryScreen()->size();
    EXPECT_EQ(d.width(), screen.width() / 4);
    EXPECT_EQ(d.height(), screen.height() / 4);
    d.show();
    d.resize(400, 300);
    QCoreApplication::processEvents();
    ASSERT_EQ(d.size(), QSize(400, 300));
    const QRect ok = d.OKButton->geometry(), cancel = d.CancelButton->geometry();
    EXPECT_EQ(ok.left(), 16);
    EXPECT_EQ(ok.width(), 400 / 2 - 32);
    EXPECT_EQ(ok.top(), 300 - ok.height() - 8);
    EXPECT_EQ(cancel.top(), ok.top());
    EXPECT_EQ(cancel.left(), 400 - cancel.width() - 16);
    const QRect box = d.HexTextCheckBox->geometry();
    EXPECT_EQ(box.top(), cancel.top() - box.height() - 8);
    EXPECT_EQ(box.left(), 16);
    EXPECT_EQ(d.FormatListBox->geometry(), QRect(0, 0, 400, 300 - cancel.height() - box.height() - 24));
}

TEST(FormatSelDialog, ArrowKeysMoveThroughTheListNotTheButtons)
{
    TFormatSelDialog d({CF_TEXT, CF_UNICODETEXT, CF_OEMTEXT, CF_LOCALE}, -1, false);
    d.show();
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    EXPECT_EQ(QApplication::focusWidget(), d.FormatListBox) << "the list has the focus when the dialog opens";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(d.SelectedFormat(), CF_UNICODETEXT);

    // From a button or the check box the arrows still move the list's entry.
    d.OKButton->setFocus();
    QTest::keyClick(d.OKButton, Qt::Key_Down);
    EXPECT_EQ(d.SelectedFormat(), CF_OEMTEXT);
    EXPECT_TRUE(d.OKButton->hasFocus()) << "the focus did not move to another button";
    QTest::keyClick(d.OKButton, Qt::Key_Right);
    EXPECT_TRUE(d.OKButton->hasFocus());
    EXPECT_EQ(d.SelectedFormat(), CF_OEMTEXT);
    d.HexTextCheckBox->setFocus();
    QTest::keyClick(d.HexTextCheckBox, Qt::Key_Up);
    EXPECT_EQ(d.SelectedFormat(), CF_UNICODETEXT);
    QTest::keyClick(d.CancelButton, Qt::Key_End);
    EXPECT_EQ(d.SelectedFormat(), CF_LOCALE);

    // Enter in the list confirms the entry.
    d.FormatListBox->setFocus();
    QTest::keyClick(d.FormatListBox, Qt::Key_Up);
    QTest::keyClick(d.FormatListBox, Qt::Key_Return);
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    EXPECT_EQ(d.SelectedFormat(), CF_OEMTEXT);
}
