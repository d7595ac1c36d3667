// Brisa2D 2 — collision masks and their overlap test, on SDL surfaces
// alone: the one rule for which pixel is transparent, the masks built from a
// surface (one per frame, a word of 32 pixels at a time), and the test of
// two masks for a shared solid pixel. Nothing here reads the registries.
#include "brisa2d2.h"
#include "brisa2d2_plataforma.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

static const Uint32 BITS_POR_PALAVRA = 32;
static const Uint32 BIT_MAIS_ALTO = 0x80000000u;

#if defined(__SSE2__)
// A 4-bit lane mask (lane 0 in bit 0) with its bits in the opposite order, so
// that lane 0, the leftmost pixel, lands in the highest bit.
static const Uint8 INVERTE_4_BITS[16] = {0x0, 0x8, 0x4, 0xC, 0x2, 0xA, 0x6, 0xE,
                                         0x1, 0x9, 0x5, 0xD, 0x3, 0xB, 0x7, 0xF};
#endif

// ---------------------------------------------------------------------------
// Types
// ---------------------------------------------------------------------------

// Where two masks overlap along one axis: the first pixel of the overlap in
// each mask and its length (0 or less when they do not overlap).
struct Faixa {
    int inicioA, inicioB;
    long long tamanho;
};

// One overlap test, set up so that one mask (the aligned one) starts the
// overlap at its column 0: its words are the chunks as they are. Only the
// other mask's words are shifted, by the same amount for the whole call.
struct Varredura {
    const Uint32* alinhada;    // first overlap row of the aligned mask
    const Uint32* deslocada;   // word holding the first overlap pixel of the other
    int passoAlinhada, passoDeslocada;  // words per row
    int linhas;                // overlap height
    int palavras;              // chunks per row, the last one maybe partial
    unsigned int desvio;       // bit position of the first overlap pixel in its word
    Uint32 mascaraFinal;       // the pixels of the last chunk inside the overlap
    bool finalLeProxima;       // the last chunk reaches into the next word of the row
};

// ---------------------------------------------------------------------------
// Private helpers: building masks
// ---------------------------------------------------------------------------

static inline Uint32 ChaveMagenta(SDL_Surface* surface) {
    return SDL_MapRGBA(surface->format, 255, 0, 255, 255);
}

// 1 for a solid pixel value, 0 for a transparent one (see PontoTransparente).
static inline Uint32 Solido(Uint32 p, Uint32 chave) {
    return Uint32(p != chave) & Uint32((p >> 24) != 0);
}

// The mask word of the first n (1 to 32) pixels of px, one pixel at a time
// (the leftmost in the top bit, the bits past pixel n left 0); with APAGA,
// opaque magenta among them is written over with transparent black.
template <bool APAGA>
static inline Uint32 PalavraParcial(Uint32* px, int n, Uint32 chave) {
    Uint32 palavra = 0;
    for (int i = 0; i < n; ++i) {
        palavra |= Solido(px[i], chave) << (31 - i);
        if (APAGA && px[i] == chave) px[i] = 0;
    }
    return palavra;
}

// PalavraParcial for 32 pixels, four at a time where SSE2 exists. The magenta
// is written over while the pixels are at hand: the key needs no pass of its own.
template <bool APAGA>
static inline Uint32 PalavraCheia(Uint32* px, Uint32 chave) {
#if defined(__SSE2__)
    const __m128i k = _mm_set1_epi32(int(chave));
    const __m128i zero = _mm_setzero_si128();
    Uint32 transparentes = 0;
    for (int q = 0; q < int(BITS_POR_PALAVRA) / 4; ++q) {
        __m128i* p = reinterpret_cast<__m128i*>(px + 4 * q);
        __m128i v = _mm_loadu_si128(p);
        __m128i magenta = _mm_cmpeq_epi32(v, k);
        __m128i semAlfa = _mm_cmpeq_epi32(_mm_srli_epi32(v, 24), zero);
        int lanes = _mm_movemask_ps(_mm_castsi128_ps(_mm_or_si128(magenta, semAlfa)));
        transparentes = (transparentes << 4) | INVERTE_4_BITS[lanes];
        // Stored only when something changes: most words hold no magenta.
        if (APAGA && _mm_movemask_ps(_mm_castsi128_ps(magenta)) != 0)
            _mm_storeu_si128(p, _mm_andnot_si128(magenta, v));
    }
    return ~transparentes;
#else
    return PalavraParcial<APAGA>(px, int(BITS_POR_PALAVRA), chave);
#endif
}

