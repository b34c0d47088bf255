#pragma once

#include <map>
#include <memory>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "core/document.h"
#include "core/drawing.h"
#include "core/picture.h"
#include "core/workspace.h"
#include "platform/scripteddialogs.h"

namespace kurvana::test {

/// Records what the commands tell the windows.
class RecordingView : public ViewHooks {
public:
    std::map<int, QString> status;
    int documentSettingsChanges = 0;
    int pictureChanges = 0;
    void setStatusText(int panel, const QString& text) override { status[panel] = text; }
    void documentSettingsChanged() override { ++documentSettingsChanges; }
    void pictureChanged(const QRect&) override { ++pictureChanges; }
};

/// A program folder of its own, a document living in it, scripted dialogs and a recording view.
struct IoFixture {
    QTemporaryDir folder;
    std::unique_ptr<Document> doc = std::make_unique<Document>();
    platform::ScriptedDialogs dialogs;
    RecordingView view;
    Workspace ws{*doc, dialogs, view};

    IoFixture() {
        doc->programDir = folder.path() + '/';
        for (int slot = 1; slot <= 21; ++slot)
            doc->texts.setMessage(slot, QString("M%1").arg(slot, 2, 10, QChar('0')));
    }
    QString path(const QString& relative) const { return folder.path() + '/' + relative; }
};

/// A white chart with a black diagonal and a red block, so copies can be told apart.
inline QImage ChartPicture(int width = 320, int height = 240, QRgb block = qRgb(255, 0, 0)) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(qRgb(255, 255, 255));
    for (int i = 0; i < std::min(width, height); ++i)
        picture.setPixel(i, i, qRgb(0, 0, 0));
    for (int y = 10; y < std::min(20, height); ++y)
        for (int x = 30; x < std::min(40, width); ++x)
            picture.setPixel(x, y, block);
    return picture;
}

inline QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(path.left(path.lastIndexOf('/')));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

/// The example data file of the tests (three points on line 1, picture copy "chart.bmp").
inline QByteArray ThreePointFile() {
    return FileBytes(KURVANA_TEST_DATA "/io/io_three_points.gra");
}

/// The file with line `number` (1-based) replaced by `text`, or cut after `number` lines when
/// `text` is null.
inline QByteArray Altered(const QByteArray& bytes, int number, const QByteArray& text) {
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast();
    if (text.isNull())
        lines = lines.mid(0, number);
    else
        lines[number - 1] = text + '\r';
    return lines.join('\n') + '\n';
}

/// A fixture whose document holds a picture with points and names: work a failure must keep.
inline void PreparePictureWork(IoFixture& f) {
    InstallNewPicture(f.ws, ChartPicture());
    f.doc->appendPoint(1, 10, 10);
    f.doc->appendPoint(2, 20, 20);
    f.doc->zeroPointX = 77;
    f.doc->pictureFileName = "/old/chart.bmp";
    f.doc->pictureFolder = "/old/";
    f.doc->dataFileName = "/old/Data/chart.gra";
    RedrawMarks(*f.doc);
    ToggleAxes(*f.doc);
}

inline void VerifyPictureWorkKept(const IoFixture& f, const QImage& shown) {
    QCOMPARE(f.doc->nextRow[1], 2);
    QCOMPARE(f.doc->pointX(2, 1), 20);
    QCOMPARE(f.doc->zeroPointX, 77);
    QCOMPARE(f.doc->pictureFileName, QString("/old/chart.bmp"));
    QCOMPARE(f.doc->pictureFolder, QString("/old/"));
    QCOMPARE(f.doc->dataFileName, QString("/old/Data/chart.gra"));
    QCOMPARE(f.doc->cleanPicture, ChartPicture());
    QCOMPARE(f.doc->workingPicture, shown);
}

} // namespace kurvana::test
