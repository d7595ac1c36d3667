// Brisa2D 2 — the engine's start: the one place that knows both renderers
// and picks one. Everything after it reaches the renderer through the
// dispatch slots.
#include "brisa2d2.h"
#include "brisa2d2_gl.h"
#include "brisa2d2_sdl.h"

bool BRZ_Inicia(unsigned int largura, unsigned int altura, int modoVideo, int tipoRender,
                const char* tituloJanela) {
    if (tipoRender == BRZ_DESENHO_OPENGL) return BRZGL_Inicia(largura, altura, modoVideo, tituloJanela);
    return BRZSDL_Inicia(largura, altura, modoVideo, tituloJanela);
}
