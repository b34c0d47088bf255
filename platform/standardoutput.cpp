#include "platform/standardoutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace kurvana {

StandardOutput::StandardOutput() {
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 StandardOutput::writeData(const char* data, qint64 size) {
    // Whatever stdio holds goes first, so that the two never interleave out of order.
    std::fflush(stdout);
    qint64 written = 0;
    while (written < size) {
        const ssize_t part = ::write(STDOUT_FILENO, data + written, std::size_t(size - written));
        if (part < 0 && errno == EINTR)
            continue;
        if (part <= 0) {
            setErrorString(QString::fromLocal8Bit(std::strerror(part < 0 ? errno : EIO)));
            return -1;
        }
        written += part;
    }
    return written;
}

bool PrintToStandardOutput(const QByteArray& bytes) {
    StandardOutput out;
    if (out.write(bytes) == bytes.size())
        return true;
    std::fprintf(stderr, "kurvana2: the standard output cannot be written: %s\n",
                 out.errorString().toLocal8Bit().constData());
    return false;
}

} // namespace kurvana
