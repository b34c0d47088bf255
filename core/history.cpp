#include "core/history.h"

#include <algorithm>
#include <bit>

#include "core/calibration.h"
#include "core/drawing.h"
#include "core/texts.h"
#include "core/workspace.h"

namespace kurvana {

namespace {

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool sameBits(std::int32_t a, std::int32_t b) {
    return a == b;
}

bool sameBits(const PointExtras& a, const PointExtras& b) {
    return sameBits(a.yLow, b.yLow) && sameBits(a.yHigh, b.yHigh) && sameBits(a.xLow, b.xLow) &&
           sameBits(a.xHigh, b.xHigh) && a.label == b.label;
}

bool sameBits(long double a, long double b) {
    // Only the 80 bits of the value: the padding of an x87 long double holds garbage.
    return a == b || (a != a && b != b);
}

/// The cells of row `row` of `line` beside their places in RowCells, the only list of them:
/// capture, restore and comparison all walk it, so a new per-point field of the document is
/// one member of RowCells and one line here.
template <typename Doc, typename Cells, typename Visit>
void forEachCell(Doc& doc, int line, int row, Cells& cells, Visit visit) {
    visit(doc.flag(line, row), cells.flag);
    visit(doc.pointX(line, row), cells.x);
    visit(doc.pointY(line, row), cells.y);
    visit(doc.valueX(line, row), cells.valueX);
    visit(doc.valueY(line, row), cells.valueY);
    visit(doc.extras(line, row), cells.extras);
}

RowCells cellsAt(const Document& doc, int line, int row) {
    RowCells cells;
    forEachCell(doc, line, row, cells, [](const auto& stored, auto& kept) { kept = stored; });
    return cells;
}

void writeCells(Document& doc, int line, int row, const RowCells& cells) {
    forEachCell(doc, line, row, cells, [](auto& stored, const auto& kept) { stored = kept; });
}

ExtraText nameOf(StepKind kind) {
    // The names of the first kinds stand together in the language file; later kinds' names
    // came after other texts.
    switch (kind) {
    case StepKind::ScaleKind:
        return ExtraText::StepScaleKind;
    case StepKind::FindBars:
        return ExtraText::StepFindBars;
    case StepKind::FindMarkers:
        return ExtraText::StepFindMarkers;
    case StepKind::DigitiseChart:
        return ExtraText::StepDigitiseChart;
    default:
        break;
    }
    return ExtraText(int(ExtraText::StepAddPoint) + int(kind));
}

} // namespace

CalibrationState CalibrationState::of(const Document& doc) {
    CalibrationState c;
    c.zeroPointX = doc.zeroPointX;
    c.zeroPointY = doc.zeroPointY;
    c.xMaxPointX = doc.xMaxPointX;
    c.xMaxPointY = doc.xMaxPointY;
    c.yMaxPointX = doc.yMaxPointX;
    c.yMaxPointY = doc.yMaxPointY;
    c.axisAngle = doc.axisAngle;
    c.xAxisLength = doc.xAxisLength;
    c.yAxisLength = doc.yAxisLength;
    c.axisValues = {doc.axisXMax, doc.axisYMax, doc.axisXMin, doc.axisYMin};
    c.axisTexts = {doc.editMaxX, doc.editMaxY, doc.editMinX, doc.editMinY};
    c.scaleX = doc.scaleX;
    c.scaleY = doc.scaleY;
    c.frame = doc.frame;
    c.perspective = doc.perspective;
    c.polar = doc.polar;
    return c;
}

void CalibrationState::applyTo(Document& doc) const {
    doc.zeroPointX = zeroPointX;
    doc.zeroPointY = zeroPointY;
    doc.xMaxPointX = xMaxPointX;
    doc.xMaxPointY = xMaxPointY;
    doc.yMaxPointX = yMaxPointX;
    doc.yMaxPointY = yMaxPointY;
    doc.axisAngle = axisAngle;
    doc.xAxisLength = xAxisLength;
    doc.yAxisLength = yAxisLength;
    doc.axisXMax = axisValues[0];
    doc.axisYMax = axisValues[1];
    doc.axisXMin = axisValues[2];
    doc.axisYMin = axisValues[3];
    doc.editMaxX = axisTexts[0];
    doc.editMaxY = axisTexts[1];
    doc.editMinX = axisTexts[2];
    doc.editMinY = axisTexts[3];
    doc.scaleX = scaleX;
    doc.scaleY = scaleY;
    doc.frame = frame;
    doc.perspective = perspective;
    doc.polar = polar;
}

bool CalibrationState::sameAs(const CalibrationState& o) const {
    for (int i = 0; i < 4; ++i)
        if (!sameBits(axisValues[i], o.axisValues[i]) || axisTexts[i] != o.axisTexts[i])
            return false;
    return zeroPointX == o.zeroPointX && zeroPointY == o.zeroPointY && xMaxPointX == o.xMaxPointX &&
           xMaxPointY == o.xMaxPointY && yMaxPointX == o.yMaxPointX && yMaxPointY == o.yMaxPointY &&
           sameBits(axisAngle, o.axisAngle) && xAxisLength == o.xAxisLength &&
           yAxisLength == o.yAxisLength && scaleX == o.scaleX && scaleY == o.scaleY &&
           frame == o.frame && perspective == o.perspective && polar == o.polar;
}

void CaptureLine(const Document& doc, int line, LineRecord& record) {
    for (int row = 0; row < kRowCount; ++row)
        record.rows[row] = cellsAt(doc, line, row);
    record.nextRow = doc.nextRow.at(line);
    record.info = doc.lineInfo.at(line);
}

void RestoreLine(Document& doc, int line, const LineRecord& record) {
    for (int row = 0; row < kRowCount; ++row)
        writeCells(doc, line, row, record.rows[row]);
    doc.nextRow.at(line) = record.nextRow;
    doc.lineInfo.at(line) = record.info;
}

namespace {

/// Row `row` of `line` holds exactly `cells` (bit for bit: a NaN value equals itself).
bool rowHolds(const Document& doc, int line, int row, const RowCells& cells) {
    bool same = true;
    forEachCell(doc, line, row, cells, [&same](const auto& stored, const auto& kept) {
        same = same && sameBits(stored, kept);
    });
    return same;
}

/// What changed of `line` since `before` was taken; nothing when the line is as it was.
std::optional<LineChange> changeOf(const Document& doc, int line, const LineRecord& before) {
    int first = -1, last = -1;
    for (int row = 0; row < kRowCount; ++row)
        if (!rowHolds(doc, line, row, before.rows[row])) {
            if (first < 0)
                first = row;
            last = row;
        }
    if (first < 0 && before.nextRow == doc.nextRow.at(line) && before.info == doc.lineInfo.at(line))
        return std::nullopt;
    LineChange change{line,           std::max(first, 0),   {},          {},
                      before.nextRow, doc.nextRow.at(line), before.info, doc.lineInfo.at(line)};
    for (int row = first; first >= 0 && row <= last; ++row) {
        change.before.push_back(before.rows[row]);
        change.after.push_back(cellsAt(doc, line, row));
    }
    return change;
}

/// The line as it was before (after) the change: the stored rows put back into its whole
/// record, and that record restored.
void applyChange(Document& doc, const LineChange& change, bool forward, LineRecord& buffer) {
    CaptureLine(doc, change.line, buffer);
    const std::vector<RowCells>& rows = forward ? change.after : change.before;
    std::copy(rows.begin(), rows.end(), buffer.rows.begin() + change.firstRow);
    buffer.nextRow = forward ? change.nextRowAfter : change.nextRowBefore;
    buffer.info = forward ? change.infoAfter : change.infoBefore;
    RestoreLine(doc, change.line, buffer);
}

} // namespace

History::History(QObject* parent) : QObject(parent) {}
History::~History() = default;

void History::begin(const Document& doc, StepKind kind) {
    if (dragOpen_ && depth_ == 1 && kind != openKind_)
        endDrag(doc);
    if (depth_++ > 0)
        return;
    openKind_ = kind;
    openLine_ = doc.currentLine;
    for (int line = 1; line <= kLineCount; ++line)
        CaptureLine(doc, line, linesBefore_[line]);
    cleanBefore_ = doc.cleanPicture; // shared: copied only if the step writes to it
}

void History::end(const Document& doc) {
    if (depth_ == 0 || --depth_ > 0)
        return;
    finishStep(doc);
    cleanBefore_ = QImage(); // no hold on a picture between steps
}

void History::beginDrag(const Document& doc, StepKind kind) {
    endDrag(doc);
    begin(doc, kind);
    dragOpen_ = true;
}

void History::endDrag(const Document& doc) {
    if (!dragOpen_)
        return;
    dragOpen_ = false;
    end(doc);
}

void History::finishStep(const Document& doc) {
    Step step;
    step.kind = openKind_;
    step.line = openLine_;
    for (int line = 1; line <= kLineCount; ++line)
        if (auto change = changeOf(doc, line, linesBefore_[line])) {
            step.bytes += (change->before.size() + change->after.size()) * sizeof(RowCells);
            step.lines.push_back(std::move(*change));
        }
    const CalibrationState calibration = CalibrationState::of(doc);
    if (!calibration.sameAs(committed_)) {
        step.calibrationBefore = committed_;
        step.calibrationAfter = calibration;
        committed_ = calibration;
    }
    if (doc.cleanPicture.cacheKey() != cleanBefore_.cacheKey()) {
        step.cleanBefore = cleanBefore_;
        step.cleanAfter = doc.cleanPicture;
        step.bytes += std::size_t(step.cleanBefore.sizeInBytes() + step.cleanAfter.sizeInBytes());
    }
    if (step.lines.empty() && !step.calibrationBefore && step.cleanBefore.isNull())
        return; // a refused click, a search that found what was there: nothing to undo
    step.bytes += sizeof(Step);
    push(std::move(step));
}

void History::push(Step step) {
    while (steps_.size() > applied_) {
        bytes_ -= steps_.back().bytes;
        steps_.pop_back();
    }
    if (savedAt_ && *savedAt_ > applied_)
        savedAt_.reset(); // the saved state was among the redo steps just dropped
    bytes_ += step.bytes;
    steps_.push_back(std::move(step));
    ++applied_;
    while (steps_.size() > 1 && (steps_.size() > std::size_t(kMaxSteps) || bytes_ > kMaxBytes))
        dropOldest();
    emit changed();
}

void History::dropOldest() {
    bytes_ -= steps_.front().bytes;
    steps_.pop_front();
    --applied_;
    if (savedAt_)
        savedAt_ = *savedAt_ == 0 ? std::nullopt : std::optional<std::size_t>(*savedAt_ - 1);
}

void History::undo(Workspace& ws) {
    endDrag(ws.doc);
    // Not in the middle of a step (a modal window of a command): it would record itself.
    if (depth_ > 0 || !canUndo())
        return;
    --applied_;
    apply(ws, steps_[applied_], false);
    emit changed();
}

void History::redo(Workspace& ws) {
    endDrag(ws.doc);
    // Not in the middle of a step (a modal window of a command): it would record itself.
    if (depth_ > 0 || !canRedo())
        return;
    apply(ws, steps_[applied_], true);
    ++applied_;
    emit changed();
}

void History::apply(Workspace& ws, const Step& step, bool forward) {
    Document& doc = ws.doc;
    // Every part the step holds is put back whole; the values come back as they were stored,
    // since the calibration and scale kinds they were computed in come back with them.
    LineRecord& buffer = linesBefore_[0]; // no step is open here
    for (const LineChange& change : step.lines)
        applyChange(doc, change, forward, buffer);
    if (step.calibrationBefore)
        (forward ? *step.calibrationAfter : *step.calibrationBefore).applyTo(doc);
    if (!step.cleanBefore.isNull())
        doc.cleanPicture = forward ? step.cleanAfter : step.cleanBefore;
    committed_ = CalibrationState::of(doc);
    // The marks and axes drawn from the restored state, not mended from what the step knew:
    // about 11 ms on 35 megapixels, once per command.
    RedrawMarks(doc);
    ToggleAxes(doc);
    ws.view.pictureChanged();
    ws.view.fillTable();
    if (step.calibrationBefore)
        ws.view.documentSettingsChanged();
}

bool History::modified() const {
    return modifiedOutside_ || savedAt_ != applied_;
}

void History::markSaved() {
    savedAt_ = applied_;
    modifiedOutside_ = false;
    emit changed();
}

void History::reset(const Document& doc, bool modified) {
    steps_.clear();
    applied_ = 0;
    bytes_ = 0;
    savedAt_ = 0;
    modifiedOutside_ = modified;
    depth_ = 0;
    dragOpen_ = false;
    cleanBefore_ = QImage();
    committed_ = CalibrationState::of(doc);
    emit changed();
}

QString History::stepName(const Texts& texts, const Step& step) const {
    const QString& name = texts.extra(nameOf(step.kind));
    return name.contains("%1") ? name.arg(step.line) : name;
}

QString History::undoText(const Texts& texts) const {
    if (!canUndo())
        return texts.extra(ExtraText::UndoCommand);
    return texts.extra(ExtraText::UndoStep).arg(stepName(texts, steps_[applied_ - 1]));
}

QString History::redoText(const Texts& texts) const {
    if (!canRedo())
        return texts.extra(ExtraText::RedoCommand);
    return texts.extra(ExtraText::RedoStep).arg(stepName(texts, steps_[applied_]));
}

RecordedStep::RecordedStep(Workspace& ws, StepKind kind) : ws_(ws) {
    if (ws_.history)
        ws_.history->begin(ws_.doc, kind);
}

RecordedStep::~RecordedStep() {
    if (ws_.history)
        ws_.history->end(ws_.doc);
}

DragStep::DragStep(Workspace& ws, StepKind kind) : ws_(ws) {
    if (ws_.history)
        ws_.history->beginDrag(ws_.doc, kind);
}

DragStep::~DragStep() {
    if (!held_ && ws_.history)
        ws_.history->endDrag(ws_.doc);
}

} // namespace kurvana
