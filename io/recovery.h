#pragma once

#include <memory>
#include <vector>

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

class QLockFile;

namespace kurvana {

struct Document;
struct Workspace;

/// The folder that holds the recovery copies of every running program: "recovery" in the
/// user's data folder.
QString DefaultRecoveryRoot();

/// A copy of the work not yet saved, kept so that a crash or a kill loses at most a few
/// seconds of clicks. Each running program has its own folder under the root, named by its
/// process and held by a lock file beside it: a folder whose lock no live program holds was
/// left by a program that died. The folder holds the work as a data file ("work.gra", the
/// program's own format), its picture copy ("picture.bmp", written again only when the clean
/// picture changes) and "origin.txt" (the data file and picture names the work came from).
/// Files are written atomically on a worker thread, so a 35-megapixel picture copy does not
/// stop the window.
class RecoveryCopy : public QObject {
    Q_OBJECT
public:
    static constexpr int kQuietMs = 1000;  ///< a burst of clicks is written once
    static constexpr int kMinGapMs = 2000; ///< at most one write every two seconds

    RecoveryCopy(const Document& doc, const QString& root, QObject* parent = nullptr);
    /// A normal end: waits for a write in progress and removes the copy and its lock.
    ~RecoveryCopy() override;

    /// The work changed and is not saved: a copy is written within a few seconds.
    void workChanged();
    /// The work is saved or given up: the copy goes (its folder stays, empty, while running).
    void discard();
    /// Writes the copy now and waits for it (tests; a restore's first copy).
    void writeNow();
    /// Takes an abandoned copy's files as this program's own, so that the restored work stays
    /// safe without writing its picture again.
    void adopt(const QString& abandonedFolder);

    QString folder() const { return folder_; }

signals:
    /// A write finished (true) or failed (false); the window need not know, tests do.
    void written(bool ok);

private:
    struct Job;
    void startWrite();
    void finished(bool ok, qint64 pictureKey);
    void removeFiles();

    const Document& doc_;
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QTimer timer_;
    QElapsedTimer sinceWrite_;
    QThreadPool worker_;
    bool writing_ = false;
    bool changedDuringWrite_ = false;
    bool discardAfterWrite_ = false;
    qint64 pictureKey_ = -1; ///< cache key of the clean picture last written
};

/// Folders of copies under `root` left by programs that died, newest first. Empty folders of
/// programs that ended are removed on the way.
std::vector<QString> AbandonedRecoveryCopies(const QString& root);

/// Restores an abandoned copy: points, calibration and picture as they were, the data file and
/// picture names it came from, marked not saved. Throws CommandError (nothing changed) when
/// the copy cannot be read.
void RestoreRecoveryCopy(Workspace& ws, const QString& folder);

/// Removes an abandoned copy with its files.
void RemoveRecoveryCopy(const QString& folder);

} // namespace kurvana
