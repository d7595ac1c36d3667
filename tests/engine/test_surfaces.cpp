// Working surfaces: whatever memory backs them, they start as zeros with the
// size and layout asked for, take writes everywhere, and give their memory
// back when freed.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>
#include <fstream>
#include <string>

#include "brisa2d2.h"

namespace {

const Uint32 kR = 0x000000FF, kG = 0x0000FF00, kB = 0x00FF0000, kA = 0xFF000000;

long ResidentKiB() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

struct Size {
    int w, h;
};

// Small ones come from SDL, large ones (from 2 MiB) from the engine's own mapping.
const Size kSizes[] = {{1, 1}, {100, 60}, {1024, 1024}, {2048, 2048}, {2048, 1000}, {4096, 128}};

TEST(WorkingSurfaces, StartAsZerosWithTheLayoutAskedForAndTakeWrites) {
    for (const Size& z : kSizes) {
        SCOPED_TRACE(std::to_string(z.w) + "x" + std::to_string(z.h));
        SDL_Surface* s = BRZ_CriaSuperficie(z.w, z.h, kR, kG, kB, kA);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->w, z.w);
        EXPECT_EQ(s->h, z.h);
        EXPECT_EQ(s->pitch, z.w * 4);
        EXPECT_EQ(s->format->BitsPerPixel, 32);
        EXPECT_EQ(s->format->Rmask, kR);
        EXPECT_EQ(s->format->Amask, kA);
        EXPECT_EQ(SDL_MapRGBA(s->format, 255, 0, 255, 255), 0xFFFF00FFu);
        const Uint8* p = static_cast<const Uint8*>(s->pixels);
        size_t bytes = size_t(s->pitch) * size_t(s->h);
        size_t nonZero = 0;
        for (size_t i = 0; i < bytes; ++i) nonZero += p[i] != 0;
        EXPECT_EQ(nonZero, 0u);
        memset(s->pixels, 0xAB, bytes);
        EXPECT_EQ(static_cast<const Uint8*>(s->pixels)[bytes - 1], 0xAB);
        BRZ_LiberaSuperficie(s);
    }
    BRZ_LiberaSuperficie(nullptr);
}

// 48 surfaces of 16 MiB, each filled, then freed: kept, they would hold 768 MiB.
TEST(WorkingSurfaces, FreedSurfacesGiveTheirMemoryBack) {
    const int kRounds = 48;
    const long kSlackKiB = 64 * 1024;
    long before = ResidentKiB();
    ASSERT_GT(before, 0);
    for (int i = 0; i < kRounds; ++i) {
        SDL_Surface* s = BRZ_CriaSuperficie(2048, 2048, kR, kG, kB, kA);
        ASSERT_NE(s, nullptr);
        memset(s->pixels, i + 1, size_t(s->pitch) * size_t(s->h));
        BRZ_LiberaSuperficie(s);
    }
    EXPECT_LT(ResidentKiB(), before + kSlackKiB);
}

}  // namespace
