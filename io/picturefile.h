#pragma once

#include <QImage>
#include <QString>

#include "platform/colour.h"

namespace kurvana {

class Texts;

/// The largest picture the program opens: 16384 pixels on a side (268 million pixels, 1 GiB as a
/// 32-bit picture). Qt's bitmap reader stops there too, and the document may come to hold
/// three copies of the picture (clean, working, search copy: the last two share the clean
/// one's memory until they are drawn on), which is what a desktop's memory bears.
constexpr int kMaxPictureSide = 16384;
/// Whether a picture of this size is beyond what the program opens.
inline bool PictureTooLarge(const QSize& size) {
    return size.width() > kMaxPictureSide || size.height() > kMaxPictureSide;
}
/// Qt's own decoder limit, in megabytes; above the largest picture so the check above speaks.
constexpr int kImageAllocationLimitMb = 2048;

/// The four colours a palette picture's plain greys become: the application palette's button
/// highlight, face, shadow and text colours.
struct ButtonColours {
    Colour highlight = colourFromRgb(255, 255, 255);
    Colour face = colourFromRgb(192, 192, 192);
    Colour shadow = colourFromRgb(128, 128, 128);
    Colour text = colourFromRgb(0, 0, 0);
};

/// The button colours of the running application's palette (the identity set without a GUI
/// application, e.g. in a command-line tool).
ButtonColours ApplicationButtonColours();

/// Replaces colour-table entries exactly white, silver (192,192,192), grey (128,128,128) and
/// black by the matching button colour. Pictures without a colour table come back unchanged.
QImage MapPaletteColours(const QImage& image, const ButtonColours& colours);

/// A picture with transparency as a viewer shows it: laid on white, so the searches see a
/// white background instead of whatever colour the transparent pixels happen to carry. A
/// picture that is transparent everywhere carries its drawing in the colours alone (some
/// writers leave the alpha at 0) and keeps them. Files and clipboard pictures alike.
QImage LaidOnWhite(const QImage& image);

/// The outcome of reading a picture file: the picture, or why there is none.
struct PictureReadResult {
    QImage picture;     ///< 32-bit RGB; null when the file could not be used
    QString reason;     ///< a sentence saying why, when the picture is null
    QSize tooLargeSize; ///< valid when the picture was refused for its size
};

/// Reads a picture file as it is stored: the checks and the reading of TryReadPicture without
/// the steps that need the application (palette colours) or follow from them. Needs no
/// application object and may run on any thread.
PictureReadResult ReadStoredPicture(const QString& path);

/// Reads a picture file of any kind Qt's readers know without throwing: see ReadPictureFile.
/// A file read ahead at start-up (PictureReadAhead) is taken from there.
PictureReadResult TryReadPicture(const QString& path,
                                 const ButtonColours& colours = ApplicationButtonColours());

/// Reads a picture file of any kind Qt's readers know, checking everything before anything is
/// changed. Palette pictures (8 bits per pixel or fewer) get MapPaletteColours; pictures with
/// transparency are laid on white; the result is 32-bit RGB. Throws CommandError with the
/// "unreadable" or "too large" text (naming the file) on failure.
QImage ReadPictureFile(const QString& path, const Texts& texts,
                       const ButtonColours& colours = ApplicationButtonColours());

/// True when the name's extension is one that Qt's image readers know (any letter case).
bool HasReadablePictureExtension(const QString& path);

/// Filter of the open-picture dialog in Qt's "Name (*.a *.b);;Name (...)" form: bitmaps first,
/// then every picture kind the readers know.
QString PictureDialogFilter();

} // namespace kurvana
