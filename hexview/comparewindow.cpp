#include "hexview/comparewindow.h"

#include "hexview/celltint.h"
#include "hexview/core/comparesummary.h"
#include "hexeditor/ex/mphexeditorex.h"
#include "platform/core/exceptions.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QProgressDialog>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

namespace hexview {

namespace {

QMessageBox::StandardButton AskWithMessageBox(QWidget* parent, const QString& name)
{
    return QMessageBox::question(parent, QStringLiteral("hexview"),
                                 TCompareWindow::tr("%1 has unsaved changes. Save them?").arg(name),
                                 QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
}

} // namespace

TCompareWindow::TCompareWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(tr("Compare - hexview"));
    BuildEditors();
    BuildMenus();
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("compareSummary"));
    m_progressBar = new QProgressBar(this);
    m_progressBar->setRange(0, 100);
    m_progressBar->setMaximumWidth(160);
    m_progressBar->hide();
    statusBar()->addPermanentWidget(m_progressBar);
    statusBar()->addPermanentWidget(m_summary);

    m_stepTimer.setInterval(0);
    connect(&m_stepTimer, &QTimer::timeout, this, &TCompareWindow::RunSteps);
    m_verifyTimer.setSingleShot(true);
    connect(&m_verifyTimer, &QTimer::timeout, this, [this] {
        m_verify = std::make_unique<TMPHDiff>();
        m_verify->Start(Size(0), Size(1));
        m_stepTimer.start();
    });
    AskToSave = [this](int side) {
        return AskWithMessageBox(this, QFileInfo(m_editors[side]->FileName()).fileName());
    };
    resize(1280, 720);
    CompareAgain();
}

TCompareWindow::~TCompareWindow()
{
    m_stepTimer.stop();
    m_verifyTimer.stop();
    for (TMPHexEditorEx* editor : m_editors) {
        editor->OnChange = nullptr;
        editor->OnProgress = nullptr;
        editor->OnTopLeftChanged = nullptr;
        editor->OnDrawCell = nullptr;
    }
}

void TCompareWindow::BuildEditors()
{
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    for (int side = 0; side < 2; ++side) {
        auto* pane = new QWidget(splitter);
        auto* layout = new QVBoxLayout(pane);
        layout->setContentsMargins(2, 2, 2, 2);
        m_names[side] = new QLabel(pane);
        m_names[side]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_editors[side] = new TMPHexEditorEx(pane);
        m_editors[side]->setObjectName(side == 0 ? QStringLiteral("LeftEditor") : QStringLiteral("RightEditor"));
        m_editors[side]->Loaded();
        m_editors[side]->installEventFilter(this);
        layout->addWidget(m_names[side]);
        layout->addWidget(m_editors[side], 1);
        splitter->addWidget(pane);
        InstallHandlers(side);
    }
    setCentralWidget(splitter);
    m_editors[0]->setFocus();
}

void TCompareWindow::BuildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    for (int side = 0; side < 2; ++side) {
        QAction* save = file->addAction(side == 0 ? tr("Save &left") : tr("Save &right"));
        save->setObjectName(side == 0 ? QStringLiteral("actionSaveLeft") : QStringLiteral("actionSaveRight"));
        connect(save, &QAction::triggered, this, [this, side] { SaveSide(side); });
    }
    file->addSeparator();
    QAction* close = file->addAction(tr("&Close"));
    close->setShortcut(QKeySequence::Close);
    connect(close, &QAction::triggered, this, &QWidget::close);

    QMenu* compare = menuBar()->addMenu(tr("&Compare"));
    QAction* next = compare->addAction(tr("&Next difference"));
    next->setObjectName(QStringLiteral("actionNextDifference"));
    next->setShortcut(Qt::Key_F7);
    connect(next, &QAction::triggered, this, [this] { NextDifference(); });
    QAction* previous = compare->addAction(tr("&Previous difference"));
    previous->setObjectName(QStringLiteral("actionPreviousDifference"));
    previous->setShortcut(Qt::SHIFT | Qt::Key_F7);
    connect(previous, &QAction::triggered, this, [this] { PreviousDifference(); });
    compare->addSeparator();
    QAction* again = compare->addAction(tr("Compare &again"));
    again->setShortcut(Qt::Key_F5);
    connect(again, &QAction::triggered, this, &TCompareWindow::CompareAgain);
}

void TCompareWindow::InstallHandlers(int side)
{
    TMPHexEditorEx& editor = *m_editors[side];
    editor.OnChange = [this, side](QObject*) { DataChanged(side); };
    editor.OnTopLeftChanged = [this, side](QObject*) { SyncScroll(side); };
    editor.OnDrawCell = [this, side](QObject*, QPainter* canvas, int col, int row, QString& text, const QRect& rect,
                                     bool& defaultDraw) { DrawCell(side, canvas, col, row, text, rect, defaultDraw); };
    editor.OnProgress = [this](QObject*, TMPHProgressKind, const QString&, uint8_t percent, bool& cancel) {
        if (!m_loading)
            return;
        m_loading->setValue(percent);
        cancel = m_loading->wasCanceled();
    };
}

