// Brisa2D 2 — pictures decoded straight into a working square: the two kinds
// of file the engine's pictures come in, PNG (8-bit RGBA, or paletted) and
// JPEG (three components), read with libpng and libjpeg into fresh zeroed
// R, G, B, A pixels. The bytes are those that IMG_Load and a copy or a blit
// onto a transparent working surface give, without the picture in between.
// Any other kind of file, and any fault or warning in one, is left to
// IMG_Load: its messages and its way with damaged files stay as they are.
// Calls no SDL function, so any thread may run it.
//
// setjmp and longjmp carry the decoders' errors, so the functions that call
// setjmp hold no C++ objects, and what they must clean up lives in a record
// of their caller's.
#include "brisa2d2.h"

#include <png.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

static const unsigned char ASSINATURA_PNG[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
static const unsigned char INICIO_JPEG[2] = {0xFF, 0xD8};
static const int BYTES_POR_PIXEL = 4;
static const int CORES_PALETA = 256;
static const Uint8 OPACO = 255;
// The pixels IMG_Load gives: per palette index, three bytes (JPEG), four (RGBA).
static const int BPP_PALETA = 1, BPP_JPEG = 3, BPP_RGBA = 4;

// ---------------------------------------------------------------------------
// Types
// ---------------------------------------------------------------------------

// What a decode must give back, whatever way it ends.
struct Decodificacao {
    FILE* arquivo = nullptr;
    void* pixels = nullptr;
    size_t bytes = 0;
    Uint8* linha = nullptr;   // one row of palette indices
    bool aviso = false;       // the decoder warned: the file is left to IMG_Load
};

// A paletted picture's pixels, per index, as the blit onto a transparent
// working surface writes them; `cores` entries are valid.
struct Paleta {
    Uint32 cor[CORES_PALETA];
    int cores;
};

struct ErroJpeg {
    jpeg_error_mgr base;
    jmp_buf salto;
    Decodificacao* decodificacao;
};

// ---------------------------------------------------------------------------
// Private helpers: the working square
// ---------------------------------------------------------------------------

static Uint32 Pixel(Uint8 r, Uint8 g, Uint8 b, Uint8 a) {
    const Uint8 bytes[BYTES_POR_PIXEL] = {r, g, b, a};
    Uint32 valor;
    memcpy(&valor, bytes, sizeof valor);
    return valor;
}

// The square for a w x h picture: false when `lado` refuses it or memory runs out.
static bool ReservaQuadrado(Decodificacao* dec, int w, int h, int bpp, int (*lado)(int, int, int),
                            BRZ_ImagemAntecipada* d) {
    int l = lado(w, h, bpp);
    if (l < w || l < h || l <= 0) return false;
    dec->bytes = size_t(l) * size_t(l) * BYTES_POR_PIXEL;
    dec->pixels = BRZ_MapeiaPixels(dec->bytes);
    if (!dec->pixels) return false;
    d->largura = w;
    d->altura = h;
    d->lado = l;
    return true;
}

static Uint8* Linha(const Decodificacao* dec, const BRZ_ImagemAntecipada* d, int y) {
    return static_cast<Uint8*>(dec->pixels) + size_t(y) * size_t(d->lado) * BYTES_POR_PIXEL;
}

// ---------------------------------------------------------------------------
// Private helpers: PNG
// ---------------------------------------------------------------------------

static void ErroPng(png_structp png, png_const_charp) { png_longjmp(png, 1); }

static void AvisoPng(png_structp png, png_const_charp) {
    static_cast<Decodificacao*>(png_get_error_ptr(png))->aviso = true;
}

// IMG_Load's reading of a paletted PNG's transparency, and what a blit of
// its picture onto transparent pixels then writes: with exactly one fully
// transparent entry and every other entry opaque, that entry is the colour
// key and its pixels stay transparent black; with any other transparency
// the picture is expanded with its alpha (and has 4 bytes per pixel); with
// none, every entry is opaque. Returns the bytes per pixel IMG_Load gives.
static int MontaPaleta(png_structp png, png_infop info, Paleta* p) {
    png_colorp cores = nullptr;
    int n = 0;
    png_get_PLTE(png, info, &cores, &n);
    png_bytep alfa = nullptr;
    int nAlfa = 0;
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_get_tRNS(png, info, &alfa, &nAlfa, nullptr);
    int chave = -1, j = 0;
    for (; j < nAlfa; ++j) {
        if (alfa[j] == 0) {
            if (chave >= 0) break;
            chave = j;
        } else if (alfa[j] != OPACO) {
            break;
        }
    }
    bool expande = j < nAlfa;
    if (expande) chave = -1;
    p->cores = n < CORES_PALETA ? n : CORES_PALETA;
    for (int i = 0; i < p->cores; ++i) {
        Uint8 a = expande && i < nAlfa ? alfa[i] : OPACO;
        p->cor[i] = i == chave ? 0 : Pixel(cores[i].red, cores[i].green, cores[i].blue, a);
    }
    return expande ? BPP_RGBA : BPP_PALETA;
}

// Rows of palette indices into pixels; false at an index past the palette
// (IMG_Load would read past its colour table: left to it).
static bool LinhasPaleta(png_structp png, Decodificacao* dec, const Paleta& p, BRZ_ImagemAntecipada* d) {
    for (int y = 0; y < d->altura; ++y) {
        png_read_row(png, dec->linha, nullptr);
        Uint32* saida = reinterpret_cast<Uint32*>(Linha(dec, d, y));
        Uint8 maior = 0;
        for (int x = 0; x < d->largura; ++x) {
            Uint8 i = dec->linha[x];
            maior = i > maior ? i : maior;
            saida[x] = p.cor[i];
        }
        if (maior >= p.cores) return false;
    }
    return true;
}

// Reads the picture; the caller destroys `png` and its `*info`, and gives
// back what `dec` holds. Only plain data here: a libpng error jumps back.
static bool LePng(png_structp png, png_infop* info, Decodificacao* dec, int (*lado)(int, int, int),
                  BRZ_ImagemAntecipada* d) {
    if (setjmp(png_jmpbuf(png))) return false;
    *info = png_create_info_struct(png);
    png_init_io(png, dec->arquivo);
    png_read_info(png, *info);
    png_uint_32 w = 0, h = 0;
    int profundidade = 0, tipo = 0, entrelacamento = 0;
    png_get_IHDR(png, *info, &w, &h, &profundidade, &tipo, &entrelacamento, nullptr, nullptr);
    if (entrelacamento != PNG_INTERLACE_NONE || dec->aviso) return false;
    if (tipo == PNG_COLOR_TYPE_RGB_ALPHA && profundidade == 8) {
        if (!ReservaQuadrado(dec, int(w), int(h), BPP_RGBA, lado, d)) return false;
        for (int y = 0; y < d->altura; ++y) png_read_row(png, Linha(dec, d, y), nullptr);
        return !dec->aviso;
    }
    if (tipo != PNG_COLOR_TYPE_PALETTE) return false;
    Paleta p;
    int bpp = MontaPaleta(png, *info, &p);
    png_set_packing(png);
    png_read_update_info(png, *info);
    if (dec->aviso || !ReservaQuadrado(dec, int(w), int(h), bpp, lado, d)) return false;
    dec->linha = static_cast<Uint8*>(png_malloc(png, png_get_rowbytes(png, *info)));
    return LinhasPaleta(png, dec, p, d) && !dec->aviso;
}

static bool DecodificaPng(Decodificacao* dec, int (*lado)(int, int, int), BRZ_ImagemAntecipada* d) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, dec, ErroPng, AvisoPng);
    if (!png) return false;
    png_infop info = nullptr;
    bool ok = LePng(png, &info, dec, lado, d);
    if (dec->linha) png_free(png, dec->linha);
    dec->linha = nullptr;
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return ok;
}

