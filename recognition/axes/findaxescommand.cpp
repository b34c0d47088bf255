#include "recognition/axes/findaxescommand.h"

#include <QFileDevice>
#include <QIODevice>
#include <QString>

#include "io/picturefile.h"
#include "recognition/axes/findaxes.h"

namespace kurvana {

namespace {

/// Writes all of `bytes` and pushes them out of the device's buffer: standard output may be a
/// full disk or a closed pipe, which only the flush reveals.
bool writeAll(QIODevice& device, const QByteArray& bytes) {
    if (device.write(bytes) != bytes.size())
        return false;
    auto* file = qobject_cast<QFileDevice*>(&device);
    return file == nullptr || (file->flush() && file->error() == QFileDevice::NoError);
}

} // namespace

int RunFindAxesCommand(const QString& path, LabelReader& reader, QIODevice& out, QIODevice& err) {
    const PictureReadResult read = TryReadPicture(path);
    if (read.picture.isNull()) {
        writeAll(err, QString("kurvana2: %1 cannot be read as a picture: %2\n")
                          .arg(path, read.reason)
                          .toLocal8Bit());
        return FindAxesUnreadable;
    }
    const AxisProposal proposal = FindAxes(read.picture, reader);
    if (!writeAll(out, ProposalJson(proposal))) {
        writeAll(err, QString("kurvana2: the answer could not be written: %1\n")
                          .arg(out.errorString())
                          .toLocal8Bit());
        return FindAxesOutputFailed;
    }
    return proposal.complete() ? FindAxesFull
           : proposal.empty()  ? FindAxesNothing
                               : FindAxesPartial;
}

} // namespace kurvana
