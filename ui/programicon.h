#pragma once

#include <array>

#include <QIcon>
#include <QImage>

namespace kurvana {

/// The pixel sizes the program icon is rendered in: those of the hicolor icon theme.
constexpr std::array<int, 8> kProgramIconSizes{16, 22, 24, 32, 48, 64, 128, 256};

/// The program icon, `size` pixels square, rendered from the icon's SVG drawing: the bold
/// small variant below 32 pixels, the full drawing from 32 up.
QImage ProgramIconImage(int size);

/// The program icon in all kProgramIconSizes.
QIcon ProgramIcon();

} // namespace kurvana
