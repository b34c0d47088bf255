#include "core/texts.h"

namespace kurvana {

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
        return "The picture \"%1\" cannot be opened: %2\nNothing was changed.";
    case ExtraText::PictureTooLarge:
        return "The picture \"%1\" (%2 x %3 pixels) is too large to open.\nNothing was changed.";
    case ExtraText::DataFileUnreadable:
        return "The data file \"%1\" cannot be read (line %2): %3\nNothing was changed.";
    case ExtraText::DataFileSaveFailed:
        return "Saving \"%1\" failed: %2\nThe files that were there before are unchanged.";
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
    case ExtraText::Count:
        break;
    }
    return {};
}

} // namespace kurvana
