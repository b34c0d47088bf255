#include "settings/settingslocation.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/document.h"

#ifndef KURVANA_SHARED_FROM_PROGRAM
#define KURVANA_SHARED_FROM_PROGRAM "../share/kurvana2"
#endif

namespace kurvana {

namespace {

const QString kFileName = "kurvana2.Ini";
const QString kLanguageFile = "language.txt";

QString withSlash(const QString& folder) {
    return folder.endsWith('/') ? folder : folder + '/';
}

bool isWritableFolder(const QString& path) {
    const QFileInfo folder(path);
    return folder.isDir() && folder.isWritable();
}

bool MayWriteBesideProgram(const Document& doc) {
    if (!isWritableFolder(doc.programDir.isEmpty() ? QString(".") : doc.programDir))
        return false;
    const QFileInfo file(SettingsBesideProgram(doc));
    return !file.exists() || file.isWritable();
}

/// A settings file that a portable copy carries beside the program.
bool PortableSettingsBesideProgram(const Document& doc) {
    const QFileInfo file(SettingsBesideProgram(doc));
    return file.isFile() && file.isWritable() && isWritableFolder(doc.programDir);
}

QString UserDataHome() {
    return withSlash(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

} // namespace

QString InstalledSharedFolder(const QString& programDir) {
    return withSlash(QDir::cleanPath(withSlash(programDir) + KURVANA_SHARED_FROM_PROGRAM));
}

void LocateProgramFiles(Document& doc) {
    const QString shared = InstalledSharedFolder(doc.programDir);
    doc.installedLayout = !QFileInfo::exists(doc.programDir + kLanguageFile) &&
                          QFileInfo::exists(shared + kLanguageFile);
    doc.sharedDir = doc.installedLayout ? shared : doc.programDir;
    const bool portableData = isWritableFolder(doc.programDir + "Data");
    doc.dataHomeDir = doc.installedLayout && !portableData ? UserDataHome() : doc.programDir;
}

void MakeUserDataFolders(const Document& doc) {
    // A folder that cannot be made is left to the save and open commands, which report the
    // path they could not use.
    if (doc.dataHome() != doc.programDir)
        QDir().mkpath(doc.dataHome() + "Data/Grafiks");
}

QString SettingsBesideProgram(const Document& doc) {
    return doc.programDir + kFileName;
}

QString SettingsInUserConfig() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(kFileName);
}

QString SettingsWritePath(const Document& doc) {
    if (PortableSettingsBesideProgram(doc))
        return SettingsBesideProgram(doc);
    if (doc.installedLayout)
        return SettingsInUserConfig();
    return MayWriteBesideProgram(doc) ? SettingsBesideProgram(doc) : SettingsInUserConfig();
}

QString SettingsReadPath(const Document& doc) {
    const QString path = SettingsWritePath(doc);
    return QFileInfo::exists(path) ? path : SettingsBesideProgram(doc);
}

} // namespace kurvana
