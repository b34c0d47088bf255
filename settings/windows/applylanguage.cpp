#include "settings/windows/applylanguage.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QWidget>

#include "settings/languagetargets.h"

namespace kurvana {

namespace {

QWidget* FindWindow(const QList<QWidget*>& windows, const char* name) {
    for (QWidget* window : windows)
        if (window && window->objectName() == QLatin1String(name))
            return window;
    return nullptr;
}

void SetCaption(QObject* control, const QString& text) {
    if (auto* menu = qobject_cast<QMenu*>(control))
        menu->setTitle(text);
    else if (auto* action = qobject_cast<QAction*>(control))
        action->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
}

void SetHint(QObject* control, const QString& text) {
    if (auto* action = qobject_cast<QAction*>(control))
        action->setToolTip(text);
    else if (auto* widget = qobject_cast<QWidget*>(control))
        widget->setToolTip(text);
}

void ApplyToControl(QWidget* window, const char* name, TextKind kind, const QString& text) {
    if (!name)
        return;
    QObject* control = window->findChild<QObject*>(QLatin1String(name));
    if (!control)
        return;
    if (kind == TextKind::Hint)
        SetHint(control, text);
    else
        SetCaption(control, text);
}

} // namespace

void ApplyLanguage(const LanguageEntries& language, const QList<QWidget*>& topLevelWindows) {
    for (const TextTarget& target : LanguageTargets()) {
        QWidget* window = FindWindow(topLevelWindows, target.window);
        if (!window)
            continue;
        const QString& text = language.entry(target.entry);
        if (target.kind == TextKind::WindowTitle) {
            window->setWindowTitle(text);
            continue;
        }
        ApplyToControl(window, target.control, target.kind, text);
        ApplyToControl(window, target.secondControl, target.kind, text);
    }
    for (const ExtraCaptionTarget& target : ExtraCaptionTargets()) {
        const std::optional<QString>& text = language.extras.at(int(target.text));
        if (QWidget* window = FindWindow(topLevelWindows, target.window); window && text)
            ApplyToControl(window, target.control, TextKind::Caption, *text);
    }
}

} // namespace kurvana
