// The overlap test written the slow, obvious way: one pixel at a time over
// the overlap rectangle. The engine's word-at-a-time test must agree with it
// on every pair; the benchmark measures both.
#ifndef VD_NAIVE_OVERLAP_H
#define VD_NAIVE_OVERLAP_H

#include <algorithm>

#include "brisa2d2.h"

namespace vdtest {

// Pixel (x, y) of a mask; the caller keeps it inside the mask.
inline bool MaskPixel(const BRZ_BitMask& m, int x, int y) {
    return (m.mask[y * m.ldwords + x / 32] >> (31 - x % 32)) & 1u;
}

// -1 when some pixel is solid in both masks, b placed (offx, offy) from a; 0 otherwise.
inline int NaiveOverlap(const BRZ_BitMask* a, const BRZ_BitMask* b, int offx, int offy) {
    long long x0 = std::max(0LL, (long long)offx), x1 = std::min((long long)a->largura, (long long)offx + b->largura);
    long long y0 = std::max(0LL, (long long)offy), y1 = std::min((long long)a->altura, (long long)offy + b->altura);
    for (long long y = y0; y < y1; ++y)
        for (long long x = x0; x < x1; ++x)
            if (MaskPixel(*a, int(x), int(y)) && MaskPixel(*b, int(x - offx), int(y - offy))) return -1;
    return 0;
}

}  // namespace vdtest

#endif
