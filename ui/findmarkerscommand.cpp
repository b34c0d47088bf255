#include "ui/findmarkerscommand.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "core/calibration.h"
#include "core/document.h"
#include "core/workspace.h"
#include "io/export.h"
#include "io/picturefile.h"
#include "recognition/markers/findmarkers.h"
#include "recognition/markers/markerjson.h"

namespace kurvana {

namespace {

constexpr char kUsage[] = "usage: kurvana2 --find-markers X,Y PICTURE [--calibration DATA.gra]\n";

struct Request {
    QPoint click;
    QString picture;
    QString calibration;
};

std::optional<Request> parse(const QStringList& arguments) {
    if (arguments.size() != 2 && !(arguments.size() == 4 && arguments[2] == "--calibration"))
        return std::nullopt;
    const QStringList xy = arguments[0].split(',');
    bool xOk = false, yOk = false;
    const int x = xy.value(0).toInt(&xOk), y = xy.value(1).toInt(&yOk);
    if (xy.size() != 2 || !xOk || !yOk)
        return std::nullopt;
    return Request{{x, y}, arguments[1], arguments.value(3)};
}

/// The axis values at a position between pixels: the values of the four pixels around it,
/// weighed by nearness (the conversion itself works on whole pixels).
std::optional<QPointF> valuesBetween(Document& doc, QPointF at) {
    const int x0 = int(std::floor(at.x())), y0 = int(std::floor(at.y()));
    const double ax = at.x() - x0, ay = at.y() - y0;
    try {
        QPointF sum;
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i) {
                const AxisValues v = ValuesAtPixel(doc, x0 + i, y0 + j);
                const double w = (i ? ax : 1 - ax) * (j ? ay : 1 - ay);
                sum += QPointF(v.x, v.y) * w;
            }
        return sum;
    } catch (const CommandError&) {
        return std::nullopt;
    }
}

bool writeAll(const QByteArray& bytes) {
    return std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) ==
               std::size_t(bytes.size()) &&
           std::fflush(stdout) == 0;
}

} // namespace

int RunFindMarkersCommand(const QStringList& arguments,
                          const std::function<void(Document&)>& prepare) {
    const std::optional<Request> request = parse(arguments);
    if (!request) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const PictureReadResult read = ReadStoredPicture(request->picture);
    if (read.picture.isNull()) {
        std::fprintf(stderr, "kurvana2: %s\n", read.reason.toLocal8Bit().constData());
        return 2;
    }
    Document doc;
    ValuesAt values;
    if (!request->calibration.isEmpty()) {
        try {
            prepare(doc);
            LoadDataFileForExport(doc, request->calibration);
        } catch (const CommandError& e) {
            std::fprintf(stderr, "kurvana2: %s\n", e.what());
            return 2;
        }
        values = [&doc](QPointF at) { return valuesBetween(doc, at); };
    }
    const auto finding = FindMarkers(read.picture, request->click);
    if (!finding) {
        std::fputs("kurvana2: no marker at the point given\n", stderr);
        return 2;
    }
    if (!writeAll(MarkersJson(*finding, values))) {
        std::fputs("kurvana2: the output could not be written\n", stderr);
        return 2;
    }
    return finding->markers.empty() ? 2 : 0;
}

} // namespace kurvana
