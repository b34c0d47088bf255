#include <QPainter>
#include <QPdfWriter>
#include <QtTest>

#include "core/texts.h"
#include "io/datacommands.h"
#include "io/pdfcommands.h"
#include "io/pdffile.h"
#include "io/pdfwindows.h"
#include "io/picturecommands.h"
#include "iofixture.h"

using namespace kurvana;
using namespace kurvana::test;

namespace {

/// The drawing of the test pages, in points (1/72 inch) from the top left of a 4 x 3 inch
/// page: a black stroke between two known points, 1 point wide.
constexpr QPointF kLineFrom(36, 36);
constexpr QPointF kLineTo(252, 180);
const QSizeF kPageInches(4, 3);

/// Writes a PDF whose pages are 4 x 3 inches; `draw` paints page `index` in points.
template <typename Draw>
void WritePdf(const QString& path, int pages, Draw draw, QSizeF inches = kPageInches) {
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(inches, QPageSize::Inch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    for (int index = 0; index < pages; ++index) {
        if (index > 0)
            writer.newPage();
        draw(painter, index);
    }
}

void DrawLine(QPainter& painter, int) {
    painter.setPen(QPen(Qt::black, 1.0));
    painter.drawLine(kLineFrom, kLineTo);
}

/// Each page filled with its own colour: red, green, blue...
const QList<QRgb> kPageColours{qRgb(255, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 255)};
void FillPage(QPainter& painter, int index) {
    painter.fillRect(QRectF(0, 0, 288, 216), QColor(kPageColours.at(index)));
}

/// The centre of the dark pixels of column x (weighted by darkness), or -1 without any.
double StrokeCentre(const QImage& picture, int x) {
    double weight = 0, sum = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const double ink = 255 - qGray(picture.pixel(x, y));
        weight += ink;
        sum += ink * (y + 0.5);
    }
    return weight > 0 ? sum / weight : -1;
}

/// The page chooser and progress of a test: answers are scripted, renders are counted.
class ScriptedPdfWindows : public PdfWindows {
public:
    std::optional<PdfPageRequest> answer; ///< nothing = Cancel
    PdfPageRequest proposed;
    int renders = 0;

    std::optional<PdfPageRequest> choosePage(const PdfFile&,
                                             const PdfPageRequest& proposal) override {
        proposed = proposal;
        return answer;
    }
    std::optional<QImage> renderPage(const PdfFile& pdf, const PdfPageRequest& request) override {
        ++renders;
        const std::atomic_bool never{false};
        return pdf.render(request, never);
    }
};

class PdfView : public RecordingView {
public:
    ScriptedPdfWindows windows;
    PdfWindows* pdfWindows() override { return &windows; }
};

/// An io fixture whose view has the scripted PDF windows.
struct PdfFixture : IoFixture {
    PdfView pdfView;
    Workspace pdfWs{*doc, dialogs, pdfView};
    ScriptedPdfWindows& windows = pdfView.windows;
};

QImage Rendered(const QString& path, const PdfPageRequest& request) {
    const PdfFile pdf(path);
    const std::atomic_bool never{false};
    return pdf.render(request, never);
}

/// A readable PDF with an encryption dictionary whose password check the empty password fails:
/// what a password-protected paper looks like to a reader without the password.
QByteArray Encrypted(QByteArray pdf) {
    const QByteArray key(32, '\x5a');
    const QByteArray dictionary = "/Encrypt << /Filter /Standard /V 1 /R 2 /P -4 /O <" +
                                  key.toHex() + "> /U <" + key.toHex() + "> >> /ID [<" +
                                  key.left(16).toHex() + "><" + key.left(16).toHex() + ">] ";
    const qsizetype trailer = pdf.lastIndexOf("trailer");
    pdf.insert(pdf.indexOf("<<", trailer) + 2, " " + dictionary);
    return pdf;
}

} // namespace

