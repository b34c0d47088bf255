#include "bench/measure.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>

#include <QFile>
#include <QSaveFile>

namespace kurvana::bench {

namespace {

template <typename F> double secondsOf(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double>(end - start).count();
}

/// Reads a byte of a copy, so the compiler cannot drop the copy.
void keep(const unsigned char* bytes, std::size_t size) {
    volatile unsigned char sink = bytes[size / 2];
    (void)sink;
}

} // namespace

// Both buffers are written once first: the baseline is the copy, not the system mapping
// fresh pages.
MemcpyBaseline::MemcpyBaseline(std::size_t bytes) : source_(bytes, 0x5A), target_(bytes, 1) {}

double MemcpyBaseline::copyOnce() {
    const double seconds =
        secondsOf([&] { std::memcpy(target_.data(), source_.data(), source_.size()); });
    keep(target_.data(), target_.size());
    samples_.push_back(seconds);
    return seconds;
}

double MemcpyBaseline::seconds() const {
    return Median(samples_);
}

double MemcpyBaseline::freshCopyOnce() {
    std::unique_ptr<unsigned char[]> fresh;
    const double seconds = secondsOf([&] {
        fresh.reset(new unsigned char[source_.size()]);
        std::memcpy(fresh.get(), source_.data(), source_.size());
    });
    keep(fresh.get(), source_.size());
    return seconds;
}

double MemcpyBaseline::newFileOnce(const QString& path) {
    const double seconds = secondsOf([&] {
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(reinterpret_cast<const char*>(source_.data()), qint64(source_.size()));
            file.commit();
        }
    });
    QFile::remove(path);
    return seconds;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Measure(int runs, const Steps& steps, MemcpyBaseline& baseline) {
    const int count = std::max(runs, 1);
    for (int i = 0; i < count; ++i)
        baseline.copyOnce();
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        if (steps.setup)
            steps.setup();
        times.push_back(secondsOf(steps.body));
        if (steps.settle)
            steps.settle();
    }
    return Median(times);
}

} // namespace kurvana::bench
