// Drag and drop: the drop rule through the drop target, the drag started from
// the mouse, the effect rule, the drop source and Qt's drag events.

#include "dragdrop_fixture.h"

#include "hexeditor/core/mphdropeffect.h"
#include "platform/core/dropfiles.h"
#include "platform/oledragdrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include "platform/core/apperror.h"

#include <QFileInfo>
#include <cstring>

namespace {
const QByteArray Sixteen("0123456789ABCDEF");
} // namespace

TEST_F(DragDropTest, MovingFourBytesRightIsOneDataMovedStep)
{
    Load(ed, Sixteen);
    ed.SetSelection(0, 3);
    dropHereOnLoop(8, MK_LBUTTON);
    ed.StartDrag();
    EXPECT_EQ(Bytes(ed), QByteArray("4567012389ABCDEF"));
    EXPECT_EQ(ed.DataSize(), 16);
    EXPECT_EQ(ed.UndoText(), QStringLiteral("Data moved"));
    EXPECT_FALSE(ed.Dragging());
    EXPECT_FALSE(ed.MovedInside());
    EXPECT_FALSE(ed.DropMarkerVisible());
    ed.Undo();
    EXPECT_EQ(Bytes(ed), Sixteen) << "one undo step restores the old order";
}

TEST_F(DragDropTest, MovingLeftAndOntoTheSelection)
{
    Load(ed, Sixteen);
    ed.SetSelection(8, 11);
    dropHereOnLoop(2, MK_LBUTTON);
    ed.StartDrag();
    EXPECT_EQ(Bytes(ed), QByteArray("0189AB234567CDEF"));

    Load(ed, Sixteen);
    ed.SetSelection(4, 7);
    dropHereOnLoop(6, MK_LBUTTON);   // inside the selection: its first byte
    ed.StartDrag();
    EXPECT_EQ(Bytes(ed), Sixteen);
}

TEST_F(DragDropTest, CtrlCopiesInsideOneEditor)
{
    Load(ed, Sixteen);
    ed.SetSelection(0, 3);
    dropHereOnLoop(8, MK_LBUTTON | MK_CONTROL);
    ed.StartDrag();
    EXPECT_EQ(Bytes(ed), QByteArray("01234567012389ABCDEF"));
    EXPECT_EQ(ed.UndoText(), QStringLiteral("Data dropped"));
}

TEST_F(DragDropTest, ReadOnlyViewOnlyCopiesOutAndRefusesDrops)
{
    Load(ed, Sixteen);
    ed.SetReadOnlyView(true);
    ed.SetSelection(0, 1);
    ed.StartDrag();
    EXPECT_EQ(ed.lastOkEffects, DROPEFFECT_COPY);

    TComPtr<TMemoryDataObject> object = Offer({{OwnClipboardFormat, OwnBlock("xy")}});
    uint32_t effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    const QPoint at = screenPointOf(ed, 4);
    EXPECT_EQ(ed.DropTarget()->DragEnter(object.Get(), MK_LBUTTON, at, effect), S_FALSE);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(ed.DropTarget()->Drop(object.Get(), MK_LBUTTON, at, effect), S_FALSE);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(Bytes(ed), Sixteen);
}

