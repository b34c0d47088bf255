#pragma once

#include <atomic>
#include <memory>
#include <optional>
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
    /// Writes the copy now, on this thread, after any write in progress; false when it failed.
    bool writeNow();
    /// Takes an abandoned copy's files as this program's own, so that the restored work stays
    /// safe without writing its picture again. The abandoned copy goes only once this
    /// program's copy holds the work.
    void adopt(const QString& abandonedFolder);

    QString folder() const { return folder_; }

private:
    struct Job;
    /// The timer's end: one write at a time, the next one planned while the worker is busy.
    void startWrite();
    /// What the next write needs, taken on the interface thread; nothing when the document
    /// holds texts a data file cannot store (no copy rather than a wrong one).
    std::optional<Job> takeJob() const;
    bool write(const Job& job);

    const Document& doc_;
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QTimer timer_;
    QElapsedTimer sinceWrite_;
    /// One thread, so writes and removals run in the order they were asked for.
    QThreadPool worker_;
    /// Cache key of the clean picture whose copy is on disk, -1 when none is known to be.
    std::atomic<qint64> pictureOnDisk_{-1};
};

/// Folders of copies under `root` left by programs that died, newest first. Empty folders of
/// programs that ended are removed on the way.
std::vector<QString> AbandonedRecoveryCopies(const QString& root);

/// Restores an abandoned copy: points, calibration and picture as they were, the data file and
/// picture names it came from, marked not saved. Axis texts that do not convert (a box being
/// retyped when the copy was written) come back as they stood, their values not computed, the
/// reason in the status bar. Throws CommandError (nothing changed) when the copy cannot be read.
void RestoreRecoveryCopy(Workspace& ws, const QString& folder);

/// The start-up question for copies left by programs that died, newest first. Restore puts a
/// copy in place and gives its files to `own`; a copy that cannot be restored is reported and
/// kept, and the next one is offered. Discard removes a copy, asking once more when it holds
/// points (or cannot be read). Escape or the close button mean "not now": this copy and the
/// older ones stay for the next start. Returns true when work was restored.
bool OfferAbandonedWork(Workspace& ws, const std::vector<QString>& copies, RecoveryCopy& own);

/// Removes an abandoned copy with its files.
void RemoveRecoveryCopy(const QString& folder);

} // namespace kurvana
