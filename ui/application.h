#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include <QObject>
#include <QStringList>

#include "core/history.h"
#include "core/workspace.h"
#include "io/pdfcommands.h"
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
class QtPdfWindows;
class RecoveryCopy;
class LabelReader;
class TesseractReader;
class MarkerMatchWindow;

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
    History& history() { return history_; }
    /// Where the recovery copies live (the user's data folder unless a test chooses another);
    /// set before start().
    void setRecoveryRoot(const QString& root) { recoveryRoot_ = root; }
    /// This program's recovery copy; null before start().
    RecoveryCopy* recoveryCopy() { return recovery_.get(); }
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
    void recogniseClick(int mode, int x, int y) override;
    void runNudgeWindow() override;
    void setBusyCursor(bool busy) override;
    void showMatchPreview(const PixelMatch& matches, bool onCleanPicture) override;
    PdfWindows* pdfWindows() override;

private:
    void createWindows();
    void wireCommands();
    void connectCommand(const QString& name, std::function<void()> command);
    void MenuExitClick();
    void MenuHelpClick();
    /// "Find axes": the axis finder on the clean picture, then the review of its proposal.
    /// Runs a recogniser's `work` on the clean picture off the interface thread, with the busy
    /// cursor and, when it lasts, a box saying `running` with Cancel. False when there is no
    /// picture or the user cancelled: the result is then to be dropped.
    bool recogniseOffThread(ExtraText running,
                            const std::function<void(LabelReader&, const std::atomic_bool&)>& work);
    /// The same for work that reads no labels.
    bool runOffThread(ExtraText running, const std::function<void(const std::atomic_bool&)>& work);
    /// Find markers from a click: the search off the interface thread at the marker match
    /// window's tolerance, then its points as one undoable step.
    void findMarkers(int x, int y);
    void findAxes();
    /// Digitise whole chart: the reading off the interface thread, then its review.
    void digitiseChart();
    void FormClose();
    /// Offers the copies of work a program that died left unsaved, newest first, until one is
    /// restored or all are discarded. Returns true when one was restored.
    bool offerRecovery();
    /// Undo, redo, the caption mark and the recovery copy follow the history.
    void historyChanged();
    /// Asked before unsaved work goes with the window; false keeps the window open.
    bool confirmClose();
    /// Reads language.txt in the selected language and puts its texts on every window; an
    /// unreadable file is reported and the texts built into the program take its place.
    void applyLanguage();
    /// The texts the windows set from the document's extra texts rather than by name.
    void showExtraTexts();
    /// The language chosen in Setup: language.txt in that language on every window. Throws
    /// CommandError, changing nothing, when the file cannot be read.
    void switchLanguage();
    void saveSettings();
    void applyPlacements();
    /// A first start: the table, Input and magnifier beside the main window, none over it,
    /// and the About box over none of the four.
    void placeBesideMainWindow();
    /// First start: the main window grows to show the whole picture where the screen allows.
    void fitMainWindowToPicture();
    WindowPlacements currentPlacements() const;

    History history_;
    Workspace ws_;
    QString recoveryRoot_;
    std::unique_ptr<RecoveryCopy> recovery_;
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
    std::unique_ptr<MarkerMatchWindow> markerMatch_;
    std::unique_ptr<TFormInputShag> inputShag_;
    std::unique_ptr<TFormInputColor> inputColor_;
    std::unique_ptr<TFormAvtomatColor> avtomatColor_;
    std::unique_ptr<TFormAbout> about_;
    std::unique_ptr<QtPdfWindows> pdfWindows_;
    PdfOpenOptions pdfOptions_;                    ///< --page and --dpi of the command line
    std::unique_ptr<TesseractReader> labelReader_; ///< made at the first "Find axes"
};

} // namespace kurvana
