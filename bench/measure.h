#pragma once

#include <cstddef>
#include <functional>

namespace kurvana::bench {

/// What a measured run is made of: an untimed setup, the timed body, an untimed settle (the
/// event loop catching up with repaints, so that they do not pile up into the next run).
struct Steps {
    std::function<void()> setup;
    std::function<void()> body;
    std::function<void()> settle;
};

/// The median wall time of `runs` runs of the body, in seconds.
double MedianSeconds(int runs, const Steps& steps);

/// The machine baseline: the median time of copying `bytes` bytes once with memcpy, between
/// two buffers that are already mapped, in seconds.
double MemcpySeconds(const void* source, std::size_t bytes, int runs);

/// The peak resident set of this process (VmHWM), in bytes; 0 when the system does not say.
long long PeakResidentBytes();

} // namespace kurvana::bench
