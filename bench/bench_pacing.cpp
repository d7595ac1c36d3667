// Frame pacing at BRZ_Sincroniza(60), under the OpenGL renderer, measured in
// a child process over 600 frames after a short warm-up: the period between
// presents (mean, 99th percentile) and the share of one processor the whole
// process used meanwhile (it must sleep, not spin).
//
//   language_screen  the real program (ExecutaJogo) on its static language
//                    screen; the link wraps SDL_GL_SwapBuffers to timestamp
//                    every present, and the hook presses ESC at the end so
//                    the game quits by its own path. The share of the game's
//                    own thread is shown apart: under llvmpipe the rest is the
//                    rasteriser's threads drawing the frame in software.
//   empty_frames     frames that draw nothing: the pacing alone.
//
// The period is 1000 / 60 = 16 ms in integer division, counted by SDL's
// millisecond clock; the sleep is SDL_Delay, so what the numbers show beyond
// 16 ms is the sleep's granularity (and, on a busy machine, the scheduler).
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstring>
#include <vector>

#include "Jogo.h"
#include "bench_support.h"

using vdbench::Now;

namespace {

const int kWarmUpFrames = 30;
const int kMeasuredFrames = 600;

struct Pacing {
    bool game = false;             // the child runs the game (not the empty frames)
    int syncs = 0;
    std::vector<double> presents;  // wall time of each measured present
    double cpuStart = 0, cpuEnd = 0;              // the whole process
    double mainCpuStart = 0, mainCpuEnd = 0;      // the game's own thread
    bool quitting = false;
};

Pacing g;

// Runs at the start of every frame end, before the sleep.
void Hook() {
    ++g.syncs;
    if (int(g.presents.size()) > kMeasuredFrames && !g.quitting) {
        g.quitting = true;
        vdbench::PressKey(SDLK_ESCAPE);
    }
}

}  // namespace

extern "C" {
void __real_SDL_GL_SwapBuffers();

void __wrap_SDL_GL_SwapBuffers() {
    __real_SDL_GL_SwapBuffers();
    if (!g.game) return;
    // Frame ends 1 and 2 belong to the loading screen; the language screen
    // starts at 3 and the first frames after the loads are left to settle.
    if (g.syncs < 3 + kWarmUpFrames || g.quitting) return;
    if (g.presents.empty()) {
        g.cpuStart = vdbench::ProcessCpu();
        g.mainCpuStart = vdbench::ThreadCpu();
    }
    g.presents.push_back(Now());
    if (int(g.presents.size()) == kMeasuredFrames + 1) {
        g.cpuEnd = vdbench::ProcessCpu();
        g.mainCpuEnd = vdbench::ThreadCpu();
    }
}
}

namespace {

vdbench::Report Summary(const std::vector<double>& presents, double cpu, double mainCpu) {
    std::vector<double> periods;
    for (size_t i = 1; i < presents.size(); ++i) periods.push_back(presents[i] - presents[i - 1]);
    double wall = presents.back() - presents.front();
    vdbench::Report r;
    r["period_mean"] = vdbench::Mean(periods);
    r["period_p99"] = vdbench::Percentile(periods, 99);
    r["period_max"] = vdbench::Percentile(periods, 100);
    r["period_min"] = vdbench::Percentile(periods, 0);
    r["cpu_share"] = cpu / wall;
    r["main_thread_share"] = mainCpu / wall;
    return r;
}

int RunGame(int fd) {
    if (!vdbench::EnterDataDir()) return 1;
    g.game = true;
    BRZ_DefineSincronizaUsuario(Hook);
    if (ExecutaJogo() != 0 || int(g.presents.size()) <= kMeasuredFrames) return 1;
    g.presents.resize(size_t(kMeasuredFrames) + 1);
    vdbench::WriteReport(fd, Summary(g.presents, g.cpuEnd - g.cpuStart, g.mainCpuEnd - g.mainCpuStart));
    return 0;
}

// The pacing alone: frames that draw nothing, so the period shows what the
// millisecond sleep gives with no drawing cost in the way.
int RunEmptyFrames(int fd) {
    if (!BRZ_Inicia(1024, 768, BRZ_JANELA, BRZ_DESENHO_OPENGL, "pacing")) return 1;
    for (int i = 0; i < kWarmUpFrames; ++i) BRZ_Sincroniza(BRZ_FPS_PADRAO);
    std::vector<double> presents;
    double cpu = vdbench::ProcessCpu(), mainCpu = vdbench::ThreadCpu();
    for (int i = 0; i <= kMeasuredFrames; ++i) {
        BRZ_Sincroniza(BRZ_FPS_PADRAO);
        presents.push_back(Now());
        if (i == 0) {
            cpu = vdbench::ProcessCpu();
            mainCpu = vdbench::ThreadCpu();
        }
    }
    cpu = vdbench::ProcessCpu() - cpu;
    mainCpu = vdbench::ThreadCpu() - mainCpu;
    BRZ_Encerra();
    vdbench::WriteReport(fd, Summary(presents, cpu, mainCpu));
    return 0;
}

void Publish(benchmark::State& state, const vdbench::Report& r) {
    state.SetIterationTime(r.at("period_mean"));
    state.counters["period_mean_ms"] = r.at("period_mean") * 1e3;
    state.counters["period_p99_ms"] = r.at("period_p99") * 1e3;
    state.counters["period_min_ms"] = r.at("period_min") * 1e3;
    state.counters["period_max_ms"] = r.at("period_max") * 1e3;
    state.counters["cpu_share_pct"] = r.at("cpu_share") * 100;
    state.counters["main_thread_share_pct"] = r.at("main_thread_share") * 100;
    state.counters["frames"] = kMeasuredFrames;
}

void Pace(benchmark::State& state, const char* mode) {
    for (auto _ : state) {
        vdbench::Report r;
        double started = 0;
        if (!vdbench::RunChild({mode}, &r, &started)) {
            state.SkipWithError("the pacing probe failed (is DISPLAY set?)");
            return;
        }
        Publish(state, r);
    }
}

BENCHMARK_CAPTURE(Pace, language_screen, "--game")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pace, empty_frames, "--empty")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    int fd = vdbench::ReportFd(argc, argv);
    if (argc > 1 && strcmp(argv[1], "--game") == 0) return RunGame(fd);
    if (argc > 1 && strcmp(argv[1], "--empty") == 0) return RunEmptyFrames(fd);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
