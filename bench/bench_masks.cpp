// Collision masks built from the game's own pictures, decoded from rsrc/:
// a 2048 x 2048 map tile (32-bit RGBA), a 2048 x 2048 collision picture
// (decoded as 8-bit and converted to the 32-bit layout the renderers hand to
// the builders) and the nanobot's 160 x 160 sprite sheet. Each iteration
// creates the mask array, fills it and frees it, as a load does.
#include <benchmark/benchmark.h>

#include <SDL.h>
#include <SDL_image.h>

#include <cstdlib>
#include <string>

#include "Nivel.h"
#include "bench_support.h"
#include "brisa2d2.h"

namespace {

// The working surface layout of the OpenGL renderer: bytes R, G, B, A.
SDL_Surface* Rgba32(SDL_Surface* s) {
    SDL_Surface* out =
        SDL_CreateRGBSurface(0, s->w, s->h, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
    if (out) SDL_BlitSurface(s, nullptr, out, nullptr);
    return out;
}

// A file under ./rsrc/, decoded to 32 bits per pixel.
SDL_Surface* LoadAs32(const char* file) {
    if (!vdbench::EnterDataDir()) return nullptr;
    SDL_Surface* s = IMG_Load((std::string(kPastaRecursos) + file).c_str());
    if (!s || s->format->BytesPerPixel == 4) return s;
    SDL_Surface* out = Rgba32(s);
    SDL_FreeSurface(s);
    return out;
}

void BuildMasks(benchmark::State& state, const char* file, int frameW, int frameH) {
    SDL_Surface* img = LoadAs32(file);
    if (!img) {
        state.SkipWithError("picture not found under rsrc/");
        return;
    }
    int fw = frameW ? frameW : img->w, fh = frameH ? frameH : img->h;
    for (auto _ : state) {
        BRZ_BitMask** masks = BRZ_CriaVetorBitMasks(img, fw, fh, img->w, img->h);
        BRZ_PreencheVetorBitMasks(img, fw, fh, img->w, img->h, masks);
        benchmark::DoNotOptimize(masks[0]->mask[0]);
        int n = (img->w / fw) * (img->h / fh);
        for (int i = 0; i < n; ++i) BRZ_RemoveBitMask(masks[i]);
        free(masks);
    }
    state.counters["pixels"] = double(img->w) * img->h;
    SDL_FreeSurface(img);
}

BENCHMARK_CAPTURE(BuildMasks, map_tile_2048, kArquivoMapa[0], 0, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildMasks, collision_2048, kArquivoColisao[0], 0, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildMasks, nanobot_sheet, kFiguraNano.arquivo, kFiguraNano.largura, kFiguraNano.altura)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
