// Memory: the peak resident memory of the real program (ExecutaJogo, OpenGL
// renderer) once everything is loaded, against what its sprite sets hold.
// A child runs the game: P on the language screen loads the Portuguese set,
// and at the first frame of the main menu (every asset loaded) it reports
//   peak      VmHWM, the peak resident memory so far;
//   resident  VmRSS at that moment;
//   started   VmRSS before the first picture was decoded (libraries, the
//             OpenGL context, SDL and the mixer: what no asset accounts for);
//   surfaces  the bytes of every sprite set's pixel surface (pitch x height);
//   textures  side x side x 4 for every texture (llvmpipe keeps textures in
//             the process's own memory, so they count in its resident size);
//   masks     the collision masks' words.
// The link wraps the first call that can decode a picture (the first
// sprite-set load, or the announcement of the pictures to decode ahead, where
// the engine has it) to read the resident size before it.
#include <benchmark/benchmark.h>

#include <SDL.h>
#include <unistd.h>

#include <cstring>

#include "Jogo.h"
#include "bench_support.h"

using vdbench::Now;

namespace {

// Frame ends: 1 and 2 the loading screen, 3 the language screen (P pressed
// there), 4 the language screen once more, 5 the main menu's first frame.
const int kLanguageFrame = 3;
const int kMenuFrame = 5;

const double kMiB = 1024.0 * 1024.0;

int g_fd = -1;
int g_syncs = 0;
long g_startedKiB = 0;

struct Held {
    double surfaces = 0, textures = 0, masks = 0;
};

Held SpriteSetBytes() {
    Held h;
    for (const BRZ_SpriteSet& s : sprites) {
        if (!s.imagem) continue;
        h.surfaces += double(s.imagem->pitch) * s.imagem->h;
        if (s.texturaLigada) h.textures += 4.0 * s.larguraTextura * s.alturaTextura;
        if (!s.bmask) continue;
        for (int i = 0; i < s.matrizX * s.matrizY; ++i)
            h.masks += 4.0 * s.bmask[i]->ldwords * s.bmask[i]->altura;
    }
    return h;
}

void Hook() {
    ++g_syncs;
    if (g_syncs == kLanguageFrame) vdbench::PressKey(SDLK_p);
    if (g_syncs != kMenuFrame) return;
    Held h = SpriteSetBytes();
    vdbench::Report r;
    r["peak_mib"] = vdbench::PeakResidentKiB() / 1024.0;
    r["resident_mib"] = vdbench::ResidentKiB() / 1024.0;
    r["started_mib"] = g_startedKiB / 1024.0;
    r["surfaces_mib"] = h.surfaces / kMiB;
    r["textures_mib"] = h.textures / kMiB;
    r["masks_mib"] = h.masks / kMiB;
    vdbench::WriteReport(g_fd, r);
    // Everything needed is measured: leave without the menu's quit answer.
    fflush(stdout);
    _exit(0);
}

}  // namespace

extern "C" {
unsigned int __real__Z23BRZ_CarregaSpriteSetComRK16BRZ_RenderizadorPKcii(const void*, const char*, int, int);

unsigned int __wrap__Z23BRZ_CarregaSpriteSetComRK16BRZ_RenderizadorPKcii(const void* r, const char* file, int w,
                                                                        int h) {
    if (g_startedKiB == 0) g_startedKiB = vdbench::ResidentKiB();
    return __real__Z23BRZ_CarregaSpriteSetComRK16BRZ_RenderizadorPKcii(r, file, w, h);
}

#if VD_BENCH_DECODE_AHEAD
void __real__Z22BRZ_AntecipaSpriteSetsPKPKci(const char* const*, int);

void __wrap__Z22BRZ_AntecipaSpriteSetsPKPKci(const char* const* files, int count) {
    if (g_startedKiB == 0) g_startedKiB = vdbench::ResidentKiB();
    __real__Z22BRZ_AntecipaSpriteSetsPKPKci(files, count);
}
#endif
}

namespace {

int RunProbe(int fd) {
    g_fd = fd;
    if (!vdbench::EnterDataDir()) return 1;
    BRZ_DefineSincronizaUsuario(Hook);
    ExecutaJogo();
    return 1;  // the hook exits; getting here means the menu never came
}

void BM_PeakResidentAfterLoading(benchmark::State& state) {
    for (auto _ : state) {
        vdbench::Report r;
        double started = 0;
        if (!vdbench::RunChild({"--probe"}, &r, &started)) {
            state.SkipWithError("the memory probe failed (is DISPLAY set?)");
            return;
        }
        state.SetIterationTime(Now() - started);
        double held = r["surfaces_mib"] + r["textures_mib"];
        for (const auto& kv : r) state.counters[kv.first] = kv.second;
        state.counters["surfaces_textures_mib"] = held;
        state.counters["peak_over_held_pct"] = 100.0 * (r["peak_mib"] - held) / held;
    }
}

BENCHMARK(BM_PeakResidentAfterLoading)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    int fd = vdbench::ReportFd(argc, argv);
    if (argc > 1 && strcmp(argv[1], "--probe") == 0) return RunProbe(fd);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
