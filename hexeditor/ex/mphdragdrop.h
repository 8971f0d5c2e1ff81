#pragma once
// The extended editor's drag-and-drop objects: the drop target registered
// for its window, the drop source of a drag started in it, and the MIME data
// a drag offers (the data object's formats plus a file list naming a
// temporary "Dump of ..." file, which is what Linux file managers take).

#include "platform/core/dragdrop.h"
#include "platform/oleclipboard.h"

#include <QPointer>
#include <QTemporaryDir>
#include <memory>

class TMPHexEditorEx;
#include "hexeditor/ex/mphdataobject.h"

// One per editor. The editor holds one reference for its lifetime; an active
// registration holds another. SetActive raises EOleError when registering or
// revoking fails.
class TMPHDropTarget final : public TInterfacedObject<IDropTarget>
{
public:
    explicit TMPHDropTarget(TMPHexEditorEx* editor) : m_editor(editor) {}

    TMPHexEditorEx* Editor() const { return m_editor; }
    // The widget the target is registered for (the editor's viewport) while active.
    QWidget* RegisteredWindow() const { return m_registeredWindow; }
    bool Active() const { return m_active; }
    void SetActive(bool value);

    HRESULT DragEnter(IDataObject* dataObject, uint32_t keyState, QPoint point, uint32_t& effect) override;
    HRESULT DragOver(uint32_t keyState, QPoint point, uint32_t& effect) override;
    HRESULT DragLeave() override;
    HRESULT Drop(IDataObject* dataObject, uint32_t keyState, QPoint point, uint32_t& effect) override;

private:
    // The marker follows the pointer (screen point); false once the editor is gone.
    bool ShowMarker(QPoint screenPoint);

    QPointer<TMPHexEditorEx> m_editor;
    QPointer<QWidget> m_registeredWindow;
    bool m_active = false;
};

// The editor's reference to its drop target: deactivates it on destruction,
// so that no registration outlives the editor.
class TMPHDropTargetRef
{
public:
    TMPHDropTargetRef() = default;
    TMPHDropTargetRef(const TMPHDropTargetRef&) = delete;
    TMPHDropTargetRef& operator=(const TMPHDropTargetRef&) = delete;
    ~TMPHDropTargetRef();
    void Reset(TMPHDropTarget* target) { m_target = TComPtr<TMPHDropTarget>(target); }
    TMPHDropTarget* Get() const { return m_target.Get(); }
    TMPHDropTarget* operator->() const { return m_target.Get(); }
    explicit operator bool() const { return bool(m_target); }

private:
    TComPtr<TMPHDropTarget> m_target;
};

// A new one for every drag.
class TMPHDropSource final : public TInterfacedObject<IDropSource>
{
public:
    HRESULT QueryContinueDrag(bool escapePressed, uint32_t keyState) override;
    HRESULT GiveFeedback(uint32_t effect) override;
};

// What a drag out of the editor offers to Qt: everything the data object
// offers, plus text/uri-list naming a file with the dragged bytes. The file is
// written when someone first asks for the list, in a private temporary
// folder that lives until the next drag starts or the program ends.
class TMPHDragMimeData final : public TOleMimeData
{
    Q_OBJECT
public:
    explicit TMPHDragMimeData(TMPHDataObject* object);

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;
    // The dump file's path; empty until it has been written.
    QString DumpFilePath() const { return m_dumpPath; }
    // Writes the dump file (once) and returns its path; empty when it cannot be written.
    QString WriteDumpFile() const;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    TComPtr<TMPHDataObject> m_object;
    mutable QString m_dumpPath;
};

// Removes the folder of the previous drag's dump file now (also done at exit).
void MPHDiscardDragDumps();
