// The benchmark on large scans: every case on synthetic chart scans of several sizes, each the
// median of several runs, printed beside the machine's memcpy of the picture's bytes.
//
//   kurvana_bench [--sizes 1,10,35] [--runs 5] [--smoke] [QtTest options and case names]
//
// --smoke runs every case once on a small scan, so that the cases keep working. QtTest runs
// silent unless a -v option is given: the figures are the report at the end.

#include <algorithm>
#include <vector>

#include <QApplication>
#include <QByteArray>

#include "bench/benchconfig.h"
#include "bench/kurvanabench.h"
#include "bench/peakmemory.h"
#include "bench/startuptiming.h"

using namespace kurvana::bench;

int main(int argc, char** argv) {
    // The bare program of the start-up case runs on the platform it was started for.
    if (argc >= 2 && QByteArray(argv[1]) == kBareProgramOption)
        return RunBareProgram(argc, argv);
    // Windows are created but never shown on a screen: the figures must not depend on one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // A case starts dozens of programs on a 35-megapixel scan: more than QtTest's five minutes
    // on a busy machine.
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "3600000");
    if (argc == 3 && QByteArray(argv[1]) == kPeakMemoryOption)
        return RunPeakMemoryChild(argc, argv, QString::fromLocal8Bit(argv[2]));

    std::vector<char*> rest;
    const BenchConfig config = ParseBenchArguments(argc, argv, rest);
    static char silent[] = "-silent";
    const bool verbosityGiven = std::any_of(rest.begin() + 1, rest.end(), [](const char* a) {
        const QByteArray option(a);
        return option.startsWith("-v") || option == "-silent";
    });
    if (!verbosityGiven)
        rest.insert(rest.begin() + 1, silent);
    int count = int(rest.size());
    QApplication application(count, rest.data());
    return RunKurvanaBench(config, count, rest.data());
}
