// Brisa2D 2 — the sprite-set registry: its 1024 slots, the lookup by name,
// the load and the removal every renderer goes through (the renderer adds
// its own steps, see BRZ_Renderizador), and the surfaces the slots keep.
#include "brisa2d2.h"
#include "brisa2d2_plataforma.h"

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

#if defined(__linux__) && defined(MADV_HUGEPAGE)
// From this size up a surface's pixels are mapped by the engine: one huge page.
static const size_t BYTES_PAGINA_GRANDE = size_t(2) << 20;
#endif


// ---------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------

BRZ_SpriteSet sprites[BRZ_MAX_SPRITESETS];

// Bytes of pixels mapped by BRZ_MapeiaPixels and not given back (any thread).
static std::atomic<size_t> bytesMapeados{0};

// ---------------------------------------------------------------------------
// Private helpers
// ---------------------------------------------------------------------------

// A known name gains a holder (true, *id its identifier). Otherwise false,
// with *id the lowest free slot, which now carries the name, or 0.
static bool ReservaSpriteSet(const char* arquivo, unsigned int* id) {
    *id = 0;
    if (!arquivo) {
        printf("A Brisa2D 2 recebeu um nome de arquivo nulo ao carregar um spriteset.\n");
        return false;
    }
    unsigned int n = BRZ_ProcuraSpriteSet(arquivo);
    if (n != 0) {
        sprites[n - 1].usuarios++;
        *id = n;
        return true;
    }
    size_t tamanho = strlen(arquivo);
    if (tamanho >= BRZ_TAM_APELIDO) {
        printf("O nome de arquivo com %u caracteres excede o limite de %d caracteres; o spriteset não foi carregado.\n",
               unsigned(tamanho), BRZ_TAM_APELIDO - 1);
        return false;
    }
    for (unsigned int i = 0; i < BRZ_MAX_SPRITESETS; ++i) {
        if (sprites[i].imagem == nullptr) {
            memcpy(sprites[i].apelido, arquivo, tamanho + 1);
            *id = i + 1;
            return false;
        }
    }
    return false;
}

// The first steps of every load: a known name gains a holder; otherwise the
// lowest free slot takes the name. Returns that slot to fill, or null with
// *id final: the shared identifier, or 0 on failure (engine stopped, name
// too long, registry full; every failure but a full registry prints why).
// *id is the slot's identifier.
static BRZ_SpriteSet* IniciaCarga(const char* arquivo, unsigned int* id) {
    *id = 0;
    if (!inicializado) {
        printf("A Brisa2D 2 não foi iniciada: o arquivo %s não foi carregado.\n", arquivo ? arquivo : "(nulo)");
        return nullptr;
    }
    if (ReservaSpriteSet(arquivo, id) || *id == 0) return nullptr;
    return &sprites[*id - 1];
}

// The picture of a load, as the renderer keeps it: decoded ahead when the
// renderer takes pictures so and this file was announced, else decoded here
// and handed to the renderer's own step. False (its message printed) when
// the file cannot be read or the renderer refuses the picture.
static bool LeImagem(const BRZ_Renderizador& r, BRZ_SpriteSet* s, const char* arquivo, int largura, int altura) {
    BRZ_ImagemAntecipada antecipada;
    if (r.PreparaAntecipada && BRZ_TomaAntecipada(arquivo, &antecipada)) {
        s->largura = antecipada.largura;
        s->altura = antecipada.altura;
        return r.PreparaAntecipada(s, arquivo, largura, altura, &antecipada);
    }
    SDL_Surface* img = BRZ_CarregaImagem(arquivo);
    if (!img) {
        printf("A função BRZ_CarregaSPriteset falhou ao carregar o arquivo %s. Erro: %s.\n", arquivo, SDL_GetError());
        return false;
    }
    s->imagem = img;
    s->largura = img->w;
    s->altura = img->h;
    return r.PreparaImagem(s, arquivo, largura, altura);
}

// The removal rule: true when the slot must be released now (last holder,
// or shut-down), after lowering the count otherwise.
static bool SoltaSpriteSet(unsigned int id) {
    if (id == 0 || id > BRZ_MAX_SPRITESETS) return false;
    BRZ_SpriteSet& s = sprites[id - 1];
    if (s.usuarios > 1 && !c_shutdown) {
        s.usuarios--;
        return false;
    }
    return true;
}

#if defined(__linux__) && defined(MADV_HUGEPAGE)
// The length of the mapping that holds `bytes` bytes of pixels.
static size_t TamanhoMapeado(size_t bytes) {
    size_t pagina = size_t(sysconf(_SC_PAGESIZE));
    return (bytes + pagina - 1) / pagina * pagina;
}
#endif

// ---------------------------------------------------------------------------
// Public functions
// ---------------------------------------------------------------------------

// Pixels mapped fresh from the system read as zeros, so a surface on them
// needs no clearing pass; from 2 MiB the advice asks for huge pages, where
// the system has them, before anything touches the memory.
void* BRZ_MapeiaPixels(size_t bytes) {
    if (bytes == 0) return nullptr;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    size_t tamanho = TamanhoMapeado(bytes);
    void* pixels = mmap(nullptr, tamanho, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pixels == MAP_FAILED) return nullptr;
    if (tamanho >= BYTES_PAGINA_GRANDE) madvise(pixels, tamanho, MADV_HUGEPAGE);
#else
    void* pixels = calloc(bytes, 1);
    if (!pixels) return nullptr;
#endif
    bytesMapeados += bytes;
    return pixels;
}

