#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

#include "core/calibration.h"
#include "core/drawing.h"
#include "tests/core/fixture.h"
#include "tracing/windows/colourswatch.h"
#include "tracing/windows/formavtomat.h"
#include "tracing/windows/formavtomatcolor.h"
#include "tracing/windows/forminputcolor.h"
#include "tracing/windows/forminputshag.h"
#include "tracing/windows/numericedit.h"

using namespace kurvana;
using kurvana::test::Fixture;

class TestTracingWindows : public QObject {
    Q_OBJECT
private slots:
    void numericEditFiltersTypedKeys_data() {
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::newRow("comma becomes point") << "."
                                             << "1,5"
                                             << "1.5";
        QTest::newRow("point becomes comma") << ","
                                             << "1.5"
                                             << "1,5";
        QTest::newRow("one separator only") << "."
                                            << "1.5,2"
                                            << "1.52";
        QTest::newRow("letters dropped, minus kept") << "."
                                                     << "-2a0e"
                                                     << "-20";
    }
    void numericEditFiltersTypedKeys() {
        QFETCH(QString, separator);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        const QChar separatorInForce = separator[0];
        NumericEdit edit("Edit", "", separatorInForce);
        QTest::keyClicks(&edit, typed);
        QCOMPARE(edit.text(), text);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), text.chopped(1));
    }

    void colourWindowPicksAndStoresTheSearchColour() {
        Fixture f(200, 200);
        const QImage withAxes = f.doc.workingPicture;
        TFormInputColor window(f.ws);
        QCOMPARE(window.objectName(), QString("FormInputColor"));
        window.openFromMain();
        QVERIFY(window.isVisible());
        QCOMPARE(f.doc.inputMode, int(ModeColourPick));
        QCOMPARE(f.doc.pictureCursor, int(CursorPipette));
        QVERIFY(f.doc.workingPicture != withAxes); // the axes drawing is off
        QCOMPARE(window.lineColour(), Colour(0));
        window.openFromMain(); // already open: brought forward, no second toggle
        QVERIFY(f.doc.workingPicture != withAxes);

        const Colour picked = colourFromRgb(12, 34, 56);
        window.showColourUnderCursor(picked);
        QCOMPARE(window.EditRedComp->text(), QString("12"));
        QCOMPARE(window.EditGreenComp->text(), QString("34"));
        QCOMPARE(window.EditBlueComp->text(), QString("56"));
        window.takeSample();
        QTest::mouseClick(window.ShapeLineGrafik, Qt::RightButton);
        QCOMPARE(window.lineColour(), picked);
        QCOMPARE(window.ShapeBackground->colour(), Colour(0xFFFFFF));

        window.ok();
        QCOMPARE(f.doc.searchR, 12);
        QCOMPARE(f.doc.searchG, 34);
        QCOMPARE(f.doc.searchB, 56);
        QCOMPARE(f.doc.inputMode, int(ModeNone));
        QCOMPARE(f.doc.pictureCursor, int(CursorDefault));
        QCOMPARE(f.doc.workingPicture, withAxes);
        QVERIFY(!window.isVisible());

        // Reopened, the line swatch is black again; the title-bar close acts as Cancel.
        window.openFromMain();
        QCOMPARE(window.lineColour(), Colour(0));
        window.close();
        QCOMPARE(f.doc.inputMode, int(ModeNone));
        QCOMPARE(f.doc.workingPicture, withAxes);
        QCOMPARE(f.doc.searchR, 12);
    }

    // Kind 4 with its tolerance: the preview tints what the chosen kind and tolerance match
    // while the window is open, and the search uses the same tolerance.
    void tolerantKindPreviewsAndSearchesWithItsTolerance() {
        Fixture f(300, 300);
        f.ink(60, 100, qRgb(200, 30, 30));
        f.doc.searchR = 255;
        f.doc.searchG = f.doc.searchB = 0;
        TFormInputColor inputColor(f.ws);
        TFormAvtomatColor window(f.ws, inputColor);
        QVERIFY(!window.SpinEditTolerance->isEnabled());
        window.show();
        QVERIFY(f.view.preview && !f.view.previewOnClean);
        QVERIFY(!f.view.preview(colourFromRgb(200, 30, 30))); // kind 1: exact colour only
        window.RadioButton4->setChecked(true);
        QVERIFY(window.SpinEditTolerance->isEnabled());
        QCOMPARE(window.searchKind(), 4);
        QVERIFY(f.view.previewOnClean);
        QVERIFY(f.view.preview(colourFromRgb(200, 30, 30))); // distance 63
        QVERIFY(!f.view.preview(colourFromRgb(255, 255, 255)));
        window.SpinEditTolerance->setValue(50);
        QVERIFY(!f.view.preview(colourFromRgb(200, 30, 30)));
        window.EditNumberPointForFind->setText("142");
        window.find();
        QCOMPARE(f.doc.nextRow.at(1), 1); // 63 is beyond the tolerance of 50
        QVERIFY(!f.view.preview);         // closed: no tint
        window.SpinEditTolerance->setValue(70);
        window.show();
        window.find();
        QCOMPARE(f.doc.nextRow.at(1), 2);
        QCOMPARE(QPoint(f.doc.pointX(1, 1), f.doc.pointY(1, 1)), QPoint(60, 100));
    }

    void colourSearchWindowStaysOpenOnRefusedCount() {
        Fixture f(300, 300);
        f.ink(60, 100);
        const QImage withAxes = f.doc.workingPicture;
        TFormInputColor inputColor(f.ws);
        TFormAvtomatColor window(f.ws, inputColor);
        QCOMPARE(window.searchKind(), 1);
        window.RadioButton2->setChecked(true);
        QCOMPARE(window.searchKind(), 2);

        f.doc.viewScale = 2;
        window.prepareOpening();
        QCOMPARE(double(f.doc.viewScale), 1.0);
        QVERIFY(f.doc.workingPicture != withAxes);
        window.EditNumberPointForFind->setText("0");
        window.find();
        QCOMPARE(f.dialogs.informations, QStringList{f.doc.texts.extra(ExtraText::CountZero)});
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QVERIFY(f.doc.workingPicture != withAxes); // still searching: axes still off

        window.EditNumberPointForFind->setText("142"); // one column per pixel
        window.find();
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(f.doc.nextRow.at(1), 2);
        QCOMPARE(f.doc.pointY(1, 1), 100);

        window.prepareOpening();
        window.reject(); // Cancel: the axes drawing is back, nothing else changed
        QCOMPARE(f.doc.nextRow.at(1), 2);
        QImage expected = f.doc.workingPicture;
        RedrawMarks(f.doc);
        ToggleAxes(f.doc);
        QCOMPARE(expected, f.doc.workingPicture);
    }

    void colourSearchWindowShowsTheLineSwatch() {
        Fixture f(100, 100);
        TFormInputColor inputColor(f.ws);
        inputColor.ShapeLineGrafik->setColour(0x123456);
        TFormAvtomatColor window(f.ws, inputColor);
        window.show();
        QCOMPARE(window.ShapeLineGrafik->colour(), Colour(0x123456));
        window.hide();
    }

    void fixedStepWindowListsPointsOrRefuses() {
        Fixture f(300, 300);
        TFormInputShag window(f.ws);
        QCOMPARE(window.Memo1->toPlainText(), QString("Memo1"));
        QCOMPARE(window.EditShagX->text(), QString("1"));
        window.openFromMain();
        QCOMPARE(f.dialogs.informations, QStringList{"M21"});
        QVERIFY(!window.isVisible());

        // Zero point (50, 200), X 0..10000 over 150 pixels: X = 4000 lies in column 110.
        for (const QPoint& p : {QPoint(58, 150), QPoint(150, 150), QPoint(190, 150)})
            f.doc.appendPoint(1, p.x(), p.y());
        RefreshValues(f.ws);
        window.openFromMain();
        QVERIFY(window.isVisible());
        QCOMPARE(window.imgBufer->pixmap().size(), f.doc.searchCopy.size());
        window.EditFromX->setText("4000");
        window.EditToX->setText("4000");
        window.findPoints();
        QVERIFY(window.Memo1->toPlainText().startsWith("4000\t"));
        QVERIFY(!window.Memo1->toPlainText().contains('\r'));

        window.EditShagX->setText("0");
        window.findPoints();
        QCOMPARE(f.dialogs.informations.last(), f.doc.texts.extra(ExtraText::StepNotPositive));
        QVERIFY(window.Memo1->toPlainText().startsWith("4000\t"));
        window.EditShagX->setText("1");
        f.doc.axisXMax = f.doc.axisXMin;
        window.findPoints();
        QCOMPARE(f.dialogs.informations.last(), f.doc.texts.extra(ExtraText::XRangeEmpty));
        QVERIFY(window.Memo1->toPlainText().startsWith("4000\t"));
        window.ButtonCancel->click();
        QVERIFY(!window.isVisible());
    }

    void automaticWindowHoldsTheThreshold() {
        Fixture f(100, 100);
        TFormAvtomat window(f.ws);
        QCOMPARE(window.threshold(), 3);
        QCOMPARE(window.SpinEditSummaOkr->minimum(), 0);
        QCOMPARE(window.SpinEditSummaOkr->maximum(), 8);
        window.SpinEditSummaOkr->setValue(9);
        QCOMPARE(window.threshold(), 8);
        f.dialogs.answers.push_back(platform::Answer::No);
        window.ButtonWorkAvtomat->click();
        QCOMPARE(f.dialogs.questions, QStringList{"M101\rM11"});
    }
};

QTEST_MAIN(TestTracingWindows)
#include "test_tracing_windows.moc"
