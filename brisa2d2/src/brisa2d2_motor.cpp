// Brisa2D 2 — the engine's life: whether it runs, the dispatch slots (with
// their stand-ins before the first start-up), a renderer's table installed
// into them, and the start-up and shut-down steps both renderers share,
// with their messages. Each renderer adds only its own steps (its table).
#include "brisa2d2.h"
#include "brisa2d2_plataforma.h"

#include <cstdio>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

static const int BITS_POR_PIXEL = 32;

// ---------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------

bool inicializado = false;
bool c_shutdown = false;
SDL_Surface* screen = nullptr;

// The table of the renderer that runs; null while the engine is stopped.
static const BRZ_Renderizador* ativo = nullptr;

// Stand-ins for the dispatch slots before the first start-up: nothing is
// drawn, nothing loads (the core's load says why), and nothing touches SDL
// or OpenGL.
static void ParadoEncerra() {}
static void ParadoSincroniza(Uint8) {}
static void ParadoLimpaTela() {}
static void ParadoTrocaCor(Uint8, Uint8, Uint8) {}
static void ParadoLimita(int, int, int, int) {}
static void ParadoLibera() {}
static unsigned int ParadoCarrega(const char* arquivo, int largura, int altura);
static void ParadoRemove(unsigned int) {}
static bool ParadoDesenha(unsigned int, unsigned int, int, int) { return false; }
static bool ParadoDesenhaEfeito(unsigned int, unsigned int, int*, int*, Uint8, Uint8, Uint8, Uint8) {
    return false;
}

// The stand-ins as a table: a load through it stops at its first step,
// since the engine is not running.
static const BRZ_Renderizador PARADO = {
    ParadoEncerra, ParadoSincroniza, ParadoLimpaTela, ParadoTrocaCor, ParadoLimita, ParadoLibera,
    ParadoCarrega, ParadoRemove, ParadoDesenha, ParadoDesenhaEfeito,
    "", 0, nullptr, nullptr, nullptr, nullptr,
    nullptr,
    nullptr, false, nullptr, nullptr,
    "",
    nullptr, nullptr,
};

static unsigned int ParadoCarrega(const char* arquivo, int largura, int altura) {
    return BRZ_CarregaSpriteSetCom(PARADO, arquivo, largura, altura);
}

void (*BRZ_Encerra)() = ParadoEncerra;
void (*BRZ_Sincroniza)(Uint8) = ParadoSincroniza;
void (*BRZ_LimpaTela)() = ParadoLimpaTela;
void (*BRZ_TrocaCorLimpezaTela)(Uint8, Uint8, Uint8) = ParadoTrocaCor;
void (*BRZ_LimitaAreaDesenho)(int, int, int, int) = ParadoLimita;
void (*BRZ_LiberaAreaDesenho)() = ParadoLibera;
unsigned int (*BRZ_CarregaSpriteSet)(const char*, int, int) = ParadoCarrega;
void (*BRZ_RemoveSpriteSet)(unsigned int) = ParadoRemove;
bool (*BRZ_DesenhaSprite)(unsigned int, unsigned int, int, int) = ParadoDesenha;
bool (*BRZ_DesenhaSpriteEfeito)(unsigned int, unsigned int, int*, int*, Uint8, Uint8, Uint8, Uint8) =
    ParadoDesenhaEfeito;

// ---------------------------------------------------------------------------
// Private helpers
// ---------------------------------------------------------------------------

// Prints the video-mode line for modoVideo and adds SDL_FULLSCREEN to `flags`
// for full screen; any value but window or full screen runs in a window.
static Uint32 AnunciaModoVideo(int modoVideo, Uint32 flags) {
    if (modoVideo == BRZ_JANELA) {
        puts("A aplicação requisitou um modo de vídeo em janela.");
    } else if (modoVideo == BRZ_TELA_CHEIA) {
        puts("A aplicação requisitou um modo de vídeo em tela cheia.");
        flags |= SDL_FULLSCREEN;
    } else {
        puts("A aplicação requisitou um modo de vídeo inválido. Por segurança, será utilizado um modo em janela.");
    }
    return flags;
}

// A start-up that cannot set the mode closes SDL's video again.
static bool DesisteDoModo(const char* motivo) {
    printf("%s", motivo);
    BRZ_EncerraSubsistema(SDL_INIT_VIDEO);
    return false;
}

// The depth asked for is 32 bits; an OpenGL mode takes its colour depth from
// the context's attributes, and SDL converts a software surface. On a 16-bit
// desktop SDL 1.2 answers such a request with the desktop's depth, while
// sdl12-compat refuses any depth above the desktop's, although it then sets
// the 32-bit mode all the same; asking again at the desktop's depth makes
// both answer the question that matters: does a mode of this size exist.
static int ModoVideoDisponivel(unsigned int largura, unsigned int altura, Uint32 flags) {
    int bpp = SDL_VideoModeOK(int(largura), int(altura), BITS_POR_PIXEL, flags);
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    if (bpp == 0 && info && info->vfmt && info->vfmt->BitsPerPixel < BITS_POR_PIXEL)
        bpp = SDL_VideoModeOK(int(largura), int(altura), info->vfmt->BitsPerPixel, flags);
    return bpp;
}

