#pragma once

#include <functional>
#include <optional>

#include <QStringList>

#include "io/exportformats.h"

class QIODevice;

namespace kurvana {

/// Takes one option of a command-line form and its value ("--option VALUE" or
/// "--option=VALUE"; nothing when the arguments ended before the value); false when the form
/// does not know the option or its value.
using TakeOption = std::function<bool(const QString& option, const std::optional<QString>& value)>;

/// The files named by `arguments` (the words after the form's own word, such as "--export"):
/// every word not starting with '-', "-" itself (standard input or output), and every word
/// after "--"; each option in between is handed to `take` with its value. Nothing when an
/// option is not understood.
std::optional<QStringList> ParseCommandArguments(const QStringList& arguments,
                                                 const TakeOption& take);

/// What every form that writes exports is told: the form and where it goes.
struct ExportOptions {
    ExportFormat format = ExportFormat::Clipboard;
    std::optional<QString> output; ///< -o OUT
};

/// Takes "--format NAME" or "-o OUT" ("--output OUT") into `options`: whether the value is
/// good; nothing when `option` is another one.
std::optional<bool> TakeExportOption(ExportOptions& options, const QString& option,
                                     const std::optional<QString>& value);

/// One line on `err` per input, "kurvana2: " first, the text's own line ends folded, so that a
/// batch's reasons can be told apart.
void ReportCommandProblem(QIODevice& err, QString text);

} // namespace kurvana
