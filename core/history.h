#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include <QImage>
#include <QObject>
#include <QString>

#include "core/document.h"

namespace kurvana {

struct Workspace;
class Texts;

/// What a step of the digitising work did; it names the step in the Undo and Redo commands.
enum class StepKind {
    AddPoint,
    RemovePoints,
    Erase,
    MovePoint,
    ClearLine,
    ColourLineSearch,
    ZoneSearch,
    AutomaticDigitising,
    ZeroPoint,
    XMaxPoint,
    YMaxPoint,
    AxisValues,
    CleanUp,
    ScaleKind,
    FindBars,
    FindMarkers,
    DigitiseChart,
};

/// The calibration as a step keeps it: reference points, axis angle and lengths, the axis
/// values, the texts they were read from and the scale kinds they are read in.
struct CalibrationState {
    std::int32_t zeroPointX = 0, zeroPointY = 0;
    std::int32_t xMaxPointX = 0, xMaxPointY = 0;
    std::int32_t yMaxPointX = 0, yMaxPointY = 0;
    long double axisAngle = 0;
    std::int32_t xAxisLength = 0, yAxisLength = 0;
    std::array<double, 4> axisValues{}; ///< axisXMax, axisYMax, axisXMin, axisYMin
    std::array<QString, 4> axisTexts;   ///< editMaxX, editMaxY, editMinX, editMinY
    ScaleKind scaleX = ScaleKind::Linear, scaleY = ScaleKind::Linear;
    CalibrationFrame frame = CalibrationFrame::ThreePoint;
    PerspectiveCalibration perspective;
    PolarCalibration polar;

    static CalibrationState of(const Document& doc);
    void applyTo(Document& doc) const;
    /// Same numbers bit for bit (a NaN typed as an axis value equals itself here) and texts.
    bool sameAs(const CalibrationState& other) const;
};

/// Everything the document keeps of one point: one row of one line.
struct RowCells {
    std::int32_t flag = 0, x = 0, y = 0;
    double valueX = 0, valueY = 0;
    PointExtras extras;
};

/// A line's whole record: all its rows, the unused ones past the last point too (a data file
/// holds them), and its next free row.
struct LineRecord {
    std::vector<RowCells> rows = std::vector<RowCells>(kRowCount); ///< rows 0..kLastRow
    std::int32_t nextRow = 1;
    LineInfo info;
};

/// The one place that knows which fields of the document make up a line: what is taken here is
/// what undo gives back. The buffer is reused, so that a click costs no allocation.
void CaptureLine(const Document& doc, int line, LineRecord& record);
void RestoreLine(Document& doc, int line, const LineRecord& record);

/// What a step changed of one line: the rows from the first to the last that differ between
/// the whole records taken before and after it, and the next free row.
struct LineChange {
    int line = 1;
    int firstRow = 0;
    std::vector<RowCells> before, after; ///< rows firstRow.. of equal count
    std::int32_t nextRowBefore = 1, nextRowAfter = 1;
    LineInfo infoBefore, infoAfter;
};

/// One undoable step: what it changed. A clean picture is kept only when the clean-up replaced
/// it, and then as Qt's shared copy of the picture that was current.
struct Step {
    StepKind kind = StepKind::AddPoint;
    int line = 1; ///< the current line when the step began
    std::vector<LineChange> lines;
    std::optional<CalibrationState> calibrationBefore, calibrationAfter;
    QImage cleanBefore, cleanAfter; ///< null when the clean picture stayed
    std::size_t bytes = 0;          ///< memory the step holds, for the history's budget
};

/// The undo history of the digitising work and whether it holds changes not saved to a data
/// file. Commands record themselves with RecordedStep; the windows only call undo and redo.
///
/// QUndoStack is not used: its only bound is a step count, and a history that keeps clean-up
/// pictures of 35-megapixel scans must also drop its oldest steps by memory.
class History : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxSteps = 1000;
    static constexpr std::size_t kMaxBytes = std::size_t(1) << 30;

