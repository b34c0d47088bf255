#include "platform/windows/workerprogress.h"

#include <memory>

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

namespace kurvana {

namespace {

constexpr int kProgressWidth = 460;

} // namespace

bool RunWithProgress(QWidget* parent, const QString& message, const QString& cancelText,
                     int delayMs, const std::function<void(const std::atomic_bool& cancel)>& work) {
    std::atomic_bool cancel{false};
    std::unique_ptr<QThread> worker(QThread::create([&] { work(cancel); }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    // Until the box is up, no click or key may reach a window: the work reads the document.
    QTimer::singleShot(delayMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!worker->isFinished()) {
        // Nothing tells how far the work is: the box runs as a busy bar until it is done.
        QProgressDialog progress(message, cancelText, 0, 0, parent);
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setMinimumDuration(0);
        progress.setMinimumWidth(kProgressWidth); // the message in full, in either language
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&] { cancel = true; });
        progress.show();
        if (!worker->isFinished())
            loop.exec();
    }
    worker->wait();
    return !cancel;
}

} // namespace kurvana
