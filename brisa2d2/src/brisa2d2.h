// Brisa2D 2 — engine core.
//
// Start-up and shut-down, the renderer dispatch table, the sprite-set
// registry, keyboard and mouse input, timing, collision masks, collision
// tests and bitmap fonts. Everything lives in fixed static tables for the
// whole process; the game holds identifiers only (sprite sets 1..1024,
// fonts 1..64, 0 meaning none). One thread: every call comes from the
// thread that started the engine.
#ifndef BRISA2D2_H
#define BRISA2D2_H

#include <SDL.h>
#include <GL/gl.h>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

// Key indices into the array that BRZ_PegaTeclas() returns.
enum {
    BRZ_CIMA = 0, BRZ_BAIXO, BRZ_DIREITA, BRZ_ESQUERDA, BRZ_ESC,
    BRZ_F1, BRZ_F2, BRZ_F3, BRZ_F4,
    BRZ_A, BRZ_B, BRZ_C, BRZ_D, BRZ_E, BRZ_F, BRZ_G, BRZ_H, BRZ_I, BRZ_J,
    BRZ_K, BRZ_L, BRZ_M, BRZ_N, BRZ_O, BRZ_P, BRZ_Q, BRZ_R, BRZ_S, BRZ_T,
    BRZ_U, BRZ_V, BRZ_W, BRZ_X, BRZ_Y, BRZ_Z,
    BRZ_0, BRZ_1, BRZ_2, BRZ_3, BRZ_4, BRZ_5, BRZ_6, BRZ_7, BRZ_8, BRZ_9,
    BRZ_ENTER, BRZ_ESPACO, BRZ_LALT, BRZ_RALT, BRZ_LCTRL, BRZ_RCTRL,
    BRZ_LSHIFT, BRZ_RSHIFT,
    BRZ_ENCERRA,     // the window's close request (press only, never released)
    BRZ_MAXTECLAS    // number of key entries (54)
};

// Mouse button indices into BRZ_Mouse::botoes.
enum { BRZ_MESQUERDO = 0, BRZ_MDIREITO, BRZ_MMEIO, BRZ_MMAX };

// Frame rates for BRZ_Sincroniza (an unsigned 8-bit count of frames per second).
enum { BRZ_FPS_MINIMO = 1, BRZ_FPS_PADRAO = 60, BRZ_FPS_MAXIMO = 255 };

// Video mode and renderer kind for BRZ_Inicia.
enum { BRZ_JANELA = 0, BRZ_TELA_CHEIA = 1 };
enum { BRZ_DESENHO_PADRAO = 0, BRZ_DESENHO_OPENGL = 1 };

// Registry sizes and the longest name a registry can hold (2047 bytes + NUL).
enum { BRZ_MAX_SPRITESETS = 1024, BRZ_MAX_FONTES = 64, BRZ_TAM_APELIDO = 2048 };

// ---------------------------------------------------------------------------
// Types
// ---------------------------------------------------------------------------

// One collision mask: one bit per pixel of a frame, 1 = solid. Rows of 32-bit
// words; pixel (x, y) is bit 31 - x%32 of word y*ldwords + x/32. The bits past
// the last pixel of a row carry no meaning and never affect a result.
struct BRZ_BitMask {
    int largura;      // width in pixels
    int altura;       // height in pixels
    int ldwords;      // words per row: ceil(largura / 32)
    Uint32* mask;     // altura * ldwords words, row after row
};

// One slot of the sprite-set registry. Free while `imagem` is null.
struct BRZ_SpriteSet {
    unsigned int usuarios;              // holders; 0 in a free slot
    char apelido[BRZ_TAM_APELIDO];      // lookup name: the file name as passed
    int largura, altura;                // size of the image as loaded
    int spLargura, spAltura;            // size of one frame
    int matrizX, matrizY;               // frame columns and rows
    SDL_Surface* imagem;                // pixels (OpenGL: the power-of-two surface)
    GLuint textura;                     // OpenGL texture name, 0 = none
    bool texturaLigada;                 // a texture was created for the set
    int larguraTextura, alturaTextura;  // texture size (OpenGL only)
    BRZ_BitMask** bmask;                // matrizX * matrizY masks in frame order
};

