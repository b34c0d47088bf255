#pragma once

#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

namespace kurvana::bench {

/// The option that makes the benchmark a bare Qt program: one window, painted once, reported
/// as the program reports its first paint. Its start-up is the floor of any Qt program's.
constexpr const char* kBareProgramOption = "--bare-first-paint";

/// The bare Qt program; returns its exit code (it runs until it is killed).
int RunBareProgram(int argc, char** argv);

/// One start of a program up to its first paint, measured from the outside.
struct FirstPaint {
    double seconds = 0; ///< from starting the process to reading its report
    double userSeconds = 0, systemSeconds = 0;
    long long peakBytes = 0; ///< PeakMemoryBytes at the first paint
};

/// Starts `program` with `arguments` on the Qt platform `platform` and the first-paint report
/// asked for, reads the report and kills the process. Nothing when it does not report within
/// a minute.
std::optional<FirstPaint> TimeFirstPaint(const QString& program, const QStringList& arguments,
                                         const QString& platform);

/// The Qt platforms to start programs on: offscreen, and X when a display is there.
QStringList StartupPlatforms();

/// The program file of kurvana2, built beside the benchmark's folder; empty when missing.
QString Kurvana2Program();

/// The figures of several starts: each the median, the wall time's minimum too.
struct FirstPaintSummary {
    double medianSeconds = 0, minimumSeconds = 0;
    double medianUserSeconds = 0, medianSystemSeconds = 0;
    double medianPeakBytes = 0;
};
FirstPaintSummary Summarise(const std::vector<FirstPaint>& starts);

} // namespace kurvana::bench
