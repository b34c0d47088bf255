#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include "core/document.h"
#include "core/drawing.h"
#include "core/history.h"
#include "core/workspace.h"
#include "platform/scripteddialogs.h"
#include "settings/languagefile.h"
#include "settings/windows/applylanguage.h"
#include "settings/windows/samplecircle.h"
#include "settings/windows/setupwindow.h"

using namespace kurvana;

namespace {

/// Records what the Setup window asked of the other windows.
class RecordingView : public ViewHooks {
public:
    int tableFills = 0;
    int pictureChanges = 0;
    void fillTable() override { ++tableFills; }
    void pictureChanged(const QRect&) override { ++pictureChanges; }
};

/// Scripted dialogs that also note the colour each colour dialog opened with.
class ColourDialogs : public platform::ScriptedDialogs {
public:
    QList<Colour> openedWith;
    std::optional<Colour> chooseColour(Colour initial) override {
        openedWith << initial;
        return ScriptedDialogs::chooseColour(initial);
    }
};

/// A document with a white 300 x 300 picture and the axes drawn through the reset frame, and
/// the Setup window on it.
struct SetupFixture {
    Document doc;
    ColourDialogs dialogs;
    RecordingView view;
    Workspace ws{doc, dialogs, view};
    SetupCallbacks callbacks;
    std::unique_ptr<TFormSetup> setup;

    SetupFixture() {
        doc.cleanPicture = QImage(300, 300, QImage::Format_RGB32);
        doc.cleanPicture.fill(Qt::white);
        doc.workingPicture = doc.cleanPicture;
        doc.resetForNewPicture();
        ToggleAxes(doc);
    }
    TFormSetup& window() {
        if (!setup)
            setup = std::make_unique<TFormSetup>(ws, callbacks);
        return *setup;
    }
    template <typename T> T* control(const char* name) {
        T* found = window().findChild<T*>(name);
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    Colour sample(int k) {
        return control<SampleCircle>(qPrintable(QString("Metka%1Shape").arg(k)))->penColour();
    }
    /// The working picture as it must look with the axes drawing on.
    QImage withAxes() {
        Document copy;
        copy.workingPicture = doc.cleanPicture;
        copy.zeroPointX = doc.zeroPointX, copy.zeroPointY = doc.zeroPointY;
        copy.xMaxPointX = doc.xMaxPointX, copy.xMaxPointY = doc.xMaxPointY;
        copy.yMaxPointX = doc.yMaxPointX, copy.yMaxPointY = doc.yMaxPointY;
        copy.axesColor = doc.axesColor;
        ToggleAxes(copy);
        return copy.workingPicture;
    }
};

/// A main window with a menu heading, a menu item and a toolbar action, named as the real one.
struct FakeMainWindow {
    QWidget window;
    QMenu* fileMenu;
    QAction* openItem;
    QAction* openButton;
    FakeMainWindow() {
        window.setObjectName("FormKurvana");
        auto* bar = new QMenuBar(&window);
        fileMenu = bar->addMenu("&File");
        fileMenu->setObjectName("Menu1File");
        openItem = fileMenu->addAction("Open BMP");
        openItem->setObjectName("menuOpenBMP");
        auto* toolbar = new QToolBar(&window);
        openButton = toolbar->addAction("open");
        openButton->setObjectName("ButtonFileOpen");
    }
};

/// Every caption and title a language switch can change, by object name.
QStringList CaptionsOf(const QWidget& window) {
    QStringList texts{window.windowTitle()};
    for (const auto* button : window.findChildren<QAbstractButton*>())
        texts << button->objectName() + '=' + button->text();
    for (const auto* group : window.findChildren<QGroupBox*>())
        texts << group->objectName() + '=' + group->title();
    for (const auto* label : window.findChildren<QLabel*>())
        texts << label->objectName() + '=' + label->text();
    return texts;
}

} // namespace

class TestSetupWindow : public QObject {
    Q_OBJECT
private slots:
    void colourDialogSetsTheLineOrKeepsItOnCancel() {
        SetupFixture f;
        f.doc.lineColor.at(3) = 0x00FF00;
        f.window().showDocumentSettings();
        QCOMPARE(f.sample(3), Colour(0x00FF00));

        f.dialogs.colours = {std::nullopt};
        f.control<QPushButton>("ButtonSetColor3")->click();
        QCOMPARE(f.doc.lineColor.at(3), Colour(0x00FF00));
        QCOMPARE(f.sample(3), Colour(0x00FF00));

        f.dialogs.colours = {Colour(0x112233), Colour(0x445566), std::nullopt};
        f.control<QPushButton>("ButtonSetColor3")->click();
        QCOMPARE(f.doc.lineColor.at(3), Colour(0x112233));
        QCOMPARE(f.sample(3), Colour(0x112233));
        f.control<QPushButton>("ButtonSetColorAxes")->click();
        QCOMPARE(f.doc.axesColor, Colour(0x445566));
        QCOMPARE(f.sample(6), Colour(0x445566));
        QCOMPARE(f.doc.lineColor.at(3), Colour(0x112233));
        // One dialog for all six buttons, opening with the colour last chosen in it; a cancel
        // does not change that colour.
        f.control<QPushButton>("ButtonSetColor1")->click();
        QCOMPARE(f.dialogs.openedWith, (QList<Colour>{0, 0, 0x112233, 0x445566}));
        QCOMPARE(f.doc.lineColor.at(1), Colour(255));
    }

