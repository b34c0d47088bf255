#pragma once

#include <QString>

namespace kurvana {

struct Document;

/// Where the program's files live. Run from its build folder or as a portable copy, the program
/// keeps everything in its own folder: language.txt, the help documents, kurvana2.Ini and
/// Data/. Installed (the program in <prefix>/bin, its shipped files in <prefix>/share/kurvana2
/// and none beside it), its folder is not the user's to write: the shipped files are read
/// from the share folder, the settings go to the user's configuration folder and Data/ to the
/// user's data folder. A settings file or a Data/ folder beside the program that exists and
/// may be written still wins, so a copy carried on a stick keeps its own.

/// The share folder of an installed program in `programDir`, with a trailing '/'. It is found
/// relative to the program, so a relocated prefix works.
QString InstalledSharedFolder(const QString& programDir);

/// Sets doc.sharedDir, doc.dataHomeDir and doc.installedLayout from doc.programDir.
void LocateProgramFiles(Document& doc);

/// Makes Data/Grafiks/ in the user's data folder when that is where the data files go; the
/// program folder's own Data/ is the build's or the user's to make.
void MakeUserDataFolders(const Document& doc);

QString SettingsBesideProgram(const Document& doc);
QString SettingsInUserConfig();

/// Where the settings are written: beside the program when that file exists and is writable;
/// otherwise, installed, in the user's configuration folder; otherwise beside the program when
/// it may be written there.
QString SettingsWritePath(const Document& doc);

/// Where the settings are read from: the file that SettingsWritePath names when it exists;
/// otherwise the file beside the program, so an installation may ship its defaults.
QString SettingsReadPath(const Document& doc);

} // namespace kurvana
