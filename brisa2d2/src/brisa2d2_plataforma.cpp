// Brisa2D 2 — the platform seam on a desktop: the SDL calls themselves.
// The browser's side is brisa2d2_plataforma_web.cpp.
#include "brisa2d2_plataforma.h"

#include <SDL_image.h>
#include <SDL_mixer.h>

int BRZ_IniciaSubsistema(Uint32 subsistema) { return SDL_InitSubSystem(subsistema); }

bool BRZ_SubsistemaIniciado(Uint32 subsistema) { return SDL_WasInit(subsistema) != 0; }

void BRZ_EncerraSubsistema(Uint32 subsistema) { SDL_QuitSubSystem(subsistema); }

void BRZ_PedeTrocaNoRetraco() { SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1); }

void BRZ_EsperaQuadro(Sint32 espera) {
    if (espera > 0) SDL_Delay(Uint32(espera));
}

SDL_Surface* BRZ_CarregaImagem(const char* arquivo) { return IMG_Load(arquivo); }

SDL_Surface* BRZ_NovaSuperficie(int largura, int altura, Uint32 rmask, Uint32 gmask, Uint32 bmask, Uint32 amask) {
    return SDL_CreateRGBSurface(0, largura, altura, 32, rmask, gmask, bmask, amask);
}

SDL_Surface* BRZ_SuperficieSobre(void* pixels, int largura, int altura, Uint32 rmask, Uint32 gmask, Uint32 bmask,
                                 Uint32 amask) {
    return SDL_CreateRGBSurfaceFrom(pixels, largura, altura, 32, largura * 4, rmask, gmask, bmask, amask);
}

void BRZ_ApagaSuperficie(SDL_Surface* s) { SDL_FreeSurface(s); }

void BRZ_TravaSuperficie(SDL_Surface* s) { SDL_LockSurface(s); }

void BRZ_DestravaSuperficie(SDL_Surface* s) { SDL_UnlockSurface(s); }

SDL_RWops* BRZ_AbreLeitura(const char* arquivo) { return SDL_RWFromFile(arquivo, "rb"); }

Mix_Chunk* BRZ_DecodificaEfeito(SDL_RWops* fluxo, const char*) { return Mix_LoadWAV_RW(fluxo, 1); }
