#pragma once

#include <cstdio>
#include <optional>
#include <vector>

#include <QString>

namespace kurvana::bench {

/// One picture size of the run and its machine references.
struct SizeInfo {
    QString label; ///< "35 MP"
    int width = 0, height = 0;
    long long pictureBytes = 0; ///< the 32-bit picture in memory
    double memcpySeconds = 0;   ///< the baseline: memcpy of pictureBytes
    int memcpyCopies = 0;       ///< the copies it is the median of
    double freshSeconds = 0;    ///< the same into memory fresh from the system
    double newFileSeconds = 0;  ///< the same bytes written to a new file
    bool targetsApply = false;  ///< the targets are set for this size
};

/// One measured figure: a time, or a peak memory in bytes.
struct Figure {
    QString sizeLabel;
    QString name;
    double value = 0; ///< seconds, or bytes when `memory`
    bool memory = false;
    std::optional<double> target;        ///< the most the ratio may be
    std::optional<double> targetSeconds; ///< the most the time itself may be
};

/// Collects the figures of a run and prints them, size by size, with their ratios and the
/// targets they meet or miss.
class Report {
public:
    void addSize(const SizeInfo& size);
    /// The baseline of a size as it stands at the end of the run.
    void setBaseline(const QString& label, double seconds, int copies);
    void add(const Figure& figure);
    /// A time over the memcpy baseline of its size; a memory over the picture's bytes.
    double ratio(const Figure& figure) const;

    void print(std::FILE* out, int runs) const;

private:
    std::vector<SizeInfo> sizes_;
    std::vector<Figure> figures_;
};

} // namespace kurvana::bench
