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

#include "core/document.h"
#include "core/workspace.h"
#include "io/datacommands.h"
#include "io/datafile.h"

namespace kurvana {

namespace {

const QString kDataName = "work.gra";
const QString kPictureName = "picture.bmp";
const QString kOriginName = "origin.txt";
constexpr int kPictureStatusPanel = 2;

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
    QImage picture; ///< null when the copy on disk is current
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
    discardAfterWrite_ = false;
    if (writing_) {
        changedDuringWrite_ = true;
        return;
    }
    if (timer_.isActive())
        return; // the write already planned takes this change too
    const qint64 gapLeft = sinceWrite_.isValid() ? kMinGapMs - sinceWrite_.elapsed() : 0;
    timer_.start(int(std::max<qint64>(kQuietMs, gapLeft)));
}

void RecoveryCopy::discard() {
    timer_.stop();
    changedDuringWrite_ = false;
    if (writing_)
        discardAfterWrite_ = true;
    else
        removeFiles();
}

void RecoveryCopy::removeFiles() {
    for (const QString& name : {kDataName, kOriginName, kPictureName})
        QFile::remove(folder_ + '/' + name);
    pictureKey_ = -1;
}

void RecoveryCopy::startWrite() {
    const std::optional<QByteArray> data = DataFileBytes(DataFileFromDocument(doc_, kPictureName));
    if (!data)
        return; // texts a data file cannot hold: no copy rather than a wrong one
    Job job{folder_, *data, originOf(doc_), {}, doc_.cleanPicture.cacheKey()};
    if (job.pictureKey != pictureKey_)
        job.picture = doc_.cleanPicture; // shared, not copied: the clean picture is not written
    writing_ = true;
    sinceWrite_.start();
    worker_.start([this, job] {
        QDir().mkpath(job.folder);
        bool ok = job.picture.isNull() ||
                  saveAtomically(job.folder + '/' + kPictureName, [&](QIODevice& d) {
                      return QImageWriter(&d, "bmp").write(job.picture);
                  });
        ok = ok && saveBytes(job.folder + '/' + kOriginName, job.origin) &&
             saveBytes(job.folder + '/' + kDataName, job.data);
        QMetaObject::invokeMethod(
            this, [this, ok, key = job.pictureKey] { finished(ok, key); }, Qt::QueuedConnection);
    });
}

void RecoveryCopy::finished(bool ok, qint64 pictureKey) {
    writing_ = false;
    if (ok)
        pictureKey_ = pictureKey;
    if (discardAfterWrite_) {
        discardAfterWrite_ = false;
        removeFiles();
    } else if (changedDuringWrite_) {
        changedDuringWrite_ = false;
        workChanged();
    }
    emit written(ok);
}

void RecoveryCopy::writeNow() {
    timer_.stop();
    if (!writing_)
        startWrite();
    worker_.waitForDone();
    QCoreApplication::sendPostedEvents(this);
}

void RecoveryCopy::adopt(const QString& abandonedFolder) {
    worker_.waitForDone();
    QDir(folder_).removeRecursively();
    if (QDir().rename(abandonedFolder, folder_)) {
        // The picture there is the one the restore put in place.
        pictureKey_ = doc_.cleanPicture.cacheKey();
    } else {
        QDir().mkpath(folder_);
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
    ShowDataFile(ws, opened, origin.value(0), true);
    if (!origin.value(1).isEmpty())
        ws.doc.pictureFileName = origin.value(1);
    ws.view.setStatusText(kPictureStatusPanel, ws.doc.pictureFileName);
}

void RemoveRecoveryCopy(const QString& folder) {
    QDir(folder).removeRecursively();
    QFile::remove(lockPathOf(folder));
}

} // namespace kurvana
