// Brisa2D 2 — OpenGL renderer: what it does differently from the software
// renderer. The core runs the steps both share (BRZ_Renderizador).
#include "brisa2d2_gl.h"
#include "brisa2d2_plataforma.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

// Channel masks of a working surface: bytes R, G, B, A in memory, the layout
// GL_RGBA with GL_UNSIGNED_BYTE reads (little-endian machine).
static const Uint32 rmask = 0x000000FF;
static const Uint32 gmask = 0x0000FF00;
static const Uint32 bmask = 0x00FF0000;
static const Uint32 amask = 0xFF000000;

// No OpenGL enumerant has this value, so after resetaGL the first request for
// any blend factor, wrap mode or filter always reaches OpenGL.
static const GLenum ESTADO_DESCONHECIDO = 0xFFFFFFFF;

// Square 32-bit images of these sides are uploaded as they are.
static const int LADO_DIRETO_MIN = 16;
static const int LADO_DIRETO_MAX = 1024;
static const int LADO_TEXTURA_MIN = 4;

// The one SDL video driver of this platform that gives OpenGL contexts. With
// no X display SDL would fall back to its text-console drivers, which cannot
// give one, and libcaca's ends the whole process when the terminal type is
// unknown, before the engine could say why it did not start.
// It is named through the environment entry SDL reads, put in place with
// putenv, which keeps this array itself: setenv's copy would be allocated,
// and lost for good if an allocation inside setenv failed.
#if defined(__unix__) && !defined(__APPLE__)
static const bool NOMEIA_DRIVER = true;
static char DRIVER_OPENGL[] = "SDL_VIDEODRIVER=x11";
#else
static const bool NOMEIA_DRIVER = false;
static char DRIVER_OPENGL[] = "";
#endif

// ---------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------

static GLubyte limpaR = 0, limpaG = 0, limpaB = 0;
static bool faz_blend = false;
static bool texturiza = false;
static GLuint textura = 0;
static GLenum blendOrigem = ESTADO_DESCONHECIDO, blendDestino = ESTADO_DESCONHECIDO;
static GLenum wrapTexturaS = ESTADO_DESCONHECIDO, wrapTexturaT = ESTADO_DESCONHECIDO;
static GLenum filtroMax = ESTADO_DESCONHECIDO, filtroMin = ESTADO_DESCONHECIDO;
static GLint maxtexsize = 0;

// ---------------------------------------------------------------------------
// Private helpers: the state cache, and the steps of start-up and load
// ---------------------------------------------------------------------------

static void resetaGL() {
    faz_blend = false;
    glDisable(GL_BLEND);
    texturiza = false;
    glDisable(GL_TEXTURE_2D);
    textura = 0;
    blendOrigem = blendDestino = ESTADO_DESCONHECIDO;
    wrapTexturaS = wrapTexturaT = ESTADO_DESCONHECIDO;
    filtroMax = filtroMin = ESTADO_DESCONHECIDO;
}

static void alteraBlend(bool estado) {
    if (estado == faz_blend) return;
    if (estado)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
    faz_blend = estado;
}

static void setaTexturizacao(bool estado) {
    if (estado == texturiza) return;
    if (estado)
        glEnable(GL_TEXTURE_2D);
    else
        glDisable(GL_TEXTURE_2D);
    texturiza = estado;
}

static void setaTextura(GLuint text) {
    if (text == textura) return;
    glBindTexture(GL_TEXTURE_2D, text);
    textura = text;
}

static void modoBlend(GLenum origem, GLenum destino) {
    if (origem == blendOrigem && destino == blendDestino) return;
    glBlendFunc(origem, destino);
    blendOrigem = origem;
    blendDestino = destino;
}

static void modoWrapTextura(GLenum wTexturaS, GLenum wTexturaT) {
    if (wTexturaS == wrapTexturaS && wTexturaT == wrapTexturaT) return;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GLint(wTexturaS));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GLint(wTexturaT));
    wrapTexturaS = wTexturaS;
    wrapTexturaT = wTexturaT;
}

