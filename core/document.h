#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include <QImage>
#include <QRect>
#include <QString>

#include "core/texts.h"
#include "core/valuecache.h"
#include "platform/colour.h"

namespace kurvana {

constexpr int kLineCount = 5;        ///< lines 1..5
constexpr int kRowCount = 1002;      ///< rows 0..1001; row 0 is never used
constexpr int kLastRow = 1001;       ///< the highest row a point may occupy
constexpr int kClickRowLimit = 1000; ///< clicks stop when nextRow has reached this
constexpr int kZoneEntries = 1002;   ///< zone entries 0..1001
constexpr int kZoneLimit = 1000;     ///< painting stops adding when zoneCount reaches this

/// What a click on the picture does.
enum InputMode : std::int32_t {
    ModeNone = 0,
    ModeMarks = 1,
    ModeZeroPoint = 2,
    ModeXMaxPoint = 3,
    ModeYMaxPoint = 4,
    ModeZone = 5,
    ModeEraser = 6,
    ModeColourPick = 7,
    ModeHandScroll = 8,
    ModeFramePoint = 9,   ///< places reference point framePoint of the perspective or polar frame
    ModeFindMarkers = 10, ///< a click finds every marker like the one clicked
    ModeFindBars = 11,    ///< a click finds every bar like the one clicked
};

/// How picture pixels become axis values: through the three reference points (the frame the
/// data file holds), the projective transform of four points (a chart photographed at an
/// angle), or angle and radius about a centre (a polar chart).
enum class CalibrationFrame { ThreePoint = 0, Perspective = 1, Polar = 2 };

/// Four picture pixels and the axis values typed for them (exponents on logarithmic axes, as
/// for the three-point frame). Any three of them must not lie on one line.
struct PerspectiveCalibration {
    std::array<std::int32_t, 4> pointX{}, pointY{};
    std::array<QString, 4> editX{"0", "1", "1", "0"}, editY{"0", "0", "1", "1"};
    std::array<double, 4> valueX{0, 1, 1, 0}, valueY{0, 0, 1, 1};
    bool operator==(const PerspectiveCalibration&) const = default;
};

/// A polar chart: the centre, a reference pixel on the ray of referenceAngle at
/// referenceRadius, the radius at the centre. On a log10 radius the typed radii are exponents.
struct PolarCalibration {
    std::int32_t centreX = 0, centreY = 0, referenceX = 0, referenceY = 0;
    QString editAngle = "0", editRadius = "1", editCentreRadius = "0";
    double referenceAngle = 0, referenceRadius = 1, centreRadius = 0;
    bool clockwise = false; ///< angles grow clockwise in the picture
    bool radians = false;   ///< angles in radians, otherwise degrees
    bool logRadius = false; ///< the radius axis is log10
    bool operator==(const PolarCalibration&) const = default;
};

/// Scale kind of an axis. On the logarithmic kinds the axis values are exponents. `None` is the
/// state of a radio group with no button selected (a settings file can produce it); conversion
/// treats it as linear. `Date` is linear in day counts (core/datetime.h) and shows its values as
/// dates; the data and settings files hold such an axis as a linear one with day counts.
enum class ScaleKind { None = 0, Linear = 1, Log10 = 2, Ln = 3, Date = 4 };

/// What a line holds, when a recogniser filled it: a curve followed along its stroke, one
/// point per marker, or one per bar. Lines the user clicks say nothing.
enum class SeriesKind { Unspecified = 0, Curve = 1, Markers = 2, Bars = 3 };

/// Name, kind and colour of a line's series (the legend's name, the stroke colour found). The
/// data file does not hold them; they are kept beside it.
struct LineInfo {
    QString name;
    SeriesKind kind = SeriesKind::Unspecified;
    std::optional<QRgb> colour;
    bool operator==(const LineInfo&) const = default;
};

/// What a point carries beyond its pixel: the ends of its error bars in picture pixels (NaN
/// where it has none; for an upright bar low is the lower end, the larger y) and the category
/// label of a bar. The data file does not hold them; they are kept beside it.
struct PointExtras {
    double yLow = std::numeric_limits<double>::quiet_NaN();
    double yHigh = std::numeric_limits<double>::quiet_NaN();
    double xLow = std::numeric_limits<double>::quiet_NaN();
    double xHigh = std::numeric_limits<double>::quiet_NaN();
    QString label;
    bool hasUpright() const { return yLow == yLow && yHigh == yHigh; }
    bool hasLevel() const { return xLow == xLow && xHigh == xHigh; }
    bool empty() const { return !hasUpright() && !hasLevel() && label.isEmpty(); }
};

/// What autocorrection snaps a click onto: the centre of the nearest stroke of any colour that
/// stands out from the paper, or the first dark pixel on each ray of the probe star (the rule of
/// black lines on white paper, kept exact for those who rely on it).
enum class SnapRule { AnyColour = 0, DarkOnly = 1 };

/// Cursor shapes of the picture: 0 the platform default, 1..8 the program's own cursors
/// (diagonal cross, upright cross, hand, sight, arrow, arrow, eraser, pipette), then the
/// platform's cross-hair and four-way move cursors.
enum CursorShape : int {
    CursorDefault = 0,
    CursorEraser = 7,
    CursorPipette = 8,
    CursorCross = 100,
    CursorSizeAll = 101
};

/// The one record of the digitising work. Fixed bounds are behaviour: rows 0..1001, lines 1..5.
/// Several values that the windows hold (axis texts, scale kinds, sorting, number format,
/// language, auto-save) live here too; the windows write them as the user changes them, so
/// every conversion reads the current choice.
struct Document {
    Document();

