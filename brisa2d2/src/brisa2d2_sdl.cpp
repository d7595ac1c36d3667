// Brisa2D 2 — software renderer.
#include "brisa2d2_sdl.h"

#include <cstdint>
#include <cstdio>

#include <SDL_image.h>

// ---------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------

static Uint32 clearColor = 0;

// ---------------------------------------------------------------------------
// Private helpers
// ---------------------------------------------------------------------------

static void PreencheDespacho() {
    BRZ_Encerra = BRZSDL_Encerra;
    BRZ_Sincroniza = BRZSDL_Sincroniza;
    BRZ_LimpaTela = BRZSDL_LimpaTela;
    BRZ_TrocaCorLimpezaTela = BRZSDL_TrocaCorLimpezaTela;
    BRZ_LimitaAreaDesenho = BRZSDL_LimitaAreaDesenho;
    BRZ_LiberaAreaDesenho = BRZSDL_LiberaAreaDesenho;
    BRZ_CarregaSpriteSet = BRZSDL_CarregaSpriteSet;
    BRZ_RemoveSpriteSet = BRZSDL_RemoveSpriteSet;
    BRZ_DesenhaSprite = BRZSDL_DesenhaSprite;
    BRZ_DesenhaSpriteEfeito = BRZSDL_DesenhaSpriteEfeito;
}


// ---------------------------------------------------------------------------
// Public functions
// ---------------------------------------------------------------------------

bool BRZSDL_Inicia(unsigned int largura, unsigned int altura, int modoVideo, const char* tituloJanela) {
    if (inicializado) return false;
    reset();
    if (SDL_WasInit(SDL_INIT_VIDEO)) return false;
    c_shutdown = false;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) < 0) {
        printf("A Brisa2D 2 não conseguiu iniciar a SDL. Mensagem do sistema: %s\n", SDL_GetError());
        return false;
    }
    printf("Iniciando o modo de vídeo: %ix%ix32bpp\n", int(largura), int(altura));
    Uint32 flags = SDL_HWSURFACE | SDL_DOUBLEBUF;
    flags = BRZ_AnunciaModoVideo(modoVideo, flags);
    puts("A Brisa2DLite vai verificar a disponibilidade do modo de vídeo requisitado.");
    if (BRZ_ModoVideoDisponivel(largura, altura, flags) == 0) {
        printf("O modo de vídeo não é suportado pelo hardware. Encerrando.");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    puts("O sistema indica que o modo é suportado. Tenta iniciar.");
    screen = SDL_SetVideoMode(int(largura), int(altura), 32, flags);
    if (!screen) {
        printf("Não foi possível iniciar o modo de vídeo requisitado. Encerrando.");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    puts("Modo de vídeo iniciado com sucesso!");
    SDL_WM_SetCaption(tituloJanela, nullptr);
    SDL_ShowCursor(SDL_DISABLE);
    PreencheDespacho();
    inicializado = true;
    return true;
}

void BRZSDL_Encerra() {
    if (!inicializado) return;
    c_shutdown = true;
    puts("Apagando os spritesets e fontes do sistema.");
    BRZ_EsvaziaRegistros();
    puts("Encerrando a SDL.");
    if (screen) SDL_FreeSurface(screen);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    BRZ_DevolveSinais();
    screen = nullptr;
    puts("Encerrou a SDL.");
    inicializado = false;
}

void BRZSDL_Sincroniza(Uint8 fps) {
    static Uint32 tempoAnterior = 0;
    if (BRZ_SincronizaUsuario) BRZ_SincronizaUsuario();
    if (fps == 0) fps = 1;
    Sint32 espera = Sint32(1000 / fps) - Sint32(SDL_GetTicks()) + Sint32(tempoAnterior);
    if (espera > 0) SDL_Delay(Uint32(espera));
    tempoAnterior = SDL_GetTicks();
    if (!inicializado) return;
    SDL_Flip(screen);
    BRZ_Entrada();
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
    unsigned int id = 0;
    BRZ_SpriteSet* s = BRZ_IniciaCarga(arquivo, &id);
    if (!s) return id;
    SDL_Surface* img = s->imagem;
    BRZ_DefineQuadros(s, largura, altura);
    if (img->h % s->spAltura != 0 || img->w % s->spLargura != 0) {
        printf("Erro ao carregar a imagem %s. A altura e largura da imagem deve ser múltiplos do tamanho do sprite.\n",
               arquivo);
        return BRZ_LiberaSpriteSet(s);
    }
    SDL_SetColorKey(img, SDL_SRCCOLORKEY | SDL_RLEACCEL | SDL_SRCALPHA, SDL_MapRGB(img->format, 255, 0, 255));
    SDL_Surface* convertida = SDL_DisplayFormatAlpha(img);
    if (!convertida) {
        printf("Não conseguiu criar a imagem temporária ao carregar os sprites do arquivo %s. Erro: %s.\n", arquivo,
               SDL_GetError());
        return BRZ_LiberaSpriteSet(s);
    }
    SDL_FreeSurface(img);
    s->imagem = convertida;
    if (!BRZ_CriaMascarasSpriteSet(s)) {
        printf("Não conseguiu criar o vetor de bitmasks ao carregar os sprites do arquivo %s.\n", arquivo);
        return BRZ_LiberaSpriteSet(s);
    }
    s->usuarios = 1;
    return id;
}

void BRZSDL_RemoveSpriteSet(unsigned int id) {
    if (!BRZ_SoltaSpriteSet(id)) return;
    BRZ_LiberaSpriteSet(&sprites[id - 1]);
}

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