class TestPdfPages : public QObject {
    Q_OBJECT
private slots:
    void strokeLandsOnItsPixelsAtEveryResolution_data() {
        QTest::addColumn<int>("dpi");
        QTest::newRow("150 dpi") << 150;
        QTest::newRow("600 dpi") << 600;
    }
    void strokeLandsOnItsPixelsAtEveryResolution() {
        QFETCH(int, dpi);
        IoFixture f;
        WritePdf(f.path("line.pdf"), 1, DrawLine);
        const QImage picture = Rendered(f.path("line.pdf"), {1, dpi, {}});
        QCOMPARE(picture.format(), QImage::Format_RGB32);
        QCOMPARE(picture.size(), QSize(4 * dpi, 3 * dpi));
        const double scale = dpi / 72.0;
        for (const double t : {0.1, 0.5, 0.9}) {
            const QPointF at = kLineFrom + t * (kLineTo - kLineFrom);
            const int column = int(at.x() * scale);
            const double expected =
                (at.y() + (column + 0.5 - at.x() * scale) / scale * (kLineTo.y() - kLineFrom.y()) /
                              (kLineTo.x() - kLineFrom.x())) *
                scale;
            const double found = StrokeCentre(picture, column);
            QVERIFY2(qAbs(found - expected) <= 1.0,
                     qPrintable(QString("column %1: stroke at %2, expected %3")
                                    .arg(column)
                                    .arg(found)
                                    .arg(expected)));
        }
        // Laid on white: the paper away from the stroke is pure white.
        QCOMPARE(picture.pixel(picture.width() - 2, 1), qRgb(255, 255, 255));
    }

    void regionRendersOnlyThatPartAtTheResolution() {
        IoFixture f;
        WritePdf(f.path("line.pdf"), 1, DrawLine);
        const QRectF region(72, 36, 144, 72); // one inch in, two inches wide, one high
        const QImage part = Rendered(f.path("line.pdf"), {1, 300, region});
        QCOMPARE(part.size(), QSize(600, 300));
        const QImage whole = Rendered(f.path("line.pdf"), {1, 300, {}});
        const QImage expected = whole.copy(300, 150, 600, 300);
        int differing = 0;
        for (int y = 0; y < part.height(); ++y)
            for (int x = 0; x < part.width(); ++x)
                differing += qAbs(qGray(part.pixel(x, y)) - qGray(expected.pixel(x, y))) > 8;
        QCOMPARE(differing, 0);
        QVERIFY(StrokeCentre(part, 300) > 0); // the stroke crosses the region
    }

    void chosenPageOfSeveralBecomesThePicture() {
        PdfFixture f;
        PreparePictureWork(f);
        WritePdf(f.path("paper.pdf"), 3, FillPage);
        f.dialogs.files = {f.path("paper.pdf")};
        f.windows.answer = PdfPageRequest{3, 100, {}};

        OpenPictureDialog(f.pdfWs);

        const Document& doc = *f.doc;
        QCOMPARE(f.windows.proposed.dpi, 300);
        QCOMPARE(f.windows.renders, 1);
        QCOMPARE(QSize(doc.pictureWidth, doc.pictureHeight), QSize(400, 300));
        QCOMPARE(doc.cleanPicture.pixel(200, 150), kPageColours.at(2));
        QCOMPARE(doc.searchCopy, doc.cleanPicture);
        QCOMPARE(doc.nextRow[1], 1); // the new-picture reset
        QCOMPARE(QPoint(doc.zeroPointX, doc.zeroPointY), QPoint(50, 200));
        QCOMPARE(doc.dataFileName, QString());
        QCOMPARE(doc.pictureFolder, f.path(""));
        QCOMPARE(PictureCopyProposal(doc.pictureFileName), QString("paper-p3"));
        QCOMPARE(f.pdfView.status[2], QString("paper.pdf, page 3, 100 dpi"));

        // The command line names the page: no chooser.
        QVERIFY(OpenFromCommandLine(f.pdfWs, f.path("paper.pdf"), {"2", "72"}));
        QCOMPARE(f.doc->cleanPicture.size(), QSize(288, 216));
        QCOMPARE(f.doc->cleanPicture.pixel(144, 108), kPageColours.at(1));
        QCOMPARE(PictureCopyProposal(f.doc->pictureFileName), QString("paper-p2"));
    }

    void cancelledChooserChangesNothing() {
        PdfFixture f;
        PreparePictureWork(f);
        const QImage shown = f.doc->workingPicture;
        WritePdf(f.path("paper.pdf"), 2, FillPage);
        f.dialogs.files = {f.path("paper.pdf")};
        f.windows.answer.reset();
        OpenPictureDialog(f.pdfWs);
        QCOMPARE(f.windows.renders, 0);
        VerifyPictureWorkKept(f, shown);
    }

