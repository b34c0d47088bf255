#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include <QString>

namespace kurvana::bench {

/// What a measured run is made of: an untimed setup, the timed body, an untimed settle (the
/// event loop catching up with repaints, so that they do not pile up into the next run).
struct Steps {
    std::function<void()> setup;
    std::function<void()> body;
    std::function<void()> settle;
};

/// The machine baseline of one picture size: copying the picture's bytes once with memcpy,
/// between two buffers of its own that are already mapped. Copies are taken all through the
/// run, before every case, and the baseline is their median: the machine as the cases found it.
class MemcpyBaseline {
public:
    explicit MemcpyBaseline(std::size_t bytes);
    /// Times one copy and keeps it among the samples; returns its seconds.
    double copyOnce();
    /// The median of the copies so far, in seconds.
    double seconds() const;
    int copies() const { return int(samples_.size()); }
    /// Seconds of taking fresh memory from the system and copying into it: what the system
    /// charges for memory first touched, beside the copy itself.
    double freshCopyOnce();
    /// Seconds of writing the bytes to a new file at `path` (through a temporary file renamed
    /// into place, as a save does): what the system charges for a file of the picture's size.
    double newFileOnce(const QString& path);

private:
    std::vector<unsigned char> source_;
    std::vector<unsigned char> target_;
    std::vector<double> samples_;
};

/// Runs the steps `runs` times and returns the median seconds of the body. As many baseline
/// copies come first; none comes between a run's setup and its body, where it would empty the
/// caches the body finds warm.
double Measure(int runs, const Steps& steps, MemcpyBaseline& baseline);

double Median(std::vector<double> values);

} // namespace kurvana::bench
