#include "ui/application.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBrowser>
#include <QThread>
#include <QUrl>

#include "core/calibration.h"
#include "core/clicks.h"
#include "core/document.h"
#include "core/linedata.h"
#include "core/numbers.h"
#include "core/view.h"
#include "core/windows/inputwindow.h"
#include "core/windows/nudgewindow.h"
#include "io/datacommands.h"
#include "io/picturecommands.h"
#include "io/windows/clipboardwindow.h"
#include "platform/dialogs.h"
#include "settings/languagefile.h"
#include "settings/windows/applylanguage.h"
#include "settings/windows/setupwindow.h"
#include "tracing/autodigitise.h"
#include "tracing/axiscommand.h"
#include "tracing/cleanup.h"
#include "tracing/findaxes.h"
#include "tracing/tesseractreader.h"
#include "tracing/windows/formavtomat.h"
#include "tracing/windows/formavtomat1.h"
#include "tracing/windows/formavtomatcolor.h"
#include "tracing/windows/forminputcolor.h"
#include "tracing/windows/forminputshag.h"
#include "tracing/zonesearch.h"
#include "ui/aboutwindow.h"
#include "ui/kurvana.h"
#include "ui/picturewidget.h"
#include "ui/tablewindow.h"
#include "ui/zoomwindow.h"

