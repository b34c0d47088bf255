#pragma once

#include <atomic>
#include <functional>

class QString;
class QWidget;

namespace kurvana {

/// Runs `work` on a worker thread while the windows keep painting. For the first `delayMs` the
/// windows take no input at all; when the work lasts longer, a progress box with `message` and a
/// Cancel button (`cancelText`) comes up, modal over the program. Cancel sets the flag handed
/// to `work`, which looks at it in its long loops and returns soon after. Returns false when
/// the work was cancelled: its result is then to be dropped.
bool RunWithProgress(QWidget* parent, const QString& message, const QString& cancelText,
                     int delayMs, const std::function<void(const std::atomic_bool& cancel)>& work);

} // namespace kurvana
