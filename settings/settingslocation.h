#pragma once

#include <QString>

namespace kurvana {

struct Document;

/// The settings file lives beside the program, as kurvana2.Ini in doc.programDir. Where that
/// folder (or the file in it) cannot be written, as in a system-wide installation, the file
/// lives in the user's configuration folder instead.
QString SettingsBesideProgram(const Document& doc);
QString SettingsInUserConfig();

/// Where the settings are written: beside the program when it may be written there.
QString SettingsWritePath(const Document& doc);

/// Where the settings are read from: the file that SettingsWritePath names when it exists;
/// otherwise the file beside the program, so an installation may ship its defaults.
QString SettingsReadPath(const Document& doc);

} // namespace kurvana
