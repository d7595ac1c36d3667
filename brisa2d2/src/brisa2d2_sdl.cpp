// Brisa2D 2 — software renderer: what it does differently from the OpenGL
// renderer. The core runs the steps both share (BRZ_Renderizador).
#include "brisa2d2_sdl.h"

#include <cstdint>
#include <cstdio>

// ---------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------

static Uint32 clearColor = 0;

// ---------------------------------------------------------------------------
// Private helpers
// ---------------------------------------------------------------------------

static void Apresenta() { SDL_Flip(screen); }

// After the decode: the frame grid, which must fit the picture exactly, then
// the picture in the display's format with magenta as its transparent colour.
static bool PreparaImagem(BRZ_SpriteSet* s, const char* arquivo, int largura, int altura) {
    SDL_Surface* img = s->imagem;
    BRZ_DefineQuadros(s, largura, altura);
    if (img->h % s->spAltura != 0 || img->w % s->spLargura != 0) {
        printf("Erro ao carregar a imagem %s. A altura e largura da imagem deve ser múltiplos do tamanho do sprite.\n",
               arquivo);
        return false;
    }
    SDL_SetColorKey(img, SDL_SRCCOLORKEY | SDL_RLEACCEL | SDL_SRCALPHA, SDL_MapRGB(img->format, 255, 0, 255));
    SDL_Surface* convertida = SDL_DisplayFormatAlpha(img);
    if (!convertida) {
        printf("Não conseguiu criar a imagem temporária ao carregar os sprites do arquivo %s. Erro: %s.\n", arquivo,
               SDL_GetError());
        return false;
    }
    SDL_FreeSurface(img);
    s->imagem = convertida;
    return true;
}

// ---------------------------------------------------------------------------
// The renderer's table
// ---------------------------------------------------------------------------

static const BRZ_Renderizador TABELA = {
    BRZSDL_Encerra, BRZSDL_Sincroniza, BRZSDL_LimpaTela, BRZSDL_TrocaCorLimpezaTela, BRZSDL_LimitaAreaDesenho,
    BRZSDL_LiberaAreaDesenho, BRZSDL_CarregaSpriteSet, BRZSDL_RemoveSpriteSet, BRZSDL_DesenhaSprite,
    BRZSDL_DesenhaSpriteEfeito,
    "", SDL_HWSURFACE | SDL_DOUBLEBUF, nullptr, nullptr, nullptr, nullptr,
    Apresenta,
    PreparaImagem, false, nullptr, nullptr,
    "Encerrou a SDL.\n",
    nullptr, nullptr,
};

// ---------------------------------------------------------------------------
// Public functions
// ---------------------------------------------------------------------------

bool BRZSDL_Inicia(unsigned int largura, unsigned int altura, int modoVideo, const char* tituloJanela) {
    return BRZ_IniciaCom(TABELA, largura, altura, modoVideo, tituloJanela);
}

void BRZSDL_Encerra() { BRZ_EncerraCom(TABELA); }

void BRZSDL_Sincroniza(Uint8 fps) {
    static Uint32 tempoAnterior = 0;  // SDL ticks right after the previous frame's wait
    BRZ_SincronizaCom(TABELA, fps, &tempoAnterior);
}

void BRZSDL_LimpaTela() {
    if (!inicializado) return;
    SDL_FillRect(screen, nullptr, clearColor);
}

void BRZSDL_TrocaCorLimpezaTela(Uint8 r, Uint8 g, Uint8 b) {
    // The colour is mapped into the screen's format once, here.
    if (!screen) return;
    clearColor = SDL_MapRGB(screen->format, r, g, b);
}

void BRZSDL_LimitaAreaDesenho(int x, int y, int largura, int altura) {
    SDL_Surface* tela = SDL_GetVideoSurface();
    if (!tela) return;
    SDL_Rect area = {Sint16(x), Sint16(y), Uint16(largura), Uint16(altura)};
    SDL_SetClipRect(tela, &area);
}

void BRZSDL_LiberaAreaDesenho() {
    SDL_Surface* tela = SDL_GetVideoSurface();
    if (tela) SDL_SetClipRect(tela, nullptr);
}

unsigned int BRZSDL_CarregaSpriteSet(const char* arquivo, int largura, int altura) {
    return BRZ_CarregaSpriteSetCom(TABELA, arquivo, largura, altura);
}

void BRZSDL_RemoveSpriteSet(unsigned int id) { BRZ_RemoveSpriteSetCom(TABELA, id); }

bool BRZSDL_DesenhaSprite(unsigned int identificador, unsigned int indice, int x, int y) {
    if (identificador == 0 || identificador > BRZ_MAX_SPRITESETS) {
        printf("Erro ao tentar desenhar o spriteset %i. Este índice é inválido.\n", int(identificador));
        return false;
    }
    const BRZ_SpriteSet& s = sprites[identificador - 1];
    if (!s.imagem || !inicializado) return false;
    // SDL rectangles are 16-bit: a frame past the image or a position that
    // does not fit would wrap around onto the screen, so it is left out here
    // (the draw still counts as done, as for any frame SDL clips away).
    long long origX = (long long)(indice % unsigned(s.matrizX)) * s.spLargura;
    long long origY = (long long)(indice / unsigned(s.matrizX)) * s.spAltura;
    if (origY >= s.imagem->h || x < INT16_MIN || x > INT16_MAX || y < INT16_MIN || y > INT16_MAX) return true;
    Uint16 tamX = Uint16(s.spLargura), tamY = Uint16(s.spAltura);
    SDL_Rect dest = {Sint16(x), Sint16(y), tamX, tamY};
    SDL_Rect orig = {Sint16(origX), Sint16(origY), tamX, tamY};
    SDL_UpperBlit(s.imagem, &orig, screen, &dest);
    return true;
}

bool BRZSDL_DesenhaSpriteEfeito(unsigned int, unsigned int, int*, int*, Uint8, Uint8, Uint8, Uint8) {
    return false;
}
