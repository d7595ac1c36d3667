// The soaks' memory bounds are worth something only if a real leak breaks
// them: over the same number of cycles as the load soak, the watch flags a
// leak as small as the ones the bounds are said to catch, and stays quiet
// when the same work gives its memory back.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "Inimigo.h"
#include "Nivel.h"
#include "soak_support.h"

namespace soak {
namespace {

const int kWarmUp = 20;
const int kIconW = 64, kIconH = 64;  // a 16 KiB picture

// Runs `cycles` cycles of `work` with a sample after each, as the load soak does.
template <typename Work>
GrowthWatch Watch(int cycles, Work work) {
    GrowthWatch w;
    for (int c = 0; c < kWarmUp + cycles; ++c) {
        work();
        w.Sample();
        if (c + 1 == kWarmUp) w.EndWarmUp();
    }
    return w;
}

// What a layout that forgot to delete its blobs would leave behind.
void BlobList(std::vector<Inimigo*>& keep) {
    for (int i = 0; i < kObstaculos; ++i) keep.push_back(new Inimigo(1, math::Vector2D(1, 2), math::Vector2D(0, 50), 4, 15));
}

// A picture whose every page has been written, as a decoded one has.
SDL_Surface* TouchedPicture() {
    SDL_Surface* s = SDL_CreateRGBSurface(0, kIconW, kIconH, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000);
    if (s) SDL_FillRect(s, nullptr, 0x11223344);
    return s;
}

class GrowthWatchCheck : public ::testing::Test {
protected:
    void SetUp() override {
        if (kSanitized) GTEST_SKIP() << "memory bounds are not checked in sanitized builds";
    }
};

TEST_F(GrowthWatchCheck, WorkThatGivesEverythingBackStaysWithinTheBounds) {
    GrowthWatch w = Watch(kMeasuredCycles, [] {
        std::vector<Inimigo*> blobs;
        BlobList(blobs);
        for (Inimigo* b : blobs) delete b;
        SDL_FreeSurface(TouchedPicture());
    });
    EXPECT_EQ(GrowthBeyond(w, kCycleBounds), "") << w.Report();
}

TEST_F(GrowthWatchCheck, OneBlobListLostPerCycleBreaksTheHeapBound) {
    std::vector<Inimigo*> lost;
    GrowthWatch w = Watch(kMeasuredCycles, [&lost] { BlobList(lost); });
    EXPECT_GT(w.heapGrowthBytes(), kCycleBounds.heapBytes) << w.Report();
    EXPECT_GT(w.heapGrowthBytes(), kPlayBounds.heapBytes) << w.Report();
    for (Inimigo* b : lost) delete b;
}

TEST_F(GrowthWatchCheck, OneSmallPictureLostPerCycleBreaksBothBounds) {
    std::vector<SDL_Surface*> lost;
    GrowthWatch w = Watch(kMeasuredCycles, [&lost] { lost.push_back(TouchedPicture()); });
    EXPECT_NE(GrowthBeyond(w, kCycleBounds), "");
    EXPECT_GT(w.residentGrowthKiB(), kCycleBounds.residentKiB) << w.Report();
    EXPECT_GT(w.heapGrowthBytes(), kCycleBounds.heapBytes) << w.Report();
    for (SDL_Surface* s : lost) SDL_FreeSurface(s);
}

// Freed memory malloc keeps for later is no leak: here every measured cycle
// frees 32 MiB of blocks from malloc's heap under a block that stays in use
// above them (so malloc cannot shrink its heap by itself), and frees the
// previous cycle's such block. Every block is below the 128 KiB from which
// malloc maps a block of its own, and the one left above is larger than any
// free piece of the heap, so it comes from the top.
TEST_F(GrowthWatchCheck, FreedMemoryMallocKeepsIsNotGrowth) {
    const size_t kBlock = 64 * 1024, kBlocks = 512, kAbove = 100 * 1024;
    GrowthWatch w;
    std::vector<char*> blocks(kBlocks);
    char* above = nullptr;
    for (int c = 0; c < kWarmUp + kMeasuredCycles / 10; ++c) {
        if (c >= kWarmUp) {
            for (char*& b : blocks) b = static_cast<char*>(memset(malloc(kBlock), 1, kBlock));
            char* next = static_cast<char*>(malloc(kAbove));
            for (char* b : blocks) free(b);
            free(above);
            above = next;
        }
        w.Sample();
        if (c + 1 == kWarmUp) w.EndWarmUp();
    }
    free(above);
    EXPECT_EQ(GrowthBeyond(w, kCycleBounds), "") << w.Report();
}

}  // namespace
}  // namespace soak