// ---- files ------------------------------------------------------------------

bool TCompareWindow::OpenFiles(const QString& left, const QString& right)
{
    m_stepTimer.stop();
    m_verifyTimer.stop();
    m_summary->setText(tr("Loading..."));
    // Both sides are loaded even when one fails: the other is still shown.
    const bool leftLoaded = LoadSide(0, left);
    const bool ok = LoadSide(1, right) && leftLoaded;
    setWindowTitle(tr("%1 - %2 - Compare - hexview")
                       .arg(QFileInfo(m_editors[0]->FileName()).fileName(),
                            QFileInfo(m_editors[1]->FileName()).fileName()));
    CompareAgain();
    return ok;
}

bool TCompareWindow::LoadSide(int side, const QString& path)
{
    QProgressDialog progress(tr("Loading %1...").arg(QFileInfo(path).fileName()), tr("Cancel"), 0, 100, this);
    progress.setWindowTitle(QStringLiteral("hexview"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    m_loading = &progress;
    const bool ok = Guarded([&] { m_editors[side]->LoadFromFile(path); });
    m_loading = nullptr;
    if (!ok && !m_editors[side]->HasFile())
        m_editors[side]->CreateEmptyFile(QString());
    m_names[side]->setText(ok ? QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()) : QString());
    return ok;
}

bool TCompareWindow::Guarded(const std::function<void()>& action)
{
    QString text;
    try {
        action();
        return true;
    } catch (const Exception& e) {
        text = e.Message();
    } catch (const std::exception& e) {
        text = QString::fromLocal8Bit(e.what());
    }
    ShowError(text);
    return false;
}

void TCompareWindow::ShowError(const QString& text)
{
    if (ErrorReporter)
        ErrorReporter(text);
    else
        QMessageBox::critical(this, QStringLiteral("hexview"), text);
}

bool TCompareWindow::SaveSide(int side)
{
    return Guarded([&] { m_editors[side]->SaveToFile(); });
}

bool TCompareWindow::ConfirmClose()
{
    for (int side = 0; side < 2; ++side) {
        if (!m_editors[side]->Modified())
            continue;
        switch (AskToSave(side)) {
        case QMessageBox::Save:
            if (!SaveSide(side))
                return false;
            break;
        case QMessageBox::Discard:
            break;
        default:
            return false;
        }
    }
    return true;
}

void TCompareWindow::closeEvent(QCloseEvent* event)
{
    if (!ConfirmClose()) {
        event->ignore();
        return;
    }
    m_stepTimer.stop();
    m_verifyTimer.stop();
    event->accept();
}

bool TCompareWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        m_lastSide = watched == m_editors[1] ? 1 : 0;
    return QMainWindow::eventFilter(watched, event);
}

// ---- the comparison -----------------------------------------------------------

const uint8_t* TCompareWindow::Data(int side)
{
    return m_editors[side]->DataStorage().Memory();
}

int64_t TCompareWindow::Size(int side)
{
    return m_editors[side]->DataSize();
}

bool TCompareWindow::Comparing() const
{
    return !m_diff.Done() || m_verify || m_verifyTimer.isActive();
}

void TCompareWindow::CompareAgain()
{
    m_verifyTimer.stop();
    m_verify.reset();
    m_diff.Start(Size(0), Size(1));
    m_stepTimer.start();
    UpdateStatus();
    Repaint();
}

void TCompareWindow::FinishComparing()
{
    if (m_verifyTimer.isActive()) {
        m_verifyTimer.stop();
        m_verify = std::make_unique<TMPHDiff>();
        m_verify->Start(Size(0), Size(1));
        m_stepTimer.start();
    }
    while (m_stepTimer.isActive())
        RunSteps();
}

void TCompareWindow::RunSteps()
{
    // A side half loaded is not compared; OpenFiles starts over once loaded.
    if (m_loading) {
        m_stepTimer.stop();
        return;
    }
    // The documents may have changed size without a change notification
    // reaching here (a load): start over rather than read past their ends.
    if (m_diff.SizeA() != Size(0) || m_diff.SizeB() != Size(1))
        m_diff.Start(Size(0), Size(1));
    if (m_verify && (m_verify->SizeA() != Size(0) || m_verify->SizeB() != Size(1)))
        m_verify->Start(Size(0), Size(1));
    QElapsedTimer clock;
    clock.start();
    bool finished = false;
    do {
        if (!m_diff.Done()) {
            finished = m_diff.Step(Data(0), Data(1), StepBytes) && !m_verify;
        } else if (m_verify) {
            if (m_verify->Step(Data(0), Data(1), StepBytes)) {
                m_diff = std::move(*m_verify);
                m_verify.reset();
                finished = true;
            }
        } else {
            finished = true;
        }
    } while (!finished && clock.elapsed() < TickBudgetMs);
    if (finished)
        m_stepTimer.stop();
    UpdateStatus();
    Repaint();
    if (finished)
        emit ComparisonFinished();
}