TEST_F(DragDropTest, DroppedFileGivesItsContentOrWithShiftItsName)
{
    Load(ed, Sixteen);
    const QString path = dir.filePath(QStringLiteral("in.bin"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("xyz");
    f.close();
    TComPtr<TMemoryDataObject> files = Offer({{CF_HDROP, BuildDropFiles({path})}});

    uint32_t effect = 0;
    EXPECT_EQ(dropInto(ed, files.Get(), 2, MK_LBUTTON, effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_EQ(Bytes(ed), QByteArray("01xyz23456789ABCDEF"));

    Load(ed, Sixteen);
    EXPECT_EQ(dropInto(ed, files.Get(), 2, MK_LBUTTON | MK_SHIFT, effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_LINK);
    EXPECT_EQ(Bytes(ed), QByteArray("01") + path.toLatin1() + QByteArray(1, '\0') + QByteArray("23456789ABCDEF"));
}

TEST_F(DragDropTest, UnreadableFileIsReportedAndChangesNothing)
{
    Load(ed, Sixteen);
    int errors = 0;
    const TApplicationErrorHandler previous = SetApplicationErrorHandler([&](std::exception_ptr) { ++errors; });
    TComPtr<TMemoryDataObject> files = Offer({{CF_HDROP, BuildDropFiles({dir.filePath("missing.bin")})}});
    uint32_t effect = 0;
    EXPECT_EQ(dropInto(ed, files.Get(), 2, MK_LBUTTON, effect), E_FAIL);
    SetApplicationErrorHandler(previous);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(Bytes(ed), Sixteen);
    EXPECT_FALSE(ed.DropMarkerVisible());
}

TEST_F(DragDropTest, FixedSizeOverwritesInsideAndIgnoresTheEnd)
{
    Load(ed, QByteArray("0123456789ABCDEFGHIJ"));
    ed.SetNoSizeChange(true);
    TComPtr<TMemoryDataObject> three = Offer({{OwnClipboardFormat, OwnBlock("xyz")}});
    uint32_t effect = 0;
    EXPECT_EQ(dropInto(ed, three.Get(), 2, MK_LBUTTON, effect), S_OK);
    EXPECT_EQ(Bytes(ed), QByteArray("01xyz56789ABCDEFGHIJ"));
    EXPECT_EQ(dropInto(ed, three.Get(), 18, MK_LBUTTON, effect), S_OK);
    EXPECT_EQ(Bytes(ed), QByteArray("01xyz56789ABCDEFGHxy")) << "cut at the end of the data";
    EXPECT_EQ(dropInto(ed, three.Get(), 20, MK_LBUTTON, effect), S_OK);
    EXPECT_EQ(ed.DataSize(), 20) << "nothing after the last byte";

    // A move inside a fixed-size editor still works: the size stays.
    ed.SetSelection(0, 1);
    dropHereOnLoop(6, MK_LBUTTON);
    ed.StartDrag();
    EXPECT_EQ(Bytes(ed), QByteArray("xyz501" "6789ABCDEFGHxy"));
    EXPECT_FALSE(ed.SuspendNoSizeChange());
}

TEST_F(DragDropTest, DropAfterTheLastByteAppendsAndOntoTheSelectionReplaces)
{
    Load(ed, QByteArray("0123456789ABCDEFGHIJ"));
    TComPtr<TMemoryDataObject> two = Offer({{OwnClipboardFormat, OwnBlock("xy")}});
    uint32_t effect = 0;
    EXPECT_EQ(dropInto(ed, two.Get(), 20, MK_LBUTTON, effect), S_OK);
    EXPECT_EQ(Bytes(ed), QByteArray("0123456789ABCDEFGHIJxy"));
    ed.SetSelection(4, 6);
    EXPECT_EQ(dropInto(ed, two.Get(), 5, MK_LBUTTON, effect), S_OK);
    EXPECT_EQ(Bytes(ed), QByteArray("0123xy789ABCDEFGHIJxy"));
}

TEST_F(DragDropTest, PerformedMoveRemovesTheSelectionAndCancelChangesNothing)
{
    Load(ed, Sixteen);
    ed.SetSelection(2, 5);
    ed.loop = [](TMPHDataObject* object, uint32_t, uint32_t& effect) {
        // A file manager that says afterwards that it moved the file.
        TStgMedium medium;
        medium.tymed = TYMED_HGLOBAL;
        medium.hGlobal = GlobalAlloc(GMEM_MOVEABLE, 4);
        {
            TGlobalLock lock(medium.hGlobal);
            const uint32_t move = DROPEFFECT_MOVE;
            std::memcpy(lock.Data(), &move, 4);
        }
        object->SetData(FormatEtcFor(PerformedDropEffectFormat), medium, true);
        effect = DROPEFFECT_COPY;
        return DRAGDROP_S_DROP;
    };
    ed.StartDrag();
    EXPECT_EQ(Bytes(ed), QByteArray("016789ABCDEF"));

    Load(ed, Sixteen);
    ed.SetSelection(2, 5);
    ed.loop = [](TMPHDataObject*, uint32_t, uint32_t& effect) {
        effect = DROPEFFECT_NONE;
        return DRAGDROP_S_CANCEL;
    };
    ed.StartDrag();
    EXPECT_EQ(Bytes(ed), Sixteen);
    EXPECT_EQ(ed.SelCount(), 4);
}

TEST_F(DragDropTest, LoopFailureIsRaisedAfterTheDragEnds)
{
    Load(ed, Sixteen);
    ed.SetSelection(2, 5);
    ed.loop = [](TMPHDataObject*, uint32_t, uint32_t& effect) {
        effect = DROPEFFECT_MOVE;
        return E_OUTOFMEMORY;
    };
    EXPECT_THROW(ed.StartDrag(), EOleError);
    EXPECT_FALSE(ed.Dragging());
    EXPECT_EQ(Bytes(ed), Sixteen);
}

TEST_F(DragDropTest, DraggedObjectHoldsTheSelectionAndTheDumpName)
{
    Load(ed, Sixteen);
    ed.SetSelection(3, 6);
    QByteArray seen;
    QString name;
    ed.loop = [&](TMPHDataObject* object, uint32_t okEffects, uint32_t& effect) {
        seen = QByteArray(reinterpret_cast<const char*>(object->Data()), object->DataCount());
        name = object->DescriptorName();
        EXPECT_EQ(okEffects, DROPEFFECT_COPY | DROPEFFECT_MOVE);
        EXPECT_TRUE(ed.Dragging());
        effect = DROPEFFECT_NONE;
        return DRAGDROP_S_CANCEL;
    };
    ed.StartDrag();
    EXPECT_EQ(seen, QByteArray("3456"));
    EXPECT_TRUE(name.startsWith(QStringLiteral("Dump of ")) && name.endsWith(QStringLiteral(".bin"))) << name.toStdString();
}

TEST_F(DragDropTest, DragMimeDataOffersAFileWithTheBytes)
{
    TComPtr<TMPHDataObject> object(new TMPHDataObject(nullptr, 0, 0, QString(), false, false));
    TMemoryStream s;
    s.Write("\x01\x02\x03\x00\x05", 5);
    TComPtr<TMPHDataObject> filled(new TMPHDataObject(&s, 1, 4, QStringLiteral("fw/../image.bin"), false, false));
    TMPHDragMimeData empty(object.Get());
    EXPECT_FALSE(empty.hasFormat(QStringLiteral("text/uri-list")));

    TMPHDragMimeData mime(filled.Get());
    EXPECT_TRUE(mime.formats().contains(QStringLiteral("text/uri-list")));
    EXPECT_TRUE(mime.DumpFilePath().isEmpty()) << "nothing is written before someone asks";
    const QList<QUrl> urls = mime.urls();
    ASSERT_EQ(urls.size(), 1);
    const QString path = urls.first().toLocalFile();
    EXPECT_EQ(QFileInfo(path).fileName(), QStringLiteral("Dump of image.bin"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\x02\x03\x00\x05", 4));
    f.close();
    MPHDiscardDragDumps();
    EXPECT_FALSE(QFile::exists(path)) << "the dump goes with its folder";
}

// ---- starting the drag from the mouse --------------------------------------------------

namespace {
void sendMouse(QWidget* port, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(at), QPointF(port->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(port, &e);
}
} // namespace

TEST_F(DragDropTest, DragStartsOnlyFromTheSelectionPastTheThreshold)
{
    Load(ed, Sixteen);
    ed.SetOleDragDrop(true);
    ed.SetSelection(4, 9);
    QWidget* port = ed.viewport();
    const QPoint start = ed.CellRect(ed.CellAtPosition(5, false).X, 2).center();
    const int threshold = QApplication::startDragDistance();

    sendMouse(port, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(ed.DragArmed());
    sendMouse(port, QEvent::MouseMove, start + QPoint(threshold - 1, 0), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(ed.loops, 0) << "below the threshold";
    sendMouse(port, QEvent::MouseMove, start + QPoint(0, -threshold), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(ed.loops, 0) << "past the threshold, but over the ruler: no selected byte under the pointer";
    sendMouse(port, QEvent::MouseMove, start + QPoint(threshold, 0), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(ed.loops, 1);
    EXPECT_FALSE(ed.DragArmed());
    EXPECT_EQ(ed.SelCount(), 6) << "a cancelled drag keeps the selection";
    sendMouse(port, QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton);

    // A press outside the selection selects instead of dragging.
    const QPoint outside = ed.CellRect(ed.CellAtPosition(12, false).X, 2).center();
    sendMouse(port, QEvent::MouseButtonPress, outside, Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(ed.DragArmed());
    sendMouse(port, QEvent::MouseMove, outside + QPoint(3 * threshold, 0), Qt::NoButton, Qt::LeftButton);
    sendMouse(port, QEvent::MouseButtonRelease, outside, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(ed.loops, 1);

    // Without OleDragDrop nothing is dragged.
    ed.SetOleDragDrop(false);
    ed.SetSelection(4, 9);
    sendMouse(port, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    sendMouse(port, QEvent::MouseMove, start + QPoint(threshold, 0), Qt::NoButton, Qt::LeftButton);
    sendMouse(port, QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(ed.loops, 1);
}

// ---- registration and Qt's drag events --------------------------------------------------

TEST_F(DragDropTest, OleDragDropRegistersTheViewport)
{
    EXPECT_FALSE(ed.DropTarget()->Active());
    EXPECT_FALSE(ed.viewport()->acceptDrops());
    ed.SetOleDragDrop(true);
    EXPECT_TRUE(ed.DropTarget()->Active());
    EXPECT_EQ(ed.DropTarget()->RegisteredWindow(), ed.viewport());
    EXPECT_EQ(RegisteredDropTarget(ed.viewport()), ed.DropTarget());
    EXPECT_TRUE(ed.viewport()->acceptDrops());
    EXPECT_EQ(RegisterDragDrop(ed.viewport(), ed.DropTarget()), DRAGDROP_E_ALREADYREGISTERED);
    ed.SetOleDragDrop(false);
    EXPECT_EQ(RegisteredDropTarget(ed.viewport()), nullptr);
    EXPECT_EQ(RevokeDragDrop(ed.viewport()), DRAGDROP_E_NOTREGISTERED);
}

TEST_F(DragDropTest, QtDragEventsReachTheDropTarget)
{
    Load(ed, Sixteen);
    ed.SetOleDragDrop(true);
    const QString path = dir.filePath(QStringLiteral("q.bin"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("QQ");
    f.close();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at = ed.CellRect(ed.CellAtPosition(4, false).X, 2).center();
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;

    QDragEnterEvent enter(at, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(ed.viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    EXPECT_TRUE(ed.DropMarkerVisible());
    EXPECT_EQ(ed.DropPosition(), 4);

    QDragMoveEvent move(at, offered, &mime, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(ed.viewport(), &move);
    EXPECT_TRUE(move.isAccepted());
    EXPECT_EQ(move.dropAction(), Qt::LinkAction) << "Shift links a file list";

    QDropEvent drop(QPointF(at), offered, &mime, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(ed.viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(Bytes(ed), QByteArray("0123QQ456789ABCDEF"));
    EXPECT_FALSE(ed.DropMarkerVisible());

    ed.SetReadOnlyView(true);
    QDragEnterEvent refused(at, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(ed.viewport(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}

// ---- the rules without a window -----------------------------------------------------------

TEST(DropRules, EffectIsReplacedByTheRule)
{
    EXPECT_EQ(MPHDropEffect(true, false, MK_LBUTTON, false), DROPEFFECT_MOVE);
    EXPECT_EQ(MPHDropEffect(true, false, MK_LBUTTON | MK_CONTROL, false), DROPEFFECT_COPY);
    EXPECT_EQ(MPHDropEffect(true, true, MK_LBUTTON, false), DROPEFFECT_COPY);
    EXPECT_EQ(MPHDropEffect(true, false, MK_LBUTTON | MK_SHIFT, true), DROPEFFECT_MOVE)
        << "inside one editor Shift changes nothing";
    EXPECT_EQ(MPHDropEffect(false, false, MK_LBUTTON, true), DROPEFFECT_COPY);
    EXPECT_EQ(MPHDropEffect(false, false, MK_SHIFT, false), DROPEFFECT_MOVE);
    EXPECT_EQ(MPHDropEffect(false, false, MK_SHIFT, true), DROPEFFECT_LINK);
    EXPECT_EQ(MPHDropEffect(false, true, MK_SHIFT, true), DROPEFFECT_COPY);
}

TEST(DropRules, DropSourceAnswers)
{
    TComPtr<TMPHDropSource> source(new TMPHDropSource);
    EXPECT_EQ(source->QueryContinueDrag(true, MK_LBUTTON), DRAGDROP_S_CANCEL) << "Escape cancels";
    EXPECT_EQ(source->QueryContinueDrag(false, MK_CONTROL), DRAGDROP_S_DROP) << "button released";
    EXPECT_EQ(source->QueryContinueDrag(false, MK_LBUTTON | MK_SHIFT), S_OK);
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_NONE), DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_MOVE | 0x80000000u), DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_LINK), E_INVALIDARG);
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY | DROPEFFECT_MOVE), E_INVALIDARG);
    EXPECT_EQ(KeyStateOf(Qt::LeftButton | Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier),
              MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL);
}

TEST(DropRules, DragsProposeACopyWhereverTheSourceAllowsOne)
{
    // A foreign target (a file manager) takes the proposal; a proposed move
    // would make the editor delete the bytes it dragged out.
    EXPECT_EQ(ProposedDropAction(DROPEFFECT_COPY | DROPEFFECT_MOVE), Qt::CopyAction);
    EXPECT_EQ(ProposedDropAction(DROPEFFECT_COPY), Qt::CopyAction);
    EXPECT_EQ(ProposedDropAction(DROPEFFECT_MOVE), Qt::MoveAction);
    EXPECT_EQ(ProposedDropAction(DROPEFFECT_MOVE | DROPEFFECT_LINK), Qt::MoveAction);
    EXPECT_EQ(ProposedDropAction(DROPEFFECT_LINK), Qt::LinkAction);
    EXPECT_EQ(ProposedDropAction(DROPEFFECT_NONE), Qt::IgnoreAction);
}
