// Document state, loading, raw data access and the grid size.

#include "hexeditor/mphexeditor.h"

#include "platform/core/apperror.h"
#include "platform/core/filepages.h"
#include "platform/core/fileutils.h"
#include "platform/core/streams.h"

#include <QPointer>
#include <QTimer>

#include <QShowEvent>
#include <cmath>
#include <cstring>
#include <vector>

namespace {
constexpr int64_t CopyChunkSize = 61440;
// Upper bound of one transfer between two progress reports.
constexpr int64_t MaxCopyBatch = 64 * CopyChunkSize;

} // namespace

TCustomMPHexEditor::TCustomMPHexEditor(QWidget* parent)
    : TCustomGrid(parent)
{
    InitViewDefaults();
    InitPaintDefaults();
    SetDefaultColWidth(0);
    SetDefaultRowHeight(0);
    const TMPHGridGeometry geo = Geometry();
    SetColCount(geo.ColumnCount());
    SetRowCount(geo.RowCountFor(0, false));
    SetFixedCols(TMPHGridGeometry::FixedColumns);
    SetFixedRows(TMPHGridGeometry::FixedRows);
    SetRowHeights(0, 0);
    SetRowHeights(1, 0);
    ForceCurrentCell(TMPHGridGeometry::FirstHexColumn, TMPHGridGeometry::FirstDataRow);
    viewport()->setCursor(Qt::IBeamCursor);
    // Input: the pointer shape follows the pointer; composed characters arrive.
    viewport()->setMouseTracking(true);
    setAttribute(Qt::WA_InputMethodEnabled, true);
}

TCustomMPHexEditor::~TCustomMPHexEditor()
{
    m_document.Data->Clear();
    m_undo.Storage->Reset();
}

QString TCustomMPHexEditor::Version() const
{
    return QStringLiteral("May 24, 2006; hex editor component of the editboot project");
}

void TCustomMPHexEditor::Loaded()
{
    if (m_document.FileName == QLatin1String("---"))
        CreateEmptyFile(MPHStrings::Text(MPHStrings::Untitled));
    m_loaded = true;
}

void TCustomMPHexEditor::showEvent(QShowEvent* e)
{
    if (!m_loaded && m_document.FileName == QLatin1String("---"))
        Loaded();
    TCustomGrid::showEvent(e);
}

// ---- the document's file state -----------------------------------------------

void TCustomMPHexEditor::MarkSaved(const QString& fileName)
{
    m_document.MarkSaved(fileName);
}

void TCustomMPHexEditor::SetFileState(const QString& fileName, bool readOnlyFile)
{
    m_document.FileName = fileName;
    m_document.ReadOnlyFile = readOnlyFile;
}

// ---- loading ---------------------------------------------------------------

bool TCustomMPHexEditor::FileAccessCheck(const QString& name, int* error)
{
    m_document.ReadOnlyFile = true;
    std::unique_ptr<TFileStream> probe(
        TFileStream::TryOpen(name, TFileMode::fmOpenRead, TShareMode::fmShareDenyNone, error));
    if (!probe)
        return false;
    probe.reset();
    // Whether an exclusive open for reading and writing would succeed, found
    // without opening the file for writing: file watchers would take such an
    // open for a change of the file.
    if (CanWriteExclusively(name))
        m_document.ReadOnlyFile = false;
    return true;
}

void TCustomMPHexEditor::LoadFromFile(const QString& fileName)
{
    // Positions are 32-bit signed: refuse a file the editor cannot address
    // before anything about the document changes.
    const int64_t size = FileSizeOf(fileName);
    if (size > MaxDataSize)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::FileTooLarge)
                               .arg(fileName)
                               .arg(size)
                               .arg(MaxDataSize));

    // A named pipe, a device or a socket could block the load or never end:
    // refused before anything is opened or read.
    const QString notRegular = QStringLiteral("Not a regular file");
    if (IsSpecialFile(fileName))
        throw EFileOpenError(MPHStrings::Text(MPHStrings::ErrorFileOpen).arg(fileName, notRegular));

    int error = 0;
    if (!FileAccessCheck(fileName, &error))
        throw EFileOpenError(MPHStrings::Text(MPHStrings::ErrorFileOpen).arg(fileName, SysErrorMessage(error)));

    std::unique_ptr<TFileStream> file(
        TFileStream::TryOpen(fileName, TFileMode::fmOpenRead, TShareMode::fmShareDenyNone, &error));
    if (!file)
        throw EFileOpenError(MPHStrings::Text(MPHStrings::ErrorFileOpen).arg(fileName, SysErrorMessage(error)));
    if (!file->IsRegularFile())
        throw EFileOpenError(MPHStrings::Text(MPHStrings::ErrorFileOpen).arg(fileName, notRegular));

    if (m_openOnDemand && file->Size() >= m_onDemandMinSize) {
        LoadOnDemand(std::move(file));
        m_document.FileName = fileName;
        m_document.HasFile = true;
        return;
    }

    m_document.LoadingFileName = fileName;
    try {
        LoadFromStream(*file);
        // Bytes of a file that changed while it was read never existed
        // together: the load fails and leaves an empty document.
        try {
            file->CheckUnchanged();
        } catch (...) {
            m_document.Data->Clear();
            m_undo.Storage->Reset();
            UpdateGridSize();
            MoveToFirstCell(false);
            Changed();
            throw;
        }
    } catch (...) {
        m_document.HasFile = false;
        m_document.LoadingFileName.clear();
        throw;
    }
    m_document.FileName = fileName;
    m_document.HasFile = true;
    m_document.LoadingFileName.clear();
}

