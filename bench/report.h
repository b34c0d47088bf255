#pragma once

#include <cstdio>
#include <optional>
#include <vector>

#include <QString>

namespace kurvana::bench {

/// One picture size of the run and its machine baseline.
struct SizeInfo {
    QString label;           ///< "35 MP"
    int width = 0, height = 0;
    long long pictureBytes = 0; ///< the 32-bit picture in memory
    double baselineSeconds = 0; ///< memcpy of pictureBytes
    bool targetsApply = false;  ///< the targets are set for this size
};

/// One measured figure: a time, or a peak memory in bytes.
struct Figure {
    QString sizeLabel;
    QString name;
    double value = 0;       ///< seconds, or bytes when `memory`
    bool memory = false;
    std::optional<double> target; ///< the most the ratio may be
};

/// Collects the figures of a run and prints them beside the baseline as ratios: a time divided
/// by the memcpy baseline, a memory divided by the picture's bytes.
class Report {
public:
    void addSize(const SizeInfo& size);
    const SizeInfo* size(const QString& label) const;
    void add(const Figure& figure);
    double ratio(const Figure& figure) const;

    void print(std::FILE* out, int runs) const;

private:
    std::vector<SizeInfo> sizes_;
    std::vector<Figure> figures_;
};

} // namespace kurvana::bench
