#include "settings/settingslocation.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/document.h"

namespace kurvana {

namespace {

const QString kFileName = "kurvana2.Ini";

bool MayWriteBesideProgram(const Document& doc) {
    const QFileInfo folder(doc.programDir.isEmpty() ? QString(".") : doc.programDir);
    if (!folder.isDir() || !folder.isWritable())
        return false;
    const QFileInfo file(SettingsBesideProgram(doc));
    return !file.exists() || file.isWritable();
}

} // namespace

QString SettingsBesideProgram(const Document& doc) {
    return doc.programDir + kFileName;
}

QString SettingsInUserConfig() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(kFileName);
}

QString SettingsWritePath(const Document& doc) {
    return MayWriteBesideProgram(doc) ? SettingsBesideProgram(doc) : SettingsInUserConfig();
}

QString SettingsReadPath(const Document& doc) {
    const QString path = SettingsWritePath(doc);
    return QFileInfo::exists(path) ? path : SettingsBesideProgram(doc);
}

} // namespace kurvana
