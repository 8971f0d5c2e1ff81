#pragma once
// Drag and drop between the interfaces of platform/core/dragdrop.h and Qt.
//
// Registration: RegisterDragDrop makes a widget accept drops and feeds the
// target from the widget's drag events (an event filter); the registration
// holds one reference to the target until RevokeDragDrop, or until the
// widget is destroyed. There is no separate external lock: whoever owns the
// target keeps its own reference.
//
// The drag loop: DoDragDrop runs QDrag::exec with the object presented as
// MIME data (TOleMimeData, or the caller's own MIME data). While the loop
// runs, the drop source is asked QueryContinueDrag for the key and mouse
// events that reach the application (Qt's own loop also cancels on Escape
// and drops on release), and GiveFeedback whenever the target's answer
// changes.

#include "platform/core/dragdrop.h"

#include <QMimeData>

class QWidget;

HRESULT RegisterDragDrop(QWidget* window, IDropTarget* target);
HRESULT RevokeDragDrop(QWidget* window);
// The target registered for window, or null.
IDropTarget* RegisteredDropTarget(QWidget* window);

// The data object behind MIME data: our own object when the data came from
// this process, otherwise a view of the foreign data. One reference for the caller.
TComPtr<IDataObject> DataObjectOfMime(const QMimeData* data);

// Runs the modal drag loop. mimeData (taken over; null: built from
// dataObject) is what other programs see. Returns DRAGDROP_S_DROP with the
// effect the target chose, or DRAGDROP_S_CANCEL with effect none.
HRESULT DoDragDrop(IDataObject* dataObject, IDropSource* dropSource, uint32_t okEffects, uint32_t& effect,
                   QWidget* sourceWidget, QMimeData* mimeData = nullptr);
