#include "lumen.h"

#include <initializer_list>

#include "consts.h"

namespace soak {

namespace {

// Columns ahead of the centre that the steering looks at: the map scrolls
// 2 px a frame and the nanobot climbs 1.5, so it must turn early.
const int kLookAhead = 48;
// Rows off the middle that are left alone, so the nanobot does not jitter.
const int kDeadBand = 4;

}  // namespace

BRZ_BitMask* Lumen::Column(int x, int* column) const {
    if (x < 0 || x >= kLarguraTile * kTilesMapa) return nullptr;
    unsigned int id = r_.colisao[x / kLarguraTile];
    if (id == 0 || !sprites[id - 1].bmask) return nullptr;
    *column = x % kLarguraTile;
    return sprites[id - 1].bmask[0];
}

bool Lumen::Free(BRZ_BitMask* m, int column, int row) const {
    return row >= 0 && row < m->altura && !BRZ_GetBit(m, column, row);
}

Run Lumen::Extend(BRZ_BitMask* m, int column, int row) const {
    Run run{row, row};
    while (Free(m, column, run.top - 1)) --run.top;
    while (Free(m, column, run.bottom + 1)) ++run.bottom;
    return run;
}

bool Lumen::RunAround(int x, int row, Run* run) const {
    int column = 0;
    BRZ_BitMask* m = Column(x, &column);
    if (!m) return false;
    for (int d = 0; d < m->altura; ++d) {
        for (int candidate : {row - d, row + d}) {
            if (Free(m, column, candidate)) {
                *run = Extend(m, column, candidate);
                return true;
            }
        }
    }
    return false;
}

bool Lumen::WidestRun(int x, Run* run) const {
    int column = 0;
    BRZ_BitMask* m = Column(x, &column);
    if (!m) return false;
    bool found = false;
    for (int row = 0; row < m->altura; ++row) {
        if (!Free(m, column, row)) continue;
        Run r = Extend(m, column, row);
        if (!found || r.length() > run->length()) *run = r;
        found = true;
        row = r.bottom;
    }
    return found;
}

Steer SteerThroughLumen(const Lumen& lumen) {
    int row = int(float(kNanoCentroY) - vecPosicao.y);
    int x = int(float(kNanoCentroX) - vecPosicao.x) + kLookAhead;
    Run run;
    if (!lumen.RunAround(x, row, &run)) return Steer::None;
    if (run.middle() < row - kDeadBand) return Steer::Up;
    if (run.middle() > row + kDeadBand) return Steer::Down;
    return Steer::None;
}

int KeyFor(Steer s) {
    // The right-hand block moves the map down, which takes the nanobot up
    // the vessel; the left-hand block the other way.
    switch (s) {
        case Steer::Up: return BRZ_K;
        case Steer::Down: return BRZ_D;
        default: return -1;
    }
}

}  // namespace soak
