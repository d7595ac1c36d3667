// Brisa2D 2 — engine core, the module's one public header.
//
// Start-up and shut-down, the renderer dispatch table, the sprite-set
// registry, keyboard and mouse input, timing, collision masks, collision
// tests and bitmap fonts. Everything lives in fixed static tables for the
// whole process; the game holds identifiers only (sprite sets 1..1024,
// fonts 1..64, 0 meaning none). One thread: every call comes from the
// thread that started the engine.
//
// One source file per subject: brisa2d2_motor (start-up and shut-down, the
// dispatch slots), brisa2d2_inicia (BRZ_Inicia, the choice of a renderer),
// brisa2d2_entrada (input, timing, the frame's end), brisa2d2_registro
// (sprite-set registry), brisa2d2_mascaras (masks and their overlap, on SDL
// surfaces alone), brisa2d2_colisao (collision tests), brisa2d2_fontes
// (fonts); the renderers brisa2d2_gl and brisa2d2_sdl.
#ifndef BRISA2D2_H
#define BRISA2D2_H

#include <SDL.h>
#include <GL/gl.h>

#include <cstddef>

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
// The files the next sprite-set loads will read, in the order they will be
// loaded: a helper thread decodes them ahead while this thread goes on. The
// loads stay as they are (same identifiers, same messages, printed by the
// loading thread as it loads); a load that strays from the list reads its
// file itself. Replaces any earlier list. Nothing when the engine is stopped
// or its renderer does not decode ahead (the software renderer).
void BRZ_AntecipaSpriteSets(const char* const* arquivos, int quantidade);

// ---------------------------------------------------------------------------
// The renderer boundary (not for game code)
//
// Each renderer hands the core one table: the ten operations that go into
// the dispatch slots, and the few steps in which it differs from the other
// renderer. The core runs what both share around those steps (start-up,
// shut-down, the frame's end, a sprite set's load and removal) and prints
// the messages they share. Only brisa2d2_inicia.cpp knows both renderers.
// ---------------------------------------------------------------------------

// A picture decoded ahead of its load, into the form its renderer keeps: a
// `lado` x `lado` square of 32-bit pixels (bytes R, G, B, A) mapped with
// BRZ_MapeiaPixels, the picture in its top-left corner and zeros elsewhere.
struct BRZ_ImagemAntecipada {
    void* pixels;          // owned by whoever holds the record; null when there is none
    int largura, altura;   // the picture's own size
    int lado;              // side of the square
};

struct BRZ_Renderizador {
    // The operations of the dispatch slot of the same name.
    void (*Encerra)();
    void (*Sincroniza)(Uint8 fps);
    void (*LimpaTela)();
    void (*TrocaCorLimpezaTela)(Uint8 r, Uint8 g, Uint8 b);
    void (*LimitaAreaDesenho)(int x, int y, int largura, int altura);
    void (*LiberaAreaDesenho)();
    unsigned int (*CarregaSpriteSet)(const char* arquivo, int largura, int altura);
    void (*RemoveSpriteSet)(unsigned int id);
    bool (*DesenhaSprite)(unsigned int id, unsigned int indice, int x, int y);
    bool (*DesenhaSpriteEfeito)(unsigned int id, unsigned int indice, int* x, int* y,
                                Uint8 r, Uint8 g, Uint8 b, Uint8 a);

    // Start-up, in the order the core reaches them; a null step does nothing.
    const char* nomeModo;          // after "Iniciando o modo de vídeo" in the mode line: " (OpenGL)" or ""
    Uint32 flagsVideo;             // SDL_SetVideoMode flags of a window
    int (*IniciaVideo)();          // starts SDL's video subsystem, < 0 on failure (null: SDL_InitSubSystem)
    void (*PedeContexto)();        // before the mode is set
    void (*ConfereModo)();         // right after the mode is set
    void (*PreparaModo)(unsigned int largura, unsigned int altura);  // after the window caption
    // The frame's end: shows what was drawn.
    void (*Apresenta)();
    // A sprite-set load, after the decode: checks the picture against the
    // frame size, sets the frame grid and the surface the set keeps in
    // `imagem`; false (its message printed) refuses the file, and the core
    // then frees whatever `imagem` holds.
    bool (*PreparaImagem)(BRZ_SpriteSet* s, const char* arquivo, int largura, int altura);
    bool apagaMagenta;             // the mask sweep also turns opaque magenta into transparent black
    void (*Publica)(BRZ_SpriteSet* s);  // the set is loaded and held: what its draws need
    void (*Retira)(BRZ_SpriteSet* s);   // the slot is being released (free ones too): undoes Publica
    // The shut-down's last message, written as it stands (no line end added).
    const char* despedida;
    // Decoding ahead; null when the renderer does not take pictures so.
    // Decodes a file into what PreparaImagem would make of IMG_Load's picture
    // of it, on any thread and without calling SDL or OpenGL; false leaves
    // the file to its load (a kind it does not read, any fault in the file,
    // a picture the renderer would refuse whatever the frame size).
    bool (*DecodificaAdiantado)(const char* arquivo, BRZ_ImagemAntecipada* d);
    // PreparaImagem for a picture decoded ahead: takes d's pixels as the
    // set's `imagem` (the core has set `largura` and `altura`); false (its
    // message printed, d's pixels given back) refuses the file.
    bool (*PreparaAntecipada)(BRZ_SpriteSet* s, const char* arquivo, int largura, int altura,
                              BRZ_ImagemAntecipada* d);
};