    // --- 1. Point storage -------------------------------------------------------------------
    /// Row r: columns 0..4 presence flag of lines 1..5, 5..9 x, 10..14 y.
    std::array<std::array<std::int32_t, 15>, kRowCount> pixelTable{};
    /// Row r: columns 5..9 X value, 10..14 Y value of lines 1..5.
    std::array<std::array<double, 15>, kRowCount> valueTable{};
    /// Next free row per line; index 0 unused.
    std::array<std::int32_t, kLineCount + 1> nextRow{};

    std::int32_t& flag(int line, int row) { return pixelTable.at(row).at(line - 1); }
    std::int32_t& pointX(int line, int row) { return pixelTable.at(row).at(4 + line); }
    std::int32_t& pointY(int line, int row) { return pixelTable.at(row).at(9 + line); }
    double& valueX(int line, int row) { return valueTable.at(row).at(4 + line); }
    double& valueY(int line, int row) { return valueTable.at(row).at(9 + line); }
    std::int32_t flag(int line, int row) const { return pixelTable.at(row).at(line - 1); }
    std::int32_t pointX(int line, int row) const { return pixelTable.at(row).at(4 + line); }
    std::int32_t pointY(int line, int row) const { return pixelTable.at(row).at(9 + line); }
    double valueX(int line, int row) const { return valueTable.at(row).at(4 + line); }
    double valueY(int line, int row) const { return valueTable.at(row).at(9 + line); }
    /// Error-bar ends and labels per row and line, moved with their points.
    std::array<std::array<PointExtras, kLineCount>, kRowCount> pointExtras{};
    /// Name, kind and colour of each line's series; index 0 unused.
    std::array<LineInfo, kLineCount + 1> lineInfo{};
    PointExtras& extras(int line, int row) { return pointExtras.at(row).at(line - 1); }
    const PointExtras& extras(int line, int row) const { return pointExtras.at(row).at(line - 1); }
    /// Forgets what the line's series and points carried beyond their pixels.
    void clearSeries(int line);
    /// Number of stored points of a line (rows 1..nextRow-1).
    int pointCount(int line) const { return nextRow.at(line) - 1; }

    /// Appends (x, y) to line k: row nextRow gets flag 1, x and y; nextRow + 1. The caller has
    /// checked the capacity.
    void appendPoint(int line, int x, int y);
    /// Removes row r of line k: later rows move up one, nextRow decreases by 1.
    void removeRow(int line, int row);