void BRZ_DesmapeiaPixels(void* pixels, size_t bytes) {
    if (!pixels) return;
    bytesMapeados -= bytes;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    munmap(pixels, TamanhoMapeado(bytes));
#else
    (void)bytes;
    free(pixels);
#endif
}

size_t BRZ_PixelsMapeados() { return bytesMapeados; }

SDL_Surface* BRZ_SuperficieMapeada(void* pixels, int largura, int altura, Uint32 rmask, Uint32 gmask, Uint32 bmask,
                                   Uint32 amask) {
    // SDL marks a surface over pixels it did not allocate SDL_PREALLOC: that
    // is how BRZ_LiberaSuperficie knows to give them back itself.
    return BRZ_SuperficieSobre(pixels, largura, altura, rmask, gmask, bmask, amask);
}

void reset() {
    for (BRZ_SpriteSet& s : sprites) {
        s.apelido[0] = '\0';
        s.imagem = nullptr;
        s.usuarios = 0;
        s.bmask = nullptr;
        s.textura = 0;
        s.texturaLigada = false;
    }
    for (BRZ_Fonte& f : fontes) {
        f.apelido[0] = '\0';
        f.idSpriteSet = 0;
        f.usuarios = 0;
    }
}

unsigned int BRZ_ProcuraSpriteSet(const char* apelido) {
    if (!apelido) return 0;
    // Free slots have empty names: matching one would let a load of "" take a
    // holder of a slot with no picture in it.
    for (unsigned int i = 0; i < BRZ_MAX_SPRITESETS; ++i)
        if (sprites[i].imagem && strcmp(sprites[i].apelido, apelido) == 0) return i + 1;
    return 0;
}

unsigned int BRZ_CarregaSpriteSetCom(const BRZ_Renderizador& r, const char* arquivo, int largura, int altura) {
    unsigned int id = 0;
    BRZ_SpriteSet* s = IniciaCarga(arquivo, &id);
    if (!s) return id;
    if (!LeImagem(r, s, arquivo, largura, altura)) return BRZ_LiberaSpriteSet(s);
    if (!BRZ_CriaMascarasSpriteSet(s, r.apagaMagenta)) {
        printf("Não conseguiu criar o vetor de bitmasks ao carregar os sprites do arquivo %s.\n", arquivo);
        return BRZ_LiberaSpriteSet(s);
    }
    s->usuarios = 1;
    if (r.Publica) r.Publica(s);
    return id;
}

void BRZ_RemoveSpriteSetCom(const BRZ_Renderizador& r, unsigned int id) {
    if (!SoltaSpriteSet(id)) return;
    BRZ_SpriteSet* s = &sprites[id - 1];
    if (r.Retira) r.Retira(s);
    BRZ_LiberaSpriteSet(s);
}

void BRZ_DefineQuadros(BRZ_SpriteSet* s, int spLargura, int spAltura) {
    if (spLargura < 1 || spAltura < 1) {
        s->spLargura = s->largura;
        s->spAltura = s->altura;
        s->matrizX = 1;
        s->matrizY = 1;
        return;
    }
    s->spLargura = spLargura;
    s->spAltura = spAltura;
    s->matrizX = s->largura / spLargura;
    s->matrizY = s->altura / spAltura;
}

SDL_Surface* BRZ_CriaSuperficie(int largura, int altura, Uint32 rmask, Uint32 gmask, Uint32 bmask, Uint32 amask) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    size_t bytes = size_t(largura) * 4 * size_t(altura);
    if (largura > 0 && altura > 0 && TamanhoMapeado(bytes) >= BYTES_PAGINA_GRANDE) {
        if (void* pixels = BRZ_MapeiaPixels(bytes)) {
            if (SDL_Surface* s = BRZ_SuperficieMapeada(pixels, largura, altura, rmask, gmask, bmask, amask)) return s;
            BRZ_DesmapeiaPixels(pixels, bytes);
        }
    }
#endif
    return BRZ_NovaSuperficie(largura, altura, rmask, gmask, bmask, amask);
}

void BRZ_LiberaSuperficie(SDL_Surface* s) {
    if (!s) return;
    // Only the engine hands SDL pixels that SDL must not free itself.
    if (s->flags & SDL_PREALLOC) {
        void* pixels = s->pixels;
        size_t bytes = size_t(s->pitch) * size_t(s->h);
        BRZ_ApagaSuperficie(s);
        BRZ_DesmapeiaPixels(pixels, bytes);
        return;
    }
    BRZ_ApagaSuperficie(s);
}

unsigned int BRZ_LiberaSpriteSet(BRZ_SpriteSet* s) {
    s->usuarios = 0;
    if (s->imagem) {
        BRZ_LiberaSuperficie(s->imagem);
        s->imagem = nullptr;
    }
    s->apelido[0] = '\0';
    if (s->bmask) {
        int n = s->matrizX * s->matrizY;
        for (int i = 0; i < n; ++i) BRZ_RemoveBitMask(s->bmask[i]);
        free(s->bmask);
        s->bmask = nullptr;
    }
    return 0;
}
