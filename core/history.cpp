#include "core/history.h"

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

bool sameBits(long double a, long double b) {
    // Only the 80 bits of the value: the padding of an x87 long double holds garbage.
    return a == b || (a != a && b != b);
}

RowCells rowOf(const Document& doc, int line, int row) {
    const auto& p = doc.pixelTable[row];
    const auto& v = doc.valueTable[row];
    return {p[line - 1], p[4 + line], p[9 + line], v[4 + line], v[9 + line]};
}

void writeRow(Document& doc, int line, int row, const RowCells& cells) {
    doc.flag(line, row) = cells.flag;
    doc.pointX(line, row) = cells.x;
    doc.pointY(line, row) = cells.y;
    doc.valueX(line, row) = cells.valueX;
    doc.valueY(line, row) = cells.valueY;
}

ExtraText nameOf(StepKind kind) {
    // The names of the first kinds stand together in the language file; later kinds' names
    // came after other texts.
    if (kind <= StepKind::CleanUp)
        return ExtraText(int(ExtraText::StepAddPoint) + int(kind));
    switch (kind) {
    case StepKind::FindBars:
        return ExtraText::StepFindBars;
    default:
        break;
    }
    return ExtraText::StepAddPoint;
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
}

bool CalibrationState::sameAs(const CalibrationState& o) const {
    for (int i = 0; i < 4; ++i)
        if (!sameBits(axisValues[i], o.axisValues[i]) || axisTexts[i] != o.axisTexts[i])
            return false;
    return zeroPointX == o.zeroPointX && zeroPointY == o.zeroPointY && xMaxPointX == o.xMaxPointX &&
           xMaxPointY == o.xMaxPointY && yMaxPointX == o.yMaxPointX && yMaxPointY == o.yMaxPointY &&
           sameBits(axisAngle, o.axisAngle) && xAxisLength == o.xAxisLength &&
           yAxisLength == o.yAxisLength;
}

bool RowCells::sameAs(const RowCells& o) const {
    return flag == o.flag && x == o.x && y == o.y && sameBits(valueX, o.valueX) &&
           sameBits(valueY, o.valueY);
}

/// The point tables as a step began: about 200 KB, copied with two block copies per step into
/// a buffer the history keeps, so that a click costs no allocation and no page faults.
struct History::Snapshot {
    decltype(Document::pixelTable) pixels;
    decltype(Document::valueTable) values;
    std::array<std::int32_t, kLineCount + 1> nextRow{};
    QImage clean; ///< shared with the document's; copied only if the step writes to it

    void take(const Document& doc) {
        pixels = doc.pixelTable;
        values = doc.valueTable;
        nextRow = doc.nextRow;
        clean = doc.cleanPicture;
    }

    RowCells rowAt(int line, int row) const {
        const auto& p = pixels[row];
        const auto& v = values[row];
        return {p[line - 1], p[4 + line], p[9 + line], v[4 + line], v[9 + line]};
    }

    /// The rows of `line` that differ now, from the first to the last that differs.
    std::optional<LineChange> changeOf(const Document& doc, int line) const {
        int first = -1, last = -1;
        for (int row = 0; row < kRowCount; ++row)
            if (!rowAt(line, row).sameAs(rowOf(doc, line, row))) {
                if (first < 0)
                    first = row;
                last = row;
            }
        if (first < 0 && nextRow[line] == doc.nextRow.at(line))
            return std::nullopt;
        LineChange change{line, std::max(first, 0), {}, {}, nextRow[line], doc.nextRow.at(line)};
        for (int row = first; first >= 0 && row <= last; ++row) {
            change.before.push_back(rowAt(line, row));
            change.after.push_back(rowOf(doc, line, row));
        }
        return change;
    }
};

History::History(QObject* parent) : QObject(parent), before_(std::make_unique<Snapshot>()) {}
History::~History() = default;

void History::begin(const Document& doc, StepKind kind) {
    if (depth_++ > 0)
        return;
    openKind_ = kind;
    openLine_ = doc.currentLine;
    before_->take(doc);
}

void History::end(const Document& doc) {
    if (depth_ == 0 || --depth_ > 0)
        return;
    finishStep(doc);
    before_->clean = QImage(); // no hold on a picture between steps
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
        if (auto change = before_->changeOf(doc, line)) {
            step.bytes += (change->before.size() + change->after.size()) * sizeof(RowCells);
            step.lines.push_back(std::move(*change));
        }
    const CalibrationState calibration = CalibrationState::of(doc);
    if (!calibration.sameAs(committed_)) {
        step.calibrationBefore = committed_;
        step.calibrationAfter = calibration;
        committed_ = calibration;
    }
    if (doc.cleanPicture.cacheKey() != before_->clean.cacheKey()) {
        step.cleanBefore = before_->clean;
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
    std::vector<QRect> marks; // marks that leave or arrive: their areas are redrawn
    for (const LineChange& change : step.lines) {
        const std::vector<RowCells>& rows = forward ? change.after : change.before;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const int row = change.firstRow + int(i);
            marks.push_back(MarkArea(doc.pointX(change.line, row), doc.pointY(change.line, row),
                                     doc.markDiameter));
            writeRow(doc, change.line, row, rows[i]);
            marks.push_back(MarkArea(rows[i].x, rows[i].y, doc.markDiameter));
        }
        doc.nextRow.at(change.line) = forward ? change.nextRowAfter : change.nextRowBefore;
    }
    QRect area;
    if (!step.cleanBefore.isNull()) {
        doc.cleanPicture = forward ? step.cleanAfter : step.cleanBefore;
        if (step.calibrationBefore)
            (forward ? *step.calibrationAfter : *step.calibrationBefore).applyTo(doc);
        RedrawMarks(doc);
        ToggleAxes(doc);
    } else {
        if (step.calibrationBefore) {
            ToggleAxes(doc); // the axes drawing moves with the reference points
            (forward ? *step.calibrationAfter : *step.calibrationBefore).applyTo(doc);
            ToggleAxes(doc);
        }
        area = RestoreMarksAndAxes(doc, marks);
    }
    committed_ = CalibrationState::of(doc);
    // The stored values are exact; recomputing keeps them true to a scale kind chosen since.
    try {
        ReadAxisTexts(doc);
        RecomputeValues(doc);
    } catch (const CommandError&) {
        // Axis texts that do not convert: the values stay as the step stored them.
    }
    ws.view.pictureChanged(area);
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
    before_->clean = QImage();
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

} // namespace kurvana