    void spinEditSetsTheMarkSizeWithinOneToFive() {
        SetupFixture f;
        f.doc.markDiameter = 2;
        auto* spin = f.control<QSpinBox>("SpinEditDiametr");
        f.window().showDocumentSettings();
        QCOMPARE(spin->value(), 2);
        QCOMPARE(spin->minimum(), 1);
        QCOMPARE(spin->maximum(), 5);

        QLineEdit* edit = spin->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(f.doc.markDiameter, 1); // no number: 1
        QTest::keyClicks(edit, "9");
        QCOMPARE(f.doc.markDiameter, 1); // refused by the spin box
        QTest::keyClicks(edit, "4");
        QCOMPARE(f.doc.markDiameter, 4);
        spin->stepUp();
        spin->stepUp();
        spin->stepUp();
        QCOMPARE(f.doc.markDiameter, 5);
    }

    void choicesGoIntoTheDocumentAtOnce() {
        SetupFixture f;
        History history;
        f.ws.history = &history;
        f.window();
        const int fills = f.view.tableFills;
        f.control<QRadioButton>("RadioButtonScalaLogarifm10X")->click();
        f.control<QRadioButton>("RadioButtonScalaLogarifmNatY")->click();
        QCOMPARE(f.doc.scaleX, ScaleKind::Log10);
        QCOMPARE(f.doc.scaleY, ScaleKind::Ln);
        // A scale kind is a change of the work: a step, unsaved, the values computed in it.
        QCOMPARE(history.stepCount(), std::size_t(2));
        QVERIFY(history.modified());
        QCOMPARE(f.view.tableFills, fills + 2);
        f.control<QRadioButton>("RadioButtonNoSort")->click();
        QVERIFY(!f.doc.sortOn);
        QCOMPARE(f.view.tableFills, fills + 2); // sorting recomputes nothing
        f.control<QRadioButton>("RadioButtonScientific")->click();
        QVERIFY(f.doc.scientificFormat);
        QCOMPARE(f.view.tableFills, fills + 3); // the table shows the new format
        f.control<QRadioButton>("RadioButtonStandart")->click();
        QVERIFY(!f.doc.scientificFormat);
        f.control<QCheckBox>("CheckBoxAutoSave")->click();
        QVERIFY(!f.doc.autoSaveSettings);
        QVERIFY(f.control<QRadioButton>("RadioButtonSnapAnyColour")->isChecked());
        f.control<QRadioButton>("RadioButtonSnapDarkOnly")->click();
        QCOMPARE(f.doc.snapRule, SnapRule::DarkOnly);
        f.control<QRadioButton>("RadioButtonSnapAnyColour")->click();
        QCOMPARE(f.doc.snapRule, SnapRule::AnyColour);
        // The newer captions come from the document's texts, in the language chosen.
        f.doc.texts.setExtra(ExtraText::SnapDarkOnly, "только тёмным");
        f.window().showExtraTexts();
        QCOMPARE(f.control<QRadioButton>("RadioButtonSnapDarkOnly")->text(),
                 QString("только тёмным"));
    }

