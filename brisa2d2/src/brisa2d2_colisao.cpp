// Brisa2D 2 — collision tests: rectangles, and the frames of loaded sprite
// sets, rejected by their rectangles first and then compared mask against
// mask (BRZ_SobrepoeBitMasks).
#include "brisa2d2.h"

#include <cstdio>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

static const char* const MSG_SPRITE_INVALIDO = "Tentou colidir com um sprite invalido (0)";

// ---------------------------------------------------------------------------
// Private helpers
// ---------------------------------------------------------------------------

// Whether two spans along one axis, the second starting `desvio` after the
// first, overlap or touch. Offsets are 64-bit so that positions far apart
// cannot wrap around into an overlap.
static inline bool IntervalosTocam(long long desvio, long long tamanho1, long long tamanho2) {
    return desvio >= 0 ? desvio <= tamanho1 : -desvio <= tamanho2;
}

static bool RetangulosTocam(long long x1, long long y1, int l1, int a1, long long x2, long long y2, int l2,
                            int a2) {
    return IntervalosTocam(x2 - x1, l1, l2) && IntervalosTocam(y2 - y1, a1, a2);
}

// The loaded set with masks that `id` names, or null for an identifier past
// the registry or a free slot.
static const BRZ_SpriteSet* SpriteColidivel(unsigned int id) {
    if (id == 0 || id > BRZ_MAX_SPRITESETS) return nullptr;
    const BRZ_SpriteSet& s = sprites[id - 1];
    return s.bmask ? &s : nullptr;
}

// The mask of frame `indice`, or null without a set or past its last frame.
static BRZ_BitMask* MascaraDoQuadro(const BRZ_SpriteSet* s, unsigned int indice) {
    if (!s || indice >= unsigned(s->matrizX) * unsigned(s->matrizY)) return nullptr;
    return s->bmask[indice];
}

// ---------------------------------------------------------------------------
// Public functions
// ---------------------------------------------------------------------------

bool BRZ_ColidiuQuadrados(int x1b, int y1b, int l1b, int a1b, int x2b, int y2b, int l2b, int a2b) {
    return RetangulosTocam(x1b, y1b, l1b, a1b, x2b, y2b, l2b, a2b);
}

bool BRZ_ColidiuSprites(unsigned int id1, unsigned int indice1, int x1, int y1,
                        unsigned int id2, unsigned int indice2, int x2, int y2) {
    if (id1 == 0 || id2 == 0) {
        puts(MSG_SPRITE_INVALIDO);
        return false;
    }
    const BRZ_SpriteSet* s1 = SpriteColidivel(id1);
    const BRZ_SpriteSet* s2 = SpriteColidivel(id2);
    BRZ_BitMask* m1 = MascaraDoQuadro(s1, indice1);
    BRZ_BitMask* m2 = MascaraDoQuadro(s2, indice2);
    if (!m1 || !m2) return false;
    // Frame rectangles first: most pairs end here with a few comparisons.
    if (!RetangulosTocam(x1, y1, s1->spLargura, s1->spAltura, x2, y2, s2->spLargura, s2->spAltura)) return false;
    // The rectangles touch, so both offsets lie within a frame size: they fit an int.
    return BRZ_SobrepoeBitMasks(m1, m2, int((long long)x2 - x1), int((long long)y2 - y1)) != 0;
}

bool BRZ_ColidiuSprites(unsigned int id1, unsigned int indice1, int x1, int y1,
                        int x1b, int y1b, int l1b, int a1b,
                        unsigned int id2, unsigned int indice2, int x2, int y2,
                        int x2b, int y2b, int l2b, int a2b) {
    if (id1 == 0 || id2 == 0) {
        puts(MSG_SPRITE_INVALIDO);
        return false;
    }
    if (!MascaraDoQuadro(SpriteColidivel(id1), indice1) || !MascaraDoQuadro(SpriteColidivel(id2), indice2))
        return false;
    if (!RetangulosTocam((long long)x1 + x1b, (long long)y1 + y1b, l1b, a1b, (long long)x2 + x2b,
                         (long long)y2 + y2b, l2b, a2b))
        return false;
    // The boxes only gate the test: the pixels are compared where the sprites are drawn.
    return BRZ_ColidiuSprites(id1, indice1, x1, y1, id2, indice2, x2, y2);
}
