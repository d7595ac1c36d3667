// Shared pieces of the loading tests: what a loaded sprite set holds,
// reduced to numbers two loads can be compared by, and picture files of
// every kind the decoders meet, written by the tests themselves.
#ifndef VD_LOADING_SUPPORT_H
#define VD_LOADING_SUPPORT_H

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

namespace loading {

// One loaded set: the registry record's fields, its surface's layout, a
// digest of the surface's pixels, of every meaningful mask bit and (when a
// texture exists) of the texture read back from OpenGL.
struct SetPrint {
    unsigned int id = 0;
    std::string name;
    int w = 0, h = 0, frameW = 0, frameH = 0, columns = 0, rows = 0;
    int surfaceW = 0, surfaceH = 0, pitch = 0, bitsPerPixel = 0;
    Uint32 rmask = 0, gmask = 0, bmask = 0, amask = 0;
    int textureW = 0, textureH = 0;
    bool texture = false;
    uint64_t pixels = 0, masks = 0, texels = 0;

    bool operator==(const SetPrint& o) const;
    bool operator!=(const SetPrint& o) const { return !(*this == o); }
    std::string Describe() const;
};

// What some loads left: their identifiers, the sets, and what they printed.
struct LoadsPrint {
    std::vector<unsigned int> ids;
    std::vector<SetPrint> sets;
    std::string said;
};
// A test failure for every difference between loads announced ahead and the
// same loads without the announcement.
void ExpectSameLoads(const LoadsPrint& announced, const LoadsPrint& plain);

// The set `id` holds now (id 0 or a free slot: an empty print with that id).
SetPrint PrintOf(unsigned int id);
// Every occupied slot, in identifier order.
std::vector<SetPrint> PrintAll();

// 64-bit digest of bytes (FNV-1a over 64-bit words): any changed byte changes it.
uint64_t Digest(const void* data, size_t bytes, uint64_t seed = 0);

// A PNG exactly as described: colour type and bit depth as libpng names
// them, `data` the packed rows (no filter bytes), optional palette (RGB
// triples) and transparency entries, interlaced or not. False on failure.
struct PngSpec {
    int w = 0, h = 0;
    int colorType = 0, bitDepth = 8;
    bool interlaced = false;
    std::vector<uint8_t> palette;   // 3 bytes per entry
    std::vector<uint8_t> trns;      // one alpha per palette entry
    std::vector<uint8_t> data;      // h rows of packed samples
};
bool WritePngSpec(const std::string& path, const PngSpec& spec);

// Sample pictures: RGBA with opaque magenta, fully and partly transparent
// pixels among varied colours; palette indices of `bitDepth` bits, packed,
// cycling through `entries` values.
PngSpec RgbaPicture(int w, int h, int seed);
PngSpec PalettePicture(int w, int h, int bitDepth, int entries, int seed);

// A JPEG of w x h, three components (or one), baseline or progressive.
bool WriteJpeg(const std::string& path, int w, int h, int components, bool progressive, int seed);

std::string ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::string& bytes);

// Names of the threads of this process (from /proc/self/task).
std::vector<std::string> ThreadNames();

}  // namespace loading

#endif
