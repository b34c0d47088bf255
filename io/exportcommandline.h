#pragma once

#include <functional>

#include <QStringList>

class QIODevice;

namespace kurvana {

struct Document;

/// `kurvana2 --export [--format csv|tsv|json] [-o OUT] FILE.gra...`, given the arguments after
/// "--export". Without --format the form is the clipboard text. One file goes to standard
/// output, or to OUT with -o; several files each get their output beside them (NAME.csv,
/// NAME.tsv, NAME.json, NAME.txt for the clipboard text), and every readable file gets its
/// output even when others fail. Outputs are written atomically. `prepare` readies a fresh
/// document for each file (program folder, decimal separator, settings). Reasons go to `err`,
/// one line per file. Every write is checked, `out` included (StandardOutput from the command
/// line). Returns 0, 1 when any file could not be read or written, 2 for a usage error.
int RunExportCommand(const QStringList& arguments, const std::function<void(Document&)>& prepare,
                     QIODevice& out, QIODevice& err);

} // namespace kurvana