static void modoFiltragem(GLenum fMax, GLenum fMin) {
    if (fMax == filtroMax && fMin == filtroMin) return;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GLint(fMin));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GLint(fMax));
    filtroMax = fMax;
    filtroMin = fMin;
}

// A picture of w x h with this many bytes per pixel is uploaded as it is.
static bool UsaDireto(int w, int h, int bytesPorPixel) {
    if (w != h || bytesPorPixel != 4) return false;
    for (int lado = LADO_DIRETO_MIN; lado <= LADO_DIRETO_MAX; lado *= 2)
        if (w == lado) return true;
    return false;
}

static bool UsaImagemDireto(const SDL_Surface* img) { return UsaDireto(img->w, img->h, img->format->BytesPerPixel); }

static int LadoTextura(int maior) {
    int lado = LADO_TEXTURA_MIN;
    while (lado < maior) lado *= 2;
    return lado;
}

// The side of the surface a w x h picture is kept and uploaded in: its own
// side when it is used as it is, else the smallest power of two (at least 4)
// that holds it; 0 when that exceeds the texture limit.
static int LadoDeTrabalho(int w, int h, int bytesPorPixel) {
    if (UsaDireto(w, h, bytesPorPixel)) return w;
    int maior = w > h ? w : h;
    return maior > maxtexsize ? 0 : LadoTextura(maior);
}

// Frame size check: refused when neither direction is a whole multiple of the
// frame size, or when not even one whole frame fits in some direction.
static bool GradeCabe(int w, int h, int spLargura, int spAltura) {
    if (spLargura < 1 || spAltura < 1) return true;
    bool cabeX = w % spLargura == 0, cabeY = h % spAltura == 0;
    if (!cabeX && !cabeY) return false;
    return w / spLargura >= 1 && h / spAltura >= 1;
}

// The frame grid of a w x h picture, or false with the message printed.
static bool DefineGrade(BRZ_SpriteSet* s, const char* arquivo, int w, int h, int largura, int altura) {
    if (!GradeCabe(w, h, largura, altura)) {
        printf("A imagem %s não pode ser usada como fonte de sprites de tamanho %ix%i\n.", arquivo, largura, altura);
        return false;
    }
    BRZ_DefineQuadros(s, largura, altura);
    return true;
}

static void ImprimeFalhaDeTrabalho(const char* arquivo) {
    printf("Não conseguiu criar a imagem temporária ao carregar o sprite set. Arquivo: %s. Erro: %s.\n", arquivo,
           SDL_GetError());
}

// Copies the loaded image into the top-left corner of a transparent
// power-of-two square; null (message printed) when the square cannot be made.
static SDL_Surface* SuperficieDeTrabalho(SDL_Surface* img, int lado, const char* arquivo) {
    SDL_Surface* s = BRZ_CriaSuperficie(lado, lado, rmask, gmask, bmask, amask);
    if (!s) {
        ImprimeFalhaDeTrabalho(arquivo);
        return nullptr;
    }
    if (img->format->BytesPerPixel == 4) {
        BRZ_TravaSuperficie(img);
        BRZ_TravaSuperficie(s);
        for (int i = 0; i < img->h; ++i)
            memcpy(static_cast<Uint8*>(s->pixels) + i * s->pitch,
                   static_cast<Uint8*>(img->pixels) + i * img->pitch, size_t(img->w) * 4);
        BRZ_DestravaSuperficie(s);
        BRZ_DestravaSuperficie(img);
    } else {
        SDL_UpperBlit(img, nullptr, s, nullptr);
    }
    return s;
}

// The set is loaded: its texture, from the surface as it now stands.
static void CriaTextura(BRZ_SpriteSet* s) {
    glGenTextures(1, &s->textura);
    glBindTexture(GL_TEXTURE_2D, s->textura);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, BRZ_GL_BORDA);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, BRZ_GL_BORDA);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, s->imagem->w, s->imagem->h, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 s->imagem->pixels);
    s->texturaLigada = true;
    // The new texture is bound now, not the one the cache remembers: forget it.
    textura = 0;
}

