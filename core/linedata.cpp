#include "core/linedata.h"

#include "core/axistext.h"
#include "core/document.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/numbers.h"
#include "core/workspace.h"

namespace kurvana {

std::vector<TableRow> TableRows(const Document& doc) {
    std::vector<TableRow> rows;
    for (int line = 1; line <= kLineCount; ++line)
        for (int r = 1; r < doc.nextRow.at(line); ++r) {
            if (doc.flag(line, r) != 1)
                continue;
            if (int(rows.size()) == kTableDataRows)
                return rows;
            rows.push_back({doc.valueX(line, r), doc.valueY(line, r), line});
        }
    return rows;
}

QString ClipboardText(const Document& doc) {
    QString text;
    for (int line = 1; line <= kLineCount; ++line)
        for (int r = 1; r < doc.nextRow.at(line); ++r) {
            text += AxisValueText(doc, AxisName::X, doc.valueX(line, r));
            text += QString(line, '\t');
            text += AxisValueText(doc, AxisName::Y, doc.valueY(line, r));
            text += "\r\n";
        }
    return text;
}

void CopyTableToClipboard(Workspace& ws) {
    ws.doc.clipboardText = ClipboardText(ws.doc);
    ws.view.setClipboardText(ws.doc.clipboardText);
    ws.dialogs.information(ws.doc.texts.message(8));
}

void ClearLineData(Workspace& ws) {
    Document& doc = ws.doc;
    const int line = doc.currentLine;
    std::vector<QRect> clearedMarks;
    for (int r = 1; r < doc.nextRow.at(line); ++r) {
        doc.flag(line, r) = 0;
        clearedMarks.push_back(
            MarkArea(doc.pointX(line, r), doc.pointY(line, r), doc.markDiameter));
    }
    ws.view.fillTable();
    doc.nextRow.at(line) = 1;
    doc.clearSeries(line);
    // RedrawMarks and ToggleAxes, restoring only the cleared marks' areas where the picture is
    // known: the searches clear a line before every run, on scans of tens of megapixels.
    ws.view.pictureChanged(RestoreMarksAndAxes(doc, clearedMarks));
}

void ClearLineCommand(Workspace& ws) {
    const QString question = ws.doc.texts.message(12) + QString::number(ws.doc.currentLine) + '\r' +
                             ws.doc.texts.message(3);
    if (ws.dialogs.question(question, platform::QuestionButtons::YesNo) == platform::Answer::Yes) {
        const RecordedStep step(ws, StepKind::ClearLine);
        ClearLineData(ws);
    }
}

} // namespace kurvana
