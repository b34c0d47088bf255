#pragma once

#include <array>

#include <QString>

namespace kurvana {

/// Texts that came after the 132 entries of the original language file: messages for the
/// conditions this program reports instead of failing. Entry 133 + index in language.txt; a
/// file without them leaves the built-in English. Append new ones at the end only: the order
/// is the file's order.
enum class ExtraText : int {
    XAxisTooShort,   ///< X max point less than one pixel from the zero point along the axis
    YAxisTooShort,   ///< Y max point less than one pixel from the X axis
    XMaxOnZeroPoint, ///< the click would put the X max point on the zero point
    CountNotWhole,   ///< %1 = the text of the count edit
    CountZero,
    PictureUnreadable,  ///< %1 = file, %2 = reason
    PictureTooLarge,    ///< %1 = file, %2 = width, %3 = height
    DataFileUnreadable, ///< %1 = file, %2 = line number, %3 = reason
    DataFileSaveFailed, ///< %1 = file, %2 = reason
    SettingsSaveFailed, ///< %1 = file, %2 = reason
    StepNotPositive,
    NoAxisFound,
    LineFull,               ///< unused slot kept for order
    LanguageFileUnreadable, ///< %1 = file
    StepTooSmall,           ///< unused slot kept for order (the step count is free now)
    SnapRuleTitle,          ///< Setup: the frame of the autocorrection choice
    SnapAnyColour,          ///< Setup: snap onto strokes of any colour
    SnapDarkOnly,           ///< Setup: snap onto dark pixels only
    SearchWithTolerance,    ///< colour line search: kind 4
    SearchTolerance,        ///< colour line search: the tolerance control
    SearchPreview,          ///< colour line search: the preview switch
    XRangeEmpty,            ///< X min equals X max: no X value has a column
    FixedStepListTooLong,   ///< %1 = the most lines one fixed-step search lists
    RotatedFrameOverflow,
    SetupColours, ///< Setup window: the colour group's title
    SetupLines,   ///< Setup window: the heading over the line colour buttons
    SetupAxes,    ///< Setup window: the heading over the axes colour button
    PdfNotPdf,
    PdfDamaged,
    PdfEncrypted,
    PdfNoSuchPage,   ///< %1 = page asked for, %2 = pages in the document
    PdfBadOption,    ///< %1 = option, %2 = the text after it
    PdfDpiRange,     ///< %1 = lowest, %2 = highest resolution
    PdfNoChooser,    ///< %1 = file
    PdfChooserTitle, ///< %1 = file name
    PdfPageLabel,
    PdfResolutionLabel,
    PdfPictureSize,     ///< %1 x %2 pixels, %3 megabytes
    PdfPictureTooLarge, ///< %1 x %2 pixels, %3 = largest side
    PdfRegionHint,
    PdfWholePage,
    PdfOpenButton,
    PdfCancelButton,
    PdfRendering,    ///< %1 = page, %2 = resolution
    PdfStatus,       ///< %1 = file name, %2 = page, %3 = resolution
    PdfRenderFailed, ///< %1 = page
    PdfFileMissing,
    CheckGridCaption,    ///< menu item "Show" > check grid
    CheckGridHint,       ///< tooltip of the check-grid toolbar button
    ExportDataCaption,   ///< menu item "Data" > export to a file
    ExportDialogCaption, ///< caption of the export save dialog
    ExportFilter,        ///< file types of the export save dialog, ";;" separated
    ExportDone,          ///< %1 = file, %2 = number of points
    ExportFailed,        ///< %1 = file, %2 = reason
    // Undo, redo and the safety of unsaved work. The step names follow StepKind's order;
    // %1 = the line the step worked on.
    EditMenu,
    UndoCommand,
    RedoCommand,
    UndoStep,
    RedoStep,
    StepAddPoint,
    StepRemovePoints,
    StepErase,
    StepMovePoint,
    StepClearLine,
    StepColourLineSearch,
    StepZoneSearch,
    StepAutomaticDigitising,
    StepZeroPoint,
    StepXMaxPoint,
    StepYMaxPoint,
    StepAxisValues,
    StepCleanUp,
    SaveChangesQuestion,
    SaveButton,
    DiscardButton,
    CancelButton,
    RestoreQuestion,
    RestoreButton,
    RecoveryNotRestored,
    FindAxesCaption,
    FindAxesHint,
    AxesNotFound,
    AxesProposalHeading,
    AxesZeroPointLine,
    AxesXMaxPointLine,
    AxesYMaxPointLine,
    AxesScales,
    AxesScaleLinear,
    AxesScaleLog10,
    AxesNoLine,
    AxesLabelsUnreadable,
    AxesLabelsDisagree,
    AxesRuleUnchecked,
    AxesLabelsDropped,
    AxesAcceptQuestion,
    PdfModuleMissing, ///< the PDF module could not be loaded
    ScaleDate,        ///< the fourth scale kind of the Setup window
    NotADate,         ///< %1 = an axis text on a date axis that is no date
    FindBarsCaption,
    FindBarsHint,
    NoBarFound,
    BarsFound, ///< %1 = the number of bars
    StepFindBars,
    ExportOutputFailed,       ///< %1 = reason: the export could not go to standard output
    AxesLabelDataMissing,     ///< the label reader's language data (or module) are not installed
    ReplaceOtherWorkQuestion, ///< Save Data: the names would replace another chart's files
    DiscardRecoveryQuestion,  ///< start-up: Discard of a recovery copy that holds points
    CommandLineFileKept,      ///< status bar: the file named at start-up was not opened
    StepScaleKind,            ///< the undo step of a scale kind chosen in Setup
    FindAxesRunning,          ///< the progress box while Find axes works
    FourPointsUnusable,
    PolarUnusable,
    FrameThreePoints,
    FramePerspective,
    FramePolar,
    FramePointButton,
    PolarCentreButton,
    PolarReferenceButton,
    PolarReferenceAngle,
    PolarReferenceRadius,
    PolarCentreRadius,
    PolarCounterclockwise,
    PolarClockwise,
    PolarDegrees,
    PolarRadians,
    PolarRadiusLinear,
    PolarRadiusLog10,
    FixedStepNeedsThreePoints,
    FindMarkersCaption,
    FindMarkersHint,
    NoMarkerFound,
    MarkersFound, ///< %1 = the number of markers
    StepFindMarkers,
    DigitiseChartCaption,
    DigitiseChartHint,
    DigitiseChartRunning,
    ChartNothingFound,
    ChartProposalHeading,
    ChartSeriesLine,
    ChartKindCurve,
    ChartKindMarkers,
    ChartKindBars,
    ChartNoName,
    ChartNoSeries,
    ChartTooManySeries,
    ChartCurveLost,
    ChartAcceptQuestion,
    ChartCalibrationKept,
    KeepCalibrationCaption,
    StepDigitiseChart,
    CalibrationUnreadable,
    ChartNoAxes,
    ChartPartialAxes,
    BatchNoSeries,
    BatchTooManySeries,
    BatchCurveLost,
    DigitiseProgress,
    DigitiseOverInput,
    FindMarkersRunning,    ///< the progress box while Find markers searches a large picture
    MarkerMatchCaption,    ///< the title of the marker match window
    MarkerMatchTolerance,  ///< the label of its tolerance, in per cent
    MarkerMatchHint,       ///< what its tint shows
    AxesPerspectiveCorner, ///< a corner of a four-point proposal: pixel, its X and Y values
    Count
};

/// A reason (ours, or an error text of Qt or the system) as a sentence that ends in a full
/// stop, to stand before the next sentence of a message.
QString AsSentence(const QString& reason);

/// Message slots M01..M21 (filled by the language file; empty until then) and the extra texts.
class Texts {
public:
    Texts();

    /// Message slot n (1..21).
    const QString& message(int slot) const { return messages_.at(slot); }
    void setMessage(int slot, const QString& text) { messages_.at(slot) = text; }

    /// An extra text, from the language file when it had one, otherwise the built-in English.
    const QString& extra(ExtraText id) const { return extras_.at(int(id)); }
    void setExtra(ExtraText id, const QString& text) { extras_.at(int(id)) = text; }
    /// The built-in English of an extra text.
    static QString builtInExtra(ExtraText id);

private:
    std::array<QString, 22> messages_;
    std::array<QString, int(ExtraText::Count)> extras_;
};

} // namespace kurvana