// Texture coordinates of frame `indice` and the state every sprite draw uses.
static void PreparaQuadro(const BRZ_SpriteSet& s, unsigned int indice, float* u, float* v, float* du,
                          float* dv) {
    unsigned int xImg = (indice % unsigned(s.matrizX)) * unsigned(s.spLargura);
    unsigned int yImg = (indice / unsigned(s.matrizX)) * unsigned(s.spAltura);
    *u = float(double(xImg) / s.larguraTextura);
    *v = float(double(yImg) / s.alturaTextura);
    *du = float(double(s.spLargura) / s.larguraTextura);
    *dv = float(double(s.spAltura) / s.alturaTextura);
    setaTexturizacao(true);
    setaTextura(s.textura);
    alteraBlend(true);
    modoBlend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    modoWrapTextura(BRZ_GL_BORDA, BRZ_GL_BORDA);
    modoFiltragem(GL_LINEAR, GL_LINEAR);
}

static const BRZ_SpriteSet* QuadroDesenhavel(unsigned int id, unsigned int indice) {
    if (id == 0 || id > BRZ_MAX_SPRITESETS || !inicializado) return nullptr;
    const BRZ_SpriteSet& s = sprites[id - 1];
    if (s.textura == 0 || indice >= unsigned(s.matrizX) * unsigned(s.matrizY)) return nullptr;
    return &s;
}

// SDL's video start-up on the driver the environment names or, when it
// names none, on the OpenGL driver alone; the environment is left as it was.
static int IniciaVideoOpenGL() {
    if (!NOMEIA_DRIVER || getenv("SDL_VIDEODRIVER")) return BRZ_IniciaSubsistema(SDL_INIT_VIDEO);
    // Without the entry SDL could fall back to a console driver (see above).
    if (putenv(DRIVER_OPENGL) != 0) {
        SDL_SetError("Out of memory");  // SDL's own text for it (its SDL_OutOfMemory is not in every SDL 1.2)
        return -1;
    }
    int resultado = BRZ_IniciaSubsistema(SDL_INIT_VIDEO);
    unsetenv("SDL_VIDEODRIVER");
    return resultado;
}

// Before the mode is set: an 8-bit RGBA, double-buffered context that waits
// for the display's refresh, with depth and stencil buffers.
static void PedeContexto() {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, BRZ_BITS_ALFA_QUADRO);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);  // clipping draws into the stencil buffer
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    BRZ_PedeTrocaNoRetraco();
}

// Once the mode is set: whether the context got its double buffer.
static void ConfereDoubleBuffer() {
    int duplo = 0;
    SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &duplo);
    if (duplo)
        puts("A aplicação está utilizando double buffer como esperado.");
    else
        puts("ATENÇÃO: a aplicação não está usando double buffer. Para melhores resultados, utilize um hardware que o suporte.");
}

static void PreparaOpenGL(unsigned int largura, unsigned int altura) {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glViewport(0, 0, GLsizei(largura), GLsizei(altura));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, largura, altura, 0, -1, 1);
    glClearColor(0, 0, 0, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    resetaGL();
    SDL_GL_SwapBuffers();
}

// After the window caption: the projection, the first frame, the texture
// limit and the clear colour.
static void PreparaModo(unsigned int largura, unsigned int altura) {
    PreparaOpenGL(largura, altura);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxtexsize);
    printf("O tamanho máximo de textura suportado é de %ix%i pixels.\n", maxtexsize, maxtexsize);
    limpaR = limpaG = limpaB = 0;
}

static void Apresenta() { SDL_GL_SwapBuffers(); }

