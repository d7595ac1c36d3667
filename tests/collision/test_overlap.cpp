// Rectangle test and the mask overlap test, on masks built by hand and on
// random masks checked against the pixel-by-pixel reference.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <climits>
#include <random>
#include <utility>
#include <vector>

#include "brisa2d2.h"
#include "naive_overlap.h"

using vdtest::NaiveOverlap;

namespace {

// ---------------------------------------------------------------------------
// Rectangles
// ---------------------------------------------------------------------------

struct RectCase {
    const char* what;
    int x1, y1, l1, a1, x2, y2, l2, a2;
    bool touch;
};

const RectCase kRectCases[] = {
    {"shared right edge", 0, 0, 10, 10, 10, 0, 10, 10, true},
    {"one pixel gap to the right", 0, 0, 10, 10, 11, 0, 10, 10, false},
    {"shared left edge", 0, 0, 10, 10, -10, 0, 10, 10, true},
    {"one pixel gap to the left", 0, 0, 10, 10, -11, 0, 10, 10, false},
    {"shared bottom edge", 0, 0, 10, 10, 0, 10, 10, 10, true},
    {"one pixel gap below", 0, 0, 10, 10, 0, 11, 10, 10, false},
    {"one pixel gap above", 0, 0, 10, 10, 0, -11, 10, 10, false},
    {"left gap measured with the second width", 0, 0, 10, 10, -11, 0, 11, 10, true},
    {"two zero-size rectangles at one point", 7, 7, 0, 0, 7, 7, 0, 0, true},
    {"two zero-size rectangles one apart", 7, 7, 0, 0, 8, 7, 0, 0, false},
    {"one inside the other", 0, 0, 100, 100, 40, 40, 5, 5, true},
    {"apart in y only", 0, 0, 10, 10, 5, 30, 10, 10, false},
    // A 32-bit difference would wrap around to 9 and report a touch.
    {"far apart across the int range", INT_MAX - 4, 0, 10, 10, INT_MIN + 4, 0, 10, 10, false},
    {"far apart across the int range, in y", 0, INT_MIN + 4, 10, 10, 0, INT_MAX - 4, 10, 10, false},
};

TEST(Rectangles, TouchingEdgesCountAndGapsDoNot) {
    for (const RectCase& c : kRectCases) {
        EXPECT_EQ(BRZ_ColidiuQuadrados(c.x1, c.y1, c.l1, c.a1, c.x2, c.y2, c.l2, c.a2), c.touch) << c.what;
        EXPECT_EQ(BRZ_ColidiuQuadrados(c.x2, c.y2, c.l2, c.a2, c.x1, c.y1, c.l1, c.a1), c.touch)
            << c.what << " (swapped)";
    }
}

// ---------------------------------------------------------------------------
// Hand-made masks
// ---------------------------------------------------------------------------

using Pixels = std::vector<std::pair<int, int>>;

// Sets the meaningless bits after the last pixel of every row, as a mask
// filled from a picture may leave them.
void FillTails(BRZ_BitMask* m, Uint32 garbage) {
    int used = m->largura % 32;
    if (used == 0) return;
    Uint32 tail = ~Uint32(0) >> used;
    for (int y = 0; y < m->altura; ++y) {
        Uint32& w = m->mask[y * m->ldwords + m->ldwords - 1];
        w = (w & ~tail) | (garbage & tail);
    }
}

void SetPixel(BRZ_BitMask* m, int x, int y) { m->mask[y * m->ldwords + x / 32] |= 0x80000000u >> (x % 32); }

// A mask owned by the test: the listed pixels solid (or every pixel), all
// tail bits set to one.
class Mask {
public:
    Mask(int w, int h, const Pixels& solid) : m_(BRZ_CriaBitMask(w, h)) {
        std::fill(m_->mask, m_->mask + size_t(h) * m_->ldwords, 0u);
        for (const auto& p : solid) SetPixel(m_, p.first, p.second);
        FillTails(m_, ~Uint32(0));
    }
    static Mask Full(int w, int h) {
        Pixels all;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) all.push_back({x, y});
        return Mask(w, h, all);
    }
    Mask(Mask&& o) noexcept : m_(o.m_) { o.m_ = nullptr; }
    Mask(const Mask&) = delete;
    ~Mask() {
        if (m_) BRZ_RemoveBitMask(m_);
    }
    BRZ_BitMask* get() const { return m_; }

private:
    BRZ_BitMask* m_;
};

struct OverlapCase {
    const char* what;
    Mask a, b;
    int offx, offy;
    int expected;
};

