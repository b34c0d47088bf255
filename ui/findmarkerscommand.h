#pragma once

#include <functional>

#include <QStringList>

namespace kurvana {

struct Document;

/// `kurvana2 --find-markers X,Y PICTURE [--calibration DATA.gra]`, given the arguments after
/// "--find-markers": the markers like the one at picture pixel (X, Y), as JSON on standard
/// output; with a data file, the axis values of each centre and bar end under its
/// calibration. `prepare` readies the document the data file is read into. Returns 0 when
/// markers were found, 2 when none (no marker there, a picture or data file that cannot be
/// read, a usage error); reasons go to standard error.
int RunFindMarkersCommand(const QStringList& arguments,
                          const std::function<void(Document&)>& prepare);

} // namespace kurvana