// After the decode: the frame grid, then a power-of-two square surface to
// upload (the picture itself when it is one).
static bool PreparaImagem(BRZ_SpriteSet* s, const char* arquivo, int largura, int altura) {
    SDL_Surface* img = s->imagem;
    if (!DefineGrade(s, arquivo, img->w, img->h, largura, altura)) return false;
    if (!UsaImagemDireto(img)) {
        int maior = img->w > img->h ? img->w : img->h;
        if (maior > maxtexsize) {
            printf("A imagem excede o limite de %ix%i para uma textura OpenGL no sistema.\n", maxtexsize, maxtexsize);
            return false;
        }
        SDL_Surface* trabalho = SuperficieDeTrabalho(img, LadoTextura(maior), arquivo);
        if (!trabalho) return false;
        BRZ_LiberaSuperficie(img);
        s->imagem = trabalho;
    }
    s->larguraTextura = s->imagem->w;
    s->alturaTextura = s->imagem->h;
    return true;
}

// Decoding ahead: straight into the working surface PreparaImagem would
// make, on any thread. A picture over the texture limit is left to its load,
// which refuses it with its message.
static bool DecodificaAdiantado(const char* arquivo, BRZ_ImagemAntecipada* d) {
    return BRZ_DecodificaRGBA(arquivo, LadoDeTrabalho, d);
}

// PreparaImagem for a picture decoded ahead: the same grid check, then its
// square is the working surface.
static bool PreparaAntecipada(BRZ_SpriteSet* s, const char* arquivo, int largura, int altura,
                              BRZ_ImagemAntecipada* d) {
    bool ok = DefineGrade(s, arquivo, d->largura, d->altura, largura, altura);
    if (ok) {
        s->imagem = BRZ_SuperficieMapeada(d->pixels, d->lado, d->lado, rmask, gmask, bmask, amask);
        if (!s->imagem) ImprimeFalhaDeTrabalho(arquivo);
        ok = s->imagem != nullptr;
    }
    if (!ok) BRZ_DesmapeiaPixels(d->pixels, size_t(d->lado) * size_t(d->lado) * 4);
    d->pixels = nullptr;
    if (!ok) return false;
    s->larguraTextura = d->lado;
    s->alturaTextura = d->lado;
    return true;
}

// The set is being released: its texture goes with it.
static void ApagaTextura(BRZ_SpriteSet* s) {
    if (s->texturaLigada && s->textura != 0) {
        glDeleteTextures(1, &s->textura);
        // The deleted name may be the cached binding; forget it.
        textura = 0;
    }
    s->textura = 0;
    s->texturaLigada = false;
}

// ---------------------------------------------------------------------------
// The renderer's table
// ---------------------------------------------------------------------------

static const BRZ_Renderizador TABELA = {
    BRZGL_Encerra, BRZGL_Sincroniza, BRZGL_LimpaTela, BRZGL_TrocaCorLimpezaTela, BRZGL_LimitaAreaDesenho,
    BRZGL_LiberaAreaDesenho, BRZGL_CarregaSpriteSet, BRZGL_RemoveSpriteSet, BRZGL_DesenhaSprite,
    BRZGL_DesenhaSpriteEfeito,
    " (OpenGL)", SDL_OPENGL, IniciaVideoOpenGL, PedeContexto, ConfereDoubleBuffer, PreparaModo,
    Apresenta,
    PreparaImagem, true, CriaTextura, ApagaTextura,
    "Encerrou a SDL+OpenGL",
    DecodificaAdiantado, PreparaAntecipada,
};

// ---------------------------------------------------------------------------
// Public functions
// ---------------------------------------------------------------------------

bool BRZGL_Inicia(unsigned int largura, unsigned int altura, int modoVideo, const char* tituloJanela) {
    return BRZ_IniciaCom(TABELA, largura, altura, modoVideo, tituloJanela);
}

void BRZGL_Encerra() { BRZ_EncerraCom(TABELA); }

void BRZGL_Sincroniza(Uint8 fps) {
    static Uint32 tempoAnterior = 0;  // SDL ticks right after the previous frame's wait
    BRZ_SincronizaCom(TABELA, fps, &tempoAnterior);
}