void TCustomMPHexEditor::LoadFromStream(TStream& stream)
{
    m_document.Data->SetSize(0);
    UpdateGridSize();
    PushBusyCursor();

    std::exception_ptr failure;
    try {
        stream.Seek(0, TSeekOrigin::soBeginning);
        const int64_t size = stream.Size();
        if (size > MaxDataSize)
            throw EMPHexEditor(MPHStrings::Text(MPHStrings::FileTooLarge)
                                   .arg(m_document.LoadingFileName.isEmpty() ? m_document.FileName : m_document.LoadingFileName)
                                   .arg(size)
                                   .arg(MaxDataSize));
        // The pages are faulted in chunk by chunk with the copy, so the first
        // progress report comes at once, not after the whole buffer.
        m_document.Data->SetSizeDeferred(size);
        m_document.Data->Seek(0, TSeekOrigin::soBeginning);
        CopyWithProgress(stream, *m_document.Data, -1, pkLoad);
        m_document.Data->Seek(0, TSeekOrigin::soBeginning);
    } catch (...) {
        failure = std::current_exception();
    }

    try {
        ResetAfterLoad();
    } catch (...) {
        PopBusyCursor();
        throw;
    }
    PopBusyCursor();

    if (failure) {
        // Release the partly loaded data and keep the grid in line with the
        // now empty document, so nothing addresses bytes that are gone.
        m_document.Data->Clear();
        m_undo.Storage->Reset();
        m_document.HasFile = false;
        UpdateGridSize();
        std::rethrow_exception(failure);
    }
}

void TCustomMPHexEditor::ResetAfterLoad()
{
    if (m_undo.Storage->SuspendCount() == 0)
        m_undo.Storage->Reset();
    m_document.ChangedBytes.clear();
    UpdateGridSize();
    m_document.Modified = false;
    m_selection.Extending = false;
    ResetSelection(true);
    MoveToFirstCell(false);
    Changed();
}

void TCustomMPHexEditor::LoadOnDemand(std::unique_ptr<TFileStream> file)
{
    auto pages = std::make_unique<TFilePages>(std::move(file));
    m_document.Data->OpenOnDemand(std::move(pages));
    m_document.Data->Seek(0, TSeekOrigin::soBeginning);
    // A read that cannot raise (painting) found the file unreadable: the
    // error is told once the event under way is over.
    QPointer<TCustomMPHexEditor> self(this);
    m_document.Data->OnReadFailure = [self](const QString& message) {
        QTimer::singleShot(0, self, [message] {
            HandleApplicationException(std::make_exception_ptr(EReadError(message)));
        });
    };
    ResetAfterLoad();
}