// One slot of the font registry. Free while `idSpriteSet` is 0.
struct BRZ_Fonte {
    int usuarios;                       // holders; 0 in a free slot
    char apelido[BRZ_TAM_APELIDO];      // lookup name: the file name as passed
    int tamanhoFonte;                   // side of one glyph cell in pixels
    unsigned int idSpriteSet;           // the font image (one holder of it)
    int deslocamentos[256];             // per byte: column where the ink starts
    int larguras[256];                  // per byte: advance of the pen
};

// State of one key or mouse button, refreshed by every BRZ_Entrada.
struct BRZ_Botao {
    bool pressionado;   // went down during the last poll
    bool ativo;         // is held down
    bool liberado;      // was let go during the last poll
};

struct BRZ_Mouse {
    int x, y;                      // last reported pointer position
    BRZ_Botao botoes[BRZ_MMAX];    // left, right, middle
};

// ---------------------------------------------------------------------------
// Engine state (process-wide; zero, false or null when the program starts)
// ---------------------------------------------------------------------------

extern bool inicializado;                       // the engine is running
extern bool c_shutdown;                         // shut-down in progress: removals are final
extern SDL_Surface* screen;                     // display surface; null while stopped
extern BRZ_SpriteSet sprites[BRZ_MAX_SPRITESETS];
extern BRZ_Fonte fontes[BRZ_MAX_FONTES];
extern void (*BRZ_SincronizaUsuario)();         // per-frame user hook, or null

// ---------------------------------------------------------------------------
// Renderer dispatch table. A renderer's start-up fills all ten; the game and
// the rest of the engine reach the renderer only through them. Before the
// first start-up they hold harmless stand-ins (draws and loads fail, the rest
// does nothing). They are plain pointers, so a test may put its own in.
// ---------------------------------------------------------------------------

extern void (*BRZ_Encerra)();                                            // shut the engine down
extern void (*BRZ_Sincroniza)(Uint8 fps);                                // end the frame: hook, pace, present, poll input
extern void (*BRZ_LimpaTela)();                                          // clear the frame to the clear colour
extern void (*BRZ_TrocaCorLimpezaTela)(Uint8 r, Uint8 g, Uint8 b);       // set the clear colour (next clear)
extern void (*BRZ_LimitaAreaDesenho)(int x, int y, int largura, int altura); // clip drawing to a rectangle
extern void (*BRZ_LiberaAreaDesenho)();                                  // lift the clip rectangle
extern unsigned int (*BRZ_CarregaSpriteSet)(const char* arquivo, int largura, int altura); // load or share; 0 on failure
extern void (*BRZ_RemoveSpriteSet)(unsigned int id);                     // give up one holder
extern bool (*BRZ_DesenhaSprite)(unsigned int id, unsigned int indice, int x, int y); // frame at top-left (x, y)
extern bool (*BRZ_DesenhaSpriteEfeito)(unsigned int id, unsigned int indice, int* x, int* y,
                                       Uint8 r, Uint8 g, Uint8 b, Uint8 a); // frame on 4 corners, tinted

// ---------------------------------------------------------------------------
// Engine core
// ---------------------------------------------------------------------------

// Starts SDL video and the renderer `tipoRender` names (BRZ_DESENHO_OPENGL, or
// the software renderer for any other value). False when the engine already
// runs, SDL video is already up, or the mode cannot be set; never falls back.
bool BRZ_Inicia(unsigned int largura, unsigned int altura, int modoVideo, int tipoRender,
                const char* tituloJanela);
