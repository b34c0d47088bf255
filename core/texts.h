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
    StepTooSmall,           ///< %1 = the most steps one fixed-step search takes
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
    Count
};

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