std::vector<OverlapCase> OverlapCases() {
    std::vector<OverlapCase> c;
    c.push_back({"one solid pixel, same place", Mask(8, 8, {{3, 4}}), Mask(8, 8, {{3, 4}}), 0, 0, -1});
    c.push_back({"one solid pixel, one to the side", Mask(8, 8, {{3, 4}}), Mask(8, 8, {{3, 4}}), 1, 0, 0});
    c.push_back({"the shift brings the pixels together", Mask(8, 8, {{5, 5}}), Mask(8, 8, {{4, 5}}), 1, 0, -1});
    c.push_back({"offx equal to the width", Mask::Full(40, 1), Mask::Full(40, 1), 40, 0, 0});
    c.push_back({"offy equal to the height", Mask::Full(8, 3), Mask::Full(8, 3), 0, 3, 0});
    c.push_back({"40x40: the partial chunk runs into the second word", Mask(40, 40, {{35, 17}}),
                 Mask(40, 40, {{5, 17}}), 30, 0, -1});
    c.push_back({"100x1: the only shared pixel is in the third chunk", Mask(100, 1, {{10, 0}, {40, 0}, {73, 0}}),
                 Mask(100, 1, {{8, 0}, {38, 0}, {70, 0}}), 3, 0, -1});
    c.push_back({"64x1: first pixel of the second word against column 0", Mask(64, 1, {{32, 0}}),
                 Mask(64, 1, {{0, 0}}), 1, 0, 0});
    c.push_back({"33 wide: pixel 32 meets pixel 0", Mask(33, 1, {{32, 0}}), Mask(33, 1, {{0, 0}}), 32, 0, -1});
    c.push_back({"33 wide: one further only tails overlap", Mask::Full(33, 1), Mask::Full(33, 1), 33, 0, 0});
    c.push_back({"empty masks with set tails, full overlap", Mask(45, 3, {}), Mask(45, 3, {}), 0, 0, 0});
    c.push_back({"empty rows with set tails, shifted", Mask(45, 3, {}), Mask(77, 3, {}), 13, 1, 0});
    c.push_back({"small mask inside a wide one at a word boundary", Mask(130, 10, {{69, 3}}),
                 Mask(10, 10, {{5, 3}}), 64, 0, -1});
    c.push_back({"same, one row off", Mask(130, 10, {{69, 3}}), Mask(10, 10, {{5, 3}}), 64, 1, 0});
    c.push_back({"shared pixel in the last row and last column", Mask(70, 20, {{69, 19}}),
                 Mask(70, 20, {{39, 9}}), 30, 10, -1});
    c.push_back({"offsets at the ends of the int range", Mask::Full(40, 40), Mask::Full(40, 40), INT_MIN, INT_MAX, 0});
    return c;
}

TEST(MaskOverlap, HandMadeCasesInBothOrders) {
    for (const OverlapCase& c : OverlapCases()) {
        EXPECT_EQ(BRZ_SobrepoeBitMasks(c.a.get(), c.b.get(), c.offx, c.offy), c.expected) << c.what;
        long long nx = -(long long)c.offx, ny = -(long long)c.offy;
        if (nx <= INT_MAX && ny <= INT_MAX) {
            EXPECT_EQ(BRZ_SobrepoeBitMasks(c.b.get(), c.a.get(), int(nx), int(ny)), c.expected)
                << c.what << " (masks swapped)";
        }
        EXPECT_EQ(NaiveOverlap(c.a.get(), c.b.get(), c.offx, c.offy), c.expected) << c.what << " (reference)";
    }
}

// ---------------------------------------------------------------------------
// Random masks against the reference
// ---------------------------------------------------------------------------

// Page-guarded storage for one mask: the words end at (or start at) an
// unmapped page, so a read past the last row or before the first one stops
// the test with a fault instead of going unnoticed.
class GuardedWords {
public:
    explicit GuardedWords(size_t maxWords) : page_(size_t(sysconf(_SC_PAGESIZE))) {
        data_ = (maxWords * sizeof(Uint32) + page_ - 1) / page_ * page_;
        void* p = mmap(nullptr, data_ + 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        base_ = p == MAP_FAILED ? nullptr : static_cast<char*>(p);
        if (base_) {
            mprotect(base_, page_, PROT_NONE);
            mprotect(base_ + page_ + data_, page_, PROT_NONE);
        }
    }
    ~GuardedWords() {
        if (base_) munmap(base_, data_ + 2 * page_);
    }
    GuardedWords(const GuardedWords&) = delete;
    bool ok() const { return base_ != nullptr; }
    Uint32* Place(size_t words, bool againstEnd) {
        Uint32* first = reinterpret_cast<Uint32*>(base_ + page_);
        return againstEnd ? first + data_ / sizeof(Uint32) - words : first;
    }

private:
    size_t page_, data_;
    char* base_;
};

struct RandomMaskMaker {
    std::mt19937& rng;