// Fills one frame's mask a whole word at a time from a locked 32-bit surface.
template <bool APAGA>
static void PreencheMascara32(SDL_Surface* imagem, int x0, int y0, Uint32 chave, BRZ_BitMask* m) {
    const int cheias = m->largura / int(BITS_POR_PALAVRA);
    const int resto = m->largura % int(BITS_POR_PALAVRA);
    for (int l = 0; l < m->altura; ++l) {
        Uint32* linha = reinterpret_cast<Uint32*>(static_cast<Uint8*>(imagem->pixels) + (y0 + l) * imagem->pitch) + x0;
        Uint32* saida = m->mask + l * m->ldwords;
        for (int w = 0; w < cheias; ++w) saida[w] = PalavraCheia<APAGA>(linha + w * int(BITS_POR_PALAVRA), chave);
        if (resto) saida[cheias] = PalavraParcial<APAGA>(linha + cheias * int(BITS_POR_PALAVRA), resto, chave);
    }
}

// Any other depth goes pixel by pixel through the transparency rule.
static void PreencheMascaraGenerica(SDL_Surface* imagem, int x0, int y0, BRZ_BitMask* m) {
    for (int l = 0; l < m->altura; ++l)
        for (int c = 0; c < m->largura; ++c)
            BRZ_SetBit(m, c, l, PontoTransparente(imagem, x0 + c, y0 + l) ? 0 : 1);
}

// Opaque magenta becomes transparent black in a rectangle of a locked 32-bit
// surface: the parts of the picture that lie in no whole frame.
static void ApagaMagenta(SDL_Surface* imagem, int x0, int y0, int largura, int altura, Uint32 chave) {
    for (int y = y0; y < y0 + altura; ++y) {
        Uint32* linha = reinterpret_cast<Uint32*>(static_cast<Uint8*>(imagem->pixels) + y * imagem->pitch);
        for (int x = x0; x < x0 + largura; ++x)
            if (linha[x] == chave) linha[x] = 0;
    }
}

static void PreencheMascaras(SDL_Surface* imagem, int spx, int spy, int limagem, int aimagem, BRZ_BitMask** bmask,
                             bool apagaMagenta) {
    if (spx < 1 || spy < 1) return;
    int colunas = limagem / spx, linhas = aimagem / spy;
    // Frames that would reach past the surface are never read.
    if (colunas * spx > imagem->w) colunas = imagem->w / spx;
    if (linhas * spy > imagem->h) linhas = imagem->h / spy;
    bool palavraInteira = imagem->format->BytesPerPixel == 4;
    apagaMagenta = apagaMagenta && palavraInteira;
    Uint32 chave = ChaveMagenta(imagem);
    BRZ_TravaSuperficie(imagem);
    for (int y = 0; y < linhas; ++y) {
        for (int x = 0; x < colunas; ++x) {
            BRZ_BitMask* m = bmask[y * (limagem / spx) + x];
            if (apagaMagenta)
                PreencheMascara32<true>(imagem, x * spx, y * spy, chave, m);
            else if (palavraInteira)
                PreencheMascara32<false>(imagem, x * spx, y * spy, chave, m);
            else
                PreencheMascaraGenerica(imagem, x * spx, y * spy, m);
        }
    }
    if (apagaMagenta) {
        int larguraImagem = limagem < imagem->w ? limagem : imagem->w;
        int alturaImagem = aimagem < imagem->h ? aimagem : imagem->h;
        ApagaMagenta(imagem, colunas * spx, 0, larguraImagem - colunas * spx, alturaImagem, chave);
        ApagaMagenta(imagem, 0, linhas * spy, colunas * spx, alturaImagem - linhas * spy, chave);
    }
    BRZ_DestravaSuperficie(imagem);
}

// ---------------------------------------------------------------------------
// Private helpers: the overlap test
// ---------------------------------------------------------------------------

static Faixa FaixaSobreposta(int tamanhoA, int tamanhoB, long long desvio) {
    if (desvio >= 0) {
        long long tamanho = tamanhoA - desvio;
        return {int(desvio < tamanhoA ? desvio : 0), 0, tamanho < tamanhoB ? tamanho : tamanhoB};
    }
    long long tamanho = tamanhoB + desvio;
    return {0, int(-desvio < tamanhoB ? -desvio : 0), tamanho < tamanhoA ? tamanho : tamanhoA};
}

// Two words of a row as one 64-bit value, leftmost pixel in the top bit: one
// 64-bit load, plus a swap of its halves on a little-endian machine.
static inline Uint64 Par(const Uint32* p) {
    Uint64 x;
    memcpy(&x, p, sizeof x);
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
    x = (x << BITS_POR_PALAVRA) | (x >> BITS_POR_PALAVRA);
#endif
    return x;
}

