#pragma once

namespace kurvana {

/// The environment variable that asks for the first-paint report (any value).
constexpr const char* kFirstPaintVariable = "KURVANA2_FIRST_PAINT";

/// Called after imgGrafik has painted a picture. The first time, and only when
/// KURVANA2_FIRST_PAINT is set, writes one line to standard output:
/// "kurvana2 first paint: USER_SECONDS SYSTEM_SECONDS PEAK_MEMORY_BYTES". The benchmark
/// times the program's start-up from the outside by it; a user never sets it.
/// The peak memory is PeakMemoryBytes.
void ReportFirstPicturePaint();

} // namespace kurvana