void TCompareWindow::DataChanged(int side)
{
    if (m_loading)
        return;
    TMPHexEditorEx& editor = *m_editors[side];
    const int64_t caret = editor.CaretPosition();
    int64_t first = caret, last = caret;
    if (editor.SelFirst() >= 0) {
        first = std::min<int64_t>(first, editor.SelFirst());
        last = std::max<int64_t>(last, editor.SelLast());
    }
    if (m_diff.SizeA() == Size(0) && m_diff.SizeB() == Size(1)) {
        m_diff.Update(Data(0), Data(1), first - UpdateMargin, last + UpdateMargin);
    } else {
        // An insertion or deletion moved everything after it.
        m_diff.ResumeFrom(first - UpdateMargin, Size(0), Size(1));
        m_stepTimer.start();
    }
    // A full comparison a little later catches edits away from the caret.
    m_verify.reset();
    m_verifyTimer.start(VerifyDelayMs);
    UpdateStatus();
    Repaint();
}

void TCompareWindow::UpdateStatus()
{
    const bool busy = !m_diff.Done();
    m_progressBar->setVisible(busy);
    m_progressBar->setValue(m_diff.Percent());
    m_summary->setText(SummaryText());
}

QString TCompareWindow::SummaryText() const
{
    return CompareSummaryText(m_diff.Done(), m_diff.Percent(), m_diff.DifferingBytes(), m_diff.RangeCount());
}

void TCompareWindow::Repaint()
{
    for (TMPHexEditorEx* editor : m_editors)
        editor->viewport()->update();
}

// ---- scrolling, painting, navigation -----------------------------------------------

void TCompareWindow::SyncScroll(int side)
{
    if (m_syncing)
        return;
    m_syncing = true;
    TMPHexEditorEx& from = *m_editors[side];
    TMPHexEditorEx& to = *m_editors[1 - side];
    to.SetTopRow(from.TopRow());
    to.SetLeftCol(from.LeftCol());
    m_syncing = false;
}

void TCompareWindow::DrawCell(int side, QPainter* canvas, int col, int row, QString& text, const QRect& rect,
                              bool& defaultDraw)
{
    TMPHexEditorEx& editor = *m_editors[side];
    if (!canvas || row < 2 || !IsDataCell(editor, col))
        return;
    const int32_t p = editor.DrawDataPosition();
    const bool unicodeChar = editor.Geometry().IsCharColumn(col) && editor.UnicodeChars();
    if (!m_diff.Differs(p) && !(unicodeChar && m_diff.Differs(p + 1)))
        return;
    DrawTintedCell(editor, *canvas, col, row, text, rect, DiffTint, DiffTintPercent);
    defaultDraw = false;
}

int TCompareWindow::ActiveSide() const
{
    if (m_editors[1]->hasFocus())
        return 1;
    if (m_editors[0]->hasFocus())
        return 0;
    return m_lastSide;
}

bool TCompareWindow::NextDifference()
{
    TMPHexEditorEx& editor = *m_editors[ActiveSide()];
    // From a selection (the difference shown) on past its start; from a bare
    // caret a difference at the caret counts.
    const int64_t from = editor.SelFirst() >= 0 ? editor.SelFirst() : int64_t(editor.CaretPosition()) - 1;
    const std::optional<TMPHDiffRange> range = m_diff.Next(from);
    if (range)
        GoTo(*range);
    else
        statusBar()->showMessage(tr("No further difference"), 3000);
    return range.has_value();
}

bool TCompareWindow::PreviousDifference()
{
    TMPHexEditorEx& editor = *m_editors[ActiveSide()];
    const int64_t from = editor.SelFirst() >= 0 ? editor.SelFirst() : int64_t(editor.CaretPosition());
    const std::optional<TMPHDiffRange> range = m_diff.Previous(from);
    if (range)
        GoTo(*range);
    else
        statusBar()->showMessage(tr("No earlier difference"), 3000);
    return range.has_value();
}

void TCompareWindow::GoTo(const TMPHDiffRange& range)
{
    // The active side last, so that its scroll position is the one kept.
    const int active = ActiveSide();
    for (int side : {1 - active, active}) {
        TMPHexEditorEx& editor = *m_editors[side];
        const int64_t size = editor.DataSize();
        if (size == 0)
            continue;
        Guarded([&] {
            if (range.Start < size) {
                editor.SetSelStart(int32_t(range.Start));
                editor.SetSelEnd(int32_t(std::min(range.End(), size) - 1));
            } else {
                // The shorter side ends before the range: its last byte.
                editor.SetSelStart(int32_t(size - 1));
            }
        });
    }
    SyncScroll(active);
    statusBar()->showMessage(tr("Difference at 0x%1, %2 bytes")
                                 .arg(QString::number(range.Start, 16).toUpper())
                                 .arg(range.Length),
                             5000);
}

} // namespace hexview