// ---------------------------------------------------------------------------
// Private helpers: JPEG
// ---------------------------------------------------------------------------

static void ErroFatalJpeg(j_common_ptr c) { longjmp(reinterpret_cast<ErroJpeg*>(c->err)->salto, 1); }

// Level -1 is a warning (a damaged file libjpeg would still decode); the
// others are trace messages.
static void MensagemJpeg(j_common_ptr c, int nivel) {
    if (nivel < 0) reinterpret_cast<ErroJpeg*>(c->err)->decodificacao->aviso = true;
}

static void SaidaJpeg(j_common_ptr) {}

#if defined(JCS_EXTENSIONS)
// Reads the picture; the caller destroys the decompressor (its error manager
// set) and gives back what `dec` holds. Only plain data here: a libjpeg
// error jumps back.
static bool LeJpeg(jpeg_decompress_struct* jpeg, ErroJpeg* erro, Decodificacao* dec, int (*lado)(int, int, int),
                   BRZ_ImagemAntecipada* d) {
    if (setjmp(erro->salto)) return false;
    jpeg_create_decompress(jpeg);
    jpeg_stdio_src(jpeg, dec->arquivo);
    jpeg_read_header(jpeg, TRUE);
    if (jpeg->num_components != BPP_JPEG || dec->aviso) return false;
    // IMG_Load asks for R, G, B; the same conversion with an opaque fourth
    // byte is what its blit onto the working surface makes of them.
    jpeg->out_color_space = JCS_EXT_RGBA;
    jpeg_calc_output_dimensions(jpeg);
    if (!ReservaQuadrado(dec, int(jpeg->output_width), int(jpeg->output_height), BPP_JPEG, lado, d)) return false;
    jpeg_start_decompress(jpeg);
    while (jpeg->output_scanline < jpeg->output_height) {
        JSAMPROW linha = Linha(dec, d, int(jpeg->output_scanline));
        jpeg_read_scanlines(jpeg, &linha, 1);
    }
    jpeg_finish_decompress(jpeg);
    return !dec->aviso;
}
#endif

