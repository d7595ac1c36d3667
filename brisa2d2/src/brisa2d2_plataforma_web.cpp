// Brisa2D 2 — the platform seam in the browser (emscripten 3.1, its SDL 1.2,
// SDL_mixer and stb_image; linked with -sASYNCIFY -sSTB_IMAGE=1). Built by
// web/ in place of brisa2d2_plataforma.cpp and brisa2d2_decodifica.cpp.
//
// Pictures: emscripten's SDL keeps each surface as a canvas of the page and
// copies its pixels to and from it at every lock; in an OpenGL program the
// unlock stops the program, and the copies would premultiply the alpha. So
// the engine's pictures are surfaces of its own here, plain memory that SDL
// never sees, decoded with stb_image into the bytes the desktop's IMG_Load
// and working surfaces give (a paletted PNG's colour key included).
//
// Sound effects: emscripten's read streams are names its JavaScript knows,
// not structures with functions; the audio module's check of a WAV file
// reads a stream of its own over the C library here, and the mixer then gets
// the file by name, which it decodes with the page's Web Audio.
#include "brisa2d2.h"
#include "brisa2d2_plataforma.h"

#include <SDL_mixer.h>
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// stb_image, linked by -sSTB_IMAGE=1.
extern "C" {
unsigned char* stbi_load_from_memory(const unsigned char* dados, int tamanho, int* w, int* h, int* canais,
                                     int canaisPedidos);
int stbi_info_from_memory(const unsigned char* dados, int tamanho, int* w, int* h, int* canais);
const char* stbi_failure_reason();
}

