// Shared pieces of the asset tests: where the generated files are, the engine
// started with the software renderer to load pictures into its masks, and
// mask geometry (column runs, overlaps). The level itself (blob layout, tiles,
// the nanobot's test point, the win line) is the game's own, from Nivel.h.
#ifndef VD_ASSETS_HELPERS_H
#define VD_ASSETS_HELPERS_H

#include <string>
#include <vector>

#include "Nivel.h"
#include "brisa2d2.h"

namespace assets {

// <build>/rsrc, where the build put the generated files.
std::string RsrcDir();
std::string Rsrc(const std::string& name);

// The 53 files the game loads.
std::vector<std::string> AllAssetNames();

// A frame's mask as solid runs per column: rows [first, last] inclusive.
struct Span {
    int first, last;
};
using ColumnRuns = std::vector<std::vector<Span>>;
ColumnRuns RunsOf(BRZ_BitMask* m);

// Pixel test of two masks placed with top-left corners at (ax, ay) and (bx, by).
bool Overlap(BRZ_BitMask* a, int ax, int ay, BRZ_BitMask* b, int bx, int by);

// The engine running the software renderer on SDL's dummy video driver, for
// loading pictures exactly as the soak tests and the pilot tool do.
class Engine {
public:
    Engine();
    ~Engine();
    bool ok() const { return ok_; }
    // Loads a generated file; 0 on failure.
    unsigned Load(const std::string& name, int frameW, int frameH);
    unsigned Load(const Figura& f) { return Load(f.arquivo, f.largura, f.altura); }
    static BRZ_BitMask* Mask(unsigned id, int frame) { return sprites[id - 1].bmask[frame]; }
    static int Frames(unsigned id) { return sprites[id - 1].matrizX * sprites[id - 1].matrizY; }

private:
    bool ok_;
};

}  // namespace assets

#endif
