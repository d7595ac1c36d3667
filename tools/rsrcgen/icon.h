// The game's icon for desktop menus and software centres: the nanobot on a
// disc of blood, as the PNG sizes of the hicolor icon theme and one SVG.
#ifndef RSRCGEN_ICON_H
#define RSRCGEN_ICON_H

#include <string>

#include "raster.h"

namespace icon {

// The file name every size shares, as menus and desktop entries name it.
constexpr const char* kName = "vessel-drift";
// The PNG sizes written, in pixels (square).
constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The icon drawn at size x size pixels. Pure: the same size gives the same picture.
Raster Draw(int size);

// Writes <dir>/hicolor/<n>x<n>/apps/<kName>.png for every size of kSizes and
// <dir>/hicolor/scalable/apps/<kName>.svg, creating the folders. Same bytes on
// every run. False, after printing which file failed, when one cannot be written.
bool WriteAll(const std::string& dir);

}  // namespace icon

#endif