// The 32 pixels starting `desvio` bits into p[0], running on into p[1].
// One 64-bit shift, so a zero `desvio` needs no case of its own.
static inline Uint32 Junta(const Uint32* p, unsigned int desvio) {
    return Uint32(Par(p) >> (BITS_POR_PALAVRA - desvio));
}

// The 64 pixels starting `desvio` bits into p[0], running on through p[2]
// (a zero `desvio` shifts p[2] out entirely: a 32-bit shift of a 64-bit value).
static inline Uint64 Junta64(const Uint32* p, unsigned int desvio) {
    return (Par(p) << desvio) | (Uint64(p[2]) >> (BITS_POR_PALAVRA - desvio));
}

// The pixels shared by one overlap row of both masks (0 when none). N > 0
// fixes the chunk count so the compiler unrolls the row (the game's pairs
// need 1 to 3 chunks), and pairs of chunks are then compared as one 64-bit
// value; N = 0 reads the count from v. Whole chunks read pd[j + 1], which
// still holds overlap pixels; the last chunk reads the next word only when
// its pixels reach into it, so no word outside the row is ever touched.
template <int N, bool FINAL_LE_PROXIMA>
static inline Uint64 ComumNaLinha(const Varredura& v, const Uint32* pa, const Uint32* pd) {
    const unsigned int k = v.desvio;
    if (N == 2) {
        Uint64 final = (~Uint64(0) << BITS_POR_PALAVRA) | v.mascaraFinal;
        Uint64 deslocada = FINAL_LE_PROXIMA ? Junta64(pd, k) : Par(pd) << k;
        return Par(pa) & deslocada & final;
    }
    Uint64 comum = 0;
    int j = 0;
    const int n = N > 0 ? N : v.palavras;
    if (N == 3) {
        comum = Par(pa) & Junta64(pd, k);
        j = 2;
    }
    for (; j < n - 1; ++j) comum |= pa[j] & Junta(pd + j, k);
    Uint32 ultimo = FINAL_LE_PROXIMA ? Junta(pd + n - 1, k) : pd[n - 1] << k;
    return comum | (pa[n - 1] & ultimo & v.mascaraFinal);
}

// Walks the overlap two rows at a time (one test per pair of rows keeps the
// loop short) and stops at the first pair with a shared pixel.
template <int N, bool FINAL_LE_PROXIMA>
static bool VarreLinhas(const Varredura& v) {
    const Uint32* pa = v.alinhada;
    const Uint32* pd = v.deslocada;
    const int sa = v.passoAlinhada, sd = v.passoDeslocada;
    int l = 0;
    for (; l + 1 < v.linhas; l += 2, pa += 2 * sa, pd += 2 * sd) {
        if (ComumNaLinha<N, FINAL_LE_PROXIMA>(v, pa, pd) | ComumNaLinha<N, FINAL_LE_PROXIMA>(v, pa + sa, pd + sd))
            return true;
    }
    return l < v.linhas && ComumNaLinha<N, FINAL_LE_PROXIMA>(v, pa, pd) != 0;
}

template <bool FINAL_LE_PROXIMA>
static bool VarreSobreposicao(const Varredura& v) {
    switch (v.palavras) {
        case 1: return VarreLinhas<1, FINAL_LE_PROXIMA>(v);
        case 2: return VarreLinhas<2, FINAL_LE_PROXIMA>(v);
        case 3: return VarreLinhas<3, FINAL_LE_PROXIMA>(v);
        default: return VarreLinhas<0, FINAL_LE_PROXIMA>(v);
    }
}

// ---------------------------------------------------------------------------
// Public functions
// ---------------------------------------------------------------------------

bool PontoTransparente(SDL_Surface* surface, int x, int y) {
    if (x < 0 || y < 0 || x >= surface->w || y >= surface->h) return false;
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch +
                     x * surface->format->BytesPerPixel;
    Uint32 valor = 0;
    memcpy(&valor, p, surface->format->BytesPerPixel < 4 ? surface->format->BytesPerPixel : 4);
    return Solido(valor, ChaveMagenta(surface)) == 0;
}

BRZ_BitMask* BRZ_CriaBitMask(int largura, int altura) {
    if (largura < 0 || altura < 0) return nullptr;
    BRZ_BitMask* m = static_cast<BRZ_BitMask*>(malloc(sizeof(BRZ_BitMask)));
    if (!m) return nullptr;
    m->largura = largura;
    m->altura = altura;
    m->ldwords = largura / 32 + (largura % 32 != 0 ? 1 : 0);
    size_t palavras = size_t(altura) * size_t(m->ldwords);
    m->mask = static_cast<Uint32*>(malloc((palavras ? palavras : 1) * sizeof(Uint32)));
    if (!m->mask) {
        free(m);
        return nullptr;
    }
    return m;
}

