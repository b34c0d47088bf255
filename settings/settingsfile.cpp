#include "settings/settingsfile.h"

#include "io/datafile.h"

#include <algorithm>
#include <climits>
#include <initializer_list>
#include <optional>
#include <utility>

#include <QDir>
#include <QFileInfo>

#include "core/axistext.h"
#include "core/numbers.h"
#include "core/workspace.h"
#include "settings/inifile.h"
#include "settings/settingslocation.h"

namespace kurvana {

namespace {

constexpr const char* kPath = "Path";
constexpr const char* kColor = "Color";
constexpr const char* kSetup = "Setup";
constexpr const char* kAxes = "Axes";
constexpr const char* kForms = "Forms";
constexpr const char* kCheckGrid = "CheckGrid";
constexpr const char* kDateAxes = "DateAxes";

constexpr const char* kLineKeys[kLineCount + 1] = {"", "line1", "line2", "line3", "line4", "line5"};

/// An integer as the profile reader of the original program accepted it: decimal with an
/// optional sign and leading blanks, or hexadecimal written "$1F" or "0x1F" (up to 32 bits).
std::optional<int> ParseStoredInteger(const QString& text) {
    QString hex;
    if (text.startsWith('$'))
        hex = text.mid(1);
    else if (text.startsWith("0x", Qt::CaseInsensitive))
        hex = text.mid(2);
    else
        return parseInteger(text);
    if (hex.isEmpty() || hex.size() > 8)
        return std::nullopt;
    bool ok = false;
    const uint value = hex.toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return int(value);
}

int ReadInteger(const IniFile& ini, const char* section, const char* key, int fallback) {
    const auto text = ini.text(section, key);
    if (!text)
        return fallback;
    return ParseStoredInteger(*text).value_or(fallback);
}

bool ReadFlag(const IniFile& ini, const char* section, const char* key, bool fallback) {
    return ReadInteger(ini, section, key, fallback ? 1 : 0) != 0;
}

QString ReadText(const IniFile& ini, const char* section, const char* key,
                 const QString& fallback) {
    return ini.text(section, key).value_or(fallback);
}

Colour ReadColour(const IniFile& ini, const char* key, Colour fallback) {
    return Colour(ReadInteger(ini, kColor, key, int(fallback)));
}

/// Sets the buttons of a radio group one after the other, as the window does when it takes the
/// stored flags: a flag of 1 selects its button (the others of the group lose the selection),
/// a flag of 0 takes the selection from its button only. Two flags of 1 thus end with the later
/// button selected, all flags 0 with none.
template <typename Choice>
Choice SetButtonsInTurn(Choice selected, std::initializer_list<std::pair<bool, Choice>> buttons,
                        Choice none) {
    for (const auto& [flag, choice] : buttons) {
        if (flag)
            selected = choice;
        else if (selected == choice)
            selected = none;
    }
    return selected;
}

ScaleKind ReadScaleGroup(const IniFile& ini, const char* linearKey, const char* log10Key,
                         const char* lnKey) {
    return SetButtonsInTurn(ScaleKind::None,
                            {{ReadFlag(ini, kAxes, linearKey, true), ScaleKind::Linear},
                             {ReadFlag(ini, kAxes, log10Key, false), ScaleKind::Log10},
                             {ReadFlag(ini, kAxes, lnKey, false), ScaleKind::Ln}},
                            ScaleKind::None);
}

enum class Language { None, Russian, English };

bool ReadLanguageRussian(const IniFile& ini) {
    const Language selected =
        SetButtonsInTurn(Language::None,
                         {{ReadFlag(ini, kSetup, "LanguageRussian", false), Language::Russian},
                          {ReadFlag(ini, kSetup, "LanguageEnglish", true), Language::English}},
                         Language::None);
    // With neither button selected the language file is applied as English.
    return selected == Language::Russian;
}

/// A window's rectangle from its stored left, top, width and height. A damaged or hand-edited
/// file may hold numbers whose far edge lies beyond the int range of window coordinates; such a
/// window keeps its default rectangle.
QRect StoredRect(int left, int top, int width, int height, const QRect& fallback) {
    const qint64 right = qint64(left) + width - 1;
    const qint64 bottom = qint64(top) + height - 1;
    if (width == INT_MIN || height == INT_MIN || right < INT_MIN || right > INT_MAX ||
        bottom < INT_MIN || bottom > INT_MAX)
        return fallback;
    return QRect(left, top, width, height);
}

WindowPlacements ReadPlacements(const IniFile& ini) {
    const WindowPlacements d;
    const auto integer = [&ini](const char* key, int fallback) {
        return ReadInteger(ini, kForms, key, fallback);
    };
    WindowPlacements w;
    w.main = StoredRect(integer("MainLeft", d.main.left()), integer("MainTop", d.main.top()),
                        integer("MainWidth", d.main.width()),
                        integer("MainHeight", d.main.height()), d.main);
    w.zoom = QPoint(integer("ZoomLeft", d.zoom.x()), integer("ZoomTop", d.zoom.y()));
    w.input = QPoint(integer("InputLeft", d.input.x()), integer("InputTop", d.input.y()));
    w.inputStayOnTop = ReadFlag(ini, kForms, "InputStayOnTop", d.inputStayOnTop);
    w.table = StoredRect(integer("TableLeft", d.table.left()), integer("TableTop", d.table.top()),
                         integer("TableWidth", d.table.width()),
                         integer("TableHeight", d.table.height()), d.table);
    w.tableStayOnTop = ReadFlag(ini, kForms, "TableStayOnTop", d.tableStayOnTop);
    w.setup = QPoint(integer("SetupLeft", d.setup.x()), integer("SetupTop", d.setup.y()));
    return w;
}

void WriteInteger(IniFile& ini, const char* section, const char* key, int value) {
    ini.setText(section, key, QString::number(value));
}

void WriteFlag(IniFile& ini, const char* section, const char* key, bool value) {
    WriteInteger(ini, section, key, value ? 1 : 0);
}

void WritePlacements(IniFile& ini, const WindowPlacements& w) {
    WriteInteger(ini, kForms, "MainLeft", w.main.left());
    WriteInteger(ini, kForms, "MainTop", w.main.top());
    WriteInteger(ini, kForms, "MainWidth", w.main.width());
    WriteInteger(ini, kForms, "MainHeight", w.main.height());
    WriteInteger(ini, kForms, "ZoomLeft", w.zoom.x());
    WriteInteger(ini, kForms, "ZoomTop", w.zoom.y());
    WriteInteger(ini, kForms, "InputLeft", w.input.x());
    WriteInteger(ini, kForms, "InputTop", w.input.y());
    WriteFlag(ini, kForms, "InputStayOnTop", w.inputStayOnTop);
    WriteInteger(ini, kForms, "TableLeft", w.table.left());
    WriteInteger(ini, kForms, "TableTop", w.table.top());
    WriteInteger(ini, kForms, "TableWidth", w.table.width());
    WriteInteger(ini, kForms, "TableHeight", w.table.height());
    WriteFlag(ini, kForms, "TableStayOnTop", w.tableStayOnTop);
    WriteInteger(ini, kForms, "SetupLeft", w.setup.x());
    WriteInteger(ini, kForms, "SetupTop", w.setup.y());
}

} // namespace

Settings ReadSettings(const IniFile& ini) {
    const Settings d;
    Settings s;
    s.pictureFolder = ReadText(ini, kPath, "Path to Graf files", d.pictureFolder);
    for (int line = 1; line <= kLineCount; ++line)
        s.lineColor.at(line) = ReadColour(ini, kLineKeys[line], d.lineColor.at(line));
    s.axesColor = ReadColour(ini, "Axes", d.axesColor);
    s.markDiameter = std::clamp(ReadInteger(ini, kSetup, "DiamterOfPoint", d.markDiameter), 1, 5);
    s.axisXMin = ReadText(ini, kAxes, "Xmin", d.axisXMin);
    s.axisXMax = ReadText(ini, kAxes, "Xmax", d.axisXMax);
    s.axisYMin = ReadText(ini, kAxes, "Ymin", d.axisYMin);
    s.axisYMax = ReadText(ini, kAxes, "Ymax", d.axisYMax);
    s.standardFormat = ReadFlag(ini, kSetup, "StandartNumerFormat", d.standardFormat);
    s.sortOn = ReadFlag(ini, kSetup, "NumerRanger", d.sortOn);
    // The Y keys end in X as well: that is how the file has always spelled them.
    s.scaleX = ReadScaleGroup(ini, "XScaleNormalX", "XScaleLogarifm10X", "XScaleLogarifmNatX");
    s.scaleY = ReadScaleGroup(ini, "YScaleNormalX", "YScaleLogarifm10X", "YScaleLogarifmNatX");
    s.languageRussian = ReadLanguageRussian(ini);
    s.autoSave = ReadFlag(ini, kSetup, "SaveConfig", d.autoSave);
    s.windows = ReadPlacements(ini);
    s.snapRule = ReadFlag(ini, kSetup, "SnapAnyColour", d.snapRule == SnapRule::AnyColour)
                     ? SnapRule::AnyColour
                     : SnapRule::DarkOnly;
    s.checkGrid = ReadFlag(ini, kCheckGrid, "Show", d.checkGrid);
    s.checkGridColour = Colour(ReadInteger(ini, kCheckGrid, "Colour", int(d.checkGridColour)));
    s.checkGridAlpha = std::clamp(ReadInteger(ini, kCheckGrid, "Alpha", d.checkGridAlpha), 0, 255);
    // A date axis is a linear one to the older keys; its own flag says it shows dates.
    if (s.scaleX == ScaleKind::Linear && ReadFlag(ini, kDateAxes, "X", false))
        s.scaleX = ScaleKind::Date;
    if (s.scaleY == ScaleKind::Linear && ReadFlag(ini, kDateAxes, "Y", false))
        s.scaleY = ScaleKind::Date;
    return s;
}

void WriteSettings(IniFile& ini, const Settings& s) {
    ini.setText(kPath, "Path to Graf files", s.pictureFolder);
    // Colours are written as the signed 32-bit numbers the file has always held.
    for (int line = 1; line <= kLineCount; ++line)
        WriteInteger(ini, kColor, kLineKeys[line], int(s.lineColor.at(line)));
    WriteInteger(ini, kColor, "Axes", int(s.axesColor));
    WriteInteger(ini, kSetup, "DiamterOfPoint", std::clamp(s.markDiameter, 1, 5));
    ini.setText(kAxes, "Xmin", s.axisXMin);
    ini.setText(kAxes, "Xmax", s.axisXMax);
    ini.setText(kAxes, "Ymin", s.axisYMin);
    ini.setText(kAxes, "Ymax", s.axisYMax);
    WriteFlag(ini, kSetup, "StandartNumerFormat", s.standardFormat);
    WriteFlag(ini, kSetup, "NumerRanger", s.sortOn);
    WriteFlag(ini, kSetup, "SaveConfig", s.autoSave);
    const auto linear = [](ScaleKind kind) {
        return kind == ScaleKind::Linear || kind == ScaleKind::Date;
    };
    WriteFlag(ini, kAxes, "XScaleNormalX", linear(s.scaleX));
    WriteFlag(ini, kAxes, "XScaleLogarifm10X", s.scaleX == ScaleKind::Log10);
    WriteFlag(ini, kAxes, "XScaleLogarifmNatX", s.scaleX == ScaleKind::Ln);
    WriteFlag(ini, kAxes, "YScaleNormalX", linear(s.scaleY));
    WriteFlag(ini, kAxes, "YScaleLogarifm10X", s.scaleY == ScaleKind::Log10);
    WriteFlag(ini, kAxes, "YScaleLogarifmNatX", s.scaleY == ScaleKind::Ln);
    WriteFlag(ini, kSetup, "LanguageRussian", s.languageRussian);
    WriteFlag(ini, kSetup, "LanguageEnglish", !s.languageRussian);
    WritePlacements(ini, s.windows);
    // Written after every older key, so that files of earlier versions keep their order.
    WriteFlag(ini, kSetup, "SnapAnyColour", s.snapRule == SnapRule::AnyColour);
    // Keys added after the original file's, in a section of their own after all the others:
    // what the file held before keeps its bytes.
    WriteFlag(ini, kCheckGrid, "Show", s.checkGrid);
    WriteInteger(ini, kCheckGrid, "Colour", int(s.checkGridColour));
    WriteInteger(ini, kCheckGrid, "Alpha", std::clamp(s.checkGridAlpha, 0, 255));
    // Date axes are rare: a file that never had one keeps its bytes.
    const bool dates = s.scaleX == ScaleKind::Date || s.scaleY == ScaleKind::Date;
    if (dates || ini.text(kDateAxes, "X") || ini.text(kDateAxes, "Y")) {
        WriteFlag(ini, kDateAxes, "X", s.scaleX == ScaleKind::Date);
        WriteFlag(ini, kDateAxes, "Y", s.scaleY == ScaleKind::Date);
    }
}

Settings SettingsFromDocument(const Document& doc, const WindowPlacements& windows) {
    Settings s;
    s.pictureFolder = doc.pictureFolder;
    s.lineColor = doc.lineColor;
    s.axesColor = doc.axesColor;
    s.markDiameter = std::clamp(int(doc.markDiameter), 1, 5);
    s.axisXMin = StoredAxisText(doc, AxisName::X, doc.editMinX);
    s.axisXMax = StoredAxisText(doc, AxisName::X, doc.editMaxX);
    s.axisYMin = StoredAxisText(doc, AxisName::Y, doc.editMinY);
    s.axisYMax = StoredAxisText(doc, AxisName::Y, doc.editMaxY);
    s.standardFormat = !doc.scientificFormat;
    s.sortOn = doc.sortOn;
    s.scaleX = doc.scaleX;
    s.scaleY = doc.scaleY;
    s.languageRussian = doc.languageRussian;
    s.autoSave = doc.autoSaveSettings;
    s.windows = windows;
    s.snapRule = doc.snapRule;
    s.checkGrid = doc.checkGridOn;
    s.checkGridColour = doc.checkGridColour;
    s.checkGridAlpha = doc.checkGridAlpha;
    return s;
}

QString AdaptDecimalSeparator(const QString& text, QChar separator) {
    return NormalizeDecimalSeparator(text, separator);
}

void ApplySettings(const Settings& s, Document& doc, WindowPlacements& windows) {
    doc.pictureFolder = s.pictureFolder;
    for (int line = 1; line <= kLineCount; ++line)
        doc.lineColor.at(line) = s.lineColor.at(line);
    doc.axesColor = s.axesColor;
    doc.markDiameter = std::clamp(s.markDiameter, 1, 5);
    doc.scaleX = s.scaleX;
    doc.scaleY = s.scaleY;
    const auto shown = [&doc](AxisName axis, const QString& stored) {
        return ShownAxisText(doc, axis, AdaptDecimalSeparator(stored, doc.decimalSeparator));
    };
    doc.editMinX = shown(AxisName::X, s.axisXMin);
    doc.editMaxX = shown(AxisName::X, s.axisXMax);
    doc.editMinY = shown(AxisName::Y, s.axisYMin);
    doc.editMaxY = shown(AxisName::Y, s.axisYMax);
    doc.scientificFormat = !s.standardFormat;
    doc.sortOn = s.sortOn;
    doc.languageRussian = s.languageRussian;
    doc.autoSaveSettings = s.autoSave;
    doc.snapRule = s.snapRule;
    windows = s.windows;
    doc.checkGridOn = s.checkGrid;
    doc.checkGridColour = s.checkGridColour;
    doc.checkGridAlpha = std::clamp(s.checkGridAlpha, 0, 255);
}

void LoadSettings(Document& doc, WindowPlacements& windows) {
    IniFile ini;
    ini.load(SettingsReadPath(doc));
    ApplySettings(ReadSettings(ini), doc, windows);
}

void SaveSettings(const Document& doc, const WindowPlacements& windows) {
    const QString path = SettingsWritePath(doc);
    // What the file holds already is kept: the keys keep their place, unknown keys stay.
    IniFile ini;
    ini.load(QFileInfo::exists(path) ? path : SettingsReadPath(doc));
    WriteSettings(ini, SettingsFromDocument(doc, windows));
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString reason = ini.save(path);
    if (!reason.isEmpty())
        throw CommandError(doc.texts.extra(ExtraText::SettingsSaveFailed)
                               .arg(QDir::toNativeSeparators(path), reason));
}

} // namespace kurvana