// The clear paints the clear colour itself, opaque: the pixels a full-screen
// quad in that colour would leave, without filling the screen a second time
// every frame. While a clip area is set, such a quad would be refused by the
// stencil just cleared to 0, so the frame stays black with alpha 0.
void BRZGL_LimpaTela() {
    if (!inicializado) return;
    const GLfloat canal = 255.0f;
    if (glIsEnabled(GL_STENCIL_TEST))
        glClearColor(0, 0, 0, 0);
    else
        glClearColor(limpaR / canal, limpaG / canal, limpaB / canal, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    resetaGL();
    glLoadIdentity();
    setaTexturizacao(false);
}

void BRZGL_TrocaCorLimpezaTela(Uint8 r, Uint8 g, Uint8 b) {
    limpaR = r;
    limpaG = g;
    limpaB = b;
}

void BRZGL_LimitaAreaDesenho(int x, int y, int largura, int altura) {
    if (!inicializado) return;
    glEnable(GL_STENCIL_TEST);
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
    glStencilFunc(GL_ALWAYS, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    setaTexturizacao(false);
    alteraBlend(false);
    // Only the stencil marks the area; the colour buffer stays as it is.
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glColor4ub(255, 255, 255, 255);
    glBegin(GL_QUADS);
    glVertex2f(float(x), float(y));
    glVertex2f(float(x + largura), float(y));
    glVertex2f(float(x + largura), float(y + altura));
    glVertex2f(float(x), float(y + altura));
    glEnd();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glStencilFunc(GL_EQUAL, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
}

void BRZGL_LiberaAreaDesenho() {
    if (!inicializado) return;
    glDisable(GL_STENCIL_TEST);
}

unsigned int BRZGL_CarregaSpriteSet(const char* arquivo, int largura, int altura) {
    return BRZ_CarregaSpriteSetCom(TABELA, arquivo, largura, altura);
}

void BRZGL_RemoveSpriteSet(unsigned int id) { BRZ_RemoveSpriteSetCom(TABELA, id); }

bool BRZGL_DesenhaSprite(unsigned int id, unsigned int indice, int x, int y) {
    const BRZ_SpriteSet* s = QuadroDesenhavel(id, indice);
    if (!s) return false;
    float u, v, du, dv;
    PreparaQuadro(*s, indice, &u, &v, &du, &dv);
    float x0 = float(x), y0 = float(y), x1 = float(x + s->spLargura), y1 = float(y + s->spAltura);
    glColor4ub(255, 255, 255, 255);
    glBegin(GL_QUADS);
    glTexCoord2f(u, v);
    glVertex2f(x0, y0);
    glTexCoord2f(u + du, v);
    glVertex2f(x1, y0);
    glTexCoord2f(u + du, v + dv);
    glVertex2f(x1, y1);
    glTexCoord2f(u, v + dv);
    glVertex2f(x0, y1);
    glEnd();
    return true;
}

bool BRZGL_DesenhaSpriteEfeito(unsigned int id, unsigned int indice, int* x, int* y, Uint8 r, Uint8 g, Uint8 b,
                               Uint8 a) {
    const BRZ_SpriteSet* s = QuadroDesenhavel(id, indice);
    if (!s || !x || !y) return false;
    float u, v, du, dv;
    PreparaQuadro(*s, indice, &u, &v, &du, &dv);
    glColor4ub(r, g, b, a);
    glBegin(GL_QUADS);
    glTexCoord2f(u, v);
    glVertex2f(float(x[0]), float(y[0]));
    glTexCoord2f(u + du, v);
    glVertex2f(float(x[1]), float(y[1]));
    glTexCoord2f(u + du, v + dv);
    glVertex2f(float(x[2]), float(y[2]));
    glTexCoord2f(u, v + dv);
    glVertex2f(float(x[3]), float(y[3]));
    glEnd();
    return true;
}
