#include "bench/startuptiming.h"

#include <algorithm>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPaintEvent>
#include <QPainter>
#include <QProcess>
#include <QWidget>

#include "bench/measure.h"
#include "ui/firstpaint.h"

namespace kurvana::bench {

namespace {

constexpr int kReportTimeoutMs = 60'000;
constexpr const char* kReportPrefix = "kurvana2 first paint:";

/// The bare program's window: paints itself and reports, as imgGrafik does.
class BareWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter(this).fillRect(event->rect(), Qt::white);
        ReportFirstPicturePaint();
    }
};

std::optional<FirstPaint> ParseReport(const QByteArray& output, double seconds) {
    const qsizetype at = output.indexOf(kReportPrefix);
    const qsizetype end = output.indexOf('\n', at);
    if (at < 0 || end < 0)
        return std::nullopt;
    const QList<QByteArray> figures =
        output.mid(at + qsizetype(qstrlen(kReportPrefix)), end - at).simplified().split(' ');
    if (figures.size() != 3)
        return std::nullopt;
    return FirstPaint{seconds, figures[0].toDouble(), figures[1].toDouble(),
                      figures[2].toLongLong()};
}

} // namespace

int RunBareProgram(int argc, char** argv) {
    QApplication application(argc, argv);
    BareWindow window;
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}

std::optional<FirstPaint> TimeFirstPaint(const QString& program, const QStringList& arguments,
                                         const QString& platform) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", platform);
    environment.insert(kFirstPaintVariable, "1");
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    child.start(program, arguments);
    QByteArray output;
    std::optional<FirstPaint> result;
    while (!result && child.waitForReadyRead(kReportTimeoutMs)) {
        output += child.readAllStandardOutput();
        result = ParseReport(output, double(clock.nsecsElapsed()) / 1e9);
    }
    // Killed rather than closed: a closing program would write its settings.
    child.kill();
    child.waitForFinished();
    return result;
}

QStringList StartupPlatforms() {
    QStringList platforms{"offscreen"};
    if (qEnvironmentVariableIsSet("DISPLAY"))
        platforms << "xcb";
    return platforms;
}

QString Kurvana2Program() {
    const QString path = QCoreApplication::applicationDirPath() + "/../kurvana2";
    return QFileInfo(path).isExecutable() ? QFileInfo(path).canonicalFilePath() : QString();
}

FirstPaintSummary Summarise(const std::vector<FirstPaint>& starts) {
    std::vector<double> seconds, user, system, peak;
    for (const FirstPaint& start : starts) {
        seconds.push_back(start.seconds);
        user.push_back(start.userSeconds);
        system.push_back(start.systemSeconds);
        peak.push_back(double(start.peakBytes));
    }
    FirstPaintSummary summary;
    summary.medianSeconds = Median(seconds);
    summary.minimumSeconds =
        seconds.empty() ? 0 : *std::min_element(seconds.begin(), seconds.end());
    summary.medianUserSeconds = Median(user);
    summary.medianSystemSeconds = Median(system);
    summary.medianPeakBytes = Median(peak);
    return summary;
}

} // namespace kurvana::bench
