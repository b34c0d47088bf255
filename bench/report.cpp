#include "bench/report.h"

#include <QByteArray>

namespace kurvana::bench {

namespace {

QString formatTime(double seconds) {
    if (seconds < 1e-3)
        return QString::number(seconds * 1e6, 'f', 1) + " us";
    if (seconds < 1)
        return QString::number(seconds * 1e3, 'f', 2) + " ms";
    return QString::number(seconds, 'f', 3) + " s";
}

QString formatMegabytes(double bytes) {
    return QString::number(bytes / (1024.0 * 1024.0), 'f', 1) + " MB";
}

QString formatRatio(double ratio) {
    return QString::number(ratio, 'f', ratio < 0.1 ? 4 : ratio < 10 ? 3 : 1);
}

QByteArray cell(const QString& text, int width, bool right = true) {
    return (right ? text.rightJustified(width) : text.leftJustified(width)).toUtf8();
}

} // namespace

void Report::addSize(const SizeInfo& size) {
    sizes_.push_back(size);
}

void Report::setBaseline(const QString& label, double seconds, int copies) {
    for (SizeInfo& s : sizes_)
        if (s.label == label) {
            s.memcpySeconds = seconds;
            s.memcpyCopies = copies;
        }
}

void Report::add(const Figure& figure) {
    figures_.push_back(figure);
}

double Report::ratio(const Figure& figure) const {
    for (const SizeInfo& s : sizes_)
        if (s.label == figure.sizeLabel) {
            const double base = figure.memory ? double(s.pictureBytes) : s.memcpySeconds;
            return base > 0 ? figure.value / base : 0;
        }
    return 0;
}

void Report::print(std::FILE* out, int runs) const {
    std::fprintf(out,
                 "\nKurvana II on large scans, median of %d runs. ratio: median time / the "
                 "baseline, a memcpy of the\npicture's bytes (the median of the copies taken "
                 "before every case); for memory, peak\nresident set / the picture's bytes. "
                 "The targets are set for 35 MP.\n",
                 runs);
    for (const SizeInfo& s : sizes_) {
        const auto reference = [&](double seconds) {
            return (formatTime(seconds) + " (" + formatRatio(seconds / s.memcpySeconds) + ")")
                .toUtf8();
        };
        std::fprintf(out,
                     "\n%s: %d x %d pixels, picture %s. Its bytes: memcpy %s (median of %d); "
                     "into fresh\n  memory %s; to a new file %s\n",
                     s.label.toUtf8().constData(), s.width, s.height,
                     formatMegabytes(double(s.pictureBytes)).toUtf8().constData(),
                     formatTime(s.memcpySeconds).toUtf8().constData(), s.memcpyCopies,
                     reference(s.freshSeconds).constData(),
                     reference(s.newFileSeconds).constData());
        std::fprintf(out, "  %s %s %s  %s\n", cell("case", 48, false).constData(),
                     cell("median", 10).constData(), cell("ratio", 8).constData(), "target");
        for (const Figure& f : figures_) {
            if (f.sizeLabel != s.label)
                continue;
            const double r = ratio(f);
            QString target;
            if (f.target && s.targetsApply)
                target = QString("<= %1  %2").arg(*f.target).arg(r <= *f.target ? "ok" : "MISSED");
            if (f.targetSeconds && s.targetsApply)
                target = QString("<= %1  %2")
                             .arg(formatTime(*f.targetSeconds))
                             .arg(f.value <= *f.targetSeconds ? "ok" : "MISSED");
            const QString value = f.memory ? formatMegabytes(f.value) : formatTime(f.value);
            std::fprintf(out, "  %s %s %s  %s\n", cell(f.name, 48, false).constData(),
                         cell(value, 10).constData(), cell(formatRatio(r), 8).constData(),
                         target.toUtf8().constData());
        }
    }
    std::fflush(out);
}

} // namespace kurvana::bench
