#include "io/recovery.h"

#include <algorithm>
#include <functional>
#include <optional>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include "core/calibration.h"
#include "core/document.h"
#include "core/workspace.h"
#include "io/datacommands.h"
#include "io/datafile.h"
#include "io/sidecar.h"

namespace kurvana {

namespace {

const QString kDataName = "work.gra";
const QString kPictureName = "picture.bmp";
const QString kOriginName = "origin.txt";
const QString kSidecarName = SidecarPath(kDataName);
constexpr int kMessageStatusPanel = 0, kPictureStatusPanel = 2;

QString lockPathOf(const QString& folder) {
    return folder + ".lock";
}

bool saveAtomically(const QString& path, const std::function<bool(QIODevice&)>& write) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && write(file) && file.commit();
}

bool saveBytes(const QString& path, const QByteArray& bytes) {
    return saveAtomically(path, [&](QIODevice& d) { return d.write(bytes) == bytes.size(); });
}

/// The names the work came from, one a line: the data file, then the picture.
QByteArray originOf(const Document& doc) {
    return (doc.dataFileName + '\n' + doc.pictureFileName + '\n').toUtf8();
}

} // namespace

/// What one write needs, taken on the interface thread: bytes and a shared picture.
struct RecoveryCopy::Job {
    QString folder;
    QByteArray data;
    QByteArray origin;
    std::optional<QByteArray> sidecar; ///< nothing: the work holds nothing beside its data file
    QImage picture;                    ///< null when the copy on disk is current
    qint64 pictureKey = -1;
};

QString DefaultRecoveryRoot() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/recovery";
}

RecoveryCopy::RecoveryCopy(const Document& doc, const QString& root, QObject* parent)
    : QObject(parent), doc_(doc) {
    const QString name = QString("%1-%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(QDateTime::currentMSecsSinceEpoch());
    folder_ = root + '/' + name;
    QDir().mkpath(folder_);
    lock_ = std::make_unique<QLockFile>(lockPathOf(folder_));
    lock_->setStaleLockTime(0);
    lock_->tryLock(0);
    worker_.setMaxThreadCount(1);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &RecoveryCopy::startWrite);
}

RecoveryCopy::~RecoveryCopy() {
    timer_.stop();
    worker_.waitForDone();
    QDir(folder_).removeRecursively();
    lock_->unlock();
}

void RecoveryCopy::workChanged() {
    if (timer_.isActive())
        return; // the write already planned takes this change too
    const qint64 gapLeft = sinceWrite_.isValid() ? kMinGapMs - sinceWrite_.elapsed() : 0;
    timer_.start(int(std::max<qint64>(kQuietMs, gapLeft)));
}

void RecoveryCopy::discard() {
    timer_.stop();
    // Behind any write in progress on the one worker thread, so nothing written comes back.
    worker_.start([this] {
        for (const QString& name : {kDataName, kSidecarName, kOriginName, kPictureName})
            QFile::remove(folder_ + '/' + name);
        pictureOnDisk_ = -1;
    });
}

std::optional<RecoveryCopy::Job> RecoveryCopy::takeJob() const {
    const std::optional<QByteArray> data = DataFileBytes(DataFileFromDocument(doc_, kPictureName));
    if (!data)
        return std::nullopt;
    Job job{folder_, *data, originOf(doc_), SidecarBytes(doc_), {}, doc_.cleanPicture.cacheKey()};
    if (job.pictureKey != pictureOnDisk_)
        job.picture = doc_.cleanPicture; // shared, not copied: the clean picture is not written
    return job;
}

bool RecoveryCopy::write(const Job& job) {
    QDir().mkpath(job.folder);
    if (!job.picture.isNull()) {
        const bool pictureOk = saveAtomically(job.folder + '/' + kPictureName, [&](QIODevice& d) {
            return QImageWriter(&d, "bmp").write(job.picture);
        });
        pictureOnDisk_ = pictureOk ? job.pictureKey : -1;
        if (!pictureOk)
            return false;
    }
    // The sidecar before the data file: a copy is read by its data file, which must not come
    // with the extras of an older state.
    const QString sidecarPath = job.folder + '/' + kSidecarName;
    const bool sidecarOk = job.sidecar
                               ? saveBytes(sidecarPath, *job.sidecar)
                               : (QFile::remove(sidecarPath) || !QFile::exists(sidecarPath));
    return sidecarOk && saveBytes(job.folder + '/' + kOriginName, job.origin) &&
           saveBytes(job.folder + '/' + kDataName, job.data);
}

void RecoveryCopy::startWrite() {
    if (worker_.activeThreadCount() > 0) {
        timer_.start(kQuietMs); // the change comes with the next write
        return;
    }
    const std::optional<Job> job = takeJob();
    if (!job)
        return;
    sinceWrite_.start();
    worker_.start([this, job = *job] { write(job); });
}

