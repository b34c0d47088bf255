#pragma once

#include <QString>

#include "io/pdfcommands.h"

class QImage;

namespace kurvana {

struct Document;
struct Workspace;

/// The "Open BMP" command: unsaved work is asked about first (ConfirmDropOfUnsavedWork), then
/// the open dialog (starting in pictureFolder), then the chosen picture (of a PDF, the page the
/// page chooser gives; cancelling the chooser changes nothing).
/// The picture is read and checked before anything changes: a failed read throws CommandError
/// and leaves points, calibration and names as they were. Only a confirmed, readable picture
/// clears the point rows and resets the document. A cancelled dialog only empties
/// dataFileName.
void OpenPictureDialog(Workspace& ws);

/// Reads `path` and, once it has been read, installs it: clean, working and search picture,
/// the new-picture reset, view 1:1, pictureFileName and the status bar name. Throws
/// CommandError (nothing changed) when the file cannot be read or is too large.
void LoadPictureFile(Workspace& ws, const QString& path);

/// Reads the page of the PDF `path` that `options` name (the page chooser where they name none
/// and there are windows) and installs it as LoadPictureFile installs a picture. False, and
/// nothing changed, when the chooser was cancelled. Throws CommandError (nothing changed) as
/// ReadPdfPage does.
bool LoadPdfPage(Workspace& ws, const QString& path, const PdfOpenOptions& options);

/// The file named on the command line (or dropped on the main window): a name ending in "gra"
/// opens as a data file, one with a readable picture extension (or ending in "bmp") as a
/// picture, one ending in "pdf" as a page of a PDF (chosen by `options` or the page chooser);
/// anything else does nothing. Unsaved work is asked about first; Cancel keeps it. Returns true
/// when it was taken as a file to open.
bool OpenFromCommandLine(Workspace& ws, const QString& argument,
                         const PdfOpenOptions& options = {});

/// The clipboard window's "Copy": the picture, laid on white where it is transparent (as a
/// picture file is), becomes the clean and the working picture with the axes drawn on it; points,
/// reference points, view scale and dataFileName stay. A null picture shows message M14 instead and
/// returns false, as does Cancel when asked about unsaved work.
bool TakeClipboardPicture(Workspace& ws, const QImage& picture);

/// Some line holds a point.
bool HoldsPoints(const Document& doc);

/// Shows that the view is back at 1:1: the scale button's 1:1 image and the "1:1" check mark.
void ShowScaleOneToOne(Document& doc);

} // namespace kurvana
