// The drop target and drop source of the extended editor, and the MIME data
// of a drag out of it.

#include "hexeditor/ex/mphdragdrop.h"

#include "hexeditor/core/mphdropeffect.h"
#include "hexeditor/ex/mphexeditorex.h"
#include "platform/core/apperror.h"
#include "platform/core/atomicsave.h"
#include "platform/core/exceptions.h"
#include "platform/oledragdrop.h"

#include <QDir>
#include <QUrl>

namespace {

const QString UriListMime = QStringLiteral("text/uri-list");

// The folder of the last drag's dump file; removed with the object.
std::unique_ptr<QTemporaryDir>& DumpFolder()
{
    static std::unique_ptr<QTemporaryDir> folder;
    return folder;
}

// A file name without folder separators or control characters.
QString SafeFileName(QString name)
{
    for (QChar& c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20)
            c = QLatin1Char('_');
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("Dump.bin");
    return name;
}

} // namespace

// ---- drop target ------------------------------------------------------------------------

void TMPHDropTarget::SetActive(bool value)
{
    if (value == m_active)
        return;
    m_active = value;
    if (value) {
        m_registeredWindow = m_editor ? m_editor->viewport() : nullptr;
        OleCheck(RegisterDragDrop(m_registeredWindow, this));
    } else if (m_registeredWindow) {
        OleCheck(RevokeDragDrop(m_registeredWindow));
        m_registeredWindow = nullptr;
    }
}

bool TMPHDropTarget::ShowMarker(QPoint screenPoint)
{
    if (!m_editor)
        return false;
    const QPoint client = m_editor->viewport()->mapFromGlobal(screenPoint);
    m_editor->ShowDropPosition(client.x(), client.y());
    return true;
}

HRESULT TMPHDropTarget::DragEnter(IDataObject* dataObject, uint32_t keyState, QPoint point, uint32_t& effect)
{
    if (!m_editor) {
        effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
    try {
        const HRESULT result = m_editor->CheckTransferFormats(dataObject, keyState, tpDrop, effect, point);
        if (result != S_OK) {
            effect = DROPEFFECT_NONE;
            return result;
        }
        effect = m_editor->DropEffect(keyState);
        ShowMarker(point);
    } catch (...) {
        effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
    return S_OK;
}

HRESULT TMPHDropTarget::DragOver(uint32_t keyState, QPoint point, uint32_t& effect)
{
    if (!m_editor) {
        effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
    effect = m_editor->DropEffect(keyState);
    try {
        ShowMarker(point);
    } catch (...) {
        return E_UNEXPECTED;
    }
    return S_OK;
}

HRESULT TMPHDropTarget::DragLeave()
{
    if (m_editor)
        m_editor->HideDropPosition();
    return S_OK;
}

HRESULT TMPHDropTarget::Drop(IDataObject* dataObject, uint32_t keyState, QPoint point, uint32_t& effect)
{
    if (!m_editor) {
        effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
    HRESULT result = E_FAIL;
    try {
        result = m_editor->CheckTransferFormats(dataObject, keyState, tpDrop, effect, point);
        if (result != S_OK) {
            effect = DROPEFFECT_NONE;
        } else {
            effect = m_editor->DropEffect(keyState);
            result = m_editor->DropTransferData(dataObject, keyState, point, effect);
        }
    } catch (...) {
        // A file that cannot be read, an editing operation refused: the user
        // is told, the source keeps its data.
        HandleApplicationException(std::current_exception());
        result = E_FAIL;
        effect = DROPEFFECT_NONE;
    }
    if (m_editor)
        m_editor->HideDropPosition();
    return result;
}

TMPHDropTargetRef::~TMPHDropTargetRef()
{
    if (!m_target)
        return;
    try {
        m_target->SetActive(false);
    } catch (...) {
        // The window is going away with its registration.
    }
}

// ---- drop source ------------------------------------------------------------------------

HRESULT TMPHDropSource::QueryContinueDrag(bool escapePressed, uint32_t keyState)
{
    return MPHQueryContinueDrag(escapePressed, keyState);
}

HRESULT TMPHDropSource::GiveFeedback(uint32_t effect) { return MPHGiveFeedback(effect); }

// ---- MIME data of a drag ----------------------------------------------------------------

TMPHDragMimeData::TMPHDragMimeData(TMPHDataObject* object) : TOleMimeData(object), m_object(object) {}

QStringList TMPHDragMimeData::formats() const
{
    QStringList list = TOleMimeData::formats();
    if (m_object && m_object->DataCount() > 0 && !list.contains(UriListMime))
        list.append(UriListMime);
    return list;
}

bool TMPHDragMimeData::hasFormat(const QString& mimeType) const
{
    if (mimeType == UriListMime)
        return m_object && m_object->DataCount() > 0;
    return TOleMimeData::hasFormat(mimeType);
}

QString TMPHDragMimeData::WriteDumpFile() const
{
    if (!m_dumpPath.isEmpty() || !m_object || m_object->DataCount() <= 0)
        return m_dumpPath;
    auto& folder = DumpFolder();
    if (!folder || !folder->isValid())
        folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/editboot-drag-XXXXXX"));
    if (!folder->isValid())
        return QString();
    const QString path = folder->filePath(SafeFileName(m_object->DescriptorName()));
    // Written in full or not at all, through the one save path.
    try {
        SaveFileAtomically(path, m_object->Data(), m_object->DataCount());
    } catch (const Exception&) {
        return QString();
    }
    m_dumpPath = path;
    return m_dumpPath;
}

QVariant TMPHDragMimeData::retrieveData(const QString& mimeType, QMetaType type) const
{
    if (mimeType == UriListMime && !TOleMimeData::hasFormat(UriListMime)) {
        const QString path = WriteDumpFile();
        if (path.isEmpty())
            return QVariant();
        return QByteArray(QUrl::fromLocalFile(path).toEncoded() + "\r\n");
    }
    return TOleMimeData::retrieveData(mimeType, type);
}

void MPHDiscardDragDumps() { DumpFolder().reset(); }
