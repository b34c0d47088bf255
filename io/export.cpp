#include "io/export.h"

#include "core/calibration.h"
#include "core/document.h"
#include "core/linedata.h"
#include "io/datafile.h"
#include "io/sidecar.h"

namespace kurvana {

void LoadDataFileForExport(Document& doc, const QString& path) {
    const DataFileContent content = ReadDataFile(path, doc.texts);
    doc.currentLine = 1;
    doc.dataFileName = path;
    ApplyDataFile(doc, content);
    ReadSidecar(doc, path);
    // The same steps as the refresh that ends opening a data file, without the table window.
    ReadAxisTexts(doc);
    RecomputeValues(doc);
    SortCurrentLine(doc, doc.nextRow.at(doc.currentLine));
}

QString ExportDataFileText(Document& doc, const QString& path) {
    LoadDataFileForExport(doc, path);
    return ClipboardText(doc);
}

} // namespace kurvana
