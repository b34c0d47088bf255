#include "io/commandarguments.h"

#include <QIODevice>

namespace kurvana {

std::optional<QStringList> ParseCommandArguments(const QStringList& arguments,
                                                 const TakeOption& take) {
    QStringList files;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith('-') || argument == "-") {
            files << argument;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const qsizetype equals = argument.indexOf('=');
        const QString option = equals > 0 ? argument.left(equals) : argument;
        std::optional<QString> value;
        if (equals > 0)
            value = argument.mid(equals + 1);
        else if (i + 1 < arguments.size())
            value = arguments[++i];
        if (!take(option, value))
            return std::nullopt;
    }
    return files;
}

std::optional<bool> TakeExportOption(ExportOptions& options, const QString& option,
                                     const std::optional<QString>& value) {
    if (option == "--format") {
        const auto format = value ? ExportFormatNamed(*value) : std::nullopt;
        options.format = format.value_or(options.format);
        return format.has_value();
    }
    if (option != "-o" && option != "--output")
        return std::nullopt;
    options.output = value;
    return value.has_value();
}

void ReportCommandProblem(QIODevice& err, QString text) {
    text.replace("\r\n", " ").replace('\r', ' ').replace('\n', ' ');
    err.write(("kurvana2: " + text + '\n').toLocal8Bit());
}

} // namespace kurvana