    void refusalsNameTheReasonAndKeepTheWork_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("dpi");
        QTest::addColumn<int>("text");
        QTest::addColumn<QString>("detail");
        const int unreadable = int(ExtraText::PictureUnreadable);
        QTest::newRow("damaged") << "damaged.pdf"
                                 << "1"
                                 << "300" << unreadable << "the PDF document is damaged.";
        QTest::newRow("encrypted")
            << "locked.pdf"
            << "1"
            << "300" << unreadable << "the PDF document is encrypted with a password.";
        QTest::newRow("not a pdf") << "picture.pdf"
                                   << "1"
                                   << "300" << unreadable << "it is not a PDF document.";
        QTest::newRow("missing") << "gone.pdf"
                                 << "1"
                                 << "300" << unreadable << "the file does not exist.";
        QTest::newRow("no such page")
            << "paper.pdf"
            << "4"
            << "300" << unreadable << "there is no page 4: the document has 3 pages.";
        QTest::newRow("page not a number") << "paper.pdf"
                                           << "two"
                                           << "300" << int(ExtraText::PdfBadOption) << "--page";
        QTest::newRow("resolution too low")
            << "paper.pdf"
            << "1"
            << "50" << int(ExtraText::PdfDpiRange) << "from 72 to 1200";
        // 60 x 40 inches at 300 dpi: 18000 pixels wide, refused before rendering.
        QTest::newRow("too large")
            << "poster.pdf"
            << "1"
            << "300" << int(ExtraText::PictureTooLarge) << "18000 x 12000 pixels";
        // A page box of 2e9 points: more pixels than an int counts, still refused.
        QTest::newRow("crafted page box")
            << "crafted.pdf"
            << "1"
            << "300" << int(ExtraText::PictureTooLarge) << "8333333333 x 8333333333 pixels";
    }
    void refusalsNameTheReasonAndKeepTheWork() {
        QFETCH(QString, name);
        QFETCH(QString, page);
        QFETCH(QString, dpi);
        QFETCH(int, text);
        QFETCH(QString, detail);
        PdfFixture f;
        PreparePictureWork(f);
        const QImage shown = f.doc->workingPicture;
        WritePdf(f.path("paper.pdf"), 3, FillPage);
        WritePdf(f.path("poster.pdf"), 1, FillPage, QSizeF(60, 40));
        const QString crafted = QString::fromLatin1(FileBytes(f.path("paper.pdf")))
                                    .replace(QRegularExpression("/MediaBox \\[[^]]*\\]"),
                                             "/MediaBox [0 0 2000000000 2000000000]");
        WriteBytes(f.path("crafted.pdf"), crafted.toLatin1());
        WriteBytes(f.path("damaged.pdf"), "%PDF-1.4\n1 0 obj << /Type /Catalog >>\n%%EOF\n");
        WriteBytes(f.path("locked.pdf"), Encrypted(FileBytes(f.path("paper.pdf"))));
        QVERIFY(ChartPicture().save(f.path("picture.pdf"), "PNG"));

        bool refused = false;
        try {
            OpenFromCommandLine(f.pdfWs, f.path(name), {page, dpi});
        } catch (const CommandError& error) {
            refused = true;
            const QString start = Texts::builtInExtra(ExtraText(text)).section('%', 0, 0);
            QVERIFY2(error.text().startsWith(start) && error.text().contains(detail),
                     qPrintable(error.text()));
        }
        QVERIFY(refused);
        QCOMPARE(f.windows.renders, 0);
        VerifyPictureWorkKept(f, shown);
    }

    void commandLineOptionsLeaveTheFileName() {
        QStringList arguments{"--page", "7", "--dpi", "600", "paper.pdf"};
        const PdfOpenOptions options = TakePdfOptions(arguments);
        QCOMPARE(arguments, QStringList{"paper.pdf"});
        QCOMPARE(options.page, QString("7"));
        QCOMPARE(options.dpi, QString("600"));
        QStringList plain{"chart.bmp"};
        QCOMPARE(TakePdfOptions(plain).page, QString());
        QCOMPARE(plain, QStringList{"chart.bmp"});
    }
};

int RunPdfPageTests(int argc, char** argv) {
    TestPdfPages test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_pdfpages.moc"
