#include <QtTest>

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QTableView>
#include <QToolButton>

#include "core/clicks.h"
#include "core/document.h"
#include "core/picture.h"
#include "core/windows/inputwindow.h"
#include "io/windows/clipboardwindow.h"
#include "platform/scripteddialogs.h"
#include "ui/application.h"
#include "ui/datatablemodel.h"
#include "ui/kurvana.h"
#include "ui/picturewidget.h"
#include "ui/tablewindow.h"
#include "ui/zoomwindow.h"

using namespace kurvana;

namespace {
/// Counts what listens to an action's triggered signal. QObject::receivers is protected; a
/// pointer to it taken in a derived class calls it on any QAction without pretending the action
/// is of the derived type.
struct ConnectedAction : QAction {
    static int connections(const QAction* action) {
        int (QObject::*receivers)(const char*) const = &ConnectedAction::receivers;
        return (action->*receivers)(SIGNAL(triggered(bool)));
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

    void aMissingLanguageFileIsReportedAndTheBuiltInCopyServes() {
        Program p;
        p.app.start(QDir::tempPath() + "/kurvana-no-such-folder", {"notes.txt"}, '.');
        QCOMPARE(p.dialogs.informations.size(), 1);
        QVERIFY(!p.doc.texts.message(20).isEmpty());
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
