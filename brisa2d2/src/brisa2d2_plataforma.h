// Brisa2D 2 — the platform seam: the few things a build for the browser
// (emscripten, web/) does differently from a desktop build, each behind one
// name here. The desktop's side, brisa2d2_plataforma.cpp, makes the SDL
// calls the engine has always made; the browser's side,
// brisa2d2_plataforma_web.cpp, is built by web/ alone. No other file of the
// engine knows which platform it runs on.
//
// Why the browser differs: emscripten's SDL 1.2 keeps a picture as a canvas
// of the page (unlocking one in an OpenGL program stops the program, and a
// blit draws canvases), its read streams are names for its own JavaScript,
// its SDL_WasInit answers yes to everything, its SDL_QuitSubSystem only logs
// that it ignores the call, WebGL has no GL_CLAMP, and a page has no second
// thread without cross-origin isolation.
#ifndef BRISA2D2_PLATAFORMA_H
#define BRISA2D2_PLATAFORMA_H

#include <SDL.h>
#include <GL/gl.h>

struct Mix_Chunk;

#if defined(__EMSCRIPTEN__)
// The wrap mode of every texture: WebGL refuses GL_CLAMP; clamping to the
// edge texel gives the same pixels for a frame drawn at its own size, where
// every sample falls on a texel centre inside the frame.
static const GLenum BRZ_GL_BORDA = GL_CLAMP_TO_EDGE;
// Threads that decode pictures ahead: none. A load then decodes its own
// picture when it comes, as every load did before decoding ahead.
static const int BRZ_AJUDANTES_ANTECIPACAO = 0;
// Alpha bits of the frame: none. The page composites the canvas with its
// alpha, where a desktop window ignores it: a blended sprite leaves alpha
// below 1 behind it, which would let the page show through.
static const int BRZ_BITS_ALFA_QUADRO = 0;
#else
static const GLenum BRZ_GL_BORDA = GL_CLAMP;
static const int BRZ_AJUDANTES_ANTECIPACAO = 1;
static const int BRZ_BITS_ALFA_QUADRO = 8;
#endif

// ---------------------------------------------------------------------------
// SDL's subsystems (SDL_INIT_VIDEO, SDL_INIT_AUDIO)
// ---------------------------------------------------------------------------

int BRZ_IniciaSubsistema(Uint32 subsistema);      // < 0 on failure (SDL_InitSubSystem)
bool BRZ_SubsistemaIniciado(Uint32 subsistema);   // already running (SDL_WasInit)
void BRZ_EncerraSubsistema(Uint32 subsistema);    // SDL_QuitSubSystem

// ---------------------------------------------------------------------------
// The frame
// ---------------------------------------------------------------------------

// Before the video mode: ask for buffer swaps that wait for the display's
// refresh (a browser presents at its own refresh anyway).
void BRZ_PedeTrocaNoRetraco();
// The frame's wait: `espera` milliseconds, nothing when it is not positive.
// In the browser every frame also gives control back to the page, which
// shows the frame and delivers the keys; a late frame yields for 0 ms.
void BRZ_EsperaQuadro(Sint32 espera);

// ---------------------------------------------------------------------------
// Pictures: the engine's pixel surfaces, which it locks, reads and writes
// ---------------------------------------------------------------------------

// A picture file as a surface (IMG_Load; on a desktop through a stream that
// keeps SDL_image's readers from looping or crashing on a damaged file, and
// refusing GIMP's XCF files, whose reader trusts them); null with
// SDL_GetError's text set.
SDL_Surface* BRZ_CarregaImagem(const char* arquivo);
// A largura x altura 32-bit surface, every byte 0 (SDL_CreateRGBSurface).
SDL_Surface* BRZ_NovaSuperficie(int largura, int altura, Uint32 rmask, Uint32 gmask, Uint32 bmask, Uint32 amask);
// A 32-bit surface over pixels the caller keeps (SDL_CreateRGBSurfaceFrom,
// marked SDL_PREALLOC).
SDL_Surface* BRZ_SuperficieSobre(void* pixels, int largura, int altura, Uint32 rmask, Uint32 gmask, Uint32 bmask,
                                 Uint32 amask);
// Frees a surface of the three above, not pixels it was given (SDL_FreeSurface).
void BRZ_ApagaSuperficie(SDL_Surface* s);
void BRZ_TravaSuperficie(SDL_Surface* s);         // SDL_LockSurface
void BRZ_DestravaSuperficie(SDL_Surface* s);      // SDL_UnlockSurface

// ---------------------------------------------------------------------------
// Sound effects
// ---------------------------------------------------------------------------

// A read stream on a file, which the SDL_RWread, SDL_RWseek, SDL_RWtell and
// SDL_RWclose macros work on; null when the file cannot be opened.
SDL_RWops* BRZ_AbreLeitura(const char* arquivo);
// The mixer's samples of the file the stream reads (its start where the
// stream stands); the stream is closed either way. Null when refused.
Mix_Chunk* BRZ_DecodificaEfeito(SDL_RWops* fluxo, const char* arquivo);

#endif
