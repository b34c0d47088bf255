#pragma once

#include "bench/benchconfig.h"

namespace kurvana::bench {

/// Runs the cases as a QtTest object (`argv` holds QtTest's options and case names) and prints
/// the report. Needs a QApplication. Returns the number of failed cases.
int RunKurvanaBench(const BenchConfig& config, int argc, char** argv);

} // namespace kurvana::bench
