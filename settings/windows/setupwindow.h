#pragma once

#include <array>
#include <functional>
#include <initializer_list>

#include <QWidget>

#include "platform/colour.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kurvana {

struct Workspace;
class SampleCircle;
class ColourSwatch;

/// What the Setup window asks of the rest of the program. Either may throw CommandError; the
/// window shows its text.
struct SetupCallbacks {
    /// A language button was clicked; doc.languageRussian already holds the choice. Apply
    /// language.txt to the document and to every window.
    std::function<void()> applyLanguage;
    /// ButtonConfigSave: write the settings file.
    std::function<void()> saveSettings;
};

/// The Setup window: line and axes colours, mark size, scale kinds, sorting, table number
/// format, language and automatic saving. Every choice is written into the document at once.
/// While the window is open the axes drawing is off the picture, so that the colours can be
/// judged on the bare chart; closing it in any way draws the axes again.
class TFormSetup : public QWidget {
    Q_OBJECT
public:
    TFormSetup(Workspace& ws, SetupCallbacks callbacks, QWidget* parent = nullptr);

    /// The Setup command of the main window: takes the axes drawing off and shows the window.
    /// When the window is already open it is only brought forward, so that the axes toggles
    /// stay paired.
    void openFromMain();

    /// Shows the document's current choices (after loading settings or a data file).
    void showDocumentSettings();

    /// Puts the texts that the document holds (the newer captions) on their controls; run
    /// after the language file was applied.
    void showExtraTexts();

    /// The colours of the hidden swatches (black and white) that the colour windows start
    /// from.
    Colour lineGrafikColour() const;
    Colour backgroundColour() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QGroupBox* buildColourGroup();
    QGroupBox* buildMarkGroup();
    QGroupBox* buildScaleGroup(bool xAxis);
    QGroupBox* buildFormatGroup();
    QGroupBox* buildSortGroup();
    QGroupBox* buildLanguageGroup();
    QGroupBox* buildSnapGroup();
    QGroupBox* buildHiddenColourGroup();

    /// Colour choice for line 1..5, or for the axes drawing with 6.
    void chooseColour(int target);
    void chooseLanguage(bool russian);
    static void selectOnly(std::initializer_list<QRadioButton*> group, QRadioButton* chosen);

    Workspace& ws_;
    SetupCallbacks callbacks_;
    /// The colour the dialog opens with: the one last chosen in it.
    Colour lastDialogColour_ = 0;
    /// Whether the axes drawing was taken off by openFromMain and must come back on close.
    bool axesTakenOff_ = false;

    std::array<SampleCircle*, 7> samples_{}; ///< 1..5 lines, 6 axes drawing
    QSpinBox* spinDiameter_ = nullptr;
    std::array<QRadioButton*, 4> scaleX_{}, scaleY_{}; ///< linear, log 10, natural log, date
    QRadioButton* standard_ = nullptr;
    QRadioButton* scientific_ = nullptr;
    QRadioButton* makeSort_ = nullptr;
    QRadioButton* noSort_ = nullptr;
    QRadioButton* english_ = nullptr;
    QRadioButton* russian_ = nullptr;
    QCheckBox* autoSave_ = nullptr;
    QGroupBox* snapGroup_ = nullptr;
    QRadioButton* snapAnyColour_ = nullptr;
    QRadioButton* snapDarkOnly_ = nullptr;
    ColourSwatch* hiddenLine_ = nullptr;
    ColourSwatch* hiddenBackground_ = nullptr;
};

} // namespace kurvana