bool RecoveryCopy::writeNow() {
    timer_.stop();
    worker_.waitForDone();
    const std::optional<Job> job = takeJob();
    sinceWrite_.start();
    return job && write(*job);
}

void RecoveryCopy::adopt(const QString& abandonedFolder) {
    worker_.waitForDone();
    QDir(folder_).removeRecursively();
    if (QDir().rename(abandonedFolder, folder_)) {
        // The picture there is the one the restore put in place.
        pictureOnDisk_ = doc_.cleanPicture.cacheKey();
    } else if (writeNow()) {
        RemoveRecoveryCopy(abandonedFolder);
    }
    QFile::remove(lockPathOf(abandonedFolder));
}

std::vector<QString> AbandonedRecoveryCopies(const QString& root) {
    std::vector<std::pair<QDateTime, QString>> found;
    const QFileInfoList folders =
        QDir(root).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& info : folders) {
        const QString folder = info.absoluteFilePath();
        QLockFile lock(lockPathOf(folder));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue; // a running program's
        const QFileInfo data(folder + '/' + kDataName);
        if (data.exists())
            found.emplace_back(data.lastModified(), folder);
        else
            QDir(folder).removeRecursively();
        lock.unlock();
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a > b; });
    std::vector<QString> newestFirst;
    for (const auto& [when, folder] : found)
        newestFirst.push_back(folder);
    return newestFirst;
}

void RestoreRecoveryCopy(Workspace& ws, const QString& folder) {
    const OpenedDataFile opened =
        ReadDataFileWithCopy(ws.doc, folder + '/' + kDataName, folder + '/');
    QFile originFile(folder + '/' + kOriginName);
    const QStringList origin = originFile.open(QIODevice::ReadOnly)
                                   ? QString::fromUtf8(originFile.readAll()).split('\n')
                                   : QStringList();
    InstallDataFile(ws, opened, origin.value(0), true);
    if (!origin.value(1).isEmpty())
        ws.doc.pictureFileName = origin.value(1);
    ws.view.setStatusText(kPictureStatusPanel, ws.doc.pictureFileName);
    try {
        RefreshValues(ws);
    } catch (const CommandError& error) {
        // The work is restored as it stood; the values follow once the texts are corrected.
        ws.view.setStatusText(kMessageStatusPanel, error.text());
    }
}

namespace {

/// The points a copy holds; -1 when its data file cannot be read.
int PointsInCopy(const Document& doc, const QString& folder) {
    try {
        const DataFileContent content = ReadDataFile(folder + '/' + kDataName, doc.texts);
        int points = 0;
        for (const auto& line : content.lines)
            points += int(line.size());
        return points;
    } catch (const CommandError&) {
        return -1;
    }
}

/// Discard, asked once more where there is work to lose; No keeps the copy for the next start.
void DiscardAbandonedCopy(Workspace& ws, const QString& copy) {
    const int points = PointsInCopy(ws.doc, copy);
    if (points != 0 &&
        ws.dialogs.question(ws.doc.texts.extra(ExtraText::DiscardRecoveryQuestion)
                                .arg(points < 0 ? QString("?") : QString::number(points)),
                            platform::QuestionButtons::YesNo) != platform::Answer::Yes)
        return;
    RemoveRecoveryCopy(copy);
}

bool TryRestore(Workspace& ws, const QString& copy, RecoveryCopy& own) {
    try {
        RestoreRecoveryCopy(ws, copy);
    } catch (const CommandError& error) {
        ws.dialogs.information(
            ws.doc.texts.extra(ExtraText::RecoveryNotRestored).arg(error.text()));
        return false;
    }
    own.adopt(copy);
    return true;
}

} // namespace

bool OfferAbandonedWork(Workspace& ws, const std::vector<QString>& copies, RecoveryCopy& own) {
    const Texts& texts = ws.doc.texts;
    for (const QString& copy : copies) {
        switch (ws.dialogs.choice(
            texts.extra(ExtraText::RestoreQuestion),
            {texts.extra(ExtraText::RestoreButton), texts.extra(ExtraText::DiscardButton)})) {
        case platform::Answer::Yes:
            if (TryRestore(ws, copy, own))
                return true;
            break;
        case platform::Answer::No:
            DiscardAbandonedCopy(ws, copy);
            break;
        case platform::Answer::Cancel:
            return false; // not now
        }
    }
    return false;
}

void RemoveRecoveryCopy(const QString& folder) {
    QDir(folder).removeRecursively();
    QFile::remove(lockPathOf(folder));
}

} // namespace kurvana