    // --- 2. Calibration ---------------------------------------------------------------------
    std::int32_t zeroPointX = 0, zeroPointY = 0;
    std::int32_t xMaxPointX = 0, xMaxPointY = 0;
    std::int32_t yMaxPointX = 0, yMaxPointY = 0;
    double axisXMax = 10000, axisYMax = 1, axisXMin = 0, axisYMin = 1.1;
    long double axisAngle = 0; ///< radians, y counted upwards; extended precision
    std::int32_t xAxisLength = 0, yAxisLength = 0;
    std::int32_t rotX = 0, rotY = 0;
    /// The frame in use; perspective and polar keep the three points above as the nearest
    /// three-point calibration (what the data file stores).
    CalibrationFrame frame = CalibrationFrame::ThreePoint;
    PerspectiveCalibration perspective;
    PolarCalibration polar;
    /// Data > "Keep calibration for the next picture": a picture opened next keeps the
    /// calibration, and Digitise whole chart reads its series under it instead of finding axes.
    bool keepCalibration = false;
    int framePoint = 0; ///< the frame point the next click places (0..3, or 0..1 for polar)
    /// What RecomputeValues already worked out (a cache: the values follow from the pixels).
    ValueCache valueCache;

    /// Texts of the Input window's edits, exactly as typed.
    QString editMaxX = "10000", editMaxY = "1", editMinX = "0", editMinY = "1.1";
    ScaleKind scaleX = ScaleKind::Linear, scaleY = ScaleKind::Linear;
    bool sortOn = true;            ///< RadioButtonMakeSort
    bool scientificFormat = false; ///< RadioButtonScientific
    bool languageRussian = false;  ///< RadioButtonSetRussian
    bool autoSaveSettings = true;  ///< CheckBoxAutoSave

    // --- 3. Modes and selections ------------------------------------------------------------
    std::int32_t inputMode = ModeMarks;
    int currentLine = 1;
    bool autoCorrectOn = true;
    SnapRule snapRule = SnapRule::AnyColour; ///< Setup's choice, saved in the settings file
    std::int32_t cursorIndex = 3;
    int pictureCursor = 3;     ///< the cursor shape imgGrafik shows (CursorShape)
    int checkedCursorItem = 3; ///< cursor menu item with the check mark, 1..5

    // --- 4. Drawing settings ----------------------------------------------------------------
    std::array<Colour, kLineCount + 1> lineColor{0, 255, 255, 255, 255, 255};
    Colour axesColor = 255;
    std::int32_t markDiameter = 3;
    long double viewScale = 1.0L;
    int checkedScaleItem = 4; ///< scale menu item with the check mark, 1..7 ("1:1" is 4)
    int scaleButtonImage = 27;
    /// The calibration check grid: shown over the picture, never drawn into it.
    bool checkGridOn = false;
    Colour checkGridColour = colourFromRgb(0, 255, 255); ///< cyan
    int checkGridAlpha = 160;                            ///< 0 transparent .. 255 opaque

    // --- 5. Pictures ------------------------------------------------------------------------
    QImage cleanPicture;   ///< as loaded (and as cleaned), never drawn on
    QImage workingPicture; ///< shown, marked and searched
    QImage searchCopy;     ///< the fixed-step search's private bitmap
    std::int32_t pictureWidth = 0, pictureHeight = 0;

    /// What the drawing code knows of the working picture, so that removing a few marks can
    /// restore just their areas instead of the whole picture. The working picture equals
    /// "clean picture + all marks in order + the axes drawn axesShown times" everywhere outside
    /// `dirty`, as long as neither picture was touched outside the drawing code (the cache keys
    /// tell: any other write or assignment changes them, and the next restore is a full one).
    struct PictureTracking {
        qint64 workingKey = -1;
        qint64 cleanKey = -1;
        bool axesShown = false;
        std::vector<QRect> dirty;
        std::int32_t markDiameter = 0;     ///< marks were drawn this size ...
        std::array<Colour, 6> lineColor{}; ///< ... and in these colours
    } tracking;

