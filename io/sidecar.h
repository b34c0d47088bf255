#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

namespace kurvana {

struct Document;

/// What a data file cannot hold is kept beside it, in "NAME.gra.json": the series' names,
/// kinds and colours, error-bar ends and bar labels, the date kind of an axis (stored in the
/// data file as a linear axis in day counts) and the perspective or polar frame (the data file
/// holds the nearest three-point calibration). The old program never opens it, so the data
/// file keeps its bytes and still opens there. Each point's extras name its row and its pixel,
/// so extras of a data file edited elsewhere are taken only where the point is still the same.
QString SidecarPath(const QString& dataFilePath);

/// The sidecar's contents for the document; nothing when the document holds nothing that the
/// data file does not (no sidecar is then wanted).
std::optional<QByteArray> SidecarBytes(const Document& doc);

/// Takes a sidecar's contents into a document that holds the data file it belongs to (right
/// after ApplyDataFile): only extras whose point matches, a date kind only for an axis the
/// file holds as linear, a frame only when it is complete. False (nothing taken) when `bytes`
/// is not a sidecar. The caller recomputes the values.
bool ApplySidecar(Document& doc, const QByteArray& bytes);

/// After the data file `dataFilePath` was written: writes its sidecar atomically, or removes a
/// sidecar left from an earlier save when the document needs none (only a regular file).
/// Returns an empty text on success, otherwise the reason.
QString WriteSidecar(const Document& doc, const QString& dataFilePath);

/// Reads the sidecar of `dataFilePath` into `doc` when there is one that can be read; a
/// missing or unreadable sidecar leaves the document as the data file made it.
void ReadSidecar(Document& doc, const QString& dataFilePath);

} // namespace kurvana
