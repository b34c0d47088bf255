#include "bench/peakmemory.h"

#include <cstdio>

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>

#include "bench/benchprogram.h"
#include "bench/measure.h"
#include "core/document.h"
#include "core/processmemory.h"
#include "core/workspace.h"
#include "io/picturecommands.h"
#include "platform/scripteddialogs.h"
#include "ui/application.h"

namespace kurvana::bench {

namespace {
constexpr int kChildTimeoutMs = 300'000;
}

int RunPeakMemoryChild(int argc, char** argv, const QString& bitmap) {
    QApplication application(argc, argv);
    Document doc;
    platform::ScriptedDialogs dialogs;
    QTemporaryDir folder;
    KurvanaApplication app(doc, dialogs);
    app.start(folder.path(), {}, '.'); // the open dialog is cancelled
    BenchProgram::settle();
    const long long withoutPicture = PeakMemoryBytes();
    if (!runCommand(app.workspace(), [&] { LoadPictureFile(app.workspace(), bitmap); }))
        return 1;
    BenchProgram::settle();
    app.imgGrafikMouseMove(QPoint(doc.pictureWidth / 2, doc.pictureHeight / 2), 0);
    BenchProgram::settle();
    std::printf("%lld %lld %lld\n", withoutPicture, PeakMemoryBytes(),
                static_cast<long long>(doc.cleanPicture.sizeInBytes()));
    return 0;
}

std::optional<PeakMemory> MeasurePeakMemory(const QString& bitmap) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {kPeakMemoryOption, bitmap});
    if (!child.waitForFinished(kChildTimeoutMs) || child.exitCode() != 0)
        return std::nullopt;
    const QStringList figures =
        QString::fromLatin1(child.readAllStandardOutput()).simplified().split(' ');
    if (figures.size() != 3)
        return std::nullopt;
    return PeakMemory{figures[0].toLongLong(), figures[1].toLongLong(), figures[2].toLongLong()};
}

} // namespace kurvana::bench
