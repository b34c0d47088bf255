#pragma once

#include <QByteArray>
#include <QIODevice>

namespace kurvana {

/// Standard output as a device whose every write is checked: written straight to the file
/// descriptor, unbuffered, so that a full disk, a closed pipe's error or /dev/full shows in the
/// write that met it rather than in a flush at exit that nobody looks at. A failed write
/// returns -1 and leaves the system's reason in errorString().
class StandardOutput : public QIODevice {
public:
    StandardOutput();
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;
};

/// Writes `bytes` to standard output; when that fails, says why on standard error and returns
/// false. The command-line forms' one way of answering on standard output.
bool PrintToStandardOutput(const QByteArray& bytes);

} // namespace kurvana
