#include "bench/benchconfig.h"

#include <algorithm>

#include <QByteArray>
#include <QList>

namespace kurvana::bench {

namespace {
constexpr long long kSmokePixels = 300'000;
}

BenchConfig ParseBenchArguments(int argc, char** argv, std::vector<char*>& rest) {
    BenchConfig config;
    rest.assign(argv, argv + std::min(argc, 1));
    for (int i = 1; i < argc; ++i) {
        const QByteArray option(argv[i]);
        if (option == "--smoke") {
            config.smoke = true;
            config.runs = 1;
            config.pixels = {kSmokePixels};
        } else if (option == "--runs" && i + 1 < argc) {
            config.runs = std::max(1, QByteArray(argv[++i]).toInt());
        } else if (option == "--sizes" && i + 1 < argc) {
            config.pixels.clear();
            for (const QByteArray& megapixels : QByteArray(argv[++i]).split(','))
                config.pixels.push_back(static_cast<long long>(megapixels.toDouble() * 1e6));
        } else {
            rest.push_back(argv[i]);
        }
    }
    return config;
}

QString SizeLabel(long long pixels) {
    return QString::number(double(pixels) / 1e6, 'g', 3) + " MP";
}

} // namespace kurvana::bench
