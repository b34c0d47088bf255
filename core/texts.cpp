#include "core/texts.h"

namespace kurvana {

QString AsSentence(const QString& reason) {
    const QString trimmed = reason.trimmed();
    if (trimmed.isEmpty() || trimmed.endsWith('.') || trimmed.endsWith('!') ||
        trimmed.endsWith('?'))
        return trimmed;
    return trimmed + '.';
}

Texts::Texts() {
    for (int i = 0; i < int(ExtraText::Count); ++i)
        extras_.at(i) = builtInExtra(ExtraText(i));
}

QString Texts::builtInExtra(ExtraText id) {
    switch (id) {
    case ExtraText::XAxisTooShort:
        return "The X axis is shorter than one pixel: move the X max point away from the zero "
               "point. The values were not recomputed.";
    case ExtraText::YAxisTooShort:
        return "The Y axis is shorter than one pixel: move the Y max point away from the X axis. "
               "The values were not recomputed.";
    case ExtraText::XMaxOnZeroPoint:
        return "The X max point cannot lie on the zero point. Nothing was changed.";
    case ExtraText::CountNotWhole:
        return "'%1' is not a whole number of points. Type a number from 1 to 1000.";
    case ExtraText::CountZero:
        return "The number of points must not be 0. Type a number from 1 to 1000.";
    case ExtraText::PictureUnreadable:
        return "The picture \"%1\" cannot be opened: %2 Nothing was changed.";
    case ExtraText::PictureTooLarge:
        return "The picture \"%1\" (%2 x %3 pixels) is too large to open. Nothing was changed.";
    case ExtraText::DataFileUnreadable:
        return "The data file \"%1\" cannot be read (line %2): %3 Nothing was changed.";
    case ExtraText::DataFileSaveFailed:
        return "Saving \"%1\" failed: %2 The files that were there before are unchanged.";
    case ExtraText::SettingsSaveFailed:
        return "The settings could not be written to \"%1\": %2";
    case ExtraText::StepNotPositive:
        return "The step must be a number greater than 0.";
    case ExtraText::NoAxisFound:
        return "No axis was found in the search band: the picture has no dark pixels there. "
               "Nothing was changed.";
    case ExtraText::LineFull:
        return "The line is full.";
    case ExtraText::LanguageFileUnreadable:
        return "The language file \"%1\" cannot be read; the texts stay as they were.";
    case ExtraText::StepTooSmall:
        return "The step is too small: the search would take more than %1 steps. Nothing was "
               "changed.";
    case ExtraText::SnapRuleTitle:
        return "Autocorrection snaps onto";
    case ExtraText::SnapAnyColour:
        return "lines of any colour";
    case ExtraText::SnapDarkOnly:
        return "dark lines only";
    case ExtraText::SearchWithTolerance:
        return "By color, with tolerance";
    case ExtraText::SearchTolerance:
        return "Tolerance (colour distance, 0-441)";
    case ExtraText::SearchPreview:
        return "Tint the matching pixels";
    case ExtraText::XRangeEmpty:
        return "X min equals X max: the X values have no place on the picture. Type different "
               "values for X min and X max. The list was not changed.";
    case ExtraText::FixedStepListTooLong:
        return "The list would grow beyond %1 lines, more than the memory holds. Choose a larger "
               "step or a shorter range. The list was not changed.";
    case ExtraText::RotatedFrameOverflow:
        return "Integer overflow in the rotated frame.";
    case ExtraText::SetupColours:
        return "Colors";
    case ExtraText::SetupLines:
        return "Lines";
    case ExtraText::SetupAxes:
        return "Axes";
    case ExtraText::PdfNotPdf:
        return "it is not a PDF document.";
    case ExtraText::PdfDamaged:
        return "the PDF document is damaged.";
    case ExtraText::PdfEncrypted:
        return "the PDF document is encrypted with a password.";
    case ExtraText::PdfNoSuchPage:
        return "there is no page %1: the document has %2 pages.";
    case ExtraText::PdfBadOption:
        return "The option %1 needs a whole number, not \"%2\". Nothing was changed.";
    case ExtraText::PdfDpiRange:
        return "The resolution must be from %1 to %2 dots per inch. Nothing was changed.";
    case ExtraText::PdfNoChooser:
        return "A page of \"%1\" cannot be chosen here: name it with --page.";
    case ExtraText::PdfChooserTitle:
        return "Open a PDF page: %1";
    case ExtraText::PdfPageLabel:
        return "Page:";
    case ExtraText::PdfResolutionLabel:
        return "Resolution, dots per inch:";
    case ExtraText::PdfPictureSize:
        return "Picture: %1 x %2 pixels, %3 MB";
    case ExtraText::PdfPictureTooLarge:
        return "A picture of %1 x %2 pixels is too large: the program opens at most %3 pixels a "
               "side. Lower the resolution or choose a smaller region.";
    case ExtraText::PdfRegionHint:
        return "Drag a rectangle on the page to open only that part of it.";
    case ExtraText::PdfWholePage:
        return "Whole page";
    case ExtraText::PdfOpenButton:
        return "Open";
    case ExtraText::PdfCancelButton:
        return "Cancel";
    case ExtraText::PdfRendering:
        return "Rendering page %1 at %2 dots per inch…";
    case ExtraText::PdfStatus:
        return "%1, page %2, %3 dpi";
    case ExtraText::PdfRenderFailed:
        return "page %1 could not be rendered (not enough memory or an error in the document).";
    case ExtraText::PdfFileMissing:
        return "the file does not exist.";
    case ExtraText::CheckGridCaption:
        return "Check &grid";
    case ExtraText::CheckGridHint:
        return "Check grid: round axis values drawn through the calibration (G)";
    case ExtraText::ExportDataCaption:
        return "&Export data...";
    case ExtraText::ExportDialogCaption:
        return "Export data";
    case ExtraText::ExportFilter:
        return "CSV, comma separated (*.csv);;TSV, tab separated (*.tsv);;JSON (*.json)";
    case ExtraText::ExportDone:
        return "%2 points were written to \"%1\".";
    case ExtraText::ExportFailed:
        return "Exporting to \"%1\" failed (%2). The file that was there before is unchanged.";
    case ExtraText::EditMenu:
        return "&Edit";
    case ExtraText::UndoCommand:
        return "Undo";
    case ExtraText::RedoCommand:
        return "Redo";
    case ExtraText::UndoStep:
        return "Undo: %1";
    case ExtraText::RedoStep:
        return "Redo: %1";
    case ExtraText::StepAddPoint:
        return "point on line %1";
    case ExtraText::StepRemovePoints:
        return "remove points of line %1";
    case ExtraText::StepErase:
        return "erase points of line %1";
    case ExtraText::StepMovePoint:
        return "move a point of line %1";
    case ExtraText::StepClearLine:
        return "clear line %1";
    case ExtraText::StepColourLineSearch:
        return "colour line search on line %1";
    case ExtraText::StepZoneSearch:
        return "zone search on line %1";
    case ExtraText::StepAutomaticDigitising:
        return "automatic digitising of line %1";
    case ExtraText::StepZeroPoint:
        return "zero point";
    case ExtraText::StepXMaxPoint:
        return "X max point";
    case ExtraText::StepYMaxPoint:
        return "Y max point";
    case ExtraText::StepAxisValues:
        return "axis values";
    case ExtraText::StepCleanUp:
        return "picture clean-up";
    case ExtraText::SaveChangesQuestion:
        return "Save the changes to the points of this chart?";
    case ExtraText::SaveButton:
        return "Save";
    case ExtraText::DiscardButton:
        return "Discard";
    case ExtraText::CancelButton:
        return "Cancel";
    case ExtraText::RestoreQuestion:
        return "Restore the work not saved when Kurvana II last closed?";
    case ExtraText::RestoreButton:
        return "Restore";
    case ExtraText::RecoveryNotRestored:
        return "The work not saved could not be restored: %1 It is kept and offered again at the "
               "next start.";
    case ExtraText::FindAxesCaption:
        return "Find axes";
    case ExtraText::FindAxesHint:
        return "Find the axes on the chart and propose the calibration";
    case ExtraText::AxesNotFound:
        return "No axes were found on the picture. Nothing was changed.";
    case ExtraText::AxesProposalHeading:
        return "The axes found on the chart (marked on the picture):";
    case ExtraText::AxesZeroPointLine:
        return "Zero point (%1, %2): X = %3, Y = %4";
    case ExtraText::AxesXMaxPointLine:
        return "X max point (%1, %2): X = %3";
    case ExtraText::AxesYMaxPointLine:
        return "Y max point (%1, %2): Y = %3";
    case ExtraText::AxesScales:
        return "X scale: %1; Y scale: %2";
    case ExtraText::AxesScaleLinear:
        return "linear";
    case ExtraText::AxesScaleLog10:
        return "decimal logarithmic (the values are exponents)";
    case ExtraText::AxesNoLine:
        return "%1 axis not found.";
    case ExtraText::AxesLabelsUnreadable:
        return "%1 axis labels unreadable.";
    case ExtraText::AxesLabelsDisagree:
        return "%1 axis labels follow no linear or logarithmic rule; no values are proposed.";
    case ExtraText::AxesRuleUnchecked:
        return "%1 axis has only two labels: its rule could not be checked.";
    case ExtraText::AxesLabelsDropped:
        return "%1 axis labels that do not fit the others were dropped: %2";
    case ExtraText::AxesAcceptQuestion:
        return "Accept this calibration? Values not found (?) stay as they are: type them in the "
               "Input window.";
    case ExtraText::PdfModuleMissing:
        return "the program's PDF module (kurvana2-pdf.so) is missing or damaged: install the "
               "program again.";
    case ExtraText::ScaleDate:
        return "Date/time";
    case ExtraText::NotADate:
        return "'%1' is not a date: type it as 2024-03-01, 2024-03-01 14:30 or as a day count.";
    case ExtraText::FindBarsCaption:
        return "Find &bars";
    case ExtraText::FindBarsHint:
        return "Find bars: click one bar; every bar of its colour becomes a point of the line";
    case ExtraText::NoBarFound:
        return "No bar was found under the click. Nothing was changed.";
    case ExtraText::BarsFound:
        return "%1 bars";
    case ExtraText::StepFindBars:
        return "find bars";
    case ExtraText::ExportOutputFailed:
        return "The export could not be written to the standard output (%1).";
    case ExtraText::AxesLabelDataMissing:
        return "No axis label can be read: the label reader's English data (package "
               "tesseract-ocr-eng) or the program's label module are not installed.";
    case ExtraText::ReplaceOtherWorkQuestion:
        return "%1 already holds the work on another chart. Replace it?";
    case ExtraText::DiscardRecoveryQuestion:
        return "The work not saved holds %1 points. Delete it for good?";
    case ExtraText::CommandLineFileKept:
        return "%1 not opened (work restored)";
    case ExtraText::StepScaleKind:
        return "scale kind";
    case ExtraText::FindAxesRunning:
        return "Looking for the axes and reading their labels…";
    case ExtraText::FourPointsUnusable:
        return "Three of the four reference points lie on one line, or their values go round in "
               "another order than the points: place the points on four corners of the plot and "
               "type their values. The values were not recomputed.";
    case ExtraText::PolarUnusable:
        return "The polar reference point lies on the centre, or its radius equals the radius at "
               "the centre. The values were not recomputed.";
    case ExtraText::FrameThreePoints:
        return "three points";
    case ExtraText::FramePerspective:
        return "perspective (four points)";
    case ExtraText::FramePolar:
        return "polar";
    case ExtraText::FramePointButton:
        return "Point %1";
    case ExtraText::PolarCentreButton:
        return "Centre";
    case ExtraText::PolarReferenceButton:
        return "Reference point";
    case ExtraText::PolarReferenceAngle:
        return "Angle of the reference point";
    case ExtraText::PolarReferenceRadius:
        return "Radius of the reference point";
    case ExtraText::PolarCentreRadius:
        return "Radius at the centre";
    case ExtraText::PolarCounterclockwise:
        return "counter-clockwise";
    case ExtraText::PolarClockwise:
        return "clockwise";
    case ExtraText::PolarDegrees:
        return "degrees";
    case ExtraText::PolarRadians:
        return "radians";
    case ExtraText::PolarRadiusLinear:
        return "linear radius";
    case ExtraText::PolarRadiusLog10:
        return "log10 radius (typed as exponents)";
    case ExtraText::FixedStepNeedsThreePoints:
        return "The fixed-step search works on the three-point calibration only: choose three "
               "points in the Input window. Nothing was searched.";
    case ExtraText::FindMarkersCaption:
        return "Find &markers";
    case ExtraText::FindMarkersHint:
        return "Find markers: click one marker; every marker of its kind becomes a point of the "
               "line";
    case ExtraText::NoMarkerFound:
        return "No marker was found under the click. Nothing was changed.";
    case ExtraText::MarkersFound:
        return "%1 markers";
    case ExtraText::StepFindMarkers:
        return "find markers";
    case ExtraText::DigitiseChartCaption:
        return "Digitise &whole chart";
    case ExtraText::DigitiseChartHint:
        return "Digitise whole chart: find the axes and every data series, each series into a line "
               "of its own";
    case ExtraText::DigitiseChartRunning:
        return "Reading the whole chart...";
    case ExtraText::ChartNothingFound:
        return "Neither axes nor data series were found in the picture. Nothing was changed.";
    case ExtraText::ChartProposalHeading:
        return "Found in the chart:";
    case ExtraText::ChartSeriesLine:
        return "Line %1: %2, colour %3, %4 points, %5";
    case ExtraText::ChartKindCurve:
        return "curve";
    case ExtraText::ChartKindMarkers:
        return "markers";
    case ExtraText::ChartKindBars:
        return "bars";
    case ExtraText::ChartNoName:
        return "no name";
    case ExtraText::ChartNoSeries:
        return "No data series was found in the plot area.";
    case ExtraText::ChartTooManySeries:
        return "%1 more series were found than the five lines hold; they are left out.";
    case ExtraText::ChartCurveLost:
        return "Line %1: the curve was followed over only %2 % of its length.";
    case ExtraText::ChartAcceptQuestion:
        return "Put these series into the lines (their points are replaced)?";
    case ExtraText::ChartCalibrationKept:
        return "The calibration is kept from the previous picture.";
    case ExtraText::KeepCalibrationCaption:
        return "Keep calibration for the next picture";
    case ExtraText::StepDigitiseChart:
        return "digitise whole chart";
    case ExtraText::CalibrationUnreadable:
        return "No calibration can be taken from \"%1\": it is neither a data file nor JSON "
               "holding a calibration.";
    case ExtraText::ChartNoAxes:
        return "no axes were found (give a calibration with --calibration)";
    case ExtraText::ChartPartialAxes:
        return "the axes were found only in part";
    case ExtraText::BatchNoSeries:
        return "no data series was found in the plot area";
    case ExtraText::BatchTooManySeries:
        return "more series than the five lines: %1 left out";
    case ExtraText::BatchCurveLost:
        return "a curve was lost over part of its length (lines %1)";
    case ExtraText::DigitiseProgress:
        return "%1/%2: %3";
    case ExtraText::DigitiseOverInput:
        return "The output for \"%1\" would replace that file itself; nothing was written.";
    case ExtraText::FindMarkersRunning:
        return "Finding markers...";
    case ExtraText::MarkerMatchCaption:
        return "Marker match";
    case ExtraText::MarkerMatchTolerance:
        return "Tolerance of shape and colour, %:";
    case ExtraText::MarkerMatchHint:
        return "Click a marker: the picture tints what its colour would take at this tolerance.";
    case ExtraText::AxesPerspectiveCorner:
        return "Corner seen in perspective (%1, %2): X = %3, Y = %4";
    case ExtraText::Count:
        break;
    }
    return {};
}

} // namespace kurvana