static bool DecodificaJpeg(Decodificacao* dec, int (*lado)(int, int, int), BRZ_ImagemAntecipada* d) {
#if defined(JCS_EXTENSIONS)
    jpeg_decompress_struct jpeg;
    memset(&jpeg, 0, sizeof jpeg);
    ErroJpeg erro;
    jpeg.err = jpeg_std_error(&erro.base);
    erro.base.error_exit = ErroFatalJpeg;
    erro.base.emit_message = MensagemJpeg;
    erro.base.output_message = SaidaJpeg;
    erro.decodificacao = dec;
    bool ok = LeJpeg(&jpeg, &erro, dec, lado, d);
    jpeg_destroy_decompress(&jpeg);
    return ok;
#else
    (void)dec, (void)lado, (void)d;
    return false;
#endif
}

// ---------------------------------------------------------------------------
// Public functions
// ---------------------------------------------------------------------------

bool BRZ_DecodificaRGBA(const char* arquivo, int (*lado)(int w, int h, int bytesPorPixel), BRZ_ImagemAntecipada* d) {
    *d = BRZ_ImagemAntecipada{nullptr, 0, 0, 0};
    if (!arquivo || !lado) return false;
    Decodificacao dec;
    dec.arquivo = fopen(arquivo, "rb");
    if (!dec.arquivo) return false;
    unsigned char inicio[sizeof ASSINATURA_PNG] = {};
    size_t lidos = fread(inicio, 1, sizeof inicio, dec.arquivo);
    bool ok = false;
    if (lidos == sizeof ASSINATURA_PNG && memcmp(inicio, ASSINATURA_PNG, sizeof ASSINATURA_PNG) == 0) {
        fseek(dec.arquivo, 0, SEEK_SET);
        ok = DecodificaPng(&dec, lado, d);
    } else if (lidos >= sizeof INICIO_JPEG && memcmp(inicio, INICIO_JPEG, sizeof INICIO_JPEG) == 0) {
        fseek(dec.arquivo, 0, SEEK_SET);
        ok = DecodificaJpeg(&dec, lado, d);
    }
    fclose(dec.arquivo);
    if (ok) {
        d->pixels = dec.pixels;
        return true;
    }
    BRZ_DesmapeiaPixels(dec.pixels, dec.bytes);
    *d = BRZ_ImagemAntecipada{nullptr, 0, 0, 0};
    return false;
}