namespace kurvana {

KurvanaApplication::KurvanaApplication(Document& doc, platform::Dialogs& dialogs)
    : ws_{doc, dialogs, *this} {
    createWindows();
    wireCommands();
}

KurvanaApplication::~KurvanaApplication() = default;

void KurvanaApplication::createWindows() {
    // FormCreate of the main window: the start-up defaults, shown on the controls.
    ws_.doc.setStartupDefaults();
    main_ = std::make_unique<TFormKurvana>(ws_.doc);
    setup_ = std::make_unique<TFormSetup>(
        ws_, SetupCallbacks{[this] { applyLanguage(); }, [this] { saveSettings(); }});
    table_ = std::make_unique<TFormTable>(ws_.doc);
    input_ = std::make_unique<TFormInput>(ws_);
    zoom_ = std::make_unique<TFormZoom>();
    clipboard_ = std::make_unique<TformClipboard>(ws_, main_.get());
    avtomat_ = std::make_unique<TFormAvtomat>(ws_);
    avtomat1_ = std::make_unique<TFormAvtomat1>();
    nudge_ = std::make_unique<TFormMoviPoint>(ws_, main_.get());
    inputShag_ = std::make_unique<TFormInputShag>(ws_, main_.get());
    inputColor_ = std::make_unique<TFormInputColor>(ws_, main_.get());
    avtomatColor_ = std::make_unique<TFormAvtomatColor>(ws_, *inputColor_, main_.get());
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
    doc.commandLineArg = arguments.value(0);
    doc.decimalSeparator = decimalSeparator;
    runCommand(ws_, [this] { LoadSettings(ws_.doc, placements_); });
    applyPlacements();
    documentSettingsChanged();
    controlsChanged();
    main_->show();
    table_->show();
    input_->show();
    zoom_->show();
    about_->show();
    if (doc.commandLineArg.isEmpty())
        runCommand(ws_, [this] { OpenPictureDialog(ws_); });
    else
        runCommand(ws_, [this] { OpenFromCommandLine(ws_, ws_.doc.commandLineArg); });
    applyLanguage();
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
    const QString findAxes = doc.texts.extra(ExtraText::FindAxesCaption);
    main_->action("MenuFindAxes")->setText(findAxes);
    main_->action("ButtonFindAxes")->setText(findAxes);
    main_->action("ButtonFindAxes")->setToolTip(doc.texts.extra(ExtraText::FindAxesHint));
}

void KurvanaApplication::findAxes() {
    const QImage picture = ws_.doc.cleanPicture;
    if (picture.isNull())
        return;
    if (!labelReader_)
        labelReader_ = std::make_unique<TesseractReader>();
    // A 35-megapixel scan takes seconds: the search runs beside the event loop, which keeps
    // painting the windows while they take no input.
    AxisProposal proposal;
    QEventLoop waiting;
    std::unique_ptr<QThread> worker(
        QThread::create([&] { proposal = FindAxes(picture, *labelReader_); }));
    connect(worker.get(), &QThread::finished, &waiting, &QEventLoop::quit);
    setBusyCursor(true);
    main_->setEnabled(false);
    worker->start();
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    main_->setEnabled(true);
    setBusyCursor(false);
    ReviewAxisProposal(ws_, proposal);
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
    connect(action, &QAction::triggered, this,
            [this, command = std::move(command)] { runCommand(ws_, command); });
}

void KurvanaApplication::wireCommands() {
    Workspace& ws = ws_;
    const std::pair<const char*, int> modeCommands[] = {
        {"ButtonSetPoint", ModeMarks},         {"MenuInputPoint", ModeMarks},
        {"ButtonSetZeroPoint", ModeZeroPoint}, {"MenuInput00", ModeZeroPoint},
        {"ButtonSetXMaxPoint", ModeXMaxPoint}, {"MenuInputXmax", ModeXMaxPoint},
        {"ButtonSetYMaxPoint", ModeYMaxPoint}, {"MenuInputYmax", ModeYMaxPoint},
        {"ButtonErazer", ModeEraser},          {"MenuErazer", ModeEraser}};
    for (const auto& [name, mode] : modeCommands)
        connectCommand(name, [&ws, mode = mode] { SetInputMode(ws, mode); });
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
    connectCommand("MenuAvtomat", [this] { AutomaticDigitising(ws_, avtomat_->threshold()); });
    connect(main_.get(), &TFormKurvana::fileDropped, this, [this](const QString& path) {
        runCommand(ws_, [&] { OpenFromCommandLine(ws_, path); });
    });
    for (const char* name : {"ButtonViewTable", "menuShowTable"})
        connectCommand(name, [this] { table_->showAndRaise(); });
    for (const char* name : {"ButtonCopyToClipboard", "menuCopytoClipboard"})
        connectCommand(name, [&ws] { CopyTableToClipboard(ws); });
    for (const char* name : {"ButtonClearData", "menuCleardata"})
        connectCommand(name, [&ws] { ClearLineCommand(ws); });
    connectCommand("menuShowInput", [this] {
        input_->show();
        input_->raise();
    });
    connectCommand("menuShowZoom", [] {}); // the magnifier is always shown
    connectCommand("MenuExit", [this] { MenuExitClick(); });
    connectCommand("MenuHelp", [this] { MenuHelpClick(); });
    connectCommand("MenuAbout", [this] {
        about_->show();
        about_->raise();
    });
}

void KurvanaApplication::MenuExitClick() {
    if (ws_.dialogs.question(ws_.doc.texts.message(20), platform::QuestionButtons::YesNo) !=
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
    help->setSource(QUrl::fromLocalFile(ws_.doc.programDir + ws_.doc.helpFileName));
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
        main_->setStatusText(0, " (" + formatFixed2(values.x, doc.decimalSeparator) + ", " +
                                    formatFixed2(values.y, doc.decimalSeparator) + ")");
        showMagnifier(px, py);
        if (doc.inputMode == ModeZone && shiftState == LeftButton)
            PaintZoneOnMove(ws_, px, py);
        if (doc.inputMode == ModeEraser && shiftState == LeftButton) {
            RemoveNearPoints(ws_, px, py, 9);
            RefreshValues(ws_);
        }
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
}

void KurvanaApplication::pictureChanged(const QRect& area) {
    main_->imgGrafik()->updatePictureArea(area);
}

void KurvanaApplication::controlsChanged() {
    main_->showDocumentState();
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

void KurvanaApplication::setBusyCursor(bool busy) {
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

} // namespace kurvana
