// File writers. Every writer is deterministic: the same input gives the same
// bytes (no time stamps, fixed stream serial numbers). Each returns false when
// the file cannot be written, after printing why.
#ifndef RSRCGEN_ENCODE_H
#define RSRCGEN_ENCODE_H

#include <cstdint>
#include <string>
#include <vector>

#include "raster.h"

// RGBA PNG at the given zlib level, every row filtered UP (smooth art
// compresses well that way) or none filtered (no unfiltering pass to decode).
bool WritePngRgba(const std::string& path, const Raster& r, int zlibLevel = 3, bool filterUp = true);
// Two-colour paletted PNG, one bit per pixel: entry 0 is exactly (255, 0, 255)
// and fully transparent (free), entry 1 is `solid` (wall). solid[i] != 0 marks a
// wall pixel, rows from the top.
bool WritePngTwoColour(const std::string& path, int w, int h, const std::vector<uint8_t>& solid,
                       const uint8_t solidRgb[3]);
// Baseline JPEG of the RGB channels (alpha ignored).
bool WriteJpeg(const std::string& path, const Raster& r, int quality);
// 16-bit PCM WAV; samples interleaved, in -1..1.
bool WriteWav(const std::string& path, const std::vector<float>& samples, int channels, int rate);
// Ogg Vorbis (VBR quality -0.1..1), with a fixed stream serial number.
bool WriteOgg(const std::string& path, const std::vector<float>& samples, int channels, int rate,
              float quality, int serial);

#endif