void TCustomMPHexEditor::CopyWithProgress(TStream& source, TStream& destination, int64_t count,
                                          TMPHProgressKind kind)
{
    if (count == -1)
        count = source.Size() - source.Position();
    if (count <= 0)
        return;

    int64_t remaining = count;
    bool cancel = false;
    int lastReported = 255;
    const QString name = m_document.LoadingFileName.isEmpty() ? m_document.FileName : m_document.LoadingFileName;

    // Copy straight into a memory destination that already has the room;
    // otherwise go through a local buffer.
    auto* memory = dynamic_cast<TMemoryStream*>(&destination);
    std::vector<uint8_t> local;

    auto percentAt = [count](int64_t left) {
        // Nearest integer, halves to even (the default rounding mode).
        return static_cast<int>(std::nearbyint(static_cast<double>(count - left) * 100.0 / count));
    };

    while (remaining > 0) {
        const int percent = percentAt(remaining);
        if (percent != lastReported || remaining <= CopyChunkSize) {
            const int report = remaining <= CopyChunkSize ? 100 : percent;
            lastReported = report;
            if (OnProgress) {
                OnProgress(this, kind, name, static_cast<uint8_t>(report), cancel);
                if (cancel)
                    throw EMPHexEditor(MPHStrings::Text(MPHStrings::OperationCancelled));
            }
        }
        // The chunks up to the next report are moved in one transfer: the
        // reports and their order stay those of a chunk-by-chunk copy, while a
        // large file needs far fewer system calls.
        int64_t batch = std::min(remaining, CopyChunkSize);
        while (batch < MaxCopyBatch && remaining - batch > 0) {
            const int64_t left = remaining - batch;
            if (percentAt(left) != lastReported || left <= CopyChunkSize)
                break;
            batch += std::min(left, CopyChunkSize);
        }
        if (memory && memory->Position() + batch <= memory->Size()) {
            memory->FaultIn(memory->Position(), memory->Position() + batch);
            source.ReadBuffer(memory->Memory() + memory->Position(), batch);
            memory->Seek(batch, TSeekOrigin::soCurrent);
        } else {
            local.resize(static_cast<size_t>(CopyChunkSize));
            for (int64_t moved = 0; moved < batch;) {
                const int64_t chunk = std::min(batch - moved, CopyChunkSize);
                source.ReadBuffer(local.data(), chunk);
                destination.WriteBuffer(local.data(), chunk);
                moved += chunk;
            }
        }
        remaining -= batch;
    }
}

void TCustomMPHexEditor::CreateEmptyFile(const QString& name)
{
    m_document.Data->Clear();
    m_document.FileName = name.isEmpty() ? MPHStrings::Text(MPHStrings::Untitled) : name;
    m_undo.Storage->Reset();
    ResetSelection(false);
    m_document.ChangedBytes.clear();
    UpdateGridSize();
    m_document.Modified = false;
    m_document.ReadOnlyFile = true;
    m_document.HasFile = false;
    MoveToFirstCell(false);
    Changed();
}

// ---- raw access --------------------------------------------------------------

uint8_t TCustomMPHexEditor::ByteAt(int32_t index)
{
    uint8_t value = 0;
    m_document.Data->ReadBufferAt(&value, index, 1);
    return value;
}

void TCustomMPHexEditor::SetByteAt(int32_t index, uint8_t value)
{
    WriteBuffer(&value, index, 1);
}

void TCustomMPHexEditor::ReadBuffer(void* buffer, int32_t index, int32_t count)
{
    m_document.Data->ReadBufferAt(buffer, index, count);
}

void TCustomMPHexEditor::WriteBuffer(const void* buffer, int32_t index, int32_t count)
{
    m_document.Data->WriteBufferAt(buffer, index, count);
    DataWritten(index, count);
    Changed();
}

void TCustomMPHexEditor::DataWritten(int32_t index, int32_t count)
{
    if (count > 0)
        ApplyDataChange({index, count, count});
}

// ---- grid size and notifications ---------------------------------------------------

void TCustomMPHexEditor::UpdateGridSize()
{
    const int32_t size = DataSize();
    const TMPHGridGeometry geo = Geometry();
    if (m_document.ChangedBytes.size() > size)
        m_document.ChangedBytes.resize(size);

    SetRowCount(geo.RowCountFor(size, InsertMode()));
    SetColCount(geo.ColumnCount());
    SetFixedCols(TMPHGridGeometry::FixedColumns);
    SetFixedRows(TMPHGridGeometry::FixedRows);
    AdjustMetrics();
}

void TCustomMPHexEditor::Changed()
{
    if (OnChange)
        OnChange(this);
    SelectionChanged();
}

void TCustomMPHexEditor::PrepareFileOverwrite()
{
    if (m_document.ReadOnlyFile)
        throw EFileOpenError(MPHStrings::Text(MPHStrings::CannotSaveReadOnly).arg(m_document.FileName));
}

void TCustomMPHexEditor::PushBusyCursor()
{
    m_busyCursors.Push(viewport());
}

void TCustomMPHexEditor::PopBusyCursor()
{
    m_busyCursors.Pop(viewport());
}

void TCustomMPHexEditor::SetSwapNibbles(bool value)
{
    if (m_swapNibbles == value)
        return;
    m_swapNibbles = value;
    viewport()->update();
}
