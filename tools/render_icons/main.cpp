// Writes the program icon as PNG files into an icon theme folder:
//   kurvana2_render_icons FOLDER  ->  FOLDER/hicolor/<n>x<n>/apps/kurvana2.png
// The installation ships these next to the scalable drawing, for desktops that want bitmaps.
#include <cstdio>

#include <QDir>
#include <QImage>
#include <QString>

#include "ui/programicon.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: kurvana2_render_icons FOLDER\n", stderr);
        return 2;
    }
    for (const int size : kurvana::kProgramIconSizes) {
        const QString folder =
            QStringLiteral("%1/hicolor/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(folder) ||
            !kurvana::ProgramIconImage(size).save(folder + "/kurvana2.png", "PNG")) {
            std::fprintf(stderr, "kurvana2_render_icons: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
