// Shared by the cycle tests that tests/valgrind/CMakeLists.txt runs under
// valgrind's memcheck: the assets they load and a folder of their own.
// Everything a cycle allocates must be given back by the last removal or by
// the shut-down, so a single block kept shows as "definitely lost"; the
// tests check that each cycle really loaded, drew and freed what it meant
// to, so that a clean memcheck report covers those paths.
#ifndef VD_VALGRIND_CYCLES_H
#define VD_VALGRIND_CYCLES_H

#include <string>

namespace vdcycles {

// One cycle already shows a leak as definitely lost; the later ones load
// into the slots the first one freed.
const int kCycles = 3;

// One picture of each kind the game loads: frame sheets, a whole PNG with
// transparency, a full-screen JPEG. Few and small: memcheck pays for every
// pixel decoded, masked and uploaded.
struct PictureAsset {
    const char* file;
    int frameW, frameH;
};
const PictureAsset kPictures[] = {
    {"gordura.png", 70, 60},
    {"core.png", 100, 100},
    {"nano_c.png", 0, 0},
    {"menu_idiomas.jpg", 0, 0},
};
const char* const kEffects[] = {"batida.wav", "morreu.ogg"};
const char* const kMusic = "bgmusic.ogg";

// The path of a generated game asset, as the build writes it.
inline std::string Rsrc(const char* file) { return std::string(VD_BINARY_DIR) + "/rsrc/" + file; }

}  // namespace vdcycles

#endif
