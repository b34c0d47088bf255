#include "ui/firstpaint.h"

#include <cstdio>

#include <QtGlobal>

#if defined(__linux__)
#include <sys/resource.h>
#endif

#include "core/processmemory.h"

namespace kurvana {

namespace {

#if defined(__linux__)
double Seconds(const timeval& time) {
    return double(time.tv_sec) + double(time.tv_usec) / 1e6;
}
#endif

} // namespace

void ReportFirstPicturePaint() {
    static bool reported = false;
    if (reported)
        return;
    reported = true;
    if (!qEnvironmentVariableIsSet(kFirstPaintVariable))
        return;
    double user = 0, system = 0;
#if defined(__linux__)
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) == 0) {
        user = Seconds(usage.ru_utime);
        system = Seconds(usage.ru_stime);
    }
#endif
    std::printf("kurvana2 first paint: %.4f %.4f %lld\n", user, system, PeakMemoryBytes());
    std::fflush(stdout);
}

} // namespace kurvana
