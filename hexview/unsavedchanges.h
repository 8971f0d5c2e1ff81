#pragma once
// Unsaved changes: closing the window or opening another file while the data
// are modified first asks whether to discard them (Discard / Cancel; saving
// is not offered by hexview yet).

#include <QMessageBox>
#include <QObject>
#include <functional>

namespace hexview {

class HexViewWindow;

class TUnsavedChangesGuard : public QObject
{
    Q_OBJECT
public:
    explicit TUnsavedChangesGuard(HexViewWindow& window);

    // True when the document may be replaced or closed: it is unmodified, or
    // the user chose Discard.
    bool ConfirmDiscard();

    // Asks the question (a test seam; by default a message box).
    std::function<QMessageBox::StandardButton(const QString& text)> Asker;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HexViewWindow& m_window;
};

// The guard installed in window (nullptr when there is none).
TUnsavedChangesGuard* UnsavedChangesGuard(HexViewWindow& window);
// ConfirmDiscard of the window's guard; true when it has none.
bool ConfirmDiscardChanges(HexViewWindow& window);

void InstallUnsavedChangesGuard(HexViewWindow& window);

} // namespace hexview
