#pragma once

#include <array>

#include <QPoint>
#include <QRect>
#include <QString>

#include "core/document.h"

namespace kurvana {

class IniFile;

/// Where the windows stand. The settings file restores it at start-up; the windows fill it in
/// before the settings are written.
struct WindowPlacements {
    QRect main{20, 20, 600, 420}; ///< left, top, width, height
    QPoint zoom{400, 400};
    QPoint input{500, 400};
    bool inputStayOnTop = true;
    QRect table{10, 10, 600, 400};
    bool tableStayOnTop = true;
    QPoint setup{5, 5};
};

/// Everything kurvana2.Ini holds, typed, with the values of a first start: five red lines, red
/// axes drawing, mark size 3, X axis 0 to 100, Y axis 0 to 10, linear scales, sorting on,
/// English, automatic saving on, autocorrection onto lines of any colour.
struct Settings {
    QString pictureFolder = "C:\\";
    std::array<Colour, kLineCount + 1> lineColor{0, 255, 255, 255, 255, 255}; ///< lines 1..5
    Colour axesColor = 255;
    int markDiameter = 3; ///< always 1..5
    /// The axis texts as stored; loading adapts their decimal separator.
    QString axisXMin = "0", axisXMax = "100", axisYMin = "0", axisYMax = "10";
    bool standardFormat = true; ///< false: the table writes numbers in scientific notation
    bool sortOn = true;
    /// A group whose three flags are all 0 selects no button: ScaleKind::None.
    ScaleKind scaleX = ScaleKind::Linear, scaleY = ScaleKind::Linear;
    bool languageRussian = false;
    bool autoSave = true;
    WindowPlacements windows;
    /// Autocorrection onto strokes of any colour (true) or onto dark pixels only.
    SnapRule snapRule = SnapRule::AnyColour;
    /// The calibration check grid: shown or not, its colour and opacity (0..255).
    bool checkGrid = false;
    Colour checkGridColour = colourFromRgb(0, 255, 255);
    int checkGridAlpha = 160;
};

/// Reads every key. A missing key or a value that is not an integer gives the default; a flag
/// is true for any integer other than 0; the mark size is limited to 1..5; the buttons of a
/// radio group are set one after the other, so of two flags of 1 the later wins.
Settings ReadSettings(const IniFile& ini);

/// Writes every key in the order of the settings file. Keys already in the file keep their
/// place; in a new file the sections come as Path, Color, Setup, Axes, Forms.
void WriteSettings(IniFile& ini, const Settings& settings);

/// The settings as the document and the windows hold them now.
Settings SettingsFromDocument(const Document& doc, const WindowPlacements& windows);

/// Puts loaded settings in place: colours, mark size, axis texts (their decimal separator
/// adapted to doc.decimalSeparator), number format, sorting, scale kinds, language, automatic
/// saving, picture folder and the window placements.
void ApplySettings(const Settings& settings, Document& doc, WindowPlacements& windows);

/// The text with one decimal separator exchanged: with the separator ',' the first '.' becomes
/// ',', otherwise the first ',' becomes '.'. A value stored under another locale thus reads.
QString AdaptDecimalSeparator(const QString& text, QChar separator);

/// Reads the settings file into the document and the placements (a missing file gives every
/// default). Run once at start-up, once doc.programDir and doc.decimalSeparator are known.
void LoadSettings(Document& doc, WindowPlacements& windows);

/// Writes the settings file. Throws CommandError (ExtraText::SettingsSaveFailed) when it cannot
/// be written; the file that was there before is then unchanged.
void SaveSettings(const Document& doc, const WindowPlacements& windows);

} // namespace kurvana
