#pragma once
// The Strings dock (View > Strings): the runs of at least N printable
// characters in the document (N adjustable, default 4), ASCII and UTF-16LE,
// with their offsets. A click selects the run in the editor; the filter keeps
// the runs whose text holds it; Export... writes the listed runs as text.
// The document is scanned in slices after each change.

#include "hexeditor/core/mphslicereader.h"
#include "hexeditor/core/mphstrings.h"

#include <QAbstractTableModel>
#include <QDockWidget>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QSortFilterProxyModel;
class QSpinBox;
class QTableView;

namespace hexview {

class HexViewWindow;
class TSlicedWork;

// The runs as a table: offset, encoding, characters, text.
class TStringRunsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum { OffsetColumn, EncodingColumn, LengthColumn, TextColumn, ColumnCount };
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void Clear();
    void Append(std::vector<TMPHStringRun>& runs);
    // Puts the runs in offset order (they arrive in the order they end).
    void SortByOffset();
    const std::vector<TMPHStringRun>& Runs() const { return m_runs; }

    static QString EncodingName(TMPHStringEncoding encoding);
    // One line of the export: offset, encoding and text, tab-separated.
    static QString ExportLine(const TMPHStringRun& run);

private:
    std::vector<TMPHStringRun> m_runs;
};

class TStringsDock : public QDockWidget
{
    Q_OBJECT
public:
    static constexpr int64_t SliceSize = 4 * 1024 * 1024;
    // The list stops growing here (random data hold millions of short runs).
    static constexpr size_t MaxRuns = 500000;

    explicit TStringsDock(HexViewWindow& window);
    ~TStringsDock() override;

    TSlicedWork& Work() { return *m_work; }
    TStringRunsModel& Model() { return *m_model; }
    QSortFilterProxyModel& Filtered() { return *m_filtered; }
    QSpinBox* MinLength() const { return m_minLength; }
    QCheckBox* Ascii() const { return m_ascii; }
    QCheckBox* Utf16() const { return m_utf16; }
    QLineEdit* Filter() const { return m_filter; }
    QTableView* View() const { return m_view; }
    QString StatusText() const;

    // Selects the run shown in row of the (filtered) list in the editor.
    void SelectRow(int row);
    // The listed (filtered) runs, one line each.
    QString ExportText() const;
    // Writes ExportText() to path through the one save path; errors are
    // shown. True when written.
    bool ExportTo(const QString& path);

private:
    void Restart();
    bool Step();
    void Export();

    HexViewWindow& m_window;
    QSpinBox* m_minLength;
    QCheckBox* m_ascii;
    QCheckBox* m_utf16;
    QLineEdit* m_filter;
    QTableView* m_view;
    QLabel* m_status;
    QProgressBar* m_progress;
    TStringRunsModel* m_model;
    QSortFilterProxyModel* m_filtered;
    TSlicedWork* m_work;
    std::unique_ptr<TMPHStringScanner> m_scanner;
    TMPHSliceReader m_reader; // the data a slice at a time, never gathered
    bool m_truncated = false;
};

void InstallStringsDock(HexViewWindow& window);

} // namespace hexview
