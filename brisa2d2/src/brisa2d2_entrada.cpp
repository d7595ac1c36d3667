// Brisa2D 2 — input and timing: SDL's event queue turned into the states of
// 54 keys and three mouse buttons, the clock, and the frame's end that every
// renderer shares (user hook, pacing, present, input poll).
#include "brisa2d2.h"
#include "brisa2d2_plataforma.h"

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

static const Sint32 MS_POR_SEGUNDO = 1000;

// ---------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------

void (*BRZ_SincronizaUsuario)() = nullptr;

static BRZ_Botao teclas[BRZ_MAXTECLAS];
static BRZ_Mouse mouse;

// ---------------------------------------------------------------------------
// Private helpers
// ---------------------------------------------------------------------------

// The entry of `teclas` that an SDL key code drives, or -1 for an unmapped key.
static int EntradaDaTecla(SDLKey tecla) {
    if (tecla >= SDLK_a && tecla <= SDLK_z) return BRZ_A + (tecla - SDLK_a);
    if (tecla >= SDLK_0 && tecla <= SDLK_9) return BRZ_0 + (tecla - SDLK_0);
    switch (tecla) {
        case SDLK_UP: return BRZ_CIMA;
        case SDLK_DOWN: return BRZ_BAIXO;
        case SDLK_RIGHT: return BRZ_DIREITA;
        case SDLK_LEFT: return BRZ_ESQUERDA;
        case SDLK_ESCAPE: return BRZ_ESC;
        case SDLK_F1: return BRZ_F1;
        case SDLK_F2: return BRZ_F2;
        case SDLK_F3: return BRZ_F3;
        case SDLK_F4: return BRZ_F4;
        case SDLK_RETURN: return BRZ_ENTER;
        case SDLK_SPACE: return BRZ_ESPACO;
        case SDLK_LALT: return BRZ_LALT;
        case SDLK_RALT: return BRZ_RALT;
        case SDLK_LCTRL: return BRZ_LCTRL;
        case SDLK_RCTRL: return BRZ_RCTRL;
        case SDLK_LSHIFT: return BRZ_LSHIFT;
        case SDLK_RSHIFT: return BRZ_RSHIFT;
        default: return -1;
    }
}

// The mouse button an SDL button number drives, or -1 (the wheel and others).
static int EntradaDoBotao(Uint8 botao) {
    switch (botao) {
        case SDL_BUTTON_LEFT: return BRZ_MESQUERDO;
        case SDL_BUTTON_RIGHT: return BRZ_MDIREITO;
        case SDL_BUTTON_MIDDLE: return BRZ_MMEIO;
        default: return -1;
    }
}

static void EsqueceTransicoes(BRZ_Botao* botoes, int n) {
    for (int i = 0; i < n; ++i) {
        botoes[i].pressionado = false;
        botoes[i].liberado = false;
    }
}

static void TrataBotaoMouse(const SDL_MouseButtonEvent& ev, bool desce) {
    mouse.x = ev.x;
    mouse.y = ev.y;
    int b = EntradaDoBotao(ev.button);
    if (b < 0) return;
    if (desce)
        BRZ_PressionaBotao(&mouse.botoes[b]);
    else
        BRZ_LiberaBotao(&mouse.botoes[b]);
}

// ---------------------------------------------------------------------------
// Public functions
// ---------------------------------------------------------------------------

void BRZ_Entrada() {
    EsqueceTransicoes(teclas, BRZ_MAXTECLAS);
    EsqueceTransicoes(mouse.botoes, BRZ_MMAX);
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) {
        switch (ev.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                int t = EntradaDaTecla(ev.key.keysym.sym);
                if (t >= 0) BRZ_ProcessaTecla(&teclas[t], ev.type);
                break;
            }
            case SDL_MOUSEMOTION:
                mouse.x = ev.motion.x;
                mouse.y = ev.motion.y;
                break;
            case SDL_MOUSEBUTTONDOWN: TrataBotaoMouse(ev.button, true); break;
            case SDL_MOUSEBUTTONUP: TrataBotaoMouse(ev.button, false); break;
            case SDL_QUIT: BRZ_PressionaBotao(&teclas[BRZ_ENCERRA]); break;
            default: break;
        }
    }
}

BRZ_Botao* BRZ_PegaTeclas() { return teclas; }

BRZ_Mouse* BRZ_PegaMouse() { return &mouse; }

void BRZ_PressionaBotao(BRZ_Botao* botao) {
    botao->pressionado = true;
    botao->liberado = false;
    botao->ativo = true;
}

void BRZ_LiberaBotao(BRZ_Botao* botao) {
    botao->ativo = false;
    botao->liberado = true;
    botao->pressionado = false;
}

// The event type arrives as a byte. SDL 1.2 numbers the key events 2 and 3;
// emscripten's SDL numbers them 0x300 and 0x301, of which the byte keeps
// 0x00 and 0x01: compared as bytes, both tell a press from a release.
void BRZ_ProcessaTecla(BRZ_Botao* tecla, Uint8 evento) {
    if (evento == Uint8(SDL_KEYDOWN))
        BRZ_PressionaBotao(tecla);
    else if (evento == Uint8(SDL_KEYUP))
        BRZ_LiberaBotao(tecla);
}

unsigned long BRZ_TempoSistema() { return SDL_GetTicks(); }

void BRZ_Pausa(Uint32 pausa) { SDL_Delay(pausa); }

void BRZ_DefineSincronizaUsuario(void (*funcao)()) { BRZ_SincronizaUsuario = funcao; }

void BRZ_SincronizaCom(const BRZ_Renderizador& r, Uint8 fps, Uint32* tempoAnterior) {
    if (BRZ_SincronizaUsuario) BRZ_SincronizaUsuario();
    if (fps == 0) fps = 1;
    Sint32 espera = MS_POR_SEGUNDO / fps - Sint32(SDL_GetTicks()) + Sint32(*tempoAnterior);
    BRZ_EsperaQuadro(espera);
    *tempoAnterior = SDL_GetTicks();
    if (!inicializado) return;
    r.Apresenta();
    BRZ_Entrada();
}
