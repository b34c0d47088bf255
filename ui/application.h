#pragma once

#include <memory>

#include <QObject>
#include <QStringList>

#include "core/workspace.h"
#include "settings/settingsfile.h"

namespace kurvana {

struct Document;
namespace platform {
class QtDialogs;
}
class TFormKurvana;
class TFormTable;
class TFormInput;
class TFormZoom;
class TFormMoviPoint;
class TFormAbout;
class TFormSetup;
class TformClipboard;
class TFormInputColor;
class TFormAvtomatColor;
class TFormInputShag;
class TFormAvtomat;
class TFormAvtomat1;
class TesseractReader;

/// The running program: the one document, the windows created once at start-up, and the
/// command map from toolbar buttons and menu items to the subsystems. It is also what the
/// digitising code asks of the windows (ViewHooks).
class KurvanaApplication : public QObject, public ViewHooks {
    Q_OBJECT
public:
    KurvanaApplication(Document& doc, platform::Dialogs& dialogs);
    ~KurvanaApplication() override;

    /// Start-up after the windows exist: program folder, argument, decimal separator,
    /// settings, the command-line file or the open dialog, the language file.
    void start(const QString& programDir, const QStringList& arguments, QChar decimalSeparator);

    Workspace& workspace() { return ws_; }
    TFormKurvana& mainWindow() { return *main_; }
    TFormTable& tableWindow() { return *table_; }
    TFormInput& inputWindow() { return *input_; }
    TFormZoom& zoomWindow() { return *zoom_; }
    TFormInputColor& inputColorWindow() { return *inputColor_; }
    TFormSetup& setupWindow() { return *setup_; }

    /// The picture handlers of imgGrafik.
    void imgGrafikMouseDown(QPoint position, unsigned shiftState);
    void imgGrafikMouseMove(QPoint position, unsigned shiftState);
    void imgGrafikMouseUp();

    // ViewHooks
    void fillTable() override;
    void pictureChanged(const QRect& area) override;
    void controlsChanged() override;
    void applyViewScale() override;
    void showMagnifier(int x, int y) override;
    void setStatusText(int panel, const QString& text) override;
    void documentSettingsChanged() override;
    void setClipboardText(const QString& text) override;
    void takeColourSample() override;
    void runNudgeWindow() override;
    void setBusyCursor(bool busy) override;

private:
    void createWindows();
    void wireCommands();
    void connectCommand(const QString& name, std::function<void()> command);
    void MenuExitClick();
    void MenuHelpClick();
    /// "Find axes": the axis finder on the clean picture, then the review of its proposal.
    void findAxes();
    void FormClose();
    /// Reads language.txt in the selected language and puts its texts on every window; an
    /// unreadable file is reported and the texts built into the program take its place.
    void applyLanguage();
    void saveSettings();
    void applyPlacements();
    WindowPlacements currentPlacements() const;

    Workspace ws_;
    WindowPlacements placements_;
    std::unique_ptr<TFormKurvana> main_;
    std::unique_ptr<TFormSetup> setup_;
    std::unique_ptr<TFormTable> table_;
    std::unique_ptr<TFormInput> input_;
    std::unique_ptr<TFormZoom> zoom_;
    std::unique_ptr<TFormMoviPoint> nudge_;
    std::unique_ptr<TformClipboard> clipboard_;
    std::unique_ptr<TFormAvtomat> avtomat_;
    std::unique_ptr<TFormAvtomat1> avtomat1_;
    std::unique_ptr<TFormInputShag> inputShag_;
    std::unique_ptr<TFormInputColor> inputColor_;
    std::unique_ptr<TFormAvtomatColor> avtomatColor_;
    std::unique_ptr<TFormAbout> about_;
    std::unique_ptr<TesseractReader> labelReader_; ///< made at the first "Find axes"
};

} // namespace kurvana
