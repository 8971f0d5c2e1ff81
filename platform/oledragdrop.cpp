// Feeding drop targets from Qt's drag events, and the drag loop on QDrag.

#include "platform/oledragdrop.h"

#include "platform/oleclipboard.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace {

const char* const FilterName = "editboot_drop_target_filter";

// Translates the drag events of one widget into calls of its drop target.
class TDropTargetFilter final : public QObject
{
public:
    TDropTargetFilter(QWidget* window, IDropTarget* target) : QObject(window), m_window(window), m_target(target)
    {
        setObjectName(QLatin1String(FilterName));
    }
    IDropTarget* Target() const { return m_target.Get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched != m_window)
            return false;
        switch (e->type()) {
        case QEvent::DragEnter:
            Enter(static_cast<QDragEnterEvent*>(e));
            return true;
        case QEvent::DragMove:
            Move(static_cast<QDragMoveEvent*>(e));
            return true;
        case QEvent::DragLeave:
            m_target->DragLeave();
            m_current.Reset();
            e->accept();
            return true;
        case QEvent::Drop:
            Drop(static_cast<QDropEvent*>(e));
            return true;
        default:
            return false;
        }
    }

private:
    QPoint ScreenPoint(const QDropEvent* e) const { return m_window->mapToGlobal(e->position().toPoint()); }

    // The target's answer as the event's action; none or an action the
    // source does not allow refuses the drop.
    static void Answer(QDropEvent* e, HRESULT result, uint32_t effect)
    {
        const Qt::DropActions actions = DropActionsOf(effect);
        if (Succeeded(result) && result != S_FALSE && actions && (e->possibleActions() & actions)) {
            e->setDropAction(Qt::DropAction(actions.toInt()));
            e->accept();
        } else {
            e->setDropAction(Qt::IgnoreAction);
            e->ignore();
        }
    }

    void Enter(QDragEnterEvent* e)
    {
        m_current = DataObjectOfMime(e->mimeData());
        uint32_t effect = EffectsOf(e->possibleActions());
        const HRESULT result = m_target->DragEnter(m_current.Get(), KeyStateOf(e->buttons(), e->modifiers()),
                                                   ScreenPoint(e), effect);
        Answer(e, result, effect);
    }

    void Move(QDragMoveEvent* e)
    {
        uint32_t effect = EffectsOf(e->possibleActions());
        const HRESULT result = m_target->DragOver(KeyStateOf(e->buttons(), e->modifiers()), ScreenPoint(e), effect);
        Answer(e, result, effect);
    }

    void Drop(QDropEvent* e)
    {
        TComPtr<IDataObject> object = DataObjectOfMime(e->mimeData());
        m_current.Reset();
        uint32_t effect = EffectsOf(e->possibleActions());
        const HRESULT result =
            m_target->Drop(object.Get(), KeyStateOf(e->buttons(), e->modifiers()), ScreenPoint(e), effect);
        Answer(e, result, effect);
    }

    QWidget* m_window;
    TComPtr<IDropTarget> m_target;
    TComPtr<IDataObject> m_current;
};

TDropTargetFilter* FilterOf(QWidget* window)
{
    if (!window)
        return nullptr;
    for (QObject* child : window->children())
        if (child->objectName() == QLatin1String(FilterName))
            if (auto* filter = dynamic_cast<TDropTargetFilter*>(child))
                return filter;
    return nullptr;
}

// Asks the drop source on the key and mouse events of the running loop.
class TDragLoopFilter final : public QObject
{
public:
    explicit TDragLoopFilter(IDropSource* source) : m_source(source) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        const QEvent::Type type = e->type();
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::MouseMove &&
            type != QEvent::MouseButtonRelease)
            return false;
        const bool escape = type == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape;
        Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
        if (type == QEvent::MouseMove || type == QEvent::MouseButtonRelease)
            buttons = static_cast<QMouseEvent*>(e)->buttons();
        const uint32_t keyState = KeyStateOf(buttons, QGuiApplication::keyboardModifiers());
        if (m_source->QueryContinueDrag(escape, keyState) == DRAGDROP_S_CANCEL)
            QDrag::cancel();
        return false;
    }

private:
    IDropSource* m_source;
};

} // namespace

HRESULT RegisterDragDrop(QWidget* window, IDropTarget* target)
{
    if (!window || !target)
        return E_INVALIDARG;
    if (FilterOf(window))
        return DRAGDROP_E_ALREADYREGISTERED;
    auto* filter = new TDropTargetFilter(window, target);
    window->installEventFilter(filter);
    window->setAcceptDrops(true);
    return S_OK;
}

HRESULT RevokeDragDrop(QWidget* window)
{
    TDropTargetFilter* filter = FilterOf(window);
    if (!filter)
        return DRAGDROP_E_NOTREGISTERED;
    window->removeEventFilter(filter);
    window->setAcceptDrops(false);
    delete filter;
    return S_OK;
}

IDropTarget* RegisteredDropTarget(QWidget* window)
{
    TDropTargetFilter* filter = FilterOf(window);
    return filter ? filter->Target() : nullptr;
}

TComPtr<IDataObject> DataObjectOfMime(const QMimeData* data)
{
    if (!data)
        return {};
    if (const auto* own = qobject_cast<const TOleMimeData*>(data))
        return TComPtr<IDataObject>(own->DataObject());
    return TComPtr<IDataObject>(new TMimeDataObject(data));
}

HRESULT DoDragDrop(IDataObject* dataObject, IDropSource* dropSource, uint32_t okEffects, uint32_t& effect,
                   QWidget* sourceWidget, QMimeData* mimeData)
{
    effect = DROPEFFECT_NONE;
    if (!dataObject || !dropSource || !(okEffects & (DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK))) {
        delete mimeData;
        return E_INVALIDARG;
    }
    TComPtr<IDropSource> source(dropSource);
    // A target in another program may ask for the data after the loop has
    // returned (the drop is finished asynchronously), so the last drag and its
    // data stay alive until the next drag starts or the source widget goes.
    static QPointer<QDrag> lastDrag;
    if (lastDrag)
        lastDrag->deleteLater();
    QPointer<QDrag> drag = new QDrag(sourceWidget);
    lastDrag = drag;
    drag->setMimeData(mimeData ? mimeData : new TOleMimeData(dataObject));
    QObject::connect(drag.data(), &QDrag::actionChanged, drag.data(),
                     [source](Qt::DropAction action) { source->GiveFeedback(EffectsOf(action)); });
    TDragLoopFilter loopFilter(dropSource);
    qApp->installEventFilter(&loopFilter);
    const Qt::DropAction action = drag->exec(DropActionsOf(okEffects), ProposedDropAction(okEffects));
    qApp->removeEventFilter(&loopFilter);
    effect = EffectsOf(action);
    return action == Qt::IgnoreAction ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
}
