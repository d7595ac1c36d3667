// Brisa2D 2 — engine core: state, dispatch table, sprite-set registry,
// input, timing, collision masks, collision tests and bitmap fonts.
#include "brisa2d2.h"
#include "brisa2d2_gl.h"
#include "brisa2d2_sdl.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

static const Uint32 BITS_POR_PALAVRA = 32;
static const Uint32 BIT_MAIS_ALTO = 0x80000000u;

// ---------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------

bool inicializado = false;
bool c_shutdown = false;
SDL_Surface* screen = nullptr;
BRZ_SpriteSet sprites[BRZ_MAX_SPRITESETS];
BRZ_Fonte fontes[BRZ_MAX_FONTES];
void (*BRZ_SincronizaUsuario)() = nullptr;

static BRZ_Botao teclas[BRZ_MAXTECLAS];
static BRZ_Mouse mouse;

// Stand-ins for the dispatch slots before the first start-up: nothing is
// drawn, nothing loads, and nothing touches SDL or OpenGL.
static void ParadoEncerra() {}
static void ParadoSincroniza(Uint8) {}
static void ParadoLimpaTela() {}
static void ParadoTrocaCor(Uint8, Uint8, Uint8) {}
static void ParadoLimita(int, int, int, int) {}
static void ParadoLibera() {}
static unsigned int ParadoCarrega(const char* arquivo, int, int) {
    printf("A Brisa2D 2 não foi iniciada: o arquivo %s não foi carregado.\n", arquivo ? arquivo : "(nulo)");
    return 0;
}
static void ParadoRemove(unsigned int) {}
static bool ParadoDesenha(unsigned int, unsigned int, int, int) { return false; }
static bool ParadoDesenhaEfeito(unsigned int, unsigned int, int*, int*, Uint8, Uint8, Uint8, Uint8) {
    return false;
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
// Engine core
// ---------------------------------------------------------------------------

bool BRZ_Inicia(unsigned int largura, unsigned int altura, int modoVideo, int tipoRender,
                const char* tituloJanela) {
    if (tipoRender == BRZ_DESENHO_OPENGL) return BRZGL_Inicia(largura, altura, modoVideo, tituloJanela);
    return BRZSDL_Inicia(largura, altura, modoVideo, tituloJanela);
}

unsigned int BRZ_ProcuraSpriteSet(const char* apelido) {
    if (!apelido) return 0;
    for (unsigned int i = 0; i < BRZ_MAX_SPRITESETS; ++i)
        if (strcmp(sprites[i].apelido, apelido) == 0) return i + 1;
    return 0;
}

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

void BRZ_ProcessaTecla(BRZ_Botao* tecla, Uint8 evento) {
    if (evento == SDL_KEYDOWN)
        BRZ_PressionaBotao(tecla);
    else if (evento == SDL_KEYUP)
        BRZ_LiberaBotao(tecla);
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

unsigned long BRZ_TempoSistema() { return SDL_GetTicks(); }

void BRZ_Pausa(Uint32 pausa) { SDL_Delay(pausa); }

void BRZ_DefineSincronizaUsuario(void (*funcao)()) { BRZ_SincronizaUsuario = funcao; }

// ---------------------------------------------------------------------------
// Registry services shared by the renderers
// ---------------------------------------------------------------------------

bool BRZ_ReservaSpriteSet(const char* arquivo, unsigned int* id) {
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

bool BRZ_CriaMascarasSpriteSet(BRZ_SpriteSet* s) {
    s->bmask = BRZ_CriaVetorBitMasks(s->imagem, s->spLargura, s->spAltura, s->largura, s->altura);
    if (!s->bmask) return false;
    BRZ_PreencheVetorBitMasks(s->imagem, s->spLargura, s->spAltura, s->largura, s->altura, s->bmask);
    return true;
}

void BRZ_LiberaSpriteSet(BRZ_SpriteSet* s) {
    s->usuarios = 0;
    if (s->imagem) {
        SDL_FreeSurface(s->imagem);
        s->imagem = nullptr;
    }
    s->apelido[0] = '\0';
    if (s->bmask) {
        int n = s->matrizX * s->matrizY;
        for (int i = 0; i < n; ++i) BRZ_RemoveBitMask(s->bmask[i]);
        free(s->bmask);
        s->bmask = nullptr;
    }
}

bool BRZ_SoltaSpriteSet(unsigned int id) {
    if (id == 0 || id > BRZ_MAX_SPRITESETS) return false;
    BRZ_SpriteSet& s = sprites[id - 1];
    if (s.usuarios > 1 && !c_shutdown) {
        s.usuarios--;
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Collision masks
// ---------------------------------------------------------------------------

static inline Uint32 ChaveMagenta(SDL_Surface* surface) {
    return SDL_MapRGBA(surface->format, 255, 0, 255, 255);
}

// 1 for a solid pixel value, 0 for a transparent one (see PontoTransparente).
static inline Uint32 Solido(Uint32 p, Uint32 chave) {
    return Uint32(p != chave) & Uint32((p >> 24) != 0);
}

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

// Fills one frame's mask a whole word at a time from a locked 32-bit surface.
static void PreencheMascara32(SDL_Surface* imagem, int x0, int y0, Uint32 chave, BRZ_BitMask* m) {
    for (int l = 0; l < m->altura; ++l) {
        const Uint32* linha = reinterpret_cast<const Uint32*>(
            static_cast<const Uint8*>(imagem->pixels) + (y0 + l) * imagem->pitch) + x0;
        Uint32* saida = m->mask + l * m->ldwords;
        for (int w = 0; w < m->ldwords; ++w) {
            int inicio = w * int(BITS_POR_PALAVRA);
            int n = m->largura - inicio < 32 ? m->largura - inicio : 32;
            Uint32 palavra = 0;
            for (int i = 0; i < n; ++i) palavra |= Solido(linha[inicio + i], chave) << (31 - i);
            saida[w] = palavra;
        }
    }
}

// Any other depth goes pixel by pixel through the transparency rule.
static void PreencheMascaraGenerica(SDL_Surface* imagem, int x0, int y0, BRZ_BitMask* m) {
    for (int l = 0; l < m->altura; ++l)
        for (int c = 0; c < m->largura; ++c)
            BRZ_SetBit(m, c, l, PontoTransparente(imagem, x0 + c, y0 + l) ? 0 : 1);
}

void BRZ_PreencheVetorBitMasks(SDL_Surface* imagem, int spx, int spy, int limagem, int aimagem,
                               BRZ_BitMask** bmask) {
    if (spx < 1 || spy < 1) return;
    int colunas = limagem / spx, linhas = aimagem / spy;
    // Frames that would reach past the surface are never read.
    if (colunas * spx > imagem->w) colunas = imagem->w / spx;
    if (linhas * spy > imagem->h) linhas = imagem->h / spy;
    bool palavraInteira = imagem->format->BytesPerPixel == 4;
    Uint32 chave = ChaveMagenta(imagem);
    SDL_LockSurface(imagem);
    for (int y = 0; y < linhas; ++y) {
        for (int x = 0; x < colunas; ++x) {
            BRZ_BitMask* m = bmask[y * (limagem / spx) + x];
            if (palavraInteira)
                PreencheMascara32(imagem, x * spx, y * spy, chave, m);
            else
                PreencheMascaraGenerica(imagem, x * spx, y * spy, m);
        }
    }
    SDL_UnlockSurface(imagem);
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

// ---------------------------------------------------------------------------
// Bitmap fonts
// ---------------------------------------------------------------------------

void BRZ_RemoveFonte(unsigned int id) {
    if (id == 0 || id > BRZ_MAX_FONTES) return;
    BRZ_Fonte& f = fontes[id - 1];
    if (f.usuarios > 1 && !c_shutdown) {
        f.usuarios--;
        return;
    }
    if (f.idSpriteSet != 0) {
        BRZ_RemoveSpriteSet(f.idSpriteSet);
        f.idSpriteSet = 0;
        f.apelido[0] = '\0';
    }
    f.usuarios = 0;
}