    // A word whose bits are each set with probability 2^-k.
    Uint32 SparseWord(int k) {
        Uint32 w = ~Uint32(0);
        for (int i = 0; i < k; ++i) w &= Uint32(rng());
        return w;
    }

    // A w x h mask in `store`: solid pixels at a density drawn per mask (from
    // half the pixels down to a lone one), random bits in every row's tail.
    BRZ_BitMask Make(GuardedWords& store, int w, int h) {
        BRZ_BitMask m;
        m.largura = w;
        m.altura = h;
        m.ldwords = (w + 31) / 32;
        size_t n = size_t(h) * m.ldwords;
        m.mask = store.Place(n, rng() & 1);
        static const int kSparseness[] = {1, 2, 4, 6, 8, 10, 0};  // 0: one lone pixel
        int k = kSparseness[rng() % (sizeof kSparseness / sizeof kSparseness[0])];
        for (size_t i = 0; i < n; ++i) m.mask[i] = k ? SparseWord(k) : 0u;
        if (k == 0) SetPixel(&m, int(rng() % unsigned(w)), int(rng() % unsigned(h)));
        FillTails(&m, Uint32(rng()));
        return m;
    }
};

struct Tally {
    long pairs = 0, overlapping = 0, hits = 0;
    long overlappingMisses() const { return overlapping - hits; }
};

// Compares the engine with the reference on `pairs` random pairs with sides in
// 1..maxSide and offsets from clear of each other through full overlap on
// every side. Stops at the first disagreement.
Tally CompareRandomPairs(unsigned seed, long pairs, int maxSide) {
    std::mt19937 rng(seed);
    RandomMaskMaker maker{rng};
    const size_t kMaxWords = size_t(maxSide) * ((maxSide + 31) / 32);
    GuardedWords storeA(kMaxWords), storeB(kMaxWords);
    Tally t;
    if (!storeA.ok() || !storeB.ok()) {
        ADD_FAILURE() << "no guarded memory";
        return t;
    }
    std::uniform_int_distribution<int> side(1, maxSide);
    for (long i = 0; i < pairs; ++i) {
        int wa = side(rng), ha = side(rng), wb = side(rng), hb = side(rng);
        BRZ_BitMask a = maker.Make(storeA, wa, ha);
        BRZ_BitMask b = maker.Make(storeB, wb, hb);
        int offx = std::uniform_int_distribution<int>(-wb - 2, wa + 2)(rng);
        int offy = std::uniform_int_distribution<int>(-hb - 2, ha + 2)(rng);
        int want = NaiveOverlap(&a, &b, offx, offy);
        int got = BRZ_SobrepoeBitMasks(&a, &b, offx, offy);
        if (got != want) {
            ADD_FAILURE() << "pair " << i << " (seed " << seed << "): a " << wa << "x" << ha << ", b " << wb << "x"
                          << hb << ", offset (" << offx << ", " << offy << "): got " << got << ", want " << want;
            return t;
        }
        ++t.pairs;
        t.overlapping += offx < wa && -offx < wb && offy < ha && -offy < hb;
        t.hits += want != 0;
    }
    return t;
}

TEST(MaskOverlap, AgreesWithThePixelByPixelReferenceOnRandomPairs) {
    const long kPairs = 200000;
    Tally t = CompareRandomPairs(20240611u, kPairs, 130);
    ASSERT_EQ(t.pairs, kPairs);
    // The pairs must exercise both answers, and above all overlaps without a
    // shared pixel, where the whole overlap has to be walked.
    EXPECT_GT(t.hits, kPairs / 5);
    EXPECT_GT(t.overlappingMisses(), kPairs / 5);
}

TEST(MaskOverlap, AgreesWithTheReferenceOnWideMasks) {
    const long kPairs = 2000;
    Tally t = CompareRandomPairs(77u, kPairs, 400);
    ASSERT_EQ(t.pairs, kPairs);
    EXPECT_GT(t.hits, kPairs / 10);
    EXPECT_GT(t.overlappingMisses(), kPairs / 10);
}

}  // namespace
