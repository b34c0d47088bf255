#include "io/calibrationsource.h"

#include <cmath>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPolygon>

#include "core/calibration.h"
#include "core/document.h"
#include "core/texts.h"
#include "core/workspace.h"
#include "io/calibrationframe.h"
#include "io/datafile.h"

namespace kurvana {

namespace {

bool isDataFile(const QString& path) {
    return path.endsWith(".gra", Qt::CaseInsensitive);
}

/// A whole export holds the calibration under its key; a bare calibration object is one.
QJsonObject calibrationObject(const QJsonObject& json) {
    return json.contains("calibration") ? json["calibration"].toObject() : json;
}

void loadJsonCalibration(Document& doc, const QString& path) {
    QFile file(path);
    QJsonParseError parsed{};
    const QJsonDocument json = file.open(QIODevice::ReadOnly)
                                   ? QJsonDocument::fromJson(file.readAll(), &parsed)
                                   : QJsonDocument();
    if (!json.isObject() || !CalibrationFromJson(doc, calibrationObject(json.object())))
        throw CommandError(doc.texts.extra(ExtraText::CalibrationUnreadable).arg(path));
}

} // namespace

void LoadCalibration(Document& doc, const QString& path) {
    if (isDataFile(path))
        ApplyDataFileCalibration(doc, ReadDataFile(path, doc.texts));
    else
        loadJsonCalibration(doc, path);
    ReadAxisTexts(doc);
}

QRect CalibratedArea(const Document& doc) {
    QPolygon corners;
    switch (doc.frame) {
    case CalibrationFrame::Perspective:
        for (int i = 0; i < 4; ++i)
            corners << QPoint(doc.perspective.pointX[i], doc.perspective.pointY[i]);
        break;
    case CalibrationFrame::Polar: {
        const PolarCalibration& p = doc.polar;
        const int radius =
            int(std::ceil(std::hypot(p.referenceX - p.centreX, p.referenceY - p.centreY)));
        return QRect(p.centreX - radius, p.centreY - radius, 2 * radius + 1, 2 * radius + 1);
    }
    case CalibrationFrame::ThreePoint: {
        const QPoint zero(doc.zeroPointX, doc.zeroPointY);
        const QPoint xMax(doc.xMaxPointX, doc.xMaxPointY);
        const QPoint yMax(doc.yMaxPointX, doc.yMaxPointY);
        corners << zero << xMax << yMax << xMax + yMax - zero;
        break;
    }
    }
    return corners.boundingRect();
}

} // namespace kurvana