    void aGroupWithoutChoiceShowsNoButton() {
        SetupFixture f;
        f.doc.scaleX = ScaleKind::None;
        f.window().showDocumentSettings();
        for (const char* name : {"RadioButtonScalaNormalX", "RadioButtonScalaLogarifm10X",
                                 "RadioButtonScalaLogarifmNatX"})
            QVERIFY(!f.control<QRadioButton>(name)->isChecked());
        QCOMPARE(f.doc.scaleX, ScaleKind::None);
        f.control<QRadioButton>("RadioButtonScalaLogarifmNatX")->click();
        QCOMPARE(f.doc.scaleX, ScaleKind::Ln);
        f.control<QRadioButton>("RadioButtonScalaNormalX")->click();
        QCOMPARE(f.doc.scaleX, ScaleKind::Linear);
        QVERIFY(!f.control<QRadioButton>("RadioButtonScalaLogarifmNatX")->isChecked());
    }

    void axesDrawingComesBackHoweverTheWindowCloses() {
        SetupFixture f;
        const QImage withAxes = f.doc.workingPicture;
        f.window().openFromMain();
        QCOMPARE(f.doc.workingPicture, f.doc.cleanPicture); // the axes are off
        f.window().openFromMain();                          // already open: only brought forward
        QCOMPARE(f.doc.workingPicture, f.doc.cleanPicture);
        f.window().close(); // the title bar
        QCOMPARE(f.doc.workingPicture, withAxes);

        f.window().openFromMain();
        f.dialogs.colours = {Colour(0xFF0000)};
        f.control<QPushButton>("ButtonSetColorAxes")->click();
        f.control<QPushButton>("ButtonGoToMain")->click();
        QVERIFY(!f.window().isVisible());
        QCOMPARE(f.doc.workingPicture, f.withAxes()); // drawn again, in the new colour
        QVERIFY(f.doc.workingPicture != withAxes);
        f.window().close(); // closing a closed window draws nothing
        QCOMPARE(f.doc.workingPicture, f.withAxes());
    }

    void languageButtonsApplyTheLanguageAtOnce() {
        QTemporaryDir dir;
        QVERIFY(QFile::copy(KURVANA_SOURCE_DIR "/data/language.txt", dir.path() + "/language.txt"));
        SetupFixture f;
        f.doc.programDir = dir.path() + '/';
        FakeMainWindow main;
        int applied = 0;
        f.callbacks.applyLanguage = [&] {
            ++applied;
            ApplyLanguage(LoadLanguage(f.doc), {&main.window, &f.window()});
        };
        // A Russian start.
        f.doc.languageRussian = true;
        f.window().showDocumentSettings();
        f.callbacks.applyLanguage();
        const QStringList russian = CaptionsOf(f.window())
                                    << main.fileMenu->title() << main.openButton->toolTip();
        const QString russianMessage = f.doc.texts.message(8);
        QCOMPARE(f.doc.helpFileName, QString("kurvana2_r.html"));

        f.control<QRadioButton>("RadioButtonSetEnglish")->click();
        QCOMPARE(applied, 2);
        QVERIFY(!f.doc.languageRussian);
        QCOMPARE(f.window().windowTitle(), QString("Setup"));
        QCOMPARE(f.control<QPushButton>("ButtonConfigSave")->text(), QString("Save settings"));
        QCOMPARE(main.fileMenu->title(), QString("&File"));
        QCOMPARE(main.openItem->text(), QString("Open BMP..."));
        QCOMPARE(main.openButton->toolTip(), QString("Load a picture from a file"));
        QCOMPARE(main.openButton->text(), QString("open")); // a hint leaves the caption
        QCOMPARE(f.doc.texts.message(8), QString("The table has been copied to the clipboard."));
        QCOMPARE(f.doc.helpFileName, QString("kurvana2_e.html"));
        // Each language its own colour headings, never both at once.
        QCOMPARE(f.control<QGroupBox>("GroupBoxSelectColor")->title(), QString("Colors"));
        QCOMPARE(f.control<QLabel>("Label5")->text(), QString("Lines"));
        QCOMPARE(f.control<QLabel>("Label6")->text(), QString("Axes"));

        f.control<QRadioButton>("RadioButtonSetRussian")->click();
        QCOMPARE(applied, 3);
        QCOMPARE(CaptionsOf(f.window()) << main.fileMenu->title() << main.openButton->toolTip(),
                 russian);
        QCOMPARE(f.doc.texts.message(8), russianMessage);
        QCOMPARE(f.doc.helpFileName, QString("kurvana2_r.html"));
        QCOMPARE(f.control<QGroupBox>("GroupBoxSelectColor")->title(), QString("Цвета"));
        // The X and Y buttons of one scale kind show the same text.
        for (const char* kind : {"Normal", "Logarifm10", "LogarifmNat"}) {
            const QString x = QString("RadioButtonScala%1X").arg(kind);
            const QString y = QString("RadioButtonScala%1Y").arg(kind);
            QCOMPARE(f.control<QRadioButton>(qPrintable(x))->text(),
                     f.control<QRadioButton>(qPrintable(y))->text());
        }
    }

