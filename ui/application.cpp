#include "ui/application.h"

#include <algorithm>
#include <tuple>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>

#include "core/axistext.h"
#include "core/calibration.h"
#include "core/clicks.h"
#include "core/document.h"
#include "core/linedata.h"
#include "core/numbers.h"
#include "core/view.h"
#include "core/windows/inputwindow.h"
#include "core/windows/nudgewindow.h"
#include "io/calibrationsource.h"
#include "io/datacommands.h"
#include "io/exportfile.h"
#include "io/picturecommands.h"
#include "io/recovery.h"
#include "io/unsavedwork.h"
#include "io/windows/clipboardwindow.h"
#include "io/windows/qtpdfwindows.h"
#include "platform/dialogs.h"
#include "platform/windows/workerprogress.h"
#include "recognition/axes/axiscommand.h"
#include "recognition/axes/findaxes.h"
#include "recognition/bars/barcommand.h"
#include "recognition/chart/chartapply.h"
#include "recognition/chart/chartcommand.h"
#include "recognition/chart/wholechart.h"
#include "recognition/markers/findmarkers.h"
#include "recognition/markers/markercommand.h"
#include "recognition/ocr/tesseractreader.h"
#include "settings/languagefile.h"
#include "settings/settingslocation.h"
#include "settings/windows/applylanguage.h"
#include "settings/windows/setupwindow.h"
#include "tracing/autodigitise.h"
#include "tracing/cleanup.h"
#include "tracing/windows/formavtomat.h"
#include "tracing/windows/formavtomat1.h"
#include "tracing/windows/formavtomatcolor.h"
#include "tracing/windows/forminputcolor.h"
#include "tracing/windows/forminputshag.h"
#include "tracing/zonesearch.h"
#include "ui/aboutwindow.h"
#include "ui/firststartlayout.h"
#include "ui/kurvana.h"
#include "ui/markermatchwindow.h"
#include "ui/picturewidget.h"
#include "ui/tablewindow.h"
#include "ui/zoomwindow.h"

