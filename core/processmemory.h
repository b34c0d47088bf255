#pragma once

namespace kurvana {

/// The most memory this process has held, in bytes: the peak resident set (VmHWM), with the
/// pages of the pictures' memory files counted whether they are mapped or not. A picture read
/// into a memory file is resident but counted by the system only where some part of the
/// program has mapped and touched it, so the peak resident set alone would leave most of a
/// large scan out. 0 where the system does not say.
long long PeakMemoryBytes();

} // namespace kurvana
