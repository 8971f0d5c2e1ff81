#pragma once
// TFormatSelDialog: asks which of several offered formats a paste or drop
// should read, with the "Hex text" choice for text formats. Built in code.
// The transfer reader asks through IFormatChooser, so that tests (and
// programs without a person in front of them) can answer instead.

#include "platform/core/oletypes.h"

#include <QDialog>
#include <QVector>

class QCheckBox;
class QListWidget;
class QPushButton;

class TFormatSelDialog : public QDialog
{
    Q_OBJECT
public:
    // candidates in their order; preselected is the format to select first
    // (the first entry when it is not among them).
    TFormatSelDialog(const QVector<CLIPFORMAT>& candidates, int preselected, bool hexText,
                     QWidget* parent = nullptr);

    QPushButton* OKButton;
    QPushButton* CancelButton;
    QListWidget* FormatListBox;
    QCheckBox* HexTextCheckBox;

    // The format of the selected entry (0 when none is selected).
    CLIPFORMAT SelectedFormat() const;

protected:
    void resizeEvent(QResizeEvent* e) override;
    // The list has the focus when the dialog opens.
    void showEvent(QShowEvent* e) override;
    // The arrow keys move through the list from every control of the dialog.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateHexTextEnabled();
    void LayOut();
};

class IFormatChooser
{
public:
    virtual ~IFormatChooser() = default;
    // Shows the choice among candidates; returns false on cancel. On
    // confirmation chosen is the selected format and asHexText the state of
    // the "Hex text" box (left alone by callers unless chosen is a text format).
    virtual bool ChooseFormat(const QVector<CLIPFORMAT>& candidates, int preselected, bool& asHexText,
                              CLIPFORMAT& chosen) = 0;
};

// The chooser in use (the modal dialog unless replaced); returns the previous one.
IFormatChooser* SetFormatChooser(IFormatChooser* chooser);
IFormatChooser& CurrentFormatChooser();
