#include <QtTest>

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include "core/calibration.h"
#include "core/clicks.h"
#include "core/document.h"
#include "core/picture.h"
#include "core/windows/inputwindow.h"
#include "core/windows/nudgewindow.h"
#include "io/datacommands.h"
#include "io/datafile.h"
#include "io/pdffile.h"
#include "io/windows/clipboardwindow.h"
#include "io/windows/pagechooserwindow.h"
#include "io/windows/pagepreview.h"
#include "platform/scripteddialogs.h"
#include "settings/windows/setupwindow.h"
#include "tracing/autodigitise.h"
#include "ui/application.h"
#include "ui/datatablemodel.h"
#include "ui/firststartlayout.h"
#include "ui/kurvana.h"
#include "ui/picturewidget.h"
#include "ui/tablewindow.h"
#include "ui/zoomwindow.h"

using namespace kurvana;

namespace {
/// Counts what listens to an action's triggered or toggled signal. QObject::receivers is protected;
/// a pointer to it taken in a derived class calls it on any QAction without pretending the action
/// is of the derived type.
struct ConnectedAction : QAction {
    static int connections(const QAction* action) {
        int (QObject::*receivers)(const char*) const = &ConnectedAction::receivers;
        return (action->*receivers)(SIGNAL(triggered(bool))) +
               (action->*receivers)(SIGNAL(toggled(bool)));
    }
};
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    struct Program {
        Document doc;
        platform::ScriptedDialogs dialogs;
        KurvanaApplication app{doc, dialogs};
        Program() {
            for (int slot = 1; slot <= 21; ++slot)
                doc.texts.setMessage(slot, QString("M%1").arg(slot, 2, 10, QChar('0')));
        }
        QAction* action(const char* name) { return app.mainWindow().action(name); }
        void loadWhite(int width, int height) {
            QImage white(width, height, QImage::Format_RGB32);
            white.fill(Qt::white);
            InstallNewPicture(app.workspace(), white);
        }
    };

private slots:
    void startUpShowsItsDefaultsOnTheControls() {
        Program p;
        p.app.start(KURVANA_SOURCE_DIR "/data", {"notes.txt"}, '.');
        QVERIFY(p.action("ButtonSetPoint")->isChecked());
        QVERIFY(p.action("ButtonAvtoCorrect")->isChecked());
        QVERIFY(p.action("MenuAutocorrection")->isChecked());
        QVERIFY(!p.action("ButtonSetZeroPoint")->isChecked());
        QVERIFY(p.action("mastab4")->isChecked());
        QVERIFY(p.action("Handle")->isChecked());
        auto* shape = p.app.mainWindow().findChild<QFrame*>("Shape1");
        QCOMPARE(shape->palette().color(QPalette::Window), QColor(Qt::red));
        QVERIFY(p.app.tableWindow().isVisible());
        QVERIFY(p.app.inputWindow().isVisible());
        QVERIFY(p.app.zoomWindow().isVisible());
        QCOMPARE(p.app.mainWindow().windowTitle(), QString("Kurvana II v2.32"));
        QVERIFY(p.dialogs.informations.isEmpty());
        // The language file was applied: English captions and messages.
        QCOMPARE(p.action("menuOpenBMP")->text(), QString("Open BMP..."));
        QVERIFY(!p.doc.texts.message(20).isEmpty());
    }

    void restoredWorkIsNotReplacedByTheFileNamedAtStartUp() {
        QTemporaryDir root; // outlives the program's own copy
        Program p;
        const QString dead = root.path() + "/dead";
        QDir().mkpath(dead);
        QImage white(200, 150, QImage::Format_RGB32);
        white.fill(Qt::white);
        QVERIFY(white.save(dead + "/picture.bmp"));
        DataFileContent work;
        work.pictureCopyName = "picture.bmp";
        work.editMinX = work.editMinY = "0", work.editMaxX = work.editMaxY = "1";
        work.zeroPointX = 10, work.zeroPointY = 140, work.xMaxPointX = 190, work.xMaxPointY = 140;
        work.yMaxPointX = 10, work.yMaxPointY = 10;
        work.lines[1] = {QPoint(50, 50)};
        QFile file(dead + "/work.gra");
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(*DataFileBytes(work)) > 0);
        file.close();
        p.app.setRecoveryRoot(root.path());
        p.dialogs.answers = {platform::Answer::Yes, platform::Answer::Cancel};

