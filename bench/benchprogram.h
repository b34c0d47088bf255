#pragma once

#include <array>
#include <memory>
#include <vector>

#include <QPoint>
#include <QString>
#include <QTemporaryDir>

#include "bench/syntheticscan.h"
#include "core/document.h"
#include "platform/scripteddialogs.h"

namespace kurvana {
class KurvanaApplication;
struct Workspace;
} // namespace kurvana

namespace kurvana::bench {

constexpr int kPointsPerLine = 999;

/// The running program on one synthetic scan: its own program folder, the document, scripted
/// dialogs and every window (offscreen), started with the scan's bitmap on the command line.
class BenchProgram {
public:
    explicit BenchProgram(long long pixels);
    ~BenchProgram();

    KurvanaApplication& app() { return *app_; }
    Workspace& ws();
    Document& doc() { return doc_; }
    platform::ScriptedDialogs& dialogs() { return dialogs_; }
    const SyntheticScan& scan() const { return scan_; }
    const QString& bitmapPath() const { return bitmapPath_; }
    /// The picture's bytes in memory.
    long long pictureBytes() const;

    /// The work every case starts from: the reference points on the chart's axes, the axis
    /// texts 0..1000 and 0..10, 999 points on each of the five curves, line 1 current, marks
    /// mode, the marks and the axes drawn on the restored picture, the values refreshed.
    void restoreFullState();

    /// The stored points of line k in the full state.
    const std::vector<QPoint>& curvePoints(int line) const { return points_.at(line); }
    /// A picture position in the middle of the plot.
    QPoint plotCentre() const;

    /// Lets the windows catch up: pending repaints and layout.
    static void settle();

private:
    QTemporaryDir folder_;
    Document doc_;
    platform::ScriptedDialogs dialogs_;
    std::unique_ptr<KurvanaApplication> app_;
    SyntheticScan scan_;
    QString bitmapPath_;
    std::array<std::vector<QPoint>, kLineCount + 1> points_;
};

} // namespace kurvana::bench