// Fonts first: each holds a sprite set. With c_shutdown set, every occupied
// entry goes at its one removal whatever its holder count.
static void EsvaziaRegistros() {
    for (unsigned int i = 1; i <= BRZ_MAX_FONTES; ++i) BRZ_RemoveFonte(i);
    for (unsigned int i = 1; i <= BRZ_MAX_SPRITESETS; ++i) BRZ_RemoveSpriteSet(i);
}

// ---------------------------------------------------------------------------
// Public functions
// ---------------------------------------------------------------------------

void BRZ_InstalaRenderizador(const BRZ_Renderizador& r) {
    BRZ_Encerra = r.Encerra;
    BRZ_Sincroniza = r.Sincroniza;
    BRZ_LimpaTela = r.LimpaTela;
    BRZ_TrocaCorLimpezaTela = r.TrocaCorLimpezaTela;
    BRZ_LimitaAreaDesenho = r.LimitaAreaDesenho;
    BRZ_LiberaAreaDesenho = r.LiberaAreaDesenho;
    BRZ_CarregaSpriteSet = r.CarregaSpriteSet;
    BRZ_RemoveSpriteSet = r.RemoveSpriteSet;
    BRZ_DesenhaSprite = r.DesenhaSprite;
    BRZ_DesenhaSpriteEfeito = r.DesenhaSpriteEfeito;
}

// The start-up's steps after the signal catcher is in place.
static bool IniciaModo(const BRZ_Renderizador& r, unsigned int largura, unsigned int altura, int modoVideo,
                       const char* tituloJanela) {
    reset();
    if (BRZ_SubsistemaIniciado(SDL_INIT_VIDEO)) return false;
    c_shutdown = false;
    if ((r.IniciaVideo ? r.IniciaVideo() : BRZ_IniciaSubsistema(SDL_INIT_VIDEO)) < 0) {
        printf("A Brisa2D 2 não conseguiu iniciar a SDL. Mensagem do sistema: %s\n", SDL_GetError());
        return false;
    }
    printf("Iniciando o modo de vídeo%s: %ix%ix32bpp\n", r.nomeModo, int(largura), int(altura));
    Uint32 flags = AnunciaModoVideo(modoVideo, r.flagsVideo);
    puts("A Brisa2DLite vai verificar a disponibilidade do modo de vídeo requisitado.");
    if (ModoVideoDisponivel(largura, altura, flags) == 0)
        return DesisteDoModo("O modo de vídeo não é suportado pelo hardware. Encerrando.");
    puts("O sistema indica que o modo é suportado. Tenta iniciar.");
    if (r.PedeContexto) r.PedeContexto();
    screen = SDL_SetVideoMode(int(largura), int(altura), BITS_POR_PIXEL, flags);
    if (!screen) return DesisteDoModo("Não foi possível iniciar o modo de vídeo requisitado. Encerrando.");
    if (r.ConfereModo) r.ConfereModo();
    puts("Modo de vídeo iniciado com sucesso!");
    SDL_WM_SetCaption(tituloJanela, nullptr);
    if (r.PreparaModo) r.PreparaModo(largura, altura);
    SDL_ShowCursor(SDL_DISABLE);
    BRZ_InstalaRenderizador(r);
    ativo = &r;
    inicializado = true;
    return true;
}

bool BRZ_IniciaCom(const BRZ_Renderizador& r, unsigned int largura, unsigned int altura, int modoVideo,
                   const char* tituloJanela) {
    if (inicializado) return false;  // a running engine keeps its catcher and the signal it noted
    BRZ_CapturaSinais();
    if (IniciaModo(r, largura, altura, modoVideo, tituloJanela)) return true;
    BRZ_DevolveSinais();
    return false;
}

const BRZ_Renderizador* BRZ_RenderizadorAtivo() { return ativo; }

void BRZ_EncerraCom(const BRZ_Renderizador& r) {
    if (!inicializado) return;
    // Decoding ahead stops first: no helper thread outlives the engine, and
    // the pictures no load took go back.
    BRZ_EncerraAntecipacao();
    c_shutdown = true;
    puts("Apagando os spritesets e fontes do sistema.");
    EsvaziaRegistros();
    puts("Encerrando a SDL.");
    if (screen) SDL_FreeSurface(screen);
    BRZ_EncerraSubsistema(SDL_INIT_VIDEO);
    BRZ_DevolveSinais();
    screen = nullptr;
    fputs(r.despedida, stdout);
    fflush(stdout);
    ativo = nullptr;
    inicializado = false;
}
