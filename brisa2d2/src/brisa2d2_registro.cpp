// Brisa2D 2 — the sprite-set registry: its 1024 slots, the lookup by name,
// the load and the removal every renderer goes through (the renderer adds
// its own steps, see BRZ_Renderizador), and the surfaces the slots keep.
#include "brisa2d2.h"

#include <SDL_image.h>
#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <atomic>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

#if defined(__linux__) && defined(MADV_HUGEPAGE)
// From this size up a surface's pixels are mapped by the engine: one huge page.
static const size_t BYTES_PAGINA_GRANDE = size_t(2) << 20;
#endif

// The GIF blocks SDL_image's GIF reader walks: the header (signature and
// screen descriptor) with its flags, whose top bit announces a palette of
// 3 << (size + 1) bytes, an image's descriptor (its width and height, low
// byte first, and its flags last), the bytes that start an extension, an
// image and the end, and the largest LZW code size it reads.
static const int GIF_CABECALHO = 13, GIF_BANDEIRAS = 10, GIF_DESCRITOR = 9, GIF_LARGURA = 4, GIF_ALTURA = 6;
static const Uint8 GIF_TEM_PALETA = 0x80, GIF_TAMANHO_PALETA = 0x07, GIF_MAX_BITS_LZW = 12;
static const Uint8 GIF_EXTENSAO = '!', GIF_IMAGEM = ',', GIF_FIM = ';';
// SDL's errors for a GIF that ends inside one of its blocks, and for one
// whose image has no pixels or rows too long for an SDL surface.
static const char* const GIF_INCOMPLETO = "GIF data ends inside a block";
static const char* const GIF_SEM_PIXELS = "GIF image of no pixels";
static const char* const GIF_LARGO_DEMAIS = "GIF image too wide for a surface";

static int TamanhoPaleta(Uint8 bandeiras) { return 3 << ((bandeiras & GIF_TAMANHO_PALETA) + 1); }

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

// SDL_image's PNG reader takes a short read for a whole one and goes on with
// whatever its buffer held before. On a file cut short, or with a chunk
// that claims more bytes than the file has, IMG_Load then reads stale bytes
// as chunk headers and may skip from one such chunk to the next for ever.
// The plain load reads its file through this stream instead: where the file
// has no bytes left it writes zeros, which make no valid chunk header, so
// libpng stops there with its error. Every reader gets the same counts as
// from the file itself; only the bytes it was not given are now zeros.
static int LeCompletandoComZeros(SDL_RWops* fluxo, void* destino, int tamanho, int quantos) {
    SDL_RWops* arquivo = static_cast<SDL_RWops*>(fluxo->hidden.unknown.data1);
    if (tamanho <= 0 || quantos <= 0 || quantos > INT_MAX / tamanho)
        return SDL_RWread(arquivo, destino, tamanho, quantos);
    int pedidos = tamanho * quantos;
    int lidos = SDL_RWread(arquivo, destino, 1, pedidos);
    if (lidos < 0) lidos = 0;
    memset(static_cast<Uint8*>(destino) + lidos, 0, size_t(pedidos - lidos));
    return lidos / tamanho;
}

static int PosicionaArquivo(SDL_RWops* fluxo, int deslocamento, int origem) {
    return SDL_RWseek(static_cast<SDL_RWops*>(fluxo->hidden.unknown.data1), deslocamento, origem);
}

static int RecusaEscrita(SDL_RWops*, const void*, int, int) { return -1; }

static int FechaArquivo(SDL_RWops* fluxo) {
    int resultado = SDL_RWclose(static_cast<SDL_RWops*>(fluxo->hidden.unknown.data1));
    SDL_FreeRW(fluxo);
    return resultado;
}

// Skips a chain of GIF sub-blocks up to the one of size zero: false when
// the file ends first.
static bool PulaSubBlocos(SDL_RWops* fluxo) {
    Uint8 tamanho = 0;
    do {
        Uint8 dados[UINT8_MAX];
        if (SDL_RWread(fluxo, &tamanho, 1, 1) != 1) return false;
        if (tamanho && SDL_RWread(fluxo, dados, tamanho, 1) != 1) return false;
    } while (tamanho != 0);
    return true;
}

// The surface SDL_image's GIF reader decodes a w x h image into can be
// made: it writes into that surface without looking, so a size SDL cannot
// make (no pixels, a row too long, more than memory holds) would end the
// process. False with SDL's message.
static bool GifCabe(const Uint8* descritor) {
    int w = descritor[GIF_LARGURA] | descritor[GIF_LARGURA + 1] << 8;
    int h = descritor[GIF_ALTURA] | descritor[GIF_ALTURA + 1] << 8;
    if (w == 0 || h == 0) {
        SDL_SetError("%s", GIF_SEM_PIXELS);
        return false;
    }
    SDL_Surface* prova = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 8, 0, 0, 0, 0);
    if (!prova) return false;
    // A row of more than 65532 bytes does not fit SDL 1.2's 16-bit pitch,
    // which then wraps to a few bytes for the whole picture.
    bool cabe = prova->pitch >= w;
    SDL_FreeSurface(prova);
    if (!cabe) SDL_SetError("%s", GIF_LARGO_DEMAIS);
    return cabe;
}

