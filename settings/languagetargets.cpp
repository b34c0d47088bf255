#include "settings/languagetargets.h"

#include <array>

namespace kurvana {

namespace {

constexpr const char* kMain = "FormKurvana";
constexpr const char* kSetup = "FormSetup";
constexpr const char* kInputShag = "FormInputShag";
constexpr const char* kInputColor = "FormInputColor";
constexpr const char* kAvtomatColor = "FormAvtomatColor";

constexpr TextTarget Caption(int entry, const char* window, const char* control,
                             const char* second = nullptr) {
    return {entry, window, control, second, TextKind::Caption};
}
constexpr TextTarget Hint(int entry, const char* control) {
    return {entry, kMain, control, nullptr, TextKind::Hint};
}
constexpr TextTarget Title(int entry, const char* window) {
    return {entry, window, nullptr, nullptr, TextKind::WindowTitle};
}

constexpr std::array<TextTarget, 111> kTargets{{
    // Main menu headings.
    Caption(1, kMain, "Menu1File"),
    Caption(2, kMain, "Menu1Show"),
    Caption(3, kMain, "Menu1Data"),
    Caption(4, kMain, "Menu1Digitaze"),
    Caption(5, kMain, "Menu1Mode"),
    Caption(6, kMain, "Menu1Action"),
    Caption(7, kMain, "Menu1Help"),
    // Main menu items.
    Caption(8, kMain, "menuOpenBMP"),
    Caption(9, kMain, "menufromClipboard"),
    Caption(10, kMain, "menuOpenData"),
    Caption(11, kMain, "menuSaveData"),
    Caption(12, kMain, "MenuExit"),
    Caption(13, kMain, "menuShowTable"),
    Caption(14, kMain, "menuShowSetup"),
    Caption(15, kMain, "menuShowZoom"),
    Caption(16, kMain, "menuShowInput"),
    Caption(17, kMain, "menuShowFixShag"),
    Caption(18, kMain, "menuCopytoClipboard"),
    Caption(19, kMain, "menuCleardata"),
    Caption(20, kMain, "MenuInput00"),
    Caption(21, kMain, "MenuInputXmax"),
    Caption(22, kMain, "MenuInputYmax"),
    Caption(23, kMain, "MenuInputPoint"),
    Caption(24, kMain, "MenuErazer"),
    Caption(25, kMain, "MenuAutocorrection"),
    Caption(26, kMain, "MenuClearGrafik"),
    Caption(27, kMain, "MenuPasteLine"),
    Caption(28, kMain, "MenuFindOnLine"),
    Caption(29, kMain, "MenuFindByColor"),
    Caption(30, kMain, "MenuInputColor"),
    Caption(31, kMain, "MenuOnDeltaX"),
    Caption(32, kMain, "MenuAvtomat"),
    Caption(33, kMain, "MenuHelp"),
    Caption(34, kMain, "MenuAbout"),
    // Hints of the main toolbar buttons.
    Hint(35, "ButtonFileOpen"),
    Hint(36, "ButtonCopyFromClipboard"),
    Hint(37, "ButtonViewTable"),
    Hint(38, "ButtonCopyToClipboard"),
    Hint(39, "ButtonClearData"),
    Hint(40, "ButtonViewSetup"),
    Hint(41, "ButtonSetZeroPoint"),
    Hint(42, "ButtonSetXMaxPoint"),
    Hint(43, "ButtonSetYMaxPoint"),
    Hint(44, "ButtonSelectLine"),
    Hint(45, "ButtonSetPoint"),
    Hint(46, "ButtonErazer"),
    Hint(47, "ButtonPasteLine"),
    Hint(48, "ButtonFindOnLine"),
    Hint(49, "ButtonAvtoCorrect"),
    Hint(50, "ButtonChangeMashtab"),
    Hint(51, "ButtonSelectCursor"),
    Hint(52, "ButtonClearImage"),
    Hint(53, "ButtonOnDeltaX"),
    Hint(54, "ButtonFindByColor"),
    Hint(55, "ButtonInputColor"),
    // Magnifier, axis values window, table window.
    Title(56, "FormZoom"),
    Title(57, "FormInput"),
    Caption(58, "FormInput", "GroupBoxSelectInput"),
    Caption(59, "FormInput", "CheckBoxStayOnTop"),
    Title(60, "FormTable"),
    Caption(61, "FormTable", "CheckBoxStayOnTop"),
    // Setup window.
    Title(62, kSetup),
    Caption(63, kSetup, "GroupBoxInputColor"),
    Caption(64, kSetup, "ButtonSetColor1"),
    Caption(65, kSetup, "ButtonSetColor2"),
    Caption(66, kSetup, "ButtonSetColor3"),
    Caption(67, kSetup, "ButtonSetColor4"),
    Caption(68, kSetup, "ButtonSetColor5"),
    Caption(69, kSetup, "ButtonSetColorAxes"),
    Caption(70, kSetup, "GroupBoxSetTipMetka"),
    Caption(71, kSetup, "Label4"),
    Caption(72, kSetup, "CheckBoxFillMetka"),
    Caption(73, kSetup, "ButtonConfigSave"),
    Caption(74, kSetup, "ButtonGoToMain"),
    Caption(75, kSetup, "CheckBoxAutoSave"),
    Caption(76, kSetup, "GroupBoxScalaX"),
    Caption(77, kSetup, "GroupBoxScalaY"),
    Caption(78, kSetup, "RadioButtonScalaNormalX", "RadioButtonScalaNormalY"),
    Caption(79, kSetup, "RadioButtonScalaLogarifm10X", "RadioButtonScalaLogarifm10Y"),
    Caption(80, kSetup, "RadioButtonScalaLogarifmNatX", "RadioButtonScalaLogarifmNatY"),
    Caption(81, kSetup, "GroupBoxSetTableFormat"),
    Caption(82, kSetup, "RadioButtonStandart"),
    Caption(83, kSetup, "RadioButtonScientific"),
    Caption(84, kSetup, "GroupBoxSelectLanguage"),
    Caption(85, kSetup, "RadioButtonSetEnglish"),
    Caption(86, kSetup, "RadioButtonSetRussian"),
    Caption(87, kSetup, "GroupBoxSetMakeSort"),
    Caption(88, kSetup, "RadioButtonMakeSort"),
    Caption(89, kSetup, "RadioButtonNoSort"),
    // Fixed-step search window.
    Title(90, kInputShag),
    Caption(91, kInputShag, "Label1"),
    Caption(92, kInputShag, "Label2"),
    Caption(93, kInputShag, "Label3"),
    Caption(94, kInputShag, "ButtonFindPoint"),
    Caption(95, kInputShag, "ButtonCancel"),
    // Search-colour window.
    Title(96, kInputColor),
    Caption(97, kInputColor, "Label1"),
    Caption(98, kInputColor, "Label2"),
    Caption(99, kInputColor, "Label3"),
    Caption(100, kInputColor, "Label4"),
    Caption(101, kInputColor, "LabelRedComp"),
    Caption(102, kInputColor, "LabelGreenComp"),
    Caption(103, kInputColor, "LabelBlueComp"),
    // Colour line search window.
    Title(104, kAvtomatColor),
    Caption(105, kAvtomatColor, "Label2"),
    Caption(106, kAvtomatColor, "Label3"),
    Caption(107, kAvtomatColor, "RadioButton1"),
    Caption(108, kAvtomatColor, "RadioButton2"),
    Caption(109, kAvtomatColor, "RadioButton3"),
    Caption(110, kAvtomatColor, "ButtonFind"),
    Caption(111, kAvtomatColor, "ButtonCancel"),
}};

constexpr std::array<ExtraCaptionTarget, 3> kExtraCaptions{{
    {ExtraText::SetupColours, kSetup, "GroupBoxSelectColor"},
    {ExtraText::SetupLines, kSetup, "Label5"},
    {ExtraText::SetupAxes, kSetup, "Label6"},
}};

} // namespace

std::span<const TextTarget> LanguageTargets() {
    return kTargets;
}

std::span<const ExtraCaptionTarget> ExtraCaptionTargets() {
    return kExtraCaptions;
}

} // namespace kurvana