    explicit History(QObject* parent = nullptr);
    ~History() override;

    /// Starts a step (nested calls join the outermost one). A command of another kind than an
    /// open drag's ends the drag first: a drag whose release never came takes in nothing else.
    void begin(const Document& doc, StepKind kind);
    /// Ends a step: when the outermost one ends and the document changed, the change becomes
    /// the newest step and the redo steps go.
    void end(const Document& doc);
    /// A step that stays open across events (an eraser drag, press to release); DragStep
    /// opens it for a press.
    void beginDrag(const Document& doc, StepKind kind);
    void endDrag(const Document& doc);

    bool canUndo() const { return applied_ > 0; }
    bool canRedo() const { return applied_ < steps_.size(); }
    /// "Undo: clear line 2" / "Redo: ..." in the document's language; the bare command name
    /// when there is nothing to do.
    QString undoText(const Texts& texts) const;
    QString redoText(const Texts& texts) const;
    /// Undoes (redoes) the newest applied (oldest undone) step: the document as it was before
    /// (after) it, the marks and axes drawn again from that state, the table and the windows
    /// following.
    void undo(Workspace& ws);
    void redo(Workspace& ws);

    /// The document holds changes not saved to its data file.
    bool modified() const;
    /// The document was saved: the current state is the saved one.
    void markSaved();
    /// A new picture or data file: no steps; `modified` says whether the new state holds work
    /// that no data file has (a clipboard picture pasted under existing points).
    void reset(const Document& doc, bool modified);

    std::size_t stepCount() const { return steps_.size(); }
    std::size_t bytes() const { return bytes_; }

signals:
    /// The steps, their names or the modified state changed.
    void changed();

private:
    void finishStep(const Document& doc);
    void push(Step step);
    void dropOldest();
    void apply(Workspace& ws, const Step& step, bool forward);
    QString stepName(const Texts& texts, const Step& step) const;

    std::deque<Step> steps_;
    std::size_t applied_ = 0; ///< steps_[0..applied_) are applied, the rest can be redone
    std::size_t bytes_ = 0;
    /// applied_ at the last save; nothing once that state can no longer be reached.
    std::optional<std::size_t> savedAt_ = 0;
    bool modifiedOutside_ = false; ///< modified by something that is not a step
    int depth_ = 0;
    bool dragOpen_ = false;
    StepKind openKind_ = StepKind::AddPoint;
    int openLine_ = 1;
    /// The lines and the clean picture as the open step began; the line buffers are kept
    /// between steps, the picture is let go.
    std::array<LineRecord, kLineCount + 1> linesBefore_;
    QImage cleanBefore_;
    /// The calibration as the last step (or reset) left it. Typed axis texts go into the
    /// document before Enter takes them, so the document itself no longer shows it.
    CalibrationState committed_;
};

/// Records what the enclosed code changes as one step of the workspace's history (none in
/// tests and tools without one). What was done before a failure stays done and can be undone.
class RecordedStep {
public:
    RecordedStep(Workspace& ws, StepKind kind);
    ~RecordedStep();
    RecordedStep(const RecordedStep&) = delete;
    RecordedStep& operator=(const RecordedStep&) = delete;

private:
    Workspace& ws_;
};

/// Opens the step of a gesture that goes on after its press (an eraser drag) and closes it when
/// the press fails: the message box that shows the failure takes the mouse release, and every
/// later command would join a step left open. A press that went through keeps it open for the
/// release with holdForRelease.
class DragStep {
public:
    DragStep(Workspace& ws, StepKind kind);
    ~DragStep();
    DragStep(const DragStep&) = delete;
    DragStep& operator=(const DragStep&) = delete;
    void holdForRelease() { held_ = true; }

private:
    Workspace& ws_;
    bool held_ = false;
};

} // namespace kurvana