    void aMissingLanguageFileKeepsTheTextsAndSaysSo() {
        QTemporaryDir dir;
        SetupFixture f;
        f.doc.programDir = dir.path() + '/';
        f.callbacks.applyLanguage = [&] { ApplyLanguage(LoadLanguage(f.doc), {&f.window()}); };
        const QStringList before = CaptionsOf(f.window());
        f.control<QRadioButton>("RadioButtonSetRussian")->click();
        QCOMPARE(f.dialogs.informations.size(), 1);
        QVERIFY(f.dialogs.informations.front().contains("language.txt"));
        QCOMPARE(CaptionsOf(f.window()), before);
    }

    void languageReachesEveryKindOfControl() {
        LanguageEntries language;
        for (int k = 1; k <= kLanguageEntries; ++k)
            language.entries.at(k) = QString("E%1").arg(k);
        FakeMainWindow main;
        QWidget table;
        table.setObjectName("FormTable");
        auto* stayOnTop = new QCheckBox("Stay On Top", &table);
        stayOnTop->setObjectName("CheckBoxStayOnTop");
        QWidget input;
        input.setObjectName("FormInput");
        auto* inputStay = new QCheckBox("Stay On Top", &input);
        inputStay->setObjectName("CheckBoxStayOnTop");
        auto* frame = new QGroupBox("frame", &input);
        frame->setObjectName("GroupBoxSelectInput");
        QWidget search; // only some of its controls exist
        search.setObjectName("FormInputShag");
        auto* step = new QLabel("step", &search);
        step->setObjectName("Label1");

        ApplyLanguage(language, {&main.window, &table, &input, &search, nullptr});
        QCOMPARE(main.fileMenu->title(), QString("E1"));
        QCOMPARE(main.openItem->text(), QString("E8"));
        QCOMPARE(main.openButton->toolTip(), QString("E35"));
        QCOMPARE(table.windowTitle(), QString("E60"));
        QCOMPARE(stayOnTop->text(), QString("E61"));
        QCOMPARE(input.windowTitle(), QString("E57"));
        QCOMPARE(frame->title(), QString("E58"));
        QCOMPARE(inputStay->text(), QString("E59"));
        QCOMPARE(search.windowTitle(), QString("E90"));
        QCOMPARE(step->text(), QString("E91"));
    }

    void saveButtonRunsTheSaveAndShowsItsFailure() {
        SetupFixture f;
        int saves = 0;
        f.callbacks.saveSettings = [&] {
            ++saves;
            throw CommandError("cannot write");
        };
        f.control<QPushButton>("ButtonConfigSave")->click();
        QCOMPARE(saves, 1);
        QCOMPARE(f.dialogs.informations, QStringList{"cannot write"});
    }

    void hiddenSwatchesHoldBlackAndWhite() {
        SetupFixture f;
        f.window().show();
        QCOMPARE(f.window().lineGrafikColour(), Colour(0x000000));
        QCOMPARE(f.window().backgroundColour(), Colour(0xFFFFFF));
        QVERIFY(!f.control<QGroupBox>("GroupBoxInputColor")->isVisible());
        QVERIFY(!f.control<QCheckBox>("CheckBoxFillMetka")->isVisible());
        QCOMPARE(f.window().objectName(), QString("FormSetup"));
        QCOMPARE(f.window().windowTitle(), QString("Setup"));
    }
};

QTEST_MAIN(TestSetupWindow)
#include "test_setupwindow.moc"