    // --- 6. Ink thresholds: 0 until the first new-picture reset -------------------------------
    std::int32_t inkThresholdR = 0, inkThresholdG = 0, inkThresholdB = 0;

    // --- 7. Zone list -----------------------------------------------------------------------
    std::array<std::int32_t, kZoneEntries> zoneX{}, zoneY{};
    std::int32_t zoneCount = 0;
    std::int32_t lastZoneX = 0, lastZoneY = 0;

    // --- 8. Search working fields -----------------------------------------------------------
    Colour probeColor = 0;
    std::int32_t probeR = 0, probeG = 0, probeB = 0;
    std::int32_t searchR = 0, searchG = 0, searchB = 0;

    // --- 9, 10. Hand scroll and nudging -----------------------------------------------------
    bool handScrollActive = false;
    std::int32_t handLastX = 0, handLastY = 0;
    std::int32_t nudgeRow = 0, nudgeLine = 1;

    // --- 11. Text and files -----------------------------------------------------------------
    QString programDir; ///< folder of the program, with a trailing '/'
    // An installed program cannot write its own folder and finds its shipped files elsewhere
    // (see settings/settingslocation.h). Empty means the program folder, which is where a
    // program run from its build folder or a portable copy keeps everything.
    QString sharedDir;            ///< language.txt and the help documents, trailing '/'
    QString dataHomeDir;          ///< the folder that holds Data/ and Data/Grafiks/, trailing '/'
    bool installedLayout = false; ///< settings belong in the user's configuration folder
    QString commandLineArg;
    QString pictureFileName;
    QString pictureFolder = "C:\\";
    QString dataFileName;
    QString clipboardText;
    QChar decimalSeparator = '.';
    QString helpFileName = "kurvana2_e.html"; ///< the help document of the selected language

    // --- 12. Messages and other switchable texts ---------------------------------------------
    Texts texts;

    /// Folder of language.txt and the help documents, with a trailing '/'.
    QString sharedFolder() const { return sharedDir.isEmpty() ? programDir : sharedDir; }
    /// Folder that holds Data/ and Data/Grafiks/, with a trailing '/'.
    QString dataHome() const { return dataHomeDir.isEmpty() ? programDir : dataHomeDir; }

    /// Sets the start-up defaults of the main window's creation.
    void setStartupDefaults();
    /// The steps of the new-picture reset that touch only the document: the caller has put the
    /// new picture in place (its size is taken from the working picture) and draws the axes.
    void resetForNewPicture();
    /// Splits a colour into probeR, probeG, probeB (the top byte is ignored).
    void splitColor(Colour colour) {
        probeR = int(colour & 0xFF);
        probeG = int(colour >> 8 & 0xFF);
        probeB = int(colour >> 16 & 0xFF);
    }
    /// Reads the working picture at (x, y) into probeColor and splits it.
    void probe(int x, int y) {
        probeColor = pixelColour(workingPicture, x, y);
        splitColor(probeColor);
    }
    /// Ink test of the snap and the zone search: each component strictly below its threshold.
    bool probeIsInk() const {
        return probeR < inkThresholdR && probeG < inkThresholdG && probeB < inkThresholdB;
    }
};

/// Whether the stored point (px, py) lies within `tolerance` of (x, y) in both directions. The
/// differences are taken in 64 bits: stored coordinates from a data file may lie anywhere in
/// 32 bits, and their difference would overflow an int.
inline bool WithinSquare(std::int32_t px, std::int32_t py, int x, int y, int tolerance) {
    const auto near = [tolerance](std::int64_t a, std::int64_t b) {
        return (a > b ? a - b : b - a) <= tolerance;
    };
    return near(px, x) && near(py, y);
}

/// axisAngle from the zero point and the X max point: 0 when both share a row.
long double axisAngleFor(const Document& doc);

} // namespace kurvana
