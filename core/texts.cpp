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
        return "The work not saved could not be restored: %1";
    case ExtraText::Count:
        break;
    }
    return {};
}

} // namespace kurvana
