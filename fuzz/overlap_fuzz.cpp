// libFuzzer target: BRZ_SobrepoeBitMasks, which compares masks a word at a
// time, must give the answer of the pixel-by-pixel reference for any two
// masks at any offset. The masks come from the fuzzer's bytes with garbage
// in the bits past each row's last pixel (a mask filled from a picture may
// leave anything there), and are allocated by the engine itself at their
// exact size, so a read past a mask's last word is an AddressSanitizer stop.
//
// Input, read front to back (bytes past the end read as zero):
//   mask a: width (2 bytes), height (1), fill kind (1), tail garbage (4)
//   mask b: the same
//   offset x, offset y: kind (1) and value (4) each
//   the fill of a, then the fill of b
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "brisa2d2.h"
#include "naive_overlap.h"

namespace {

// Up to seven words per row reaches every chunk count the engine unrolls
// (one to three) and its general loop; heights stay small so that the
// reference, a pixel at a time, keeps the run fast.
const int kMaxWidth = 7 * 32;
const int kMaxHeight = 48;
const int kBitsPerWord = 32;
const unsigned kMaxPoints = 64;

enum FillKind { FILL_WORDS, FILL_POINTS, FILL_SOLID, FILL_KINDS };

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    // Low byte first; each read is its own statement, so the order is fixed.
    uint16_t U16() {
        uint16_t low = Byte();
        return uint16_t(low | Byte() << 8);
    }
    uint32_t U32() {
        uint32_t low = U16();
        return low | uint32_t(U16()) << 16;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

struct MaskShape {
    int width, height;
    FillKind fill;
    Uint32 tailGarbage;
};

MaskShape ReadShape(ByteReader& in) {
    MaskShape s;
    s.width = 1 + in.U16() % kMaxWidth;
    s.height = 1 + in.Byte() % kMaxHeight;
    s.fill = FillKind(in.Byte() % FILL_KINDS);
    s.tailGarbage = in.U32();
    return s;
}

// Mostly an offset where the masks overlap, touch or just miss each other;
// sometimes any int at all, to reach the far-apart and overflow cases.
int ReadOffset(ByteReader& in, int sizeA, int sizeB) {
    bool anyInt = in.Byte() % 8 == 0;
    uint32_t v = in.U32();
    if (anyInt) return int(v);
    long long span = (long long)sizeA + sizeB + 3;  // from -sizeB - 1 to sizeA + 1
    return int((long long)(v % uint32_t(span)) - sizeB - 1);
}

void SetPixel(BRZ_BitMask* m, int x, int y) {
    m->mask[y * m->ldwords + x / kBitsPerWord] |= 0x80000000u >> (x % kBitsPerWord);
}

void Fill(BRZ_BitMask* m, FillKind kind, ByteReader& in) {
    int words = m->altura * m->ldwords;
    for (int i = 0; i < words; ++i) m->mask[i] = kind == FILL_WORDS ? in.U32() : kind == FILL_SOLID ? ~Uint32(0) : 0;
    if (kind != FILL_POINTS) return;
    unsigned points = in.Byte() % kMaxPoints;
    for (unsigned p = 0; p < points; ++p) {
        int x = in.U16() % m->largura;
        int y = in.Byte() % m->altura;
        SetPixel(m, x, y);
    }
}

// The bits after the last pixel of every row: meaningless, so fill them.
void SpoilTails(BRZ_BitMask* m, Uint32 garbage) {
    int used = m->largura % kBitsPerWord;
    if (used == 0) return;
    Uint32 tail = ~Uint32(0) >> used;
    for (int y = 0; y < m->altura; ++y) {
        Uint32& w = m->mask[y * m->ldwords + m->ldwords - 1];
        w = (w & ~tail) | (garbage & tail);
    }
}

void Check(BRZ_BitMask* a, BRZ_BitMask* b, int offx, int offy) {
    int fast = BRZ_SobrepoeBitMasks(a, b, offx, offy);
    int slow = vdtest::NaiveOverlap(a, b, offx, offy);
    if (fast == slow) return;
    fprintf(stderr, "overlap of %dx%d and %dx%d at (%d, %d): engine %d, pixel by pixel %d\n", a->largura,
            a->altura, b->largura, b->altura, offx, offy, fast, slow);
    abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    MaskShape sa = ReadShape(in), sb = ReadShape(in);
    int offx = ReadOffset(in, sa.width, sb.width);
    int offy = ReadOffset(in, sa.height, sb.height);
    BRZ_BitMask* a = BRZ_CriaBitMask(sa.width, sa.height);
    BRZ_BitMask* b = BRZ_CriaBitMask(sb.width, sb.height);
    if (!a || !b) abort();  // a few kilobytes: only a broken allocator fails here
    Fill(a, sa.fill, in);
    Fill(b, sb.fill, in);
    SpoilTails(a, sa.tailGarbage);
    SpoilTails(b, sb.tailGarbage);

    Check(a, b, offx, offy);
    // The same pair seen from b (the engine picks its aligned side by the sign of the offset).
    if (offx != INT_MIN && offy != INT_MIN) Check(b, a, -offx, -offy);

    BRZ_RemoveBitMask(a);
    BRZ_RemoveBitMask(b);
    return 0;
}