unsigned int BRZ_ProcuraSpriteSet(const char* apelido);  // first loaded slot named apelido, or 0
void BRZ_Entrada();                                      // poll SDL events into keys and mouse
BRZ_Botao* BRZ_PegaTeclas();                             // the 54 key states (address never changes)
BRZ_Mouse* BRZ_PegaMouse();                              // the mouse state (address never changes)
void BRZ_PressionaBotao(BRZ_Botao* botao);               // press: pressionado + ativo
void BRZ_LiberaBotao(BRZ_Botao* botao);                  // release: liberado only
void BRZ_ProcessaTecla(BRZ_Botao* tecla, Uint8 evento);  // SDL_KEYDOWN presses, SDL_KEYUP releases
void reset();                                            // forget both registries (frees nothing)
unsigned long BRZ_TempoSistema();                        // milliseconds since SDL started
void BRZ_Pausa(Uint32 pausa);                            // sleep pausa milliseconds
void BRZ_DefineSincronizaUsuario(void (*funcao)());      // set or (null) remove the per-frame hook
// From its start to its shut-down the engine catches SIGTERM, SIGINT and
// SIGHUP (those the process does not ignore): instead of ending the process
// at once or becoming a close request, a signal is only noted. The program
// asks for it between frames and leaves through its own shut-down.
int BRZ_SinalRecebido();                                 // the last of them noted since the start (kept after the shut-down), or 0

// ---------------------------------------------------------------------------
// Registry services shared by the renderers (not for game code)
// ---------------------------------------------------------------------------

// The first steps of every renderer's load: a known name gains a holder;
// otherwise the lowest free slot takes the name and the decoded picture
// (`imagem`, `largura`, `altura`). Returns that slot for the renderer to
// finish, or null with *id final: the shared identifier, or 0 on failure
// (engine stopped, name too long, registry full, unreadable file; every
// failure but a full registry prints why). *id is the slot's identifier.
BRZ_SpriteSet* BRZ_IniciaCarga(const char* arquivo, unsigned int* id);
// Frame grid of a slot whose `largura`/`altura` are set: frame size 0 (or
// below 1) in either direction makes the whole image one frame.
void BRZ_DefineQuadros(BRZ_SpriteSet* s, int spLargura, int spAltura);
// Builds and fills the slot's masks from its `imagem`; false when memory runs
// out (the surface is then untouched). With apagaMagenta, the same sweep also
// writes transparent black (0) over every opaque magenta pixel of the loaded
// picture (the top-left `largura` x `altura` of a 32-bit `imagem`): the OpenGL
// renderer's colour key, without a pass of its own over the pixels.
bool BRZ_CriaMascarasSpriteSet(BRZ_SpriteSet* s, bool apagaMagenta = false);
// A largura x altura 32-bit software surface with these channel masks and
// every byte 0, for a renderer's working copy of a picture; null when memory
// runs out. A large one gets pixels of the engine's own, on huge pages where
// the system offers them: filling 16 MiB then costs a handful of page faults
// instead of four thousand. Free it with BRZ_LiberaSuperficie.
SDL_Surface* BRZ_CriaSuperficie(int largura, int altura, Uint32 rmask, Uint32 gmask, Uint32 bmask, Uint32 amask);
// Frees a sprite set's surface (null: nothing), and its pixels when
// BRZ_CriaSuperficie allocated them.
void BRZ_LiberaSuperficie(SDL_Surface* s);
// Frees the slot's surface and masks and empties its name (texture excluded);
// returns 0, the identifier of a failed load.
unsigned int BRZ_LiberaSpriteSet(BRZ_SpriteSet* s);
// Removal rule shared by both renderers: true when the slot must be released
// now (last holder, or shut-down), after lowering the count otherwise.
bool BRZ_SoltaSpriteSet(unsigned int id);
// Prints the video-mode line for modoVideo and adds SDL_FULLSCREEN to `flags`
// for full screen; any value but window or full screen runs in a window.
Uint32 BRZ_AnunciaModoVideo(int modoVideo, Uint32 flags);
// SDL_VideoModeOK of a largura x altura mode with these flags, at 32 bits per
// pixel or else at the desktop's own depth; 0 when no mode of that size exists.
int BRZ_ModoVideoDisponivel(unsigned int largura, unsigned int altura, Uint32 flags);
// The termination signals' catcher: BRZ_Inicia puts it in place before the
// renderer starts SDL's video (and forgets any signal noted before);
// each renderer's shut-down, once SDL's video is closed, gives the signals
// their former actions back (as does a failed start-up).
void BRZ_CapturaSinais();
void BRZ_DevolveSinais();
// Shut-down's release of every font, then every sprite set (c_shutdown set).
void BRZ_EsvaziaRegistros();

