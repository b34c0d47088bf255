#pragma once

#include <optional>

#include <QString>

namespace kurvana::bench {

/// The option that makes the benchmark the child process of the peak memory case.
constexpr const char* kPeakMemoryOption = "--peak-memory";

/// What the child process reports.
struct PeakMemory {
    long long withoutPicture = 0; ///< PeakMemoryBytes of the started program, no picture yet
    long long withPicture = 0;    ///< PeakMemoryBytes once the bitmap is open and shown
    long long pictureBytes = 0;   ///< the picture it holds
};

/// The child: starts the program (offscreen, every window), opens `bitmap`, shows it, moves
/// the mouse once and prints what it measured. Returns the process's exit code.
int RunPeakMemoryChild(int argc, char** argv, const QString& bitmap);

/// Runs the benchmark program itself as the child, so that nothing an earlier case held
/// counts. Nothing when the child fails.
std::optional<PeakMemory> MeasurePeakMemory(const QString& bitmap);

} // namespace kurvana::bench