namespace kurvana {

KurvanaApplication::KurvanaApplication(Document& doc, platform::Dialogs& dialogs)
    : ws_{doc, dialogs, *this, &history_}, recoveryRoot_(DefaultRecoveryRoot()) {
    createWindows();
    wireCommands();
    connect(&history_, &History::changed, this, &KurvanaApplication::historyChanged);
    main_->setCloseGuard([this] { return confirmClose(); });
    history_.reset(doc, false);
}

KurvanaApplication::~KurvanaApplication() = default;

void KurvanaApplication::createWindows() {
    // FormCreate of the main window: the start-up defaults, shown on the controls.
    ws_.doc.setStartupDefaults();
    main_ = std::make_unique<TFormKurvana>(ws_.doc);
    setup_ = std::make_unique<TFormSetup>(
        ws_, SetupCallbacks{[this] { switchLanguage(); }, [this] { saveSettings(); }});
    table_ = std::make_unique<TFormTable>(ws_.doc);
    input_ = std::make_unique<TFormInput>(ws_);
    zoom_ = std::make_unique<TFormZoom>();
    clipboard_ = std::make_unique<TformClipboard>(ws_, main_.get());
    avtomat_ = std::make_unique<TFormAvtomat>(ws_);
    avtomat1_ = std::make_unique<TFormAvtomat1>();
    nudge_ = std::make_unique<TFormMoviPoint>(ws_, main_.get());
    pdfWindows_ = std::make_unique<QtPdfWindows>(ws_.doc.texts);
    pdfWindows_->setParentWindow(main_.get());
    inputShag_ = std::make_unique<TFormInputShag>(ws_, main_.get());
    inputColor_ = std::make_unique<TFormInputColor>(ws_, main_.get());
    avtomatColor_ = std::make_unique<TFormAvtomatColor>(ws_, *inputColor_, main_.get());
    markerMatch_ = std::make_unique<MarkerMatchWindow>(ws_, main_.get());
    about_ = std::make_unique<TFormAbout>();

    PictureWidget* picture = main_->imgGrafik();
    connect(picture, &PictureWidget::pressed, this, &KurvanaApplication::imgGrafikMouseDown);
    connect(picture, &PictureWidget::moved, this, &KurvanaApplication::imgGrafikMouseMove);
    connect(picture, &PictureWidget::released, this, &KurvanaApplication::imgGrafikMouseUp);
    connect(main_.get(), &TFormKurvana::closing, this, &KurvanaApplication::FormClose);
    fillTable();
}

void KurvanaApplication::start(const QString& programDir, const QStringList& arguments,
                               QChar decimalSeparator) {
    Document& doc = ws_.doc;
    doc.programDir = programDir.endsWith('/') ? programDir : programDir + '/';
    LocateProgramFiles(doc);
    MakeUserDataFolders(doc);
    QStringList files = arguments;
    pdfOptions_ = TakePdfOptions(files);
    doc.commandLineArg = files.value(0);
    doc.decimalSeparator = decimalSeparator;
    const bool firstStart = !QFileInfo::exists(SettingsReadPath(doc));
    runCommand(ws_, [this] { LoadSettings(ws_.doc, placements_); });
    applyPlacements();
    if (firstStart)
        placeBesideMainWindow();
    documentSettingsChanged();
    controlsChanged();
    main_->show();
    table_->show();
    input_->show();
    zoom_->show();
    about_->show();
    recovery_ = std::make_unique<RecoveryCopy>(doc, recoveryRoot_);
    // Work restored from a crash needs no open dialog, and a file named on the command line
    // is not opened over it: the user has the work in hand and opens the file when ready.
    if (offerRecovery()) {
        if (!doc.commandLineArg.isEmpty())
            setStatusText(0, doc.texts.extra(ExtraText::CommandLineFileKept)
                                 .arg(QFileInfo(doc.commandLineArg).fileName()));
    } else if (!doc.commandLineArg.isEmpty()) {
        runCommand(ws_, [this] { OpenFromCommandLine(ws_, ws_.doc.commandLineArg, pdfOptions_); });
    } else {
        runCommand(ws_, [this] { OpenPictureDialog(ws_); });
    }
    // A new user's first sight of the program is the whole chart, the tool windows beside it.
    if (firstStart && doc.pictureWidth > 0) {
        fitMainWindowToPicture();
        placeBesideMainWindow();
    }
    applyLanguage();
}

bool KurvanaApplication::offerRecovery() {
    const std::vector<QString> copies = AbandonedRecoveryCopies(recoveryRoot_);
    if (copies.empty())
        return false;
    // The question comes before the language is applied to the windows: its texts are read now.
    try {
        LoadLanguage(ws_.doc);
    } catch (const CommandError&) {
        // The built-in English asks instead.
    }
    return OfferAbandonedWork(ws_, copies, *recovery_);
}

void KurvanaApplication::historyChanged() {
    const Texts& texts = ws_.doc.texts;
    const std::pair<const char*, bool> undo[] = {
        {"MenuUndo", true}, {"ButtonUndo", true}, {"MenuRedo", false}, {"ButtonRedo", false}};
    for (const auto& [name, isUndo] : undo) {
        QAction* a = main_->action(name);
        a->setEnabled(isUndo ? history_.canUndo() : history_.canRedo());
        a->setText(isUndo ? history_.undoText(texts) : history_.redoText(texts));
        a->setToolTip(a->text());
    }
    main_->findChild<QMenu*>("Menu1Edit")->setTitle(texts.extra(ExtraText::EditMenu));
    const bool unsaved = history_.modified();
    main_->showUnsaved(unsaved);
    if (!recovery_)
        return;
    if (unsaved)
        recovery_->workChanged();
    else
        recovery_->discard();
}

bool KurvanaApplication::confirmClose() {
    bool goOn = false;
    runCommand(ws_, [this, &goOn] { goOn = ConfirmDropOfUnsavedWork(ws_); });
    return goOn;
}

void KurvanaApplication::applyLanguage() {
    Document& doc = ws_.doc;
    LanguageEntries language;
    try {
        language = LoadLanguage(doc);
    } catch (const CommandError& error) {
        ws_.dialogs.information(error.text());
        // The copy built into the program keeps every message readable.
        if (!runCommand(ws_, [&] {
                language =
                    ReadLanguageFile(":/kurvana/language.txt", doc.languageRussian, doc.texts);
            }))
            return;
        ApplyLanguageToDocument(doc, language);
    }
    ApplyLanguage(language, QApplication::topLevelWidgets());
    showExtraTexts();
}

void KurvanaApplication::showExtraTexts() {
    setup_->showExtraTexts();
    avtomatColor_->showExtraTexts();
    markerMatch_->showExtraTexts();
    input_->showExtraTexts();
    main_->showExtraTexts(ws_.doc.texts);
    main_->showUnsaved(false); // the language file's caption came without the mark
    historyChanged();
    const QString findAxes = ws_.doc.texts.extra(ExtraText::FindAxesCaption);
    main_->action("MenuFindAxes")->setText(findAxes);
    main_->action("ButtonFindAxes")->setText(findAxes);
    main_->action("ButtonFindAxes")->setToolTip(ws_.doc.texts.extra(ExtraText::FindAxesHint));
    const Texts& texts = ws_.doc.texts;
    for (const auto& [name, caption, hint] :
         {std::tuple{"FindMarkers", ExtraText::FindMarkersCaption, ExtraText::FindMarkersHint},
          std::tuple{"FindBars", ExtraText::FindBarsCaption, ExtraText::FindBarsHint},
          std::tuple{"DigitiseChart", ExtraText::DigitiseChartCaption,
                     ExtraText::DigitiseChartHint}}) {
        main_->action(QString("Menu") + name)->setText(texts.extra(caption));
        main_->action(QString("Button") + name)->setText(texts.extra(caption));
        main_->action(QString("Button") + name)->setToolTip(texts.extra(hint));
    }
    main_->action("menuKeepCalibration")->setText(texts.extra(ExtraText::KeepCalibrationCaption));
}

void KurvanaApplication::recogniseClick(int mode, int x, int y) {
    if (mode == ModeFindMarkers)
        findMarkers(x, y);
    else if (mode == ModeFindBars)
        FindBarsAt(ws_, x, y);
}

void KurvanaApplication::switchLanguage() {
    // LoadLanguage throws before it changes anything, so a missing file leaves the texts and
    // the help as they were, as its message says; the built-in copy serves start-up only.
    ApplyLanguage(LoadLanguage(ws_.doc), QApplication::topLevelWidgets());
    showExtraTexts();
}

namespace {
/// Find axes on an ordinary chart is over within this: only a large scan shows its box.
constexpr int kFindAxesProgressDelayMs = 1000;
} // namespace

bool KurvanaApplication::recogniseOffThread(
    ExtraText running, const std::function<void(LabelReader&, const std::atomic_bool&)>& work) {
    if (ws_.doc.cleanPicture.isNull())
        return false;
    if (!labelReader_)
        labelReader_ = std::make_unique<TesseractReader>();
    return runOffThread(running,
                        [&](const std::atomic_bool& cancel) { work(*labelReader_, cancel); });
}

bool KurvanaApplication::runOffThread(ExtraText running,
                                      const std::function<void(const std::atomic_bool&)>& work) {
    if (ws_.doc.cleanPicture.isNull())
        return false;
    // A 35-megapixel scan takes a second or more: the work runs beside the event loop, which
    // keeps painting the windows, behind a box with Cancel when it lasts.
    setBusyCursor(true);
    const bool done = RunWithProgress(main_.get(), ws_.doc.texts.extra(running),
                                      ws_.doc.texts.extra(ExtraText::CancelButton),
                                      kFindAxesProgressDelayMs, work);
    setBusyCursor(false);
    return done; // Cancel: nothing changes
}

void KurvanaApplication::findMarkers(int x, int y) {
    const QImage picture = ws_.doc.cleanPicture;
    const double tolerance = markerMatch_->tolerance();
    std::optional<MarkerFinding> finding;
    if (!runOffThread(ExtraText::FindMarkersRunning, [&](const std::atomic_bool& cancel) {
            finding = FindMarkers(picture, {x, y}, {tolerance, &cancel});
        }))
        return;
    if (finding)
        markerMatch_->setSample(finding->paper, finding->ink);
    AddFoundMarkers(ws_, finding);
}

void KurvanaApplication::findAxes() {
    const QImage picture = ws_.doc.cleanPicture;
    AxisProposal proposal;
    if (recogniseOffThread(ExtraText::FindAxesRunning,
                           [&](LabelReader& reader, const std::atomic_bool& cancel) {
                               proposal = FindAxes(picture, reader, &cancel);
                           }))
        ReviewAxisProposal(ws_, proposal);
}

void KurvanaApplication::digitiseChart() {
    const QImage picture = ws_.doc.cleanPicture;
    ChartReadingOptions options;
    // A calibration kept from the previous picture is used as it stands.
    if (ws_.doc.keepCalibration) {
        options.plotArea = CalibratedArea(ws_.doc) & picture.rect();
        options.polarRays = PlanPolarRays(ws_.doc, kPolarFollowRays);
    }
    ChartReading reading;
    if (recogniseOffThread(ExtraText::DigitiseChartRunning,
                           [&](LabelReader& reader, const std::atomic_bool& cancel) {
                               options.cancel = &cancel;
                               reading = ReadWholeChart(picture, reader, options);
                           }))
        ReviewChartReading(ws_, reading, {});
}

void KurvanaApplication::saveSettings() {
    placements_ = currentPlacements();
    SaveSettings(ws_.doc, placements_);
}

namespace {
/// A stored position that would put a window out of reach comes back where it can be seen.
QPoint reachable(QPoint position) {
    return QPoint(std::clamp(position.x(), -50, 4000), std::clamp(position.y(), 0, 3000));
}
QSize sensible(QSize size) {
    return size.expandedTo(QSize(120, 80)).boundedTo(QSize(8000, 6000));
}
} // namespace

namespace {
/// Room for the frame a window manager adds, which is not known before a window is shown.
constexpr QSize kFrameAllowance(8, 32);

QSize withFrame(const QWidget& window) {
    return (window.testAttribute(Qt::WA_Resized) ? window.size() : window.sizeHint()) +
           kFrameAllowance;
}
} // namespace

void KurvanaApplication::placeBesideMainWindow() {
    const QScreen* screen = main_->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const FirstStartPlaces places =
        PlaceBesideMainWindow(available, QRect(main_->pos(), withFrame(*main_)), withFrame(*table_),
                              withFrame(*input_), withFrame(*zoom_), withFrame(*about_));
    table_->move(places.table.topLeft());
    table_->resize(places.table.size() - kFrameAllowance);
    input_->move(places.input.topLeft());
    zoom_->move(places.zoom.topLeft());
    about_->move(places.about.topLeft());
}

void KurvanaApplication::fitMainWindowToPicture() {
    const QScreen* screen = main_->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QScrollArea& box = *main_->ScrollBox1();
    const QSize shown = box.widget() ? box.widget()->size() : QSize();
    const QSize chrome = withFrame(*main_) - box.maximumViewportSize();
    const QSize smallest = sensible(main_->minimumSizeHint()) + kFrameAllowance;
    main_->resize(MainWindowShowingPicture(available, main_->pos(), shown, chrome, smallest) -
                  kFrameAllowance);
}

void KurvanaApplication::applyPlacements() {
    const WindowPlacements& p = placements_;
    main_->move(reachable(p.main.topLeft()));
    main_->resize(sensible(p.main.size()));
    zoom_->move(reachable(p.zoom));
    input_->move(reachable(p.input));
    input_->setStayOnTop(p.inputStayOnTop);
    table_->move(reachable(p.table.topLeft()));
    table_->resize(sensible(p.table.size()));
    table_->setStayOnTop(p.tableStayOnTop);
    setup_->move(reachable(p.setup));
}

WindowPlacements KurvanaApplication::currentPlacements() const {
    WindowPlacements p;
    p.main = QRect(main_->pos(), main_->size());
    p.zoom = zoom_->pos();
    p.input = input_->pos();
    p.inputStayOnTop = input_->stayOnTop();
    p.table = QRect(table_->pos(), table_->size());
    p.tableStayOnTop = table_->stayOnTop();
    p.setup = setup_->pos();
    return p;
}

void KurvanaApplication::connectCommand(const QString& name, std::function<void()> command) {
    QAction* action = main_->action(name);
    Q_ASSERT(action);
    auto run = [this, command = std::move(command)] { runCommand(ws_, command); };
    // A pressed-state button runs its command whenever the user changes its state: a click
    // or a key triggers the action, which toggles it, but the accessibility "Toggle" action
    // of screen readers and test tools toggles the button without triggering anything. The
    // states the program shows itself are set with the action's signals blocked.
    if (action->isCheckable() && !action->actionGroup())
        connect(action, &QAction::toggled, this, run);
    else
        connect(action, &QAction::triggered, this, run);
}

void KurvanaApplication::wireCommands() {
    Workspace& ws = ws_;
    const std::pair<const char*, int> modeCommands[] = {
        {"ButtonSetPoint", ModeMarks},          {"MenuInputPoint", ModeMarks},
        {"ButtonSetZeroPoint", ModeZeroPoint},  {"MenuInput00", ModeZeroPoint},
        {"ButtonSetXMaxPoint", ModeXMaxPoint},  {"MenuInputXmax", ModeXMaxPoint},
        {"ButtonSetYMaxPoint", ModeYMaxPoint},  {"MenuInputYmax", ModeYMaxPoint},
        {"ButtonErazer", ModeEraser},           {"MenuErazer", ModeEraser},
        {"ButtonFindMarkers", ModeFindMarkers}, {"MenuFindMarkers", ModeFindMarkers},
        {"ButtonFindBars", ModeFindBars},       {"MenuFindBars", ModeFindBars}};
    for (const auto& [name, mode] : modeCommands)
        connectCommand(name, [this, &ws, mode = mode] {
            SetInputMode(ws, mode);
            // The tolerance is chosen before the click that searches; its tint goes with the
            // mode.
            markerMatch_->setVisible(ws.doc.inputMode == ModeFindMarkers);
        });
    connectCommand("ButtonHandle", [&ws] { ButtonHandleClick(ws); });
    for (const char* name : {"ButtonAvtoCorrect", "MenuAutocorrection"})
        connectCommand(name, [&ws] { ToggleAutoCorrect(ws); });
    const char* const lineItems[] = {"line1", "line2", "Line3", "Line4", "Line5"};
    for (int i = 0; i < 5; ++i)
        connectCommand(lineItems[i], [&ws, i] { SelectLine(ws, i + 1); });
    for (int i = 1; i <= 7; ++i)
        connectCommand(QString("mastab%1").arg(i), [&ws, i] { ChooseViewScale(ws, i); });
    const char* const cursorItems[] = {"Diag", "vert", "Handle", "Circle", "Strela"};
    for (int i = 0; i < 5; ++i)
        connectCommand(cursorItems[i], [&ws, i] { ChooseCursor(ws, i + 1); });

    for (const char* name : {"ButtonFileOpen", "menuOpenBMP"})
        connectCommand(name, [&ws] { OpenPictureDialog(ws); });
    for (const char* name : {"ButtonCopyFromClipboard", "menufromClipboard"})
        connectCommand(name, [this] {
            clipboard_->show();
            clipboard_->raise();
            clipboard_->activateWindow();
        });
    for (const char* name : {"ButtonViewSetup", "menuShowSetup"})
        connectCommand(name, [this] { setup_->openFromMain(); });
    connectCommand("menuOpenData", [&ws] { OpenDataDialog(ws); });
    connectCommand("menuSaveData", [&ws] { SaveData(ws); });
    for (const char* name : {"ButtonPasteLine", "MenuPasteLine"})
        connectCommand(name, [&ws] { ButtonPasteLineClick(ws); });
    for (const char* name : {"ButtonFindOnLine", "MenuFindOnLine"})
        connectCommand(name, [&ws] { ButtonFindOnLineClick(ws); });
    for (const char* name : {"ButtonInputColor", "MenuInputColor"})
        connectCommand(name, [this] { inputColor_->openFromMain(); });
    for (const char* name : {"ButtonFindByColor", "MenuFindByColor"})
        connectCommand(name, [this] { avtomatColor_->openFromMain(); });
    for (const char* name : {"ButtonOnDeltaX", "MenuOnDeltaX", "menuShowFixShag"})
        connectCommand(name, [this] { inputShag_->openFromMain(); });
    for (const char* name : {"ButtonClearImage", "MenuClearGrafik"})
        connectCommand(name, [&ws] { CleanUpPicture(ws); });
    for (const char* name : {"ButtonFindAxes", "MenuFindAxes"})
        connectCommand(name, [this] { findAxes(); });
    for (const char* name : {"ButtonDigitiseChart", "MenuDigitiseChart"})
        connectCommand(name, [this] { digitiseChart(); });
    connectCommand("menuKeepCalibration", [this] {
        ws_.doc.keepCalibration = main_->action("menuKeepCalibration")->isChecked();
    });
    connectCommand("MenuAvtomat", [this] { AutomaticDigitising(ws_, avtomat_->threshold()); });
    connect(main_.get(), &TFormKurvana::fileDropped, this, [this](const QString& path) {
        runCommand(ws_, [&] { OpenFromCommandLine(ws_, path); });
    });
    for (const char* name : {"ButtonViewTable", "menuShowTable"})
        connectCommand(name, [this] { table_->showAndRaise(); });
    for (const char* name : {"ButtonCopyToClipboard", "menuCopytoClipboard"})
        connectCommand(name, [&ws] { CopyTableToClipboard(ws); });
    connectCommand("menuExportData", [&ws] { ExportDataCommand(ws); });
    for (const char* name : {"ButtonCheckGrid", "menuCheckGrid"})
        connectCommand(name, [&ws] { ToggleCheckGrid(ws); });
    for (const char* name : {"ButtonClearData", "menuCleardata"})
        connectCommand(name, [&ws] { ClearLineCommand(ws); });
    connectCommand("menuShowInput", [this] {
        input_->show();
        input_->raise();
    });
    connectCommand("menuShowZoom", [] {}); // the magnifier is always shown
    connectCommand("MenuExit", [this] { MenuExitClick(); });
    for (const char* name : {"MenuUndo", "ButtonUndo"})
        connectCommand(name, [this] { history_.undo(ws_); });
    for (const char* name : {"MenuRedo", "ButtonRedo"})
        connectCommand(name, [this] { history_.redo(ws_); });
    connectCommand("MenuHelp", [this] { MenuHelpClick(); });
    connectCommand("MenuAbout", [this] {
        about_->show();
        about_->raise();
    });
}

void KurvanaApplication::MenuExitClick() {
    // Unsaved work is asked about with Save, Discard and Cancel as the window closes; M20
    // would only ask the same twice.
    if (history_.modified() ||
        ws_.dialogs.question(ws_.doc.texts.message(20), platform::QuestionButtons::YesNo) !=
            platform::Answer::No)
        main_->close();
}

void KurvanaApplication::MenuHelpClick() {
    static QPointer<QTextBrowser> help;
    if (!help) {
        help = new QTextBrowser(main_.get());
        help->setWindowFlag(Qt::Window);
        help->setAttribute(Qt::WA_DeleteOnClose);
        help->resize(720, 600);
    }
    help->setSource(QUrl::fromLocalFile(ws_.doc.sharedFolder() + ws_.doc.helpFileName));
    help->setWindowTitle(help->documentTitle());
    help->show();
    help->raise();
}

void KurvanaApplication::FormClose() {
    if (ws_.doc.autoSaveSettings)
        runCommand(ws_, [this] { saveSettings(); });
    QApplication::closeAllWindows();
    QApplication::quit();
}

void KurvanaApplication::imgGrafikMouseDown(QPoint position, unsigned shiftState) {
    runCommand(ws_, [&] { PictureMouseDown(ws_, position.x(), position.y(), shiftState); });
}

void KurvanaApplication::imgGrafikMouseUp() {
    PictureMouseUp(ws_);
}

void KurvanaApplication::imgGrafikMouseMove(QPoint position, unsigned shiftState) {
    Document& doc = ws_.doc;
    const int px = ScreenToPicture(position.x(), doc.viewScale);
    const int py = ScreenToPicture(position.y(), doc.viewScale);
    // A failure here (an axis edit being retyped, an axis shorter than one pixel) goes to the
    // status bar: a box on every move would make retyping impossible.
    try {
        ReadAxisTexts(doc);
        const AxisValues values = ValuesAtPixel(doc, px, py);
        main_->setStatusText(0, " (" + ReadoutText(doc, AxisName::X, values.x) + ", " +
                                    ReadoutText(doc, AxisName::Y, values.y) + ")");
        showMagnifier(px, py);
        if (doc.inputMode == ModeZone && shiftState == LeftButton)
            PaintZoneOnMove(ws_, px, py);
        if (doc.inputMode == ModeEraser && shiftState == LeftButton)
            EraseOnMove(ws_, px, py);
        if (doc.inputMode == ModeColourPick) {
            doc.probe(px, py);
            inputColor_->showColourUnderCursor(doc.probeColor);
        }
        if (doc.inputMode == ModeHandScroll && doc.handScrollActive) {
            const ScrollStep step = HandScrollStep(ws_, px, py);
            QScrollArea* box = main_->ScrollBox1();
            box->horizontalScrollBar()->setValue(box->horizontalScrollBar()->value() + step.dx);
            box->verticalScrollBar()->setValue(box->verticalScrollBar()->value() + step.dy);
        }
    } catch (const CommandError& error) {
        main_->setStatusText(0, error.text());
    }
}

void KurvanaApplication::fillTable() {
    table_->fillTable();
    // Every change of the calibration ends here: the check grid follows it at once.
    if (ws_.doc.checkGridOn)
        main_->imgGrafik()->update();
}

void KurvanaApplication::pictureChanged(const QRect& area) {
    main_->imgGrafik()->updatePictureArea(area);
}

void KurvanaApplication::controlsChanged() {
    main_->showDocumentState();
    input_->showFrameState();
}

void KurvanaApplication::applyViewScale() {
    main_->imgGrafik()->applyViewScale();
}

void KurvanaApplication::showMagnifier(int x, int y) {
    zoom_->showAround(ws_.doc.workingPicture, x, y);
}

void KurvanaApplication::setStatusText(int panel, const QString& text) {
    main_->setStatusText(panel, text);
}

void KurvanaApplication::documentSettingsChanged() {
    if (ws_.doc.checkGridOn)
        main_->imgGrafik()->update();
    input_->showDocumentTexts();
    setup_->showDocumentSettings();
}

void KurvanaApplication::setClipboardText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

void KurvanaApplication::takeColourSample() {
    inputColor_->takeSample();
}

void KurvanaApplication::runNudgeWindow() {
    nudge_->exec();
}

PdfWindows* KurvanaApplication::pdfWindows() {
    return pdfWindows_.get();
}

void KurvanaApplication::setBusyCursor(bool busy) {
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void KurvanaApplication::showMatchPreview(const PixelMatch& matches, bool onCleanPicture) {
    main_->imgGrafik()->setMatchPreview(matches, onCleanPicture);
}

} // namespace kurvana
