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
    case ExtraText::Count:
        break;
    }
    return {};
}

} // namespace kurvana
