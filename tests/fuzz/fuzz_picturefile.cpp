// A picture file from outside, read by the program's picture reader: any bytes under the
// bitmap name either give a 32-bit picture within the size limit or a reason, never both.
#include <cstddef>
#include <cstdint>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>

#include "fuzzinput.h"
#include "io/picturefile.h"

using namespace kurvana;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One file per fuzzing process, rewritten for each input; /dev/shm keeps it off the disk.
    static const QString path =
        (QDir("/dev/shm").exists() ? QString("/dev/shm") : QDir::tempPath()) +
        QString("/kurvana_fuzz_%1.bmp").arg(QCoreApplication::applicationPid());
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const PictureReadResult result = TryReadPicture(path);
    if (result.picture.isNull()) {
        fuzz::Require(!result.reason.isEmpty(), "a refused picture has a reason");
        return 0;
    }
    fuzz::Require(result.reason.isEmpty() && !result.tooLargeSize.isValid(),
                  "a picture comes without a refusal");
    fuzz::Require(result.picture.format() == QImage::Format_RGB32, "pictures are 32-bit RGB");
    fuzz::Require(result.picture.width() <= kMaxPictureSide &&
                      result.picture.height() <= kMaxPictureSide,
                  "pictures within the size limit");
    return 0;
}