// The ten operations of `r` into the dispatch slots.
void BRZ_InstalaRenderizador(const BRZ_Renderizador& r);
// The start-up every renderer shares, with r's steps; see BRZ_Inicia. On
// success the slots hold r's operations and the engine runs.
bool BRZ_IniciaCom(const BRZ_Renderizador& r, unsigned int largura, unsigned int altura, int modoVideo,
                   const char* tituloJanela);
// The table of the renderer that runs; null while the engine is stopped.
const BRZ_Renderizador* BRZ_RenderizadorAtivo();
// The shut-down every renderer shares: every font and sprite set released
// whatever its holders, then the display and SDL's video; nothing when stopped.
void BRZ_EncerraCom(const BRZ_Renderizador& r);
// The frame's end: the user hook, a sleep until 1000 / fps ms (fps 0 counts
// as 1) have passed since *tempoAnterior, the renderer's own tick count
// after its previous wait (updated here), then, while the engine runs, the
// present and the input poll.
void BRZ_SincronizaCom(const BRZ_Renderizador& r, Uint8 fps, Uint32* tempoAnterior);
// A sprite-set load with r's steps: shares a known name, else decodes the
// file into the lowest free slot; the identifier, or 0 with the slot left
// free (every failure but a full registry prints why).
unsigned int BRZ_CarregaSpriteSetCom(const BRZ_Renderizador& r, const char* arquivo, int largura, int altura);
// A removal with r's steps: one holder less, or the whole set freed at the
// last holder and during shut-down. Identifiers outside 1..1024 are ignored.
void BRZ_RemoveSpriteSetCom(const BRZ_Renderizador& r, unsigned int id);

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
// Frees a sprite set's surface (null: nothing), and its pixels when the
// engine mapped them (BRZ_CriaSuperficie, BRZ_SuperficieMapeada).
void BRZ_LiberaSuperficie(SDL_Surface* s);
// `bytes` bytes of zeroed memory for pixels, mapped by the engine (on huge
// pages from 2 MiB, where the system offers them); any thread may call it.
// Null when memory runs out. Given back by BRZ_DesmapeiaPixels with the same
// size, or by BRZ_LiberaSuperficie once a surface holds it.
void* BRZ_MapeiaPixels(size_t bytes);
void BRZ_DesmapeiaPixels(void* pixels, size_t bytes);  // null: nothing
size_t BRZ_PixelsMapeados();  // bytes mapped so and not given back yet, all threads
// A 32-bit surface of largura x altura (pitch largura * 4) over pixels that
// BRZ_MapeiaPixels gave; they go with the surface at BRZ_LiberaSuperficie.
// Null (the pixels still the caller's) when SDL cannot make the surface.
SDL_Surface* BRZ_SuperficieMapeada(void* pixels, int largura, int altura, Uint32 rmask, Uint32 gmask, Uint32 bmask,
                                   Uint32 amask);
// Decodes a PNG (8-bit RGBA, or paletted) or a baseline or progressive JPEG
// of three components straight into a fresh square of R, G, B, A pixels:
// the bytes that IMG_Load and a copy (RGBA) or a blit (the rest) onto a
// transparent working surface of that side give. `lado` says the side for
// a picture of w x h with the bytes per pixel IMG_Load would give it (1 for
// a paletted PNG, 3 for a JPEG, 4 for RGBA), 0 to refuse it. False, with
// nothing kept, for any other kind of file, any fault or warning in it, or
// a refused size. Calls no SDL function: any thread may run it.
bool BRZ_DecodificaRGBA(const char* arquivo, int (*lado)(int w, int h, int bytesPorPixel), BRZ_ImagemAntecipada* d);
// The loading thread's side of decoding ahead. The picture for this load of
// `arquivo` when it was announced (decoded here when nobody has started on
// it; while a helper finishes it, this thread decodes a later entry): true
// with *d filled (its pixels now the caller's), or false when the load must
// read the file itself (not announced, or left to the load by the decoder).
// Entries passed over are given back.
bool BRZ_TomaAntecipada(const char* arquivo, BRZ_ImagemAntecipada* d);
// Stops the helper threads and gives back every picture not taken; the
// shut-down calls it, and a new list replaces the old one through it.
void BRZ_EncerraAntecipacao();
// Frees the slot's surface and masks and empties its name (texture excluded);
// returns 0, the identifier of a failed load.
unsigned int BRZ_LiberaSpriteSet(BRZ_SpriteSet* s);
// The termination signals' catcher: the shared start-up puts it in place
// before SDL's video starts (and forgets any signal noted before);
// the shared shut-down, once SDL's video is closed, gives the signals
// their former actions back (as does a failed start-up).
void BRZ_CapturaSinais();
void BRZ_DevolveSinais();

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