void BRZ_RemoveBitMask(BRZ_BitMask* bmask) {
    free(bmask->mask);
    free(bmask);
}

BRZ_BitMask** BRZ_CriaVetorBitMasks(SDL_Surface*, int spx, int spy, int limagem, int aimagem) {
    if (spx < 1 || spy < 1) return nullptr;
    int n = (limagem / spx) * (aimagem / spy);
    if (n < 0) return nullptr;
    BRZ_BitMask** v = static_cast<BRZ_BitMask**>(calloc(size_t(n > 0 ? n : 1), sizeof(BRZ_BitMask*)));
    if (!v) return nullptr;
    for (int i = 0; i < n; ++i) {
        v[i] = BRZ_CriaBitMask(spx, spy);
        if (!v[i]) {
            for (int j = 0; j < i; ++j) BRZ_RemoveBitMask(v[j]);
            free(v);
            return nullptr;
        }
    }
    return v;
}

void BRZ_PreencheVetorBitMasks(SDL_Surface* imagem, int spx, int spy, int limagem, int aimagem,
                               BRZ_BitMask** bmask) {
    PreencheMascaras(imagem, spx, spy, limagem, aimagem, bmask, false);
}

void BRZ_SetBit(BRZ_BitMask* bmask, int x, int y, int val) {
    if (x < 0 || y < 0 || x >= bmask->largura || y >= bmask->altura) return;
    Uint32& palavra = bmask->mask[y * bmask->ldwords + x / 32];
    Uint32 bit = BIT_MAIS_ALTO >> (x % 32);
    if (val)
        palavra |= bit;
    else
        palavra &= ~bit;
}

bool BRZ_GetBit(BRZ_BitMask* bmask, int x, int y) {
    if (x < 0 || y < 0 || x >= bmask->largura || y >= bmask->altura) return false;
    return (bmask->mask[y * bmask->ldwords + x / 32] & (BIT_MAIS_ALTO >> (x % 32))) != 0;
}

bool BRZ_CriaMascarasSpriteSet(BRZ_SpriteSet* s, bool apagaMagenta) {
    s->bmask = BRZ_CriaVetorBitMasks(s->imagem, s->spLargura, s->spAltura, s->largura, s->altura);
    if (!s->bmask) return false;
    PreencheMascaras(s->imagem, s->spLargura, s->spAltura, s->largura, s->altura, s->bmask, apagaMagenta);
    return true;
}

int BRZ_SobrepoeBitMasks(BRZ_BitMask* a, BRZ_BitMask* b, int offx, int offy) {
    if (!a || !b) return 0;  // no mask, no solid pixel
    Faixa h = FaixaSobreposta(a->largura, b->largura, offx);
    if (h.tamanho <= 0) return 0;
    Faixa vert = FaixaSobreposta(a->altura, b->altura, offy);
    if (vert.tamanho <= 0) return 0;
    // Either a or b starts the overlap at column 0; that one is the aligned side.
    bool aAlinhada = h.inicioA == 0;
    const BRZ_BitMask* al = aAlinhada ? a : b;
    const BRZ_BitMask* de = aAlinhada ? b : a;
    int linhaAl = aAlinhada ? vert.inicioA : vert.inicioB;
    int linhaDe = aAlinhada ? vert.inicioB : vert.inicioA;
    int colunaDe = aAlinhada ? h.inicioB : h.inicioA;
    int largura = int(h.tamanho);

    Varredura v;
    v.alinhada = al->mask + linhaAl * al->ldwords;
    v.deslocada = de->mask + linhaDe * de->ldwords + colunaDe / int(BITS_POR_PALAVRA);
    v.passoAlinhada = al->ldwords;
    v.passoDeslocada = de->ldwords;
    v.linhas = int(vert.tamanho);
    v.palavras = (largura + int(BITS_POR_PALAVRA) - 1) / int(BITS_POR_PALAVRA);
    v.desvio = unsigned(colunaDe) % BITS_POR_PALAVRA;
    unsigned int resto = unsigned(largura) - (unsigned(v.palavras) - 1) * BITS_POR_PALAVRA;  // 1..32
    v.mascaraFinal = ~Uint32(0) << (BITS_POR_PALAVRA - resto);
    v.finalLeProxima = v.desvio + resto > BITS_POR_PALAVRA;
    bool comum = v.finalLeProxima ? VarreSobreposicao<true>(v) : VarreSobreposicao<false>(v);
    return comum ? -1 : 0;
}
