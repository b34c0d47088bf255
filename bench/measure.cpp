#include "bench/measure.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include <QFile>
#include <QRegularExpression>

namespace kurvana::bench {

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

template <typename F> double secondsOf(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double>(end - start).count();
}

} // namespace

double MedianSeconds(int runs, const Steps& steps) {
    std::vector<double> times;
    for (int i = 0; i < std::max(runs, 1); ++i) {
        if (steps.setup)
            steps.setup();
        times.push_back(secondsOf(steps.body));
        if (steps.settle)
            steps.settle();
    }
    return median(times);
}

double MemcpySeconds(const void* source, std::size_t bytes, int runs) {
    // The target is written once first: the baseline is the copy, not the kernel mapping
    // fresh pages.
    std::vector<unsigned char> target(bytes, 1);
    std::vector<double> times;
    for (int i = 0; i < std::max(runs, 1); ++i)
        times.push_back(secondsOf([&] { std::memcpy(target.data(), source, bytes); }));
    // Read the copy, so the compiler cannot drop it.
    volatile unsigned char sink = target[bytes / 2];
    (void)sink;
    return median(times);
}

long long PeakResidentBytes() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QString text = QString::fromLatin1(status.readAll());
    const QRegularExpressionMatch match =
        QRegularExpression(R"(VmHWM:\s*(\d+)\s*kB)").match(text);
    return match.hasMatch() ? match.captured(1).toLongLong() * 1024 : 0;
}

} // namespace kurvana::bench
