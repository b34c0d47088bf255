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

QByteArray padded(const QString& text, int width, bool right = false) {
    return (right ? text.rightJustified(width) : text.leftJustified(width)).toUtf8();
}

} // namespace

void Report::addSize(const SizeInfo& size) {
    sizes_.push_back(size);
}

const SizeInfo* Report::size(const QString& label) const {
    for (const SizeInfo& s : sizes_)
        if (s.label == label)
            return &s;
    return nullptr;
}

void Report::add(const Figure& figure) {
    figures_.push_back(figure);
}

double Report::ratio(const Figure& figure) const {
    const SizeInfo* s = size(figure.sizeLabel);
    if (s == nullptr)
        return 0;
    const double base = figure.memory ? double(s->pictureBytes) : s->baselineSeconds;
    return base > 0 ? figure.value / base : 0;
}

void Report::print(std::FILE* out, int runs) const {
    std::fprintf(out,
                 "\nKurvana II on large scans: median of %d runs; ratio = time / baseline "
                 "(memcpy of the picture's bytes),\nmemory ratio = peak resident set / the "
                 "picture's bytes. Targets are set for 35 MP.\n",
                 runs);
    for (const SizeInfo& s : sizes_) {
        std::fprintf(out, "\n%s: %d x %d, picture %s, baseline memcpy %s\n",
                     s.label.toUtf8().constData(), s.width, s.height,
                     formatMegabytes(double(s.pictureBytes)).toUtf8().constData(),
                     formatTime(s.baselineSeconds).toUtf8().constData());
        std::fprintf(out, "  %s %s %s  %s\n", padded("case", 44).constData(),
                     padded("median", 11, true).constData(), padded("ratio", 9, true).constData(),
                     "target");
        for (const Figure& f : figures_) {
            if (f.sizeLabel != s.label)
                continue;
            const double r = ratio(f);
            QString target;
            if (f.target && s.targetsApply)
                target = QString("<= %1  %2").arg(*f.target).arg(r <= *f.target ? "ok" : "MISSED");
            const QString value = f.memory ? formatMegabytes(f.value) : formatTime(f.value);
            std::fprintf(out, "  %s %s %s  %s\n", padded(f.name, 44).constData(),
                         padded(value, 11, true).constData(),
                         padded(QString::number(r, 'f', r < 0.1 ? 4 : 3), 9, true).constData(),
                         target.toUtf8().constData());
        }
    }
    std::fflush(out);
}

} // namespace kurvana::bench
