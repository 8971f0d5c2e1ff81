// The window and the clipboard's owner: Paste's availability comes from the
// offered types alone, data are read only when the user pastes and only from
// an owner that answers; New from clipboard opens a tab of its own and
// changes nothing when the clipboard cannot be read; drags out leave the
// bytes unless Shift asks for a move.

#include "window_fixture.h"

#include "hexeditor/ex/formatseldialog.h"
#include "hexview/clipboardwatch.h"
#include "hexview/saveactions.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

using namespace hexview;

namespace {

// Clipboard data that counts how often its contents are read.
class TCountingMimeData : public QMimeData
{
public:
    TCountingMimeData(QStringList types, int* reads) : m_types(std::move(types)), m_reads(reads) {}
    QStringList formats() const override { return m_types; }
    bool hasFormat(const QString& type) const override { return m_types.contains(type); }

protected:
    QVariant retrieveData(const QString& type, QMetaType) const override
    {
        ++*m_reads;
        if (type.startsWith(QLatin1String("text/plain")))
            return QByteArray("4142");
        return QByteArray("garbage that is no own-format block");
    }

private:
    QStringList m_types;
    int* m_reads;
};

class TTextChooser : public IFormatChooser
{
public:
    bool ChooseFormat(const QVector<CLIPFORMAT>&, int, bool& asHexText, CLIPFORMAT& chosen) override
    {
        chosen = CF_TEXT;
        asHexText = false;
        return true;
    }
};

const QString OwnFormatType =
    QStringLiteral("application/x-qt-windows-mime;value=\"TMPHexeditorEx Clipboard Format\"");

} // namespace

class ClipboardSafetyTest : public HexViewWindowTest
{
protected:
    void SetUp() override
    {
        HexViewWindowTest::SetUp();
        previousChooser = SetFormatChooser(&chooser);
        QGuiApplication::clipboard()->clear();
    }
    void TearDown() override
    {
        AskToSaveChanges = savedAsk;
        SetFormatChooser(previousChooser);
        QGuiApplication::clipboard()->clear();
    }

    QAction* Action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
    TClipboardWatch& Watch() { return *window->findChild<TClipboardWatch*>(QStringLiteral("clipboardWatch")); }
    QByteArray Data()
    {
        return QByteArray(reinterpret_cast<const char*>(Editor().DataStorage().Memory()), Editor().DataSize());
    }
    // A document with one unsaved change: "abcd" with its first byte typed over.
    QString OpenChanged()
    {
        const QString path = files.Write("doc.bin", "abcd");
        EXPECT_TRUE(window->OpenFile(path));
        Editor().SetSelection(0, 0);
        Editor().ReplaceSelection("Z", 1, QStringLiteral("typed"), true);
        EXPECT_TRUE(Editor().Modified());
        return path;
    }
    void ExpectUnchanged(const QString& path)
    {
        EXPECT_EQ(Data(), QByteArray("Zbcd"));
        EXPECT_EQ(Editor().FileName(), path);
        EXPECT_TRUE(Editor().Modified());
        EXPECT_EQ(Editor().UndoText(), QStringLiteral("typed"));
    }

    TTextChooser chooser;
    IFormatChooser* previousChooser = nullptr;
    const std::function<QMessageBox::StandardButton(HexViewWindow&)> savedAsk = AskToSaveChanges;
};

TEST_F(ClipboardSafetyTest, NewFromClipboardLeavesTheDocumentInFrontAloneAndMakesNoTabOfNothing)
{
    const QString path = OpenChanged();
    int asked = 0;
    AskToSaveChanges = [&](HexViewWindow&) {
        ++asked;
        return QMessageBox::Cancel;
    };
    // Unreadable (an own-format block with a broken header): an error, no
    // new tab, the document in front (its bytes, name and undo) as it was.
    int reads = 0;
    QGuiApplication::clipboard()->setMimeData(new TCountingMimeData({OwnFormatType}, &reads));
    Action("actionNewFromClipboard")->trigger();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0].toStdString(), "The clipboard holds nothing the editor can read.");
    EXPECT_EQ(window->DocumentCount(), 1);
    ExpectUnchanged(path);

    // Readable: a new untitled tab of the bytes, one undo step; the changed
    // document keeps its tab and is not asked about.
    QGuiApplication::clipboard()->setText(QStringLiteral("hi"));
    Action("actionNewFromClipboard")->trigger();
    EXPECT_EQ(asked, 0) << "nothing is replaced, so nothing is asked";
    ASSERT_EQ(window->DocumentCount(), 2);
    EXPECT_EQ(window->CurrentIndex(), 1);
    EXPECT_EQ(Data(), QByteArray("hi"));
    EXPECT_FALSE(Editor().HasFile());
    EXPECT_EQ(Editor().UndoText(), QStringLiteral("Paste from clipboard"));
    window->SetCurrentDocument(0);
    ExpectUnchanged(path);
}

