#pragma once

#include <QList>

#include "settings/languagefile.h"

class QWidget;

namespace kurvana {

/// Puts the captions, hints and window titles of entries 1..111 in place. Each window is found
/// among `topLevelWindows` by its object name, each control inside it by its object name:
/// a menu heading (QMenu) gets its title, a menu item or toolbar action (QAction) its text or,
/// for a hint, its tooltip, a button, check box or label its text, a group box its title, a
/// window its window title. Windows and controls that do not exist are passed over.
void ApplyLanguage(const LanguageEntries& language, const QList<QWidget*>& topLevelWindows);

} // namespace kurvana
