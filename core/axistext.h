#pragma once

#include <QString>

#include "core/document.h"

namespace kurvana {

/// Which axis a value belongs to.
enum class AxisName { X, Y };

/// Whether the axis is a date axis: linear in day counts (core/datetime.h), shown as dates.
bool IsDateAxis(const Document& doc, AxisName axis);

/// The axis value of an axis text as typed in the Input window: a number, or on a date axis a
/// date or date-time (a plain number there is a day count, as older data files hold it).
/// Throws CommandError when it is neither.
double ParseAxisText(const Document& doc, AxisName axis, const QString& text);

/// A point's value on the axis as the table, the clipboard and the check grid show it: the
/// chosen number format, or on a date axis its ISO 8601 date at the axis's precision.
QString AxisValueText(const Document& doc, AxisName axis, double value);

/// A value as the status bar's readout under the mouse shows it: two decimals, or a date.
QString ReadoutText(const Document& doc, AxisName axis, double value);

/// An axis text as the data and settings files keep it: a date axis keeps the day count, so
/// that a reader that knows no date axes sees the numbers of a linear axis.
QString StoredAxisText(const Document& doc, AxisName axis, const QString& typed);

/// A stored axis text as a date axis shows it (the day count as a date); other axes and texts
/// that are no numbers stay as they are.
QString ShownAxisText(const Document& doc, AxisName axis, const QString& stored);

/// Before the axis becomes of `kind`: its four texts retyped for it when it becomes a date axis
/// or stops being one (day counts shown as dates, dates as day counts), so that they keep their
/// values. True when a text changed.
bool RetypeAxisTexts(Document& doc, AxisName axis, ScaleKind kind);

} // namespace kurvana
