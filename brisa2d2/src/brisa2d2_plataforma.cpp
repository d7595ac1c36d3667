// Brisa2D 2 — the platform seam on a desktop: the SDL calls themselves.
// The browser's side is brisa2d2_plataforma_web.cpp.
#include "brisa2d2_plataforma.h"

#include <SDL_image.h>
#include <SDL_mixer.h>
#include <strings.h>

#include <climits>
#include <cstring>

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
// SDL's error for an XCF file, which the plain load refuses (see
// BRZ_CarregaImagem).
static const char* const XCF_RECUSADO = "XCF (GIMP's working file) is not loaded: export the picture as PNG";

static int TamanhoPaleta(Uint8 bandeiras) { return 3 << ((bandeiras & GIF_TAMANHO_PALETA) + 1); }

int BRZ_IniciaSubsistema(Uint32 subsistema) { return SDL_InitSubSystem(subsistema); }

bool BRZ_SubsistemaIniciado(Uint32 subsistema) { return SDL_WasInit(subsistema) != 0; }

void BRZ_EncerraSubsistema(Uint32 subsistema) { SDL_QuitSubSystem(subsistema); }

void BRZ_PedeTrocaNoRetraco() { SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1); }

void BRZ_EsperaQuadro(Sint32 espera) {
    if (espera > 0) SDL_Delay(Uint32(espera));
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
SDL_Surface* BRZ_CarregaImagem(const char* arquivo) {
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
    // SDL_image reads XCF contents whatever the name, and its XCF reader
    // trusts the sizes and offsets in the file: damaged files of about 130
    // bytes kept it busy for more than ten minutes, crashed it or made it
    // leak. An XCF is no picture to ship, so it is refused at once.
    if (!tga && IMG_isXCF(fluxo)) {
        SDL_RWclose(fluxo);
        SDL_SetError("%s", XCF_RECUSADO);
        return nullptr;
    }
    return IMG_LoadTyped_RW(fluxo, 1, const_cast<char*>(extensao ? extensao + 1 : nullptr));
}

SDL_Surface* BRZ_NovaSuperficie(int largura, int altura, Uint32 rmask, Uint32 gmask, Uint32 bmask, Uint32 amask) {
    return SDL_CreateRGBSurface(0, largura, altura, 32, rmask, gmask, bmask, amask);
}

SDL_Surface* BRZ_SuperficieSobre(void* pixels, int largura, int altura, Uint32 rmask, Uint32 gmask, Uint32 bmask,
                                 Uint32 amask) {
    return SDL_CreateRGBSurfaceFrom(pixels, largura, altura, 32, largura * 4, rmask, gmask, bmask, amask);
}

void BRZ_ApagaSuperficie(SDL_Surface* s) { SDL_FreeSurface(s); }

void BRZ_TravaSuperficie(SDL_Surface* s) { SDL_LockSurface(s); }

void BRZ_DestravaSuperficie(SDL_Surface* s) { SDL_UnlockSurface(s); }

SDL_RWops* BRZ_AbreLeitura(const char* arquivo) { return SDL_RWFromFile(arquivo, "rb"); }

Mix_Chunk* BRZ_DecodificaEfeito(SDL_RWops* fluxo, const char*) { return Mix_LoadWAV_RW(fluxo, 1); }
