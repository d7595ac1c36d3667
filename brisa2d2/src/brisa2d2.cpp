// Brisa2D 2 — engine core: state, dispatch table, sprite-set registry,
// input, timing, collision masks, collision tests and bitmap fonts.
#include "brisa2d2.h"
#include "brisa2d2_gl.h"
#include "brisa2d2_sdl.h"

#include <climits>
#include <SDL_image.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

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
    // A running engine keeps its catcher and the signal it noted.
    const bool parado = !inicializado;
    if (parado) BRZ_CapturaSinais();
    const bool iniciou = tipoRender == BRZ_DESENHO_OPENGL ? BRZGL_Inicia(largura, altura, modoVideo, tituloJanela)
                                                          : BRZSDL_Inicia(largura, altura, modoVideo, tituloJanela);
    if (parado && !iniciou) BRZ_DevolveSinais();
    return iniciou;
}

unsigned int BRZ_ProcuraSpriteSet(const char* apelido) {
    if (!apelido) return 0;
    // Free slots have empty names: matching one would let a load of "" take a
    // holder of a slot with no picture in it.
    for (unsigned int i = 0; i < BRZ_MAX_SPRITESETS; ++i)
        if (sprites[i].imagem && strcmp(sprites[i].apelido, apelido) == 0) return i + 1;
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

BRZ_SpriteSet* BRZ_IniciaCarga(const char* arquivo, unsigned int* id) {
    *id = 0;
    if (!inicializado) {
        printf("A Brisa2D 2 não foi iniciada: o arquivo %s não foi carregado.\n", arquivo ? arquivo : "(nulo)");
        return nullptr;
    }
    if (ReservaSpriteSet(arquivo, id) || *id == 0) return nullptr;
    BRZ_SpriteSet* s = &sprites[*id - 1];
    SDL_Surface* img = IMG_Load(arquivo);
    if (!img) {
        printf("A função BRZ_CarregaSPriteset falhou ao carregar o arquivo %s. Erro: %s.\n", arquivo, SDL_GetError());
        *id = BRZ_LiberaSpriteSet(s);
        return nullptr;
    }
    s->imagem = img;
    s->largura = img->w;
    s->altura = img->h;
    return s;
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

// Defined with the collision masks below.
static void PreencheMascaras(SDL_Surface* imagem, int spx, int spy, int limagem, int aimagem, BRZ_BitMask** bmask,
                             bool apagaMagenta);

bool BRZ_CriaMascarasSpriteSet(BRZ_SpriteSet* s, bool apagaMagenta) {
    s->bmask = BRZ_CriaVetorBitMasks(s->imagem, s->spLargura, s->spAltura, s->largura, s->altura);
    if (!s->bmask) return false;
    PreencheMascaras(s->imagem, s->spLargura, s->spAltura, s->largura, s->altura, s->bmask, apagaMagenta);
    return true;
}

#if defined(__linux__) && defined(MADV_HUGEPAGE)
// From this size up a surface's pixels are mapped by the engine: one huge page.
static const size_t BYTES_PAGINA_GRANDE = size_t(2) << 20;

// The length of the mapping that holds `bytes` bytes of pixels.
static size_t TamanhoMapeado(size_t bytes) {
    size_t pagina = size_t(sysconf(_SC_PAGESIZE));
    return (bytes + pagina - 1) / pagina * pagina;
}

// Pixels mapped fresh from the system read as zeros, so the surface needs no
// clearing pass; the advice asks for huge pages, where the system has them,
// before anything touches the memory. Null when there is no large mapping to
// make (small surface, no memory).
static SDL_Surface* SuperficieMapeada(int largura, int altura, Uint32 r, Uint32 g, Uint32 b, Uint32 a) {
    size_t pitch = size_t(largura) * 4;
    size_t bytes = TamanhoMapeado(pitch * size_t(altura));
    if (largura <= 0 || altura <= 0 || bytes < BYTES_PAGINA_GRANDE) return nullptr;
    void* pixels = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pixels == MAP_FAILED) return nullptr;
    madvise(pixels, bytes, MADV_HUGEPAGE);
    SDL_Surface* s = SDL_CreateRGBSurfaceFrom(pixels, largura, altura, 32, int(pitch), r, g, b, a);
    if (!s) munmap(pixels, bytes);
    return s;
}
#endif

SDL_Surface* BRZ_CriaSuperficie(int largura, int altura, Uint32 rmask, Uint32 gmask, Uint32 bmask, Uint32 amask) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (SDL_Surface* s = SuperficieMapeada(largura, altura, rmask, gmask, bmask, amask)) return s;
#endif
    return SDL_CreateRGBSurface(0, largura, altura, 32, rmask, gmask, bmask, amask);
}

