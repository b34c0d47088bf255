// Found by the random-input run: a middle click into the fixed-step search's result list
// crashed the program when no program owned the X selection (Qt's own selection paste reads
// through a null pointer). Runs on a real X server: the offscreen platform has no selection.
#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QtTest>

#include "core/document.h"
#include "core/workspace.h"
#include "platform/scripteddialogs.h"
#include "tracing/windows/forminputshag.h"

using namespace kurvana;

class TestSelectionPaste : public QObject {
    Q_OBJECT

private slots:
    void aMiddleClickIntoTheResultListPastesTheSelectionOrNothing() {
        if (!QGuiApplication::clipboard()->supportsSelection())
            QSKIP("this platform has no X selection");
        auto doc = std::make_unique<Document>();
        platform::ScriptedDialogs dialogs;
        ViewHooks view;
        Workspace ws{*doc, dialogs, view};
        TFormInputShag window(ws);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QPlainTextEdit* list = window.Memo1;
        list->setPlainText("4\t1\n");

        // Nobody owns the selection: nothing is pasted, and the program lives on.
        QTest::mouseClick(list->viewport(), Qt::MiddleButton, {}, QPoint(5, 5));
        QCOMPARE(list->toPlainText(), QString("4\t1\n"));

        // Our own selection: its text goes in where the click was.
        QGuiApplication::clipboard()->setText("5\t2\n", QClipboard::Selection);
        QTest::mouseClick(list->viewport(), Qt::MiddleButton, {}, QPoint(2, 2));
        QCOMPARE(list->toPlainText(), QString("5\t2\n4\t1\n"));

        // A read-only list takes nothing.
        list->setReadOnly(true);
        QTest::mouseClick(list->viewport(), Qt::MiddleButton, {}, QPoint(2, 2));
        QCOMPARE(list->toPlainText(), QString("5\t2\n4\t1\n"));
    }
};

QTEST_MAIN(TestSelectionPaste)
#include "test_selectionpaste.moc"
