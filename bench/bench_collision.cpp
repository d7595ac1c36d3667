// The mask overlap test on the pairs the game tests every frame, against the
// per-pixel reference and against the plain chunk loop (both chunk values
// rebuilt with two shifts for every chunk of every row). Every pair overlaps
// fully without a shared pixel, so each call walks its whole overlap: the
// worst case, and the common one (nothing is hit in most frames).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>

#include "Nivel.h"
#include "brisa2d2.h"
#include "naive_overlap.h"

namespace {

const int kWord = 32;

// ---------------------------------------------------------------------------
// The game's masks, drawn by formula
// ---------------------------------------------------------------------------

// A mask owned by the benchmark, every pixel decided by `solid(x, y)`, the
// tail bits of each row left set as garbage.
template <typename Shape>
BRZ_BitMask* MakeMask(int w, int h, Shape solid) {
    BRZ_BitMask* m = BRZ_CriaBitMask(w, h);
    std::memset(m->mask, 0xFF, sizeof(Uint32) * size_t(h) * m->ldwords);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!solid(x, y)) m->mask[y * m->ldwords + x / kWord] &= ~(0x80000000u >> (x % kWord));
    return m;
}

bool InsideEllipse(double x, double y, double cx, double cy, double rx, double ry) {
    double dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

// Nanobot frame 60 x 58: an oval body with two side fins, transparent margin.
BRZ_BitMask* Nanobot() {
    return MakeMask(60, 58, [](int x, int y) {
        return InsideEllipse(x, y, 30, 29, 19, 17) || (y >= 27 && y <= 31 && x >= 9 && x <= 51);
    });
}

// Blob frame 80 x 80: a thick membrane around a hollow core wide enough for
// the nanobot, so the two overlap fully with no shared pixel.
BRZ_BitMask* Blob() {
    return MakeMask(80, 80, [](int x, int y) {
        return InsideEllipse(x, y, 40, 40, 40, 40) && !InsideEllipse(x, y, 40, 40, 34, 34);
    });
}

// A 2048 x 2048 map collision picture: a vessel whose wavy walls fill the
// top and the bottom, open in the middle where the nanobot swims.
BRZ_BitMask* Map() {
    return MakeMask(2048, 2048, [](int x, int y) {
        double wave = 60.0 * std::sin(x / 150.0);
        return y < 760 + wave || y > 1340 + wave;
    });
}

// Full-width ink on even rows only: two such masks placed an odd number of
// rows apart overlap without a shared pixel whatever their shapes.
BRZ_BitMask* EvenRows(int w, int h) {
    return MakeMask(w, h, [](int, int y) { return y % 2 == 0; });
}

// ---------------------------------------------------------------------------
// The plain chunk loop, step by step as the overlap test is defined
// ---------------------------------------------------------------------------

Uint32 ChunkValue(const BRZ_BitMask* m, int row, int column) {
    const Uint32* w = m->mask + row * m->ldwords + column / kWord;
    unsigned k = unsigned(column % kWord);
    return k == 0 ? w[0] : (w[0] << k) | (w[1] >> (kWord - k));
}

Uint32 PartialChunkValue(const BRZ_BitMask* m, int row, int column, int rest) {
    const Uint32* w = m->mask + row * m->ldwords + column / kWord;
    unsigned k = unsigned(column % kWord);
    Uint32 v = w[0] << k;
    if (k != 0 && int(k) + rest > kWord) v |= w[1] >> (kWord - k);
    return v & (~Uint32(0) << (kWord - rest));
}

// Start in each mask and length of the overlap along one axis.
bool Span(int sizeA, int sizeB, int off, int* startA, int* startB, int* length) {
    if (off >= 0) {
        *startA = off, *startB = 0, *length = std::min(sizeA - off, sizeB);
    } else {
        *startA = 0, *startB = -off, *length = std::min(sizeB + off, sizeA);
    }
    return *length > 0;
}

int ChunkLoopOverlap(const BRZ_BitMask* a, const BRZ_BitMask* b, int offx, int offy) {
    int xa, xb, width, ya, yb, height;
    if (!Span(a->largura, b->largura, offx, &xa, &xb, &width)) return 0;
    if (!Span(a->altura, b->altura, offy, &ya, &yb, &height)) return 0;
    int chunks = width / kWord, rest = width % kWord;
    for (int l = 0; l < height; ++l)
        for (int c = 0; c < chunks; ++c)
            if (ChunkValue(a, ya + l, xa + kWord * c) & ChunkValue(b, yb + l, xb + kWord * c)) return -1;
    if (rest != 0)
        for (int l = 0; l < height; ++l)
            if (PartialChunkValue(a, ya + l, xa + kWord * chunks, rest) &
                PartialChunkValue(b, yb + l, xb + kWord * chunks, rest))
                return -1;
    return 0;
}

// ---------------------------------------------------------------------------
// The pairs and the runs
// ---------------------------------------------------------------------------

struct Pair {
    BRZ_BitMask* a;
    BRZ_BitMask* b;
    int offx, offy;
};

BRZ_BitMask* g_nano = Nanobot();
BRZ_BitMask* g_blob = Blob();
BRZ_BitMask* g_map = Map();
BRZ_BitMask* g_rows80x50 = EvenRows(80, 50);
BRZ_BitMask* g_rows80x80 = EvenRows(80, 80);
BRZ_BitMask* g_rowsMap = EvenRows(2048, 2048);

// Mask b sits (offx, offy) from mask a, as BRZ_ColidiuSprites passes them.
const Pair kNanoBlobAligned{g_nano, g_blob, 0, -11};     // nanobot at (0, 11) inside the blob
const Pair kNanoBlobUnaligned{g_nano, g_blob, -13, -11};  // nanobot at (13, 11) inside the blob
// The nanobot at (482, 1005) on the map.
const Pair kNanoMap{g_nano, g_map, -kNanoColisaoX, -kNanoInicioMapaY};
const Pair kBlobMap{g_blob, g_map, -1500, -900};          // blob at (1500, 900) on the map
// Sizes of the figures quoted for the column-stripe mask library: 80 x 50
// against 80 x 80 at an unaligned offset (67 x 35 overlap), and against a
// 2048 x 2048 mask (80 x 50 overlap).
const Pair kRows80x50On80x80{g_rows80x50, g_rows80x80, 13, 15};
const Pair kRows80x50OnMap{g_rows80x50, g_rowsMap, -kNanoColisaoX, -kNanoInicioMapaY};

using OverlapFn = int (*)(const BRZ_BitMask*, const BRZ_BitMask*, int, int);

int Engine(const BRZ_BitMask* a, const BRZ_BitMask* b, int offx, int offy) {
    return BRZ_SobrepoeBitMasks(const_cast<BRZ_BitMask*>(a), const_cast<BRZ_BitMask*>(b), offx, offy);
}

void Run(benchmark::State& state, OverlapFn fn, const Pair* p) {
    // All three must agree that nothing is shared, or the timing means nothing.
    int engine = Engine(p->a, p->b, p->offx, p->offy);
    if (engine != 0 || vdtest::NaiveOverlap(p->a, p->b, p->offx, p->offy) != 0 ||
        ChunkLoopOverlap(p->a, p->b, p->offx, p->offy) != 0) {
        state.SkipWithError("the pair shares a pixel or the implementations disagree");
        return;
    }
    for (auto _ : state) {
        int r = fn(p->a, p->b, p->offx, p->offy);
        benchmark::DoNotOptimize(r);
    }
}

#define VD_PAIR_BENCHMARKS(pair)                                                   \
    BENCHMARK_CAPTURE(Run, pair##_engine, Engine, &pair);                          \
    BENCHMARK_CAPTURE(Run, pair##_chunk_loop, ChunkLoopOverlap, &pair);            \
    BENCHMARK_CAPTURE(Run, pair##_per_pixel, vdtest::NaiveOverlap, &pair)

VD_PAIR_BENCHMARKS(kNanoBlobAligned);
VD_PAIR_BENCHMARKS(kNanoBlobUnaligned);
VD_PAIR_BENCHMARKS(kNanoMap);
VD_PAIR_BENCHMARKS(kBlobMap);
VD_PAIR_BENCHMARKS(kRows80x50On80x80);
VD_PAIR_BENCHMARKS(kRows80x50OnMap);

}  // namespace