void BRZ_LiberaSuperficie(SDL_Surface* s) {
    if (!s) return;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // Only BRZ_CriaSuperficie hands SDL pixels that SDL must not free itself.
    if (s->flags & SDL_PREALLOC) {
        void* pixels = s->pixels;
        size_t bytes = TamanhoMapeado(size_t(s->pitch) * size_t(s->h));
        SDL_FreeSurface(s);
        munmap(pixels, bytes);
        return;
    }
#endif
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

bool BRZ_SoltaSpriteSet(unsigned int id) {
    if (id == 0 || id > BRZ_MAX_SPRITESETS) return false;
    BRZ_SpriteSet& s = sprites[id - 1];
    if (s.usuarios > 1 && !c_shutdown) {
        s.usuarios--;
        return false;
    }
    return true;
}

Uint32 BRZ_AnunciaModoVideo(int modoVideo, Uint32 flags) {
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

// The depth asked for is 32 bits; an OpenGL mode takes its colour depth from
// the context's attributes, and SDL converts a software surface. On a 16-bit
// desktop SDL 1.2 answers such a request with the desktop's depth, while
// sdl12-compat refuses any depth above the desktop's, although it then sets
// the 32-bit mode all the same; asking again at the desktop's depth makes
// both answer the question that matters: does a mode of this size exist.
int BRZ_ModoVideoDisponivel(unsigned int largura, unsigned int altura, Uint32 flags) {
    const int kProfundidade = 32;
    int bpp = SDL_VideoModeOK(int(largura), int(altura), kProfundidade, flags);
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    if (bpp == 0 && info && info->vfmt && info->vfmt->BitsPerPixel < kProfundidade)
        bpp = SDL_VideoModeOK(int(largura), int(altura), info->vfmt->BitsPerPixel, flags);
    return bpp;
}

void BRZ_EsvaziaRegistros() {
    // Fonts first: each holds a sprite set.
    for (unsigned int i = 1; i <= BRZ_MAX_FONTES; ++i) BRZ_RemoveFonte(i);
    for (unsigned int i = 1; i <= BRZ_MAX_SPRITESETS; ++i) BRZ_RemoveSpriteSet(i);
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

// The mask word of the first n (1 to 32) pixels of px, one pixel at a time
// (the leftmost in the top bit, the bits past pixel n left 0); with APAGA,
// opaque magenta among them is written over with transparent black.
template <bool APAGA>
static inline Uint32 PalavraParcial(Uint32* px, int n, Uint32 chave) {
    Uint32 palavra = 0;
    for (int i = 0; i < n; ++i) {
        palavra |= Solido(px[i], chave) << (31 - i);
        if (APAGA && px[i] == chave) px[i] = 0;
    }
    return palavra;
}

#if defined(__SSE2__)
// A 4-bit lane mask (lane 0 in bit 0) with its bits in the opposite order, so
// that lane 0, the leftmost pixel, lands in the highest bit.
static const Uint8 INVERTE_4_BITS[16] = {0x0, 0x8, 0x4, 0xC, 0x2, 0xA, 0x6, 0xE,
                                         0x1, 0x9, 0x5, 0xD, 0x3, 0xB, 0x7, 0xF};
#endif

// PalavraParcial for 32 pixels, four at a time where SSE2 exists. The magenta
// is written over while the pixels are at hand: the key needs no pass of its own.
template <bool APAGA>
static inline Uint32 PalavraCheia(Uint32* px, Uint32 chave) {
#if defined(__SSE2__)
    const __m128i k = _mm_set1_epi32(int(chave));
    const __m128i zero = _mm_setzero_si128();
    Uint32 transparentes = 0;
    for (int q = 0; q < int(BITS_POR_PALAVRA) / 4; ++q) {
        __m128i* p = reinterpret_cast<__m128i*>(px + 4 * q);
        __m128i v = _mm_loadu_si128(p);
        __m128i magenta = _mm_cmpeq_epi32(v, k);
        __m128i semAlfa = _mm_cmpeq_epi32(_mm_srli_epi32(v, 24), zero);
        int lanes = _mm_movemask_ps(_mm_castsi128_ps(_mm_or_si128(magenta, semAlfa)));
        transparentes = (transparentes << 4) | INVERTE_4_BITS[lanes];
        // Stored only when something changes: most words hold no magenta.
        if (APAGA && _mm_movemask_ps(_mm_castsi128_ps(magenta)) != 0)
            _mm_storeu_si128(p, _mm_andnot_si128(magenta, v));
    }
    return ~transparentes;
#else
    return PalavraParcial<APAGA>(px, int(BITS_POR_PALAVRA), chave);
#endif
}

// Fills one frame's mask a whole word at a time from a locked 32-bit surface.
template <bool APAGA>
static void PreencheMascara32(SDL_Surface* imagem, int x0, int y0, Uint32 chave, BRZ_BitMask* m) {
    const int cheias = m->largura / int(BITS_POR_PALAVRA);
    const int resto = m->largura % int(BITS_POR_PALAVRA);
    for (int l = 0; l < m->altura; ++l) {
        Uint32* linha = reinterpret_cast<Uint32*>(static_cast<Uint8*>(imagem->pixels) + (y0 + l) * imagem->pitch) + x0;
        Uint32* saida = m->mask + l * m->ldwords;
        for (int w = 0; w < cheias; ++w) saida[w] = PalavraCheia<APAGA>(linha + w * int(BITS_POR_PALAVRA), chave);
        if (resto) saida[cheias] = PalavraParcial<APAGA>(linha + cheias * int(BITS_POR_PALAVRA), resto, chave);
    }
}

// Any other depth goes pixel by pixel through the transparency rule.
static void PreencheMascaraGenerica(SDL_Surface* imagem, int x0, int y0, BRZ_BitMask* m) {
    for (int l = 0; l < m->altura; ++l)
        for (int c = 0; c < m->largura; ++c)
            BRZ_SetBit(m, c, l, PontoTransparente(imagem, x0 + c, y0 + l) ? 0 : 1);
}

// Opaque magenta becomes transparent black in a rectangle of a locked 32-bit
// surface: the parts of the picture that lie in no whole frame.
static void ApagaMagenta(SDL_Surface* imagem, int x0, int y0, int largura, int altura, Uint32 chave) {
    for (int y = y0; y < y0 + altura; ++y) {
        Uint32* linha = reinterpret_cast<Uint32*>(static_cast<Uint8*>(imagem->pixels) + y * imagem->pitch);
        for (int x = x0; x < x0 + largura; ++x)
            if (linha[x] == chave) linha[x] = 0;
    }
}

static void PreencheMascaras(SDL_Surface* imagem, int spx, int spy, int limagem, int aimagem, BRZ_BitMask** bmask,
                             bool apagaMagenta) {
    if (spx < 1 || spy < 1) return;
    int colunas = limagem / spx, linhas = aimagem / spy;
    // Frames that would reach past the surface are never read.
    if (colunas * spx > imagem->w) colunas = imagem->w / spx;
    if (linhas * spy > imagem->h) linhas = imagem->h / spy;
    bool palavraInteira = imagem->format->BytesPerPixel == 4;
    apagaMagenta = apagaMagenta && palavraInteira;
    Uint32 chave = ChaveMagenta(imagem);
    SDL_LockSurface(imagem);
    for (int y = 0; y < linhas; ++y) {
        for (int x = 0; x < colunas; ++x) {
            BRZ_BitMask* m = bmask[y * (limagem / spx) + x];
            if (apagaMagenta)
                PreencheMascara32<true>(imagem, x * spx, y * spy, chave, m);
            else if (palavraInteira)
                PreencheMascara32<false>(imagem, x * spx, y * spy, chave, m);
            else
                PreencheMascaraGenerica(imagem, x * spx, y * spy, m);
        }
    }
    if (apagaMagenta) {
        int larguraImagem = limagem < imagem->w ? limagem : imagem->w;
        int alturaImagem = aimagem < imagem->h ? aimagem : imagem->h;
        ApagaMagenta(imagem, colunas * spx, 0, larguraImagem - colunas * spx, alturaImagem, chave);
        ApagaMagenta(imagem, 0, linhas * spy, colunas * spx, alturaImagem - linhas * spy, chave);
    }
    SDL_UnlockSurface(imagem);
}

void BRZ_PreencheVetorBitMasks(SDL_Surface* imagem, int spx, int spy, int limagem, int aimagem,
                               BRZ_BitMask** bmask) {
    PreencheMascaras(imagem, spx, spy, limagem, aimagem, bmask, false);
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
// Collision tests
// ---------------------------------------------------------------------------

static const char* const MSG_SPRITE_INVALIDO = "Tentou colidir com um sprite invalido (0)";

// Whether two spans along one axis, the second starting `desvio` after the
// first, overlap or touch. Offsets are 64-bit so that positions far apart
// cannot wrap around into an overlap.
static inline bool IntervalosTocam(long long desvio, long long tamanho1, long long tamanho2) {
    return desvio >= 0 ? desvio <= tamanho1 : -desvio <= tamanho2;
}

static bool RetangulosTocam(long long x1, long long y1, int l1, int a1, long long x2, long long y2, int l2,
                            int a2) {
    return IntervalosTocam(x2 - x1, l1, l2) && IntervalosTocam(y2 - y1, a1, a2);
}

bool BRZ_ColidiuQuadrados(int x1b, int y1b, int l1b, int a1b, int x2b, int y2b, int l2b, int a2b) {
    return RetangulosTocam(x1b, y1b, l1b, a1b, x2b, y2b, l2b, a2b);
}

// The mask of frame `indice` of a loaded set, or null when the set is not
// loaded (identifier past the registry, free slot) or the frame does not exist.
static const BRZ_SpriteSet* SpriteColidivel(unsigned int id) {
    if (id == 0 || id > BRZ_MAX_SPRITESETS) return nullptr;
    const BRZ_SpriteSet& s = sprites[id - 1];
    return s.bmask ? &s : nullptr;
}

static BRZ_BitMask* MascaraDoQuadro(const BRZ_SpriteSet* s, unsigned int indice) {
    if (!s || indice >= unsigned(s->matrizX) * unsigned(s->matrizY)) return nullptr;
    return s->bmask[indice];
}

bool BRZ_ColidiuSprites(unsigned int id1, unsigned int indice1, int x1, int y1,
                        unsigned int id2, unsigned int indice2, int x2, int y2) {
    if (id1 == 0 || id2 == 0) {
        puts(MSG_SPRITE_INVALIDO);
        return false;
    }
    const BRZ_SpriteSet* s1 = SpriteColidivel(id1);
    const BRZ_SpriteSet* s2 = SpriteColidivel(id2);
    BRZ_BitMask* m1 = MascaraDoQuadro(s1, indice1);
    BRZ_BitMask* m2 = MascaraDoQuadro(s2, indice2);
    if (!m1 || !m2) return false;
    // Frame rectangles first: most pairs end here with a few comparisons.
    if (!RetangulosTocam(x1, y1, s1->spLargura, s1->spAltura, x2, y2, s2->spLargura, s2->spAltura)) return false;
    // The rectangles touch, so both offsets lie within a frame size: they fit an int.
    return BRZ_SobrepoeBitMasks(m1, m2, int((long long)x2 - x1), int((long long)y2 - y1)) != 0;
}

bool BRZ_ColidiuSprites(unsigned int id1, unsigned int indice1, int x1, int y1,
                        int x1b, int y1b, int l1b, int a1b,
                        unsigned int id2, unsigned int indice2, int x2, int y2,
                        int x2b, int y2b, int l2b, int a2b) {
    if (id1 == 0 || id2 == 0) {
        puts(MSG_SPRITE_INVALIDO);
        return false;
    }
    if (!MascaraDoQuadro(SpriteColidivel(id1), indice1) || !MascaraDoQuadro(SpriteColidivel(id2), indice2))
        return false;
    if (!RetangulosTocam((long long)x1 + x1b, (long long)y1 + y1b, l1b, a1b, (long long)x2 + x2b,
                         (long long)y2 + y2b, l2b, a2b))
        return false;
    // The boxes only gate the test: the pixels are compared where the sprites are drawn.
    return BRZ_ColidiuSprites(id1, indice1, x1, y1, id2, indice2, x2, y2);
}

// Where two masks overlap along one axis: the first pixel of the overlap in
// each mask and its length (0 or less when they do not overlap).
struct Faixa {
    int inicioA, inicioB;
    long long tamanho;
};

static Faixa FaixaSobreposta(int tamanhoA, int tamanhoB, long long desvio) {
    if (desvio >= 0) {
        long long tamanho = tamanhoA - desvio;
        return {int(desvio < tamanhoA ? desvio : 0), 0, tamanho < tamanhoB ? tamanho : tamanhoB};
    }
    long long tamanho = tamanhoB + desvio;
    return {0, int(-desvio < tamanhoB ? -desvio : 0), tamanho < tamanhoA ? tamanho : tamanhoA};
}

// One overlap test, set up so that one mask (the aligned one) starts the
// overlap at its column 0: its words are the chunks as they are. Only the
// other mask's words are shifted, by the same amount for the whole call.
struct Varredura {
    const Uint32* alinhada;    // first overlap row of the aligned mask
    const Uint32* deslocada;   // word holding the first overlap pixel of the other
    int passoAlinhada, passoDeslocada;  // words per row
    int linhas;                // overlap height
    int palavras;              // chunks per row, the last one maybe partial
    unsigned int desvio;       // bit position of the first overlap pixel in its word
    Uint32 mascaraFinal;       // the pixels of the last chunk inside the overlap
    bool finalLeProxima;       // the last chunk reaches into the next word of the row
};

// Two words of a row as one 64-bit value, leftmost pixel in the top bit: one
// 64-bit load, plus a swap of its halves on a little-endian machine.
static inline Uint64 Par(const Uint32* p) {
    Uint64 x;
    memcpy(&x, p, sizeof x);
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
    x = (x << BITS_POR_PALAVRA) | (x >> BITS_POR_PALAVRA);
#endif
    return x;
}

// The 32 pixels starting `desvio` bits into p[0], running on into p[1].
// One 64-bit shift, so a zero `desvio` needs no case of its own.
static inline Uint32 Junta(const Uint32* p, unsigned int desvio) {
    return Uint32(Par(p) >> (BITS_POR_PALAVRA - desvio));
}

// The 64 pixels starting `desvio` bits into p[0], running on through p[2]
// (a zero `desvio` shifts p[2] out entirely: a 32-bit shift of a 64-bit value).
static inline Uint64 Junta64(const Uint32* p, unsigned int desvio) {
    return (Par(p) << desvio) | (Uint64(p[2]) >> (BITS_POR_PALAVRA - desvio));
}

// The pixels shared by one overlap row of both masks (0 when none). N > 0
// fixes the chunk count so the compiler unrolls the row (the game's pairs
// need 1 to 3 chunks), and pairs of chunks are then compared as one 64-bit
// value; N = 0 reads the count from v. Whole chunks read pd[j + 1], which
// still holds overlap pixels; the last chunk reads the next word only when
// its pixels reach into it, so no word outside the row is ever touched.
template <int N, bool FINAL_LE_PROXIMA>
static inline Uint64 ComumNaLinha(const Varredura& v, const Uint32* pa, const Uint32* pd) {
    const unsigned int k = v.desvio;
    if (N == 2) {
        Uint64 final = (~Uint64(0) << BITS_POR_PALAVRA) | v.mascaraFinal;
        Uint64 deslocada = FINAL_LE_PROXIMA ? Junta64(pd, k) : Par(pd) << k;
        return Par(pa) & deslocada & final;
    }
    Uint64 comum = 0;
    int j = 0;
    const int n = N > 0 ? N : v.palavras;
    if (N == 3) {
        comum = Par(pa) & Junta64(pd, k);
        j = 2;
    }
    for (; j < n - 1; ++j) comum |= pa[j] & Junta(pd + j, k);
    Uint32 ultimo = FINAL_LE_PROXIMA ? Junta(pd + n - 1, k) : pd[n - 1] << k;
    return comum | (pa[n - 1] & ultimo & v.mascaraFinal);
}

// Walks the overlap two rows at a time (one test per pair of rows keeps the
// loop short) and stops at the first pair with a shared pixel.
template <int N, bool FINAL_LE_PROXIMA>
static bool VarreLinhas(const Varredura& v) {
    const Uint32* pa = v.alinhada;
    const Uint32* pd = v.deslocada;
    const int sa = v.passoAlinhada, sd = v.passoDeslocada;
    int l = 0;
    for (; l + 1 < v.linhas; l += 2, pa += 2 * sa, pd += 2 * sd) {
        if (ComumNaLinha<N, FINAL_LE_PROXIMA>(v, pa, pd) | ComumNaLinha<N, FINAL_LE_PROXIMA>(v, pa + sa, pd + sd))
            return true;
    }
    return l < v.linhas && ComumNaLinha<N, FINAL_LE_PROXIMA>(v, pa, pd) != 0;
}

template <bool FINAL_LE_PROXIMA>
static bool VarreSobreposicao(const Varredura& v) {
    switch (v.palavras) {
        case 1: return VarreLinhas<1, FINAL_LE_PROXIMA>(v);
        case 2: return VarreLinhas<2, FINAL_LE_PROXIMA>(v);
        case 3: return VarreLinhas<3, FINAL_LE_PROXIMA>(v);
        default: return VarreLinhas<0, FINAL_LE_PROXIMA>(v);
    }
}

int BRZ_SobrepoeBitMasks(BRZ_BitMask* a, BRZ_BitMask* b, int offx, int offy) {
    if (!a || !b) return 0;  // no mask, no solid pixel
    Faixa h = FaixaSobreposta(a->largura, b->largura, offx);
    if (h.tamanho <= 0) return 0;
    Faixa vert = FaixaSobreposta(a->altura, b->altura, offy);
    if (vert.tamanho <= 0) return 0;
    // Either a or b starts the overlap at column 0; that one is the aligned side.
    bool aAlinhada = h.inicioA == 0;
    const BRZ_BitMask* al = aAlinhada ? a : b;
    const BRZ_BitMask* de = aAlinhada ? b : a;
    int linhaAl = aAlinhada ? vert.inicioA : vert.inicioB;
    int linhaDe = aAlinhada ? vert.inicioB : vert.inicioA;
    int colunaDe = aAlinhada ? h.inicioB : h.inicioA;
    int largura = int(h.tamanho);

    Varredura v;
    v.alinhada = al->mask + linhaAl * al->ldwords;
    v.deslocada = de->mask + linhaDe * de->ldwords + colunaDe / int(BITS_POR_PALAVRA);
    v.passoAlinhada = al->ldwords;
    v.passoDeslocada = de->ldwords;
    v.linhas = int(vert.tamanho);
    v.palavras = (largura + int(BITS_POR_PALAVRA) - 1) / int(BITS_POR_PALAVRA);
    v.desvio = unsigned(colunaDe) % BITS_POR_PALAVRA;
    unsigned int resto = unsigned(largura) - (unsigned(v.palavras) - 1) * BITS_POR_PALAVRA;  // 1..32
    v.mascaraFinal = ~Uint32(0) << (BITS_POR_PALAVRA - resto);
    v.finalLeProxima = v.desvio + resto > BITS_POR_PALAVRA;
    bool comum = v.finalLeProxima ? VarreSobreposicao<true>(v) : VarreSobreposicao<false>(v);
    return comum ? -1 : 0;
}

// ---------------------------------------------------------------------------
// Bitmap fonts
// ---------------------------------------------------------------------------

// A font image is a 16 x 16 matrix of square glyph cells, one per byte value.
static const int GLIFOS_POR_LINHA = 16;
static const int NUM_GLIFOS = 256;
static const unsigned char CODIGO_ESPACO = ' ';

static const char* const MSG_FONTE_NAO_ABRE = "Não conseguir abrir a fonte do arquivo %s.\n";
static const char* const MSG_FONTE_DIMENSOES =
    "As dimensões da fonte são inválidas. utilize um arquivo de %lldx%lld pixels, com as fontes numa matriz 16x16.\n";
static const char* const MSG_TEXTO_DIMENSOES = "Falhou ao procurar as dimensões do texto %s com a fonte %s.\n";

// The slot of a loaded font, or null for an identifier outside 1..64 or a free slot.
static BRZ_Fonte* FonteCarregada(unsigned int id) {
    if (id == 0 || id > BRZ_MAX_FONTES) return nullptr;
    BRZ_Fonte& f = fontes[id - 1];
    return f.idSpriteSet != 0 ? &f : nullptr;
}

// Blank columns kept after a glyph's ink before the next one; larger cells
// get a wider gap so text keeps its look at any size.
static int EspacamentoGlifo(int tamanho) {
    if (tamanho >= 64) return 3;
    if (tamanho >= 32) return 2;
    return 1;
}

static bool ColunaTransparente(SDL_Surface* imagem, int x, int y0, int altura) {
    for (int y = y0; y < y0 + altura; ++y)
        if (!PontoTransparente(imagem, x, y)) return false;
    return true;
}

// Left bearing and advance of glyph c from its cell of the locked surface.
// The advance runs to the last inked column, not to the first blank one, so a
// glyph split by a blank column (a double quote) is not overdrawn by the next.
static void MedeGlifo(BRZ_Fonte& f, SDL_Surface* imagem, int c) {
    const int t = f.tamanhoFonte;
    const int x0 = t * (c % GLIFOS_POR_LINHA), y0 = t * (c / GLIFOS_POR_LINHA);
    int primeira = -1, ultimaTinta = -1;
    for (int col = 0; col < t; ++col) {
        if (ColunaTransparente(imagem, x0 + col, y0, t)) continue;
        if (primeira < 0) primeira = col;
        ultimaTinta = col;
    }
    if (primeira < 0) {  // empty cell: a blank of the full cell width
        f.larguras[c] = t;
        f.deslocamentos[c] = 0;
        return;
    }
    f.deslocamentos[c] = primeira;
    if (ultimaTinta == t - 1) {  // ink up to the cell's edge: no room for spacing
        f.larguras[c] = t - primeira;
        return;
    }
    int fim = ultimaTinta + 1 + EspacamentoGlifo(t);
    f.larguras[c] = (fim <= t ? fim : t) - primeira;
}

static void MedeFonte(BRZ_Fonte& f, SDL_Surface* imagem) {
    SDL_LockSurface(imagem);
    for (int c = 0; c < NUM_GLIFOS; ++c) MedeGlifo(f, imagem, c);
    SDL_UnlockSurface(imagem);
    // The space has no ink to measure: half a cell.
    f.larguras[CODIGO_ESPACO] = f.tamanhoFonte / 2;
    f.deslocamentos[CODIGO_ESPACO] = 0;
}

// The loaded image must be exactly 16 cells across and down. Its own size is
// checked, not the surface's: the OpenGL renderer pads the surface to a
// power-of-two square, which would refuse good fonts (12-pixel cells) there.
static bool TamanhoDeFonteValido(const BRZ_SpriteSet& s, int dimensao) {
    long long lado = (long long)GLIFOS_POR_LINHA * dimensao;
    return dimensao > 0 && s.largura == lado && s.altura == lado;
}

static void EsvaziaFonte(BRZ_Fonte& f) {
    f.apelido[0] = '\0';
    f.idSpriteSet = 0;
    f.usuarios = 0;
}

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

unsigned int BRZ_ProcuraFonte(const char* apelido) {
    if (!apelido) return 0;
    // Free slots are skipped: their empty name would match an empty argument.
    for (unsigned int i = 0; i < BRZ_MAX_FONTES; ++i)
        if (fontes[i].idSpriteSet != 0 && strcmp(fontes[i].apelido, apelido) == 0) return i + 1;
    return 0;
}

unsigned int BRZ_CarregaFonte(const char* arquivo, int dimensao) {
    unsigned int n = BRZ_ProcuraFonte(arquivo);
    if (n != 0) {
        fontes[n - 1].usuarios++;
        return n;
    }
    BRZ_Fonte* f = nullptr;
    for (BRZ_Fonte& livre : fontes)
        if (livre.idSpriteSet == 0) {
            f = &livre;
            break;
        }
    if (!f) return 0;
    // An empty name would look like a free slot; a name that does not fit
    // cannot be kept. Neither can name a font file.
    if (!arquivo || arquivo[0] == '\0' || strlen(arquivo) >= BRZ_TAM_APELIDO) {
        printf(MSG_FONTE_NAO_ABRE, arquivo ? arquivo : "(nulo)");
        return 0;
    }
    strcpy(f->apelido, arquivo);
    f->tamanhoFonte = dimensao;
    f->idSpriteSet = BRZ_CarregaSpriteSet(arquivo, dimensao, dimensao);
    if (f->idSpriteSet == 0) {
        printf(MSG_FONTE_NAO_ABRE, arquivo);
        EsvaziaFonte(*f);
        return 0;
    }
    BRZ_SpriteSet& s = sprites[f->idSpriteSet - 1];
    if (!TamanhoDeFonteValido(s, dimensao)) {
        long long lado = (long long)GLIFOS_POR_LINHA * dimensao;
        printf(MSG_FONTE_DIMENSOES, lado, lado);
        BRZ_RemoveSpriteSet(f->idSpriteSet);
        EsvaziaFonte(*f);
        return 0;
    }
    MedeFonte(*f, s.imagem);
    f->usuarios = 1;
    return unsigned(f - fontes) + 1;
}

bool BRZ_DimensoesTexto(unsigned int idFonte, const char* texto, int* largura, int* altura) {
    const BRZ_Fonte* f = FonteCarregada(idFonte);
    if (!f || !texto) return false;
    if (altura) *altura = f->tamanhoFonte;
    long long soma = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(texto); *p; ++p) soma += f->larguras[*p];
    // Only a text of many millions of bytes gets here; keep the width representable.
    if (soma > INT_MAX) soma = INT_MAX;
    if (largura) *largura = int(soma);
    return true;
}

// Where the pen starts for a text of `largura` pixels aligned on x.
static long long InicioDaCaneta(int x, int largura, unsigned int alinhamento) {
    if (alinhamento == 0) return (long long)x - largura / 2;
    if (alinhamento == 1) return (long long)x - largura;
    return x;
}

bool BRZ_DesenhaTexto(unsigned int identificador, int x, int y, const char* texto, unsigned int alinhamento) {
    if (identificador == 0 || identificador > BRZ_MAX_FONTES || !texto) return false;
    const BRZ_Fonte& f = fontes[identificador - 1];
    int largura = 0;
    if (!BRZ_DimensoesTexto(identificador, texto, &largura, nullptr)) {
        printf(MSG_TEXTO_DIMENSOES, texto, f.apelido);
        return false;
    }
    long long caneta = InicioDaCaneta(x, largura, alinhamento);
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(texto); *p; ++p) {
        long long xGlifo = caneta - f.deslocamentos[*p];
        // A glyph whose position no longer fits an int is far off any screen.
        if (xGlifo < INT_MIN || xGlifo > INT_MAX) break;
        BRZ_DesenhaSprite(f.idSpriteSet, *p, int(xGlifo), y);
        caneta += f.larguras[*p];
    }
    return true;
}