TEST_F(ClipboardSafetyTest, PasteIsJudgedFromTheOfferedTypesWithoutReadingTheData)
{
    ASSERT_TRUE(window->OpenFile(files.Write("doc.bin", "!")));
    int reads = 0;
    QGuiApplication::clipboard()->setMimeData(new TCountingMimeData({QStringLiteral("text/plain")}, &reads));
    emit window->EditMenu()->aboutToShow();
    emit window->DocumentLoaded();
    EXPECT_TRUE(Action("actionPaste")->isEnabled());
    EXPECT_TRUE(Action("actionPasteAsHex")->isEnabled());
    EXPECT_EQ(reads, 0) << "the owner is not asked for data before the user pastes";

    QGuiApplication::clipboard()->setMimeData(new TCountingMimeData({QStringLiteral("application/x-foo")}, &reads));
    emit window->EditMenu()->aboutToShow();
    EXPECT_FALSE(Action("actionPaste")->isEnabled());
    EXPECT_FALSE(Action("actionPasteAsHex")->isEnabled());
    EXPECT_EQ(reads, 0);

    // Only the paste itself reads.
    QGuiApplication::clipboard()->setMimeData(new TCountingMimeData({QStringLiteral("text/plain")}, &reads));
    Action("actionPaste")->trigger();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(Data().toStdString(), "4142!");
}

TEST_F(ClipboardSafetyTest, AnOwnerThatDoesNotAnswerGetsAMessageAndNoRead)
{
    ASSERT_TRUE(window->OpenFile(files.Write("doc.bin", "!")));
    int reads = 0;
    QGuiApplication::clipboard()->setMimeData(new TCountingMimeData({QStringLiteral("text/plain")}, &reads));
    // Another program owns the clipboard and never answers: the background
    // question found nothing, the question before reading times out.
    TClipboardWatch& watch = Watch();
    watch.UseProbe = true;
    int waits = 0;
    int waitedMs = 0;
    watch.AskNow = [&](int timeoutMs) {
        ++waits;
        waitedMs = timeoutMs;
        TClipboardOffer silent;
        silent.State = TClipboardOffer::osSilent;
        return silent;
    };
    const bool ownedHere = QGuiApplication::clipboard()->ownsClipboard();
    if (ownedHere)
        GTEST_SKIP() << "this platform reports the test's own clipboard data as ours";
    emit window->EditMenu()->aboutToShow();
    EXPECT_EQ(reads, 0);
    for (const char* name : {"actionPaste", "actionPasteAsHex", "actionNewFromClipboard"}) {
        SCOPED_TRACE(name);
        errors.clear();
        Action(name)->setEnabled(true);
        Action(name)->trigger();
        ASSERT_EQ(errors.size(), 1);
        EXPECT_EQ(errors[0].toStdString(), "The program that holds the clipboard does not answer; nothing was pasted.");
    }
    EXPECT_EQ(waits, 3);
    EXPECT_EQ(waitedMs, TClipboardWatch::ReadTimeoutMs);
    EXPECT_EQ(reads, 0);
    EXPECT_EQ(Data(), QByteArray("!"));
}

TEST_F(ClipboardSafetyTest, CtrlVInTheEditorNeverAsksASilentOwner)
{
    ASSERT_TRUE(window->OpenFile(files.Write("doc.bin", "!")));
    int reads = 0;
    QGuiApplication::clipboard()->setMimeData(new TCountingMimeData({QStringLiteral("text/plain")}, &reads));
    TClipboardWatch& watch = Watch();
    watch.UseProbe = true;
    int waits = 0;
    watch.AskNow = [&](int) {
        ++waits;
        TClipboardOffer silent;
        silent.State = TClipboardOffer::osSilent;
        return silent;
    };
    // The background question found an owner that does not answer.
    TClipboardProbe* probe = watch.findChild<TClipboardProbe*>();
    ASSERT_NE(probe, nullptr);
    TClipboardOffer silent;
    silent.State = TClipboardOffer::osSilent;
    emit probe->Finished(silent);
    EXPECT_FALSE(Action("actionPaste")->isEnabled());

    // With Paste unavailable the key reaches the editor, whose own paste
    // would read the clipboard on the window's thread.
    Editor().setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
    QCoreApplication::sendEvent(&Editor(), &press);
    EXPECT_EQ(reads, 0);
    EXPECT_EQ(waits, 0);
    EXPECT_EQ(Data(), QByteArray("!"));

    // Available again: the key is the window's Paste, which asks first.
    TClipboardOffer answered;
    answered.State = TClipboardOffer::osAnswered;
    answered.MimeTypes = {QStringLiteral("text/plain")};
    emit probe->Finished(answered);
    EXPECT_TRUE(Action("actionPaste")->isEnabled());
    QCoreApplication::sendEvent(&Editor(), &press);
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(reads, 0);
    ASSERT_EQ(errors.size(), 1);
}

TEST_F(ClipboardSafetyTest, DragsOutOfTheWindowMoveTowardsOtherProgramsOnlyWithShift)
{
    EXPECT_TRUE(Editor().ForeignMoveNeedsShift());
}