namespace {

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

const int BYTES_POR_PIXEL = 4;
const unsigned char ASSINATURA_PNG[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
const unsigned char INICIO_JPEG[2] = {0xFF, 0xD8};
// PNG chunks: length and name before the data, the CRC after it.
const size_t CABECALHO_BLOCO = 8, CRC_BLOCO = 4;
const size_t PROFUNDIDADE_IHDR = 8, TIPO_COR_IHDR = 9, ENTRELACAMENTO_IHDR = 12;
const unsigned char PNG_PALETA = 3, PNG_RGBA = 6;
const unsigned char OPACO = 255;
// The pixels IMG_Load gives: per palette index, three bytes (JPEG), four (RGBA).
const int BPP_PALETA = 1, BPP_JPEG = 3, BPP_RGBA = 4;

// ---------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------

Uint32 subsistemas = 0;      // started and not shut down since
bool sdlIniciada = false;    // emscripten's SDL_Init has run (clock, key listeners)

// ---------------------------------------------------------------------------
// Surfaces of the engine's own
// ---------------------------------------------------------------------------

// The surface and its format in one allocation; the surface comes first, so
// its address is the record's.
struct SuperficieMemoria {
    SDL_Surface superficie;
    SDL_PixelFormat formato;
};

int Deslocamento(Uint32 mascara) {
    int n = 0;
    while (mascara && !(mascara & 1u)) {
        mascara >>= 1;
        ++n;
    }
    return n;
}

int Perda(Uint32 mascara) {
    int bits = 0;
    for (; mascara; mascara >>= 1) bits += int(mascara & 1u);
    return 8 - bits;
}

SDL_Surface* Monta(void* pixels, int largura, int altura, Uint32 flags, Uint32 rmask, Uint32 gmask, Uint32 bmask,
                   Uint32 amask) {
    auto* m = static_cast<SuperficieMemoria*>(calloc(1, sizeof(SuperficieMemoria)));
    if (!m) return nullptr;
    SDL_PixelFormat& f = m->formato;
    f.BitsPerPixel = 32;
    f.BytesPerPixel = BYTES_POR_PIXEL;
    f.Rmask = rmask;
    f.Gmask = gmask;
    f.Bmask = bmask;
    f.Amask = amask;
    f.Rshift = Uint8(Deslocamento(rmask));
    f.Gshift = Uint8(Deslocamento(gmask));
    f.Bshift = Uint8(Deslocamento(bmask));
    f.Ashift = Uint8(Deslocamento(amask));
    f.Rloss = Uint8(Perda(rmask));
    f.Gloss = Uint8(Perda(gmask));
    f.Bloss = Uint8(Perda(bmask));
    f.Aloss = Uint8(Perda(amask));
    f.refcount = 1;
    SDL_Surface& s = m->superficie;
    s.flags = flags;
    s.format = &f;
    s.w = largura;
    s.h = altura;
    s.pitch = largura * BYTES_POR_PIXEL;
    s.pixels = pixels;
    s.clip_rect.w = largura;
    s.clip_rect.h = altura;
    s.refcount = 1;
    return &s;
}

// R, G, B, A bytes in memory, as stb_image gives them.
SDL_Surface* MontaRGBA(void* pixels, int largura, int altura, Uint32 flags) {
    return Monta(pixels, largura, altura, flags, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
}

// ---------------------------------------------------------------------------
// Decoding
// ---------------------------------------------------------------------------

Uint32 LePalavraBE(const unsigned char* p) { return Uint32(p[0]) << 24 | Uint32(p[1]) << 16 | Uint32(p[2]) << 8 | p[3]; }

// What the desktop's decoders make of a file: the kind, and the bytes per
// pixel IMG_Load gives it (0: a kind the engine's own decoder leaves to
// IMG_Load); `chave` when a paletted PNG has a colour key (exactly one fully
// transparent entry, every other one opaque), whose pixels a blit leaves
// transparent black.
struct Leitura {
    std::vector<unsigned char> bytes;
    int bpp = 0;
    bool chave = false;
};

// A paletted PNG's tRNS entries as IMG_Load reads them: a colour key, or a
// picture expanded with its alpha (4 bytes per pixel).
void LeTransparencia(const unsigned char* alfa, size_t n, Leitura* l) {
    int chave = -1;
    size_t j = 0;
    for (; j < n; ++j) {
        if (alfa[j] == 0) {
            if (chave >= 0) break;
            chave = int(j);
        } else if (alfa[j] != OPACO) {
            break;
        }
    }
    bool expande = j < n;
    l->bpp = expande ? BPP_RGBA : BPP_PALETA;
    l->chave = !expande && chave >= 0;
}

// The PNG's header and, for a paletted one, its transparency chunk.
void ExaminaPng(Leitura* l) {
    const std::vector<unsigned char>& b = l->bytes;
    size_t p = sizeof ASSINATURA_PNG;
    if (b.size() < p + CABECALHO_BLOCO + ENTRELACAMENTO_IHDR + 1) return;
    const unsigned char* ihdr = &b[p + CABECALHO_BLOCO];
    if (ihdr[ENTRELACAMENTO_IHDR] != 0 || ihdr[PROFUNDIDADE_IHDR] > 8) return;
    unsigned char tipo = ihdr[TIPO_COR_IHDR];
    if (tipo == PNG_RGBA && ihdr[PROFUNDIDADE_IHDR] == 8) l->bpp = BPP_RGBA;
    if (tipo != PNG_PALETA) return;
    l->bpp = BPP_PALETA;
    while (p + CABECALHO_BLOCO <= b.size()) {
        size_t tamanho = LePalavraBE(&b[p]);
        const unsigned char* nome = &b[p + 4];
        if (memcmp(nome, "IDAT", 4) == 0 || p + CABECALHO_BLOCO + tamanho > b.size()) return;
        if (memcmp(nome, "tRNS", 4) == 0) {
            LeTransparencia(&b[p + CABECALHO_BLOCO], tamanho, l);
            return;
        }
        p += CABECALHO_BLOCO + tamanho + CRC_BLOCO;
    }
}

bool LeArquivo(const char* arquivo, Leitura* l) {
    FILE* f = fopen(arquivo, "rb");
    if (!f) return false;
    unsigned char bloco[1 << 16];
    size_t n;
    while ((n = fread(bloco, 1, sizeof bloco, f)) > 0) l->bytes.insert(l->bytes.end(), bloco, bloco + n);
    fclose(f);
    const std::vector<unsigned char>& b = l->bytes;
    if (b.size() >= sizeof ASSINATURA_PNG && memcmp(b.data(), ASSINATURA_PNG, sizeof ASSINATURA_PNG) == 0) {
        ExaminaPng(l);
    } else if (b.size() >= sizeof INICIO_JPEG && memcmp(b.data(), INICIO_JPEG, sizeof INICIO_JPEG) == 0) {
        int w, h, canais = 0;
        if (stbi_info_from_memory(b.data(), int(b.size()), &w, &h, &canais) && canais == BPP_JPEG) l->bpp = BPP_JPEG;
    }
    return true;
}

// The picture's R, G, B, A bytes, w x h, from malloc (null: stbi_failure_reason).
unsigned char* DecodificaPixels(const Leitura& l, int* w, int* h) {
    int canais = 0;
    unsigned char* px = stbi_load_from_memory(l.bytes.data(), int(l.bytes.size()), w, h, &canais, BYTES_POR_PIXEL);
    if (px && l.chave) {
        Uint32* p = reinterpret_cast<Uint32*>(px);
        for (size_t i = 0, n = size_t(*w) * size_t(*h); i < n; ++i)
            if (!(p[i] >> 24)) p[i] = 0;
    }
    return px;
}

// ---------------------------------------------------------------------------
// A read stream over the C library, for the macros of SDL_rwops.h
// ---------------------------------------------------------------------------

FILE* Arquivo(SDL_RWops* fluxo) { return static_cast<FILE*>(fluxo->hidden.unknown.data1); }

long Posiciona(SDL_RWops* fluxo, long deslocamento, int origem) {
    if (fseek(Arquivo(fluxo), deslocamento, origem) != 0) return -1;
    return ftell(Arquivo(fluxo));
}

size_t Le(SDL_RWops* fluxo, void* destino, size_t tamanho, size_t quantos) {
    return fread(destino, tamanho, quantos, Arquivo(fluxo));
}

size_t Escreve(SDL_RWops*, const void*, size_t, size_t) { return 0; }

int Fecha(SDL_RWops* fluxo) {
    int r = fclose(Arquivo(fluxo));
    free(fluxo);
    return r;
}

}  // namespace

// ---------------------------------------------------------------------------
// SDL's subsystems: emscripten's SDL_WasInit answers 1 for any of them (and
// runs SDL_Init), and its SDL_QuitSubSystem only logs that it ignores the
// call; the engine keeps the answer itself. SDL_Init, once, starts SDL's
// clock and its key listeners on the page.
// ---------------------------------------------------------------------------

int BRZ_IniciaSubsistema(Uint32 subsistema) {
    if (!sdlIniciada) SDL_Init(subsistema);
    sdlIniciada = true;
    subsistemas |= subsistema;
    return 0;
}

bool BRZ_SubsistemaIniciado(Uint32 subsistema) { return (subsistemas & subsistema) != 0; }

void BRZ_EncerraSubsistema(Uint32 subsistema) { subsistemas &= ~subsistema; }

// ---------------------------------------------------------------------------
// The frame
// ---------------------------------------------------------------------------

void BRZ_PedeTrocaNoRetraco() {}

// ASYNCIFY unwinds the program's stack here and rewinds it when the page's
// timer fires, so every screen's loop of frames runs as it is written.
void BRZ_EsperaQuadro(Sint32 espera) { emscripten_sleep(unsigned(espera > 0 ? espera : 0)); }

// ---------------------------------------------------------------------------
// Pictures
// ---------------------------------------------------------------------------

SDL_Surface* BRZ_CarregaImagem(const char* arquivo) {
    Leitura l;
    if (!LeArquivo(arquivo, &l)) return nullptr;
    int w = 0, h = 0;
    unsigned char* px = DecodificaPixels(l, &w, &h);
    if (!px) return nullptr;
    SDL_Surface* s = MontaRGBA(px, w, h, 0);
    if (!s) free(px);
    return s;
}

SDL_Surface* BRZ_NovaSuperficie(int largura, int altura, Uint32 rmask, Uint32 gmask, Uint32 bmask, Uint32 amask) {
    if (largura < 0 || altura < 0) return nullptr;
    void* pixels = calloc(size_t(largura) * size_t(altura) + 1, BYTES_POR_PIXEL);
    if (!pixels) return nullptr;
    SDL_Surface* s = Monta(pixels, largura, altura, 0, rmask, gmask, bmask, amask);
    if (!s) free(pixels);
    return s;
}

SDL_Surface* BRZ_SuperficieSobre(void* pixels, int largura, int altura, Uint32 rmask, Uint32 gmask, Uint32 bmask,
                                 Uint32 amask) {
    return Monta(pixels, largura, altura, SDL_PREALLOC, rmask, gmask, bmask, amask);
}

void BRZ_ApagaSuperficie(SDL_Surface* s) {
    if (!s) return;
    if (!(s->flags & SDL_PREALLOC)) free(s->pixels);
    free(s);
}

// Plain memory: nothing to lock.
void BRZ_TravaSuperficie(SDL_Surface*) {}

void BRZ_DestravaSuperficie(SDL_Surface*) {}

// The engine's decoder of pictures straight into a working square
// (brisa2d2.h), over stb_image: the same kinds of file it takes on a desktop
// (8-bit RGBA or paletted PNGs, three-component JPEGs), the rest left to the
// load. With no thread to decode ahead here, the loading thread runs it.
bool BRZ_DecodificaRGBA(const char* arquivo, int (*lado)(int w, int h, int bytesPorPixel), BRZ_ImagemAntecipada* d) {
    *d = BRZ_ImagemAntecipada{nullptr, 0, 0, 0};
    Leitura l;
    if (!arquivo || !lado || !LeArquivo(arquivo, &l) || l.bpp == 0) return false;
    int w = 0, h = 0;
    unsigned char* px = DecodificaPixels(l, &w, &h);
    if (!px) return false;
    int quadrado = lado(w, h, l.bpp);
    void* destino = quadrado >= w && quadrado >= h && quadrado > 0
                        ? BRZ_MapeiaPixels(size_t(quadrado) * size_t(quadrado) * BYTES_POR_PIXEL)
                        : nullptr;
    if (destino) {
        for (int y = 0; y < h; ++y)
            memcpy(static_cast<unsigned char*>(destino) + size_t(y) * size_t(quadrado) * BYTES_POR_PIXEL,
                   px + size_t(y) * size_t(w) * BYTES_POR_PIXEL, size_t(w) * BYTES_POR_PIXEL);
        *d = BRZ_ImagemAntecipada{destino, w, h, quadrado};
    }
    free(px);
    return destino != nullptr;
}

// ---------------------------------------------------------------------------
// Sound effects
// ---------------------------------------------------------------------------

SDL_RWops* BRZ_AbreLeitura(const char* arquivo) {
    FILE* f = fopen(arquivo, "rb");
    if (!f) return nullptr;
    auto* fluxo = static_cast<SDL_RWops*>(calloc(1, sizeof(SDL_RWops)));
    if (!fluxo) {
        fclose(f);
        return nullptr;
    }
    fluxo->seek = Posiciona;
    fluxo->read = Le;
    fluxo->write = Escreve;
    fluxo->close = Fecha;
    fluxo->hidden.unknown.data1 = f;
    return fluxo;
}

Mix_Chunk* BRZ_DecodificaEfeito(SDL_RWops* fluxo, const char* arquivo) {
    SDL_RWclose(fluxo);
    SDL_RWops* nome = SDL_RWFromFile(arquivo, "rb");
    Mix_Chunk* efeito = Mix_LoadWAV_RW(nome, 1);
    SDL_FreeRW(nome);
    return efeito;
}
