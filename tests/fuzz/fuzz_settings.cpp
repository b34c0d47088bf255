// kurvana2.Ini from outside: any bytes load, every key reads to a value in its range, and what
// is written back reads as the same settings.
#include <cstddef>
#include <cstdint>

#include "core/document.h"
#include "fuzzinput.h"
#include "fuzzworkspace.h"
#include "settings/inifile.h"
#include "settings/settingsfile.h"

using namespace kurvana;

namespace {

/// The numbers and choices of two settings are the same (texts may lose characters that the
/// file's code page cannot hold, so they are compared apart).
bool SameChoices(const Settings& a, const Settings& b) {
    const WindowPlacements& w = a.windows;
    const WindowPlacements& v = b.windows;
    return a.lineColor == b.lineColor && a.axesColor == b.axesColor &&
           a.markDiameter == b.markDiameter && a.standardFormat == b.standardFormat &&
           a.sortOn == b.sortOn && a.scaleX == b.scaleX && a.scaleY == b.scaleY &&
           a.languageRussian == b.languageRussian && a.autoSave == b.autoSave && w.main == v.main &&
           w.zoom == v.zoom && w.input == v.input && w.inputStayOnTop == v.inputStayOnTop &&
           w.table == v.table && w.tableStayOnTop == v.tableStayOnTop && w.setup == v.setup;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    IniFile ini;
    ini.loadBytes(bytes);
    const Settings settings = ReadSettings(ini);
    fuzz::Require(settings.markDiameter >= 1 && settings.markDiameter <= 5, "mark size 1..5");

    // Loading puts them in place, with the axis texts adapted to either separator.
    Document* doc = &fuzz::FreshDocument();
    doc->decimalSeparator = size % 2 ? ',' : '.';
    WindowPlacements windows;
    ApplySettings(settings, *doc, windows);
    fuzz::Require(doc->markDiameter == settings.markDiameter, "mark size applied");

    // Saving into the same file and reading again gives the same choices.
    WriteSettings(ini, settings);
    IniFile reread;
    reread.loadBytes(ini.bytes());
    const Settings again = ReadSettings(reread);
    fuzz::Require(SameChoices(settings, again), "settings round trip");
    // A second save leaves the file as the first one wrote it.
    WriteSettings(reread, again);
    fuzz::Require(reread.bytes() == ini.bytes(), "saving twice writes the same file");
    return 0;
}