// Whether SDL_image's GIF reader can read the GIF and return, false with
// SDL's message when not. That reader takes the end of the file for a
// sub-block that goes on: skipping an extension it never returns, and in an
// image's data it decodes stale bytes until the picture is full (minutes for
// a header that claims 20000 x 10000 pixels), or for ever in an image it
// passes over; and it writes into the first image's surface whether SDL made
// it or not. This walks the blocks as that reader does: every image counts,
// even one whose code size it refuses (then skipped a byte at a time); later
// images are decoded only to be passed over; the end mark ends the reading
// only before any image; the first image it decodes ends it. The stream is
// left where it was.
static bool GifLegivel(SDL_RWops* fluxo) {
    const int inicio = SDL_RWtell(fluxo);
    Uint8 cabecalho[GIF_CABECALHO];
    bool legivel = true, fim = SDL_RWread(fluxo, cabecalho, GIF_CABECALHO, 1) != 1;
    if (!fim && (cabecalho[GIF_BANDEIRAS] & GIF_TEM_PALETA))
        SDL_RWseek(fluxo, TamanhoPaleta(cabecalho[GIF_BANDEIRAS]), RW_SEEK_CUR);
    Uint8 bloco = 0, descritor[GIF_DESCRITOR] = {}, bitsLzw = 0;
    int imagens = 0;
    while (!fim && SDL_RWread(fluxo, &bloco, 1, 1) == 1) {
        if (bloco == GIF_FIM) {
            fim = imagens == 0;
        } else if (bloco == GIF_EXTENSAO) {
            Uint8 rotulo = 0;
            fim = SDL_RWread(fluxo, &rotulo, 1, 1) != 1;  // the reader stops with its error
            legivel = fim || PulaSubBlocos(fluxo);
            if (!legivel) SDL_SetError("%s", GIF_INCOMPLETO);
            fim = fim || !legivel;
        } else if (bloco == GIF_IMAGEM) {
            const bool primeira = ++imagens == 1;
            fim = SDL_RWread(fluxo, descritor, GIF_DESCRITOR, 1) != 1;
            Uint8 bandeiras = descritor[GIF_DESCRITOR - 1];
            if (!fim && (bandeiras & GIF_TEM_PALETA)) SDL_RWseek(fluxo, TamanhoPaleta(bandeiras), RW_SEEK_CUR);
            fim = fim || SDL_RWread(fluxo, &bitsLzw, 1, 1) != 1;
            if (fim || bitsLzw > GIF_MAX_BITS_LZW) continue;
            if (primeira) legivel = GifCabe(descritor);
            if (legivel && !PulaSubBlocos(fluxo)) {
                SDL_SetError("%s", GIF_INCOMPLETO);
                legivel = false;
            }
            fim = primeira || !legivel;
        }
    }
    SDL_RWseek(fluxo, inicio, RW_SEEK_SET);
    return legivel;
}

// IMG_Load over the stream above: the file's type told by its contents, or
// by its name's extension for the kinds that have no signature, as IMG_Load
// does; null with SDL's message when the file cannot be opened.
static SDL_Surface* CarregaImagem(const char* arquivo) {
    SDL_RWops* dados = SDL_RWFromFile(arquivo, "rb");
    if (!dados) return nullptr;
    SDL_RWops* fluxo = SDL_AllocRW();
    if (!fluxo) {
        SDL_RWclose(dados);
        SDL_OutOfMemory();
        return nullptr;
    }
    fluxo->hidden.unknown.data1 = dados;
    fluxo->read = LeCompletandoComZeros;
    fluxo->seek = PosicionaArquivo;
    fluxo->write = RecusaEscrita;
    fluxo->close = FechaArquivo;
    const char* extensao = strrchr(arquivo, '.');
    // A name ending in .tga is tried as TGA first, whatever its contents.
    bool tga = extensao && strcasecmp(extensao + 1, "tga") == 0;
    if (!tga && IMG_isGIF(fluxo) && !GifLegivel(fluxo)) {
        SDL_RWclose(fluxo);
        return nullptr;
    }
    return IMG_LoadTyped_RW(fluxo, 1, const_cast<char*>(extensao ? extensao + 1 : nullptr));
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
    SDL_Surface* img = CarregaImagem(arquivo);
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
    return SDL_CreateRGBSurfaceFrom(pixels, largura, altura, 32, largura * 4, rmask, gmask, bmask, amask);
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
    return SDL_CreateRGBSurface(0, largura, altura, 32, rmask, gmask, bmask, amask);
}

void BRZ_LiberaSuperficie(SDL_Surface* s) {
    if (!s) return;
    // Only the engine hands SDL pixels that SDL must not free itself.
    if (s->flags & SDL_PREALLOC) {
        void* pixels = s->pixels;
        size_t bytes = size_t(s->pitch) * size_t(s->h);
        SDL_FreeSurface(s);
        BRZ_DesmapeiaPixels(pixels, bytes);
        return;
    }
    SDL_FreeSurface(s);
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