        p.app.start(KURVANA_SOURCE_DIR "/data", {"/charts/other.png"}, '.');

        QCOMPARE(p.dialogs.questions.size(), 1); // the restore question alone
        QVERIFY(p.dialogs.informations.isEmpty());
        QCOMPARE(p.doc.nextRow[1], 2);
        QVERIFY(p.app.mainWindow().statusText(0).contains("other.png not opened"));
    }

    void aMissingLanguageFileIsReportedAndTheBuiltInCopyServes() {
        Program p;
        p.app.start(QDir::tempPath() + "/kurvana-no-such-folder", {"notes.txt"}, '.');
        QCOMPARE(p.dialogs.informations.size(), 1);
        QVERIFY(!p.doc.texts.message(20).isEmpty());
    }

    void aMissingLanguageFileFromSetupKeepsTheTextsAndTheChoice() {
        Program p;
        p.app.start(KURVANA_SOURCE_DIR "/data", {"notes.txt"}, '.');
        const QString message = p.doc.texts.message(8);
        const QString help = p.doc.helpFileName;
        QTemporaryDir empty;
        p.doc.programDir = empty.path() + '/';
        p.doc.sharedDir = p.doc.programDir;
        auto* russian = p.app.setupWindow().findChild<QRadioButton*>("RadioButtonSetRussian");
        russian->click();
        QCOMPARE(p.dialogs.informations.size(), 1);
        QVERIFY(p.dialogs.informations.front().contains("language.txt"));
        QCOMPARE(p.action("menuOpenBMP")->text(), QString("Open BMP..."));
        QCOMPARE(p.doc.texts.message(8), message);
        QCOMPARE(p.doc.helpFileName, help);
        QVERIFY(!p.doc.languageRussian);
        QVERIFY(!russian->isChecked());
    }

    void aFirstStartLeavesTheMainWindowUncovered_data() {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<bool>("toTheRight");
        QTest::addColumn<bool>("wholePicture");
        QTest::addColumn<bool>("roomForAbout");
        QTest::newRow("wide screen") << QRect(0, 0, 1920, 1040) << true << true << true;
        QTest::newRow("usual screen") << QRect(0, 0, 1600, 1000) << true << true << true;
        QTest::newRow("narrow screen") << QRect(0, 0, 900, 1200) << false << false << false;
        QTest::newRow("second screen") << QRect(1920, 0, 1280, 1000) << true << true << false;
    }
    void aFirstStartLeavesTheMainWindowUncovered() {
        QFETCH(QRect, screen);
        QFETCH(bool, toTheRight);
        QFETCH(bool, wholePicture);
        QFETCH(bool, roomForAbout);
        // Sizes as the windows have them, frames included; the sample chart is 900 x 640.
        const QSize picture(900, 640), chrome(30, 150), smallest(608, 452);
        const QPoint at = screen.topLeft() + QPoint(20, 20);
        const QRect main(at, MainWindowShowingPicture(screen, at, picture, chrome, smallest));
        QCOMPARE(main.width() >= picture.width() + chrome.width() &&
                     main.height() >= picture.height() + chrome.height(),
                 wholePicture);
        QVERIFY(screen.contains(main));
        const FirstStartPlaces places = PlaceBesideMainWindow(
            screen, main, QSize(608, 432), QSize(240, 170), QSize(130, 150), QSize(420, 260));
        const QRect tools[] = {places.table, places.input, places.zoom};
        for (const QRect& tool : tools) {
            QVERIFY(!tool.intersects(main));
            QVERIFY(screen.contains(tool));
        }
        QCOMPARE(places.table.left() > main.right(), toTheRight);
        QCOMPARE(places.table.top() > main.bottom(), !toTheRight);
        QVERIFY(!places.input.intersects(places.table) && !places.zoom.intersects(places.input));
        // The About box covers no window where the screen has room for it.
        for (const QRect& other : {main, places.table, places.input, places.zoom})
            QVERIFY(!roomForAbout || !places.about.intersects(other));
        QVERIFY(screen.contains(places.about));
    }

    void choosingALineChangesOnlyTheLine() {
        Program p;
        p.doc.lineColor[3] = 0x00FF00;
        p.action("ButtonSetZeroPoint")->trigger();
        p.action("Line3")->trigger();
        QCOMPARE(p.doc.currentLine, 3);
        QCOMPARE(p.doc.inputMode, int(ModeZeroPoint));
        auto* shape = p.app.mainWindow().findChild<QFrame*>("Shape1");
        QCOMPARE(shape->palette().color(QPalette::Window), QColor(Qt::green));
        QVERIFY(p.action("ButtonSetZeroPoint")->isChecked());
        QVERIFY(!p.action("ButtonSetPoint")->isChecked());
    }

    void everyWayOfPressingAModeButtonSwitchesTheMode() {
        Program p;
        p.app.mainWindow().show();
        auto button = [&p](const char* name) {
            auto* toolBar = p.app.mainWindow().findChild<QToolBar*>("ToolBar1");
            return qobject_cast<QToolButton*>(toolBar->widgetForAction(p.action(name)));
        };
        // The accessibility "Toggle" action, as screen readers and test tools use it.
        auto toggle = [](QToolButton* b) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(b);
            QVERIFY(face && face->actionInterface());
            face->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        };
        toggle(button("ButtonSetZeroPoint"));
        QCOMPARE(p.doc.inputMode, int(ModeZeroPoint));
        QVERIFY(button("ButtonSetZeroPoint")->isChecked());
        QVERIFY(!button("ButtonSetPoint")->isChecked());
        toggle(button("ButtonSetZeroPoint")); // as a click on the pressed button: it stays
        QCOMPARE(p.doc.inputMode, int(ModeZeroPoint));
        QVERIFY(button("ButtonSetZeroPoint")->isChecked());
        button("ButtonErazer")->click();
        QCOMPARE(p.doc.inputMode, int(ModeEraser));
        QVERIFY(!button("ButtonSetZeroPoint")->isChecked());
        toggle(button("ButtonAvtoCorrect"));
        QCOMPARE(p.doc.autoCorrectOn, button("ButtonAvtoCorrect")->isChecked());
        QCOMPARE(p.doc.autoCorrectOn, p.action("MenuAutocorrection")->isChecked());
    }

    void resizingKeepsTheScrollBoxMargins() {
        Program p;
        p.app.mainWindow().setClientSize(QSize(1000, 700));
        QCOMPARE(p.app.mainWindow().ScrollBox1()->size(), QSize(990, 630));
        p.app.tableWindow().show();
        p.app.tableWindow().resize(300, 200);
        QCOMPARE(p.app.tableWindow().findChild<QTableView*>("Tabl")->size(), QSize(290, 170));
    }

    void picturePressesReachTheDigitiser() {
        Program p;
        p.loadWhite(300, 300);
        p.doc.autoCorrectOn = false;
        PictureWidget* picture = p.app.mainWindow().imgGrafik();
        QCOMPARE(picture->size(), QSize(300, 300));
        QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(125, 125));
        QCOMPARE(p.doc.nextRow[1], 2);
        const DataTableModel& model = p.app.tableWindow().model();
        QCOMPARE(model.cellText(1, 1), QString("5000"));
        QCOMPARE(model.cellText(1, 2), QString("1.05"));
        QCOMPARE(model.cellText(2, 0), QString("2"));
        QCOMPARE(model.cellText(0, 0), QString("№"));
        // The side buttons (back, forward) do nothing on the picture, in any mode.
        for (const Qt::MouseButton side : {Qt::BackButton, Qt::ForwardButton}) {
            QTest::mouseClick(picture, side, {}, QPoint(150, 150));
            QTest::mouseDClick(picture, side, {}, QPoint(150, 150));
        }
        QCOMPARE(p.doc.nextRow[1], 2);
        // Moving over the picture shows the values under the mouse.
        p.app.imgGrafikMouseMove(QPoint(50, 200), 0);
        QCOMPARE(p.app.mainWindow().statusText(0), QString(" (0.00, 1.10)"));
    }

    void aFailingReadoutGoesToTheStatusBar() {
        Program p;
        p.loadWhite(300, 300);
        p.app.inputWindow().EditMinX->setText("");
        p.app.imgGrafikMouseMove(QPoint(60, 60), 0);
        QCOMPARE(p.app.mainWindow().statusText(0),
                 QString("'' is not a valid floating point value"));
        QVERIFY(p.dialogs.informations.isEmpty());
    }

    void inputWindowFiltersKeysAndEnterRefreshes() {
        Program p;
        p.loadWhite(300, 300);
        p.app.inputWindow().show();
        QLineEdit* maxX = p.app.inputWindow().EditMaxX;
        maxX->clear();
        QTest::keyClicks(maxX, "1a,5,-2");
        QCOMPARE(maxX->text(), QString("1.52"));
        QCOMPARE(p.doc.editMaxX, QString("1.52"));
        QTest::keyClick(maxX, Qt::Key_Return);
        QCOMPARE(p.doc.axisXMax, 1.52);

        // Tab and Shift+Tab move between the edits as in any window.
        QWidget& window = p.app.inputWindow();
        maxX->setFocus();
        QTest::keyClick(maxX, Qt::Key_Tab);
        QWidget* next = window.focusWidget();
        QVERIFY(next != maxX && qobject_cast<QLineEdit*>(next));
        QTest::keyClick(next, Qt::Key_Backtab);
        QCOMPARE(window.focusWidget(), maxX);
        QCOMPARE(maxX->text(), QString("1.52"));

        // Enter with a text that is not a number: the message, and the focus goes to that edit.
        QLineEdit* minY = p.app.inputWindow().EditMinY;
        minY->setText("-");
        QTest::keyClick(maxX, Qt::Key_Return);
        QCOMPARE(p.dialogs.informations, QStringList{"'-' is not a valid floating point value"});
        QCOMPARE(window.focusWidget(), minY);
        QTest::keyClick(minY, Qt::Key_Return);
        QCOMPARE(window.focusWidget(), minY);
    }

    void searchEditsTypeTheSeparatorReadAtStartUp() {
        Program p; // the windows are built before start-up reads the system's separator
        p.app.start(KURVANA_SOURCE_DIR "/data", {"notes.txt"}, ',');
        p.loadWhite(300, 300);
        for (const QPoint& point : {QPoint(58, 150), QPoint(150, 150), QPoint(190, 150)})
            p.doc.appendPoint(1, point.x(), point.y());
        RefreshValues(p.app.workspace());
        p.action("ButtonOnDeltaX")->trigger();
        QWidget& main = p.app.mainWindow();
        auto* step = main.findChild<QLineEdit*>("EditShagX");
        auto* from = main.findChild<QLineEdit*>("EditFromX");
        auto* to = main.findChild<QLineEdit*>("EditToX");
        QVERIFY(step && from && to && step->window()->isVisible());
        for (QLineEdit* edit : {step, from, to})
            edit->clear();
        QTest::keyClicks(step, "0.5");
        QTest::keyClicks(from, "0,5");
        QTest::keyClicks(to, "1");
        QCOMPARE(step->text(), QString("0,5"));
        QCOMPARE(from->text(), QString("0,5"));
        p.doc.axisXMin = 0; // 100 pixels per X unit: columns 100 and 150
        p.doc.axisXMax = 1.5;
        main.findChild<QPushButton*>("ButtonFindPoint")->click();
        QVERIFY(p.dialogs.informations.isEmpty());
        const QStringList lines =
            main.findChild<QPlainTextEdit*>("Memo1")->toPlainText().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith("0,5\t"));
        QVERIFY(lines[1].startsWith("1\t"));
    }

    void tableNumbersAreNeverElidedAndColumnsFitOnDoubleClick() {
        Program p;
        p.loadWhite(300, 300);
        p.doc.autoCorrectOn = false;
        p.app.inputWindow().EditMaxX->setText("7"); // X values with fifteen digits
        QTest::mouseClick(p.app.mainWindow().imgGrafik(), Qt::LeftButton, {}, QPoint(100, 125));
        TFormTable& table = p.app.tableWindow();
        table.show();
        auto* grid = table.findChild<QTableView*>("Tabl");
        const QString x = p.app.tableWindow().model().cellText(1, 1);
        QCOMPARE(x.size(), 16); // "2.28666666666667": wider than the column
        QVERIFY(grid->columnWidth(1) < grid->fontMetrics().horizontalAdvance(x));
        QCOMPARE(grid->textElideMode(), Qt::ElideNone);
        QHeaderView* header = grid->horizontalHeader();
        QCOMPARE(header->sectionResizeMode(1), QHeaderView::Interactive);
        const int edge = header->sectionViewportPosition(1) + header->sectionSize(1);
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, QPoint(edge, 5));
        QVERIFY(header->sectionSize(1) >= grid->fontMetrics().horizontalAdvance(x));
    }

    void clipboardWindowTakesOnlyPictures() {
        Program p;
        p.loadWhite(100, 80);
        p.doc.appendPoint(1, 10, 10);
        TformClipboard window(p.app.workspace());
        QGuiApplication::clipboard()->setText("just text");
        window.FormActivate();
        QCOMPARE(p.dialogs.informations, QStringList{"M14"});
        window.ButtonOKClick(); // still no picture: M14 again, nothing taken
        QCOMPARE(p.dialogs.informations.size(), 2);
        QCOMPARE(p.doc.pictureWidth, 100);

        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::green);
        QGuiApplication::clipboard()->setImage(picture);
        window.FormActivate();
        QCOMPARE(window.preview().size(), QSize(40, 30));
        window.ButtonOKClick();
        QCOMPARE(p.doc.pictureFileName, QString("clipboard"));
        QCOMPARE(p.doc.cleanPicture.size(), QSize(40, 30));
        QCOMPARE(p.doc.pictureWidth, 40);
        QCOMPARE(p.doc.nextRow[1], 2); // points stay
        QCOMPARE(p.app.mainWindow().statusText(2), QString("M15"));
    }

    void pageChooserRefusesOversizeAndFramesARegion() {
        QTemporaryDir folder;
        const QString path = folder.path() + "/two.pdf";
        {
            QPdfWriter writer(path);
            writer.setResolution(72);
            writer.setPageSize(QPageSize(QSizeF(4, 3), QPageSize::Inch));
            QPainter painter(&writer);
            writer.setPageSize(QPageSize(QSizeF(20, 20), QPageSize::Inch));
            writer.newPage();
        }
        const PdfFile pdf(path);
        const Texts texts;
        PageChooserWindow chooser(pdf, {1, 300, {}}, texts);
        QCOMPARE(chooser.findChild<QListView*>("PageGrid")->model()->rowCount(), 2);
        QVERIFY(chooser.sizeLabel().text().contains("1200 x 900 pixels"));

        // 20 inches at 1000 dpi: refused in the window, with the limit named.
        chooser.pageBox().setValue(2);
        chooser.dpiBox().setValue(1000);
        QVERIFY(chooser.sizeLabel().text().contains("16384"));
        QVERIFY(!chooser.openButton().isEnabled());

        // A frame on the enlarged page brings the picture within the limit.
        PagePreview& preview = chooser.preview();
        preview.resize(400, 400);
        const auto mouse = [&preview](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
            QMouseEvent event(type, at, preview.mapToGlobal(at), Qt::LeftButton, held, {});
            QCoreApplication::sendEvent(&preview, &event);
        };
        mouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
        mouse(QEvent::MouseMove, {200, 300}, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, {300, 300}, {});
        const PdfPageRequest request = chooser.request();
        QCOMPARE(request.page, 2);
        QCOMPARE(request.region, QRectF(360, 360, 720, 720)); // a quarter of 1440 points
        QVERIFY(chooser.sizeLabel().text().contains("10000 x 10000 pixels"));
        QVERIFY(chooser.openButton().isEnabled());
    }

    void everyCommandIsWired() {
        Program p;
        const QStringList history{"MenuUndo", "ButtonUndo", "MenuRedo", "ButtonRedo"};
        for (QAction* action : p.app.mainWindow().findChildren<QAction*>()) {
            if (action->objectName().isEmpty() || action->menu())
                continue;
            // Undo and redo are enabled only while there is something to undo or redo.
            QVERIFY2(action->isEnabled() != history.contains(action->objectName()),
                     qPrintable(action->objectName()));
            QVERIFY2(ConnectedAction::connections(action) > 0, qPrintable(action->objectName()));
        }
    }

    void checkGridIsShownOnlyOverThePicture() {
        // Two programs do the same work, one with the grid on: every picture the digitising
        // code reads, draws or saves must come out the same.
        QTemporaryDir folder;
        Program on, off;
        for (Program* p : {&on, &off}) {
            p->doc.programDir = folder.path() + (p == &on ? "/on/" : "/off/");
            QImage chart(300, 300, QImage::Format_RGB32);
            chart.fill(Qt::white);
            for (int i = 20; i < 280; ++i) {
                chart.setPixel(i, 250, qRgb(0, 0, 0)); // X axis
                chart.setPixel(30, i, qRgb(0, 0, 0));  // Y axis
                for (int d = -1; d <= 1; ++d)          // a curve three pixels thick
                    chart.setPixel(i, 150 + i / 10 + d, qRgb(0, 0, 0));
            }
            InstallNewPicture(p->app.workspace(), chart);
            p->doc.pictureFileName = "/charts/grid.bmp";
        }
        PictureWidget* picture = on.app.mainWindow().imgGrafik();
        const QImage before = picture->grab().toImage();
        on.action("menuCheckGrid")->trigger();
        QVERIFY(on.doc.checkGridOn && on.action("ButtonCheckGrid")->isChecked());
        QCOMPARE(on.action("menuCheckGrid")->shortcut(), QKeySequence("G"));
        const QImage shown = picture->grab().toImage();
        // X = 0 lies on the zero point's column: the grid shows there, not in the picture.
        QVERIFY(shown.pixel(50, 100) != before.pixel(50, 100));
        QCOMPARE(on.doc.workingPicture.pixel(50, 100), before.pixel(50, 100));
        for (Program* p : {&on, &off}) {
            AutomaticDigitising(p->app.workspace(), 1);
            picture->grab();
            SaveData(p->app.workspace());
        }
        QCOMPARE(on.doc.pointCount(1), off.doc.pointCount(1));
        QVERIFY(on.doc.pointCount(1) > 0);
        QCOMPARE(on.doc.workingPicture, off.doc.workingPicture);
        QCOMPARE(on.doc.cleanPicture, off.doc.cleanPicture);
        QCOMPARE(QImage(folder.path() + "/on/Data/Grafiks/grid.bmp"),
                 QImage(folder.path() + "/off/Data/Grafiks/grid.bmp"));
        on.action("ButtonCheckGrid")->trigger();
        QVERIFY(!on.doc.checkGridOn && !on.action("menuCheckGrid")->isChecked());
    }

    void nudgingWindowTakesTheArrowKeys() {
        Program p;
        p.loadWhite(300, 300);
        p.doc.appendPoint(1, 100, 200);
        p.doc.nudgeLine = 1;
        p.doc.nudgeRow = 1;
        TFormMoviPoint window(p.app.workspace());
        QTest::keyClick(&window, Qt::Key_Right);
        QTest::keyClick(&window, Qt::Key_Up, Qt::ShiftModifier);
        QTest::keyClick(&window, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(QPoint(p.doc.pointX(1, 1), p.doc.pointY(1, 1)), QPoint(91, 190));
        QTest::keyClick(&window, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&window, Qt::Key_Return); // OK: the values follow the point
        QCOMPARE(p.app.tableWindow().model().cellText(1, 1), QString("2733.33333333333"));
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }

    // The recognisers' modes: a click on a bar finds every bar; one on paper says so and
    // changes nothing.
    void findBarsModeTurnsTheClickedBarsIntoPoints() {
        Program p;
        QImage chart(300, 200, QImage::Format_RGB32);
        chart.fill(Qt::white);
        QPainter painter(&chart);
        for (int i = 0; i < 3; ++i)
            painter.fillRect(40 + 70 * i, 180 - 40 * (i + 1), 30, 40 * (i + 1),
                             QColor(60, 120, 200));
        painter.end();
        InstallNewPicture(p.app.workspace(), chart);
        p.app.history().reset(p.doc, false);
        p.action("MenuFindBars")->trigger();
        QVERIFY(p.action("ButtonFindBars")->isChecked());
        p.app.imgGrafikMouseDown(QPoint(55, 170), LeftButton);
        QCOMPARE(p.doc.pointCount(1), 3);
        QCOMPARE(p.action("MenuUndo")->text(), QString("Undo: find bars"));
        p.app.imgGrafikMouseDown(QPoint(150, 20), LeftButton);
        QCOMPARE(p.doc.pointCount(1), 3);
        QCOMPARE(p.dialogs.informations.size(), 1);
    }

    void undoAndRedoFollowTheHistoryAndTheCaptionMarksUnsavedWork() {
        Program p;
        p.loadWhite(300, 300);
        p.app.history().reset(p.doc, false);
        const QString caption = p.app.mainWindow().windowTitle();
        p.app.imgGrafikMouseDown(QPoint(100, 100), LeftButton);
        QVERIFY(p.action("ButtonUndo")->isEnabled());
        QCOMPARE(p.action("MenuUndo")->text(), QString("Undo: point on line 1"));
        QCOMPARE(p.app.mainWindow().windowTitle(), "* " + caption);
        p.action("MenuUndo")->trigger();
        QCOMPARE(p.doc.nextRow[1], 1);
        QVERIFY(p.action("MenuRedo")->isEnabled());
        QVERIFY(!p.action("MenuUndo")->isEnabled());
        QCOMPARE(p.app.mainWindow().windowTitle(), caption);
        p.action("ButtonRedo")->trigger();
        QCOMPARE(p.doc.nextRow[1], 2);
    }

    void magnifierShowsWhiteOutsideAndItsCrossHair() {
        QImage picture(20, 20, QImage::Format_RGB32);
        picture.fill(Qt::black);
        const QImage zoom = MagnifierImage(picture, 0, 0);
        QCOMPARE(zoom.size(), QSize(98, 98));
        QCOMPARE(zoom.pixel(10, 10), 0xFFFFFFFFu); // above-left of the picture
        QCOMPARE(zoom.pixel(70, 70), 0xFF000000u); // the picture itself
        QCOMPARE(zoom.pixel(30, 60), 0xFF0000FFu); // cross-hair
        QCOMPARE(zoom.pixel(60, 90), 0xFF0000FFu);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
