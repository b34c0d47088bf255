#pragma once

#include <vector>

#include <QString>

namespace kurvana::bench {

/// The scan size the targets are set for.
constexpr long long kTargetPixels = 35'000'000;

/// What a run of the benchmark measures.
struct BenchConfig {
    std::vector<long long> pixels{1'000'000, 10'000'000, kTargetPixels}; ///< scan sizes
    int runs = 5;       ///< runs per case; each figure is their median
    bool smoke = false; ///< every case once on a small scan
};

/// Takes the benchmark's own options (--sizes 1,10,35 in megapixels, --runs n, --smoke) out
/// of the command line; the rest, after the program name, is left for QtTest.
BenchConfig ParseBenchArguments(int argc, char** argv, std::vector<char*>& rest);

/// "35 MP".
QString SizeLabel(long long pixels);

} // namespace kurvana::bench