// ---------------------------------------------------------------------------
// Collision masks
// ---------------------------------------------------------------------------

// Pixel (x, y) is transparent: opaque magenta in the surface's own format, or
// top 8 bits zero. Outside the surface: false. The caller locks the surface.
bool PontoTransparente(SDL_Surface* surface, int x, int y);
BRZ_BitMask* BRZ_CriaBitMask(int largura, int altura);   // words not cleared; null when out of memory
void BRZ_RemoveBitMask(BRZ_BitMask* bmask);              // frees words and record; bmask not null
// One new spx*spy mask per whole frame of a limagem*aimagem image, in frame
// order; null (everything freed) when memory runs out. Does not read the surface.
BRZ_BitMask** BRZ_CriaVetorBitMasks(SDL_Surface* imagem, int spx, int spy, int limagem, int aimagem);
// Writes every pixel bit of every mask from the surface (locks it once).
void BRZ_PreencheVetorBitMasks(SDL_Surface* imagem, int spx, int spy, int limagem, int aimagem,
                               BRZ_BitMask** bmask);
void BRZ_SetBit(BRZ_BitMask* bmask, int x, int y, int val);  // outside the mask: ignored
bool BRZ_GetBit(BRZ_BitMask* bmask, int x, int y);           // outside the mask: false

// ---------------------------------------------------------------------------
// Collision tests
// ---------------------------------------------------------------------------

// Rectangles (top-left, width, height) overlap or touch.
bool BRZ_ColidiuQuadrados(int x1b, int y1b, int l1b, int a1b, int x2b, int y2b, int l2b, int a2b);
// Frame indice1 of id1 at (x1, y1) and frame indice2 of id2 at (x2, y2) share a
// solid pixel. Identifier 0 prints a warning; a frame past the count is false.
bool BRZ_ColidiuSprites(unsigned int id1, unsigned int indice1, int x1, int y1,
                        unsigned int id2, unsigned int indice2, int x2, int y2);
// As above once the collision boxes (relative to each sprite) touch.
bool BRZ_ColidiuSprites(unsigned int id1, unsigned int indice1, int x1, int y1,
                        int x1b, int y1b, int l1b, int a1b,
                        unsigned int id2, unsigned int indice2, int x2, int y2,
                        int x2b, int y2b, int l2b, int a2b);
// Mask b placed (offx, offy) from mask a: -1 when a pixel is solid in both, else 0.
int BRZ_SobrepoeBitMasks(BRZ_BitMask* a, BRZ_BitMask* b, int offx, int offy);

// ---------------------------------------------------------------------------
// Bitmap fonts
// ---------------------------------------------------------------------------

// Loads (or shares) a 16x16-glyph font image with dimensao-pixel cells; 0 on failure.
unsigned int BRZ_CarregaFonte(const char* arquivo, int dimensao);
void BRZ_RemoveFonte(unsigned int id);                   // give up one holder
unsigned int BRZ_ProcuraFonte(const char* apelido);      // first slot named apelido, or 0
// Draws texto with its top at y: alinhamento 0 centred on x, 1 ending at x, else starting at x.
bool BRZ_DesenhaTexto(unsigned int identificador, int x, int y, const char* texto, unsigned int alinhamento);
// Width (sum of advances) and cell height of texto; either pointer may be null.
bool BRZ_DimensoesTexto(unsigned int idFonte, const char* texto, int* largura, int* altura);

#endif
