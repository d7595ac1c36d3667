// A play frame with the real assets: the game's own QuadroJogo, replaying the
// pilot's winning route so the frames cover the whole vessel. The dispatch
// slots are wrapped to split each frame into
//   logic        everything the frame does outside the renderer's calls,
//   draw         time inside the clear and sprite draws (for the software
//                renderer the fill itself, for OpenGL the command submission),
//   present      the buffer swap or flip and the input poll (for OpenGL this
//                is where llvmpipe rasterises), without the pacing sleep.
// The route is long, so frames are measured in evenly spaced windows and the
// frames between them are played with drawing switched off.
//
// BM_PlayFrameLogicOnly replays the whole route with the renderer's calls
// replaced by no-ops: the thread CPU time of the frame's own logic alone.
//
// The route file: $VD_ROUTE, else <build>/test-output/pilot/route.txt (the
// pilot writes it; scripts/bench runs the pilot when it is missing).
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Jogo.h"
#include "bench_support.h"
#include "brisaaudio2.h"
#include "consts.h"
#include "route.h"

using vdbench::Now;

namespace {

// One key of each movement block stands for the whole block, as the pilot plays.
const int kUpKey = BRZ_K;
const int kDownKey = BRZ_D;

const int kPortugues = 0;
const int kWindows = 8;
const int kWindowFrames = 150;

// ---------------------------------------------------------------------------
// Timed and silenced renderer slots
// ---------------------------------------------------------------------------

struct Slots {
    void (*clear)() = nullptr;
    bool (*draw)(unsigned int, unsigned int, int, int) = nullptr;
    bool (*effect)(unsigned int, unsigned int, int*, int*, Uint8, Uint8, Uint8, Uint8) = nullptr;
    void (*sync)(Uint8) = nullptr;
};

Slots g_real;
BRZ_Botao* g_keys = nullptr;
int g_renderer = BRZ_DESENHO_OPENGL;
double g_drawTime = 0;     // wall seconds inside clears and draws, this frame
double g_presentTime = 0;  // wall seconds inside the frame end, this frame
int g_draws = 0;

// Every screen a frame can open (loss, win) waits for the space bar: pressed
// at every frame end, such a screen runs straight through.
void PressSpaceForScreens() {
    for (int i = 0; i < BRZ_MAXTECLAS; ++i) g_keys[i].pressionado = g_keys[i].liberado = false;
    g_keys[BRZ_ESPACO].pressionado = true;
}

void TimedClear() {
    double t = Now();
    g_real.clear();
    g_drawTime += Now() - t;
}

bool TimedDraw(unsigned int id, unsigned int i, int x, int y) {
    double t = Now();
    bool ok = g_real.draw(id, i, x, y);
    g_drawTime += Now() - t;
    ++g_draws;
    return ok;
}

bool TimedEffect(unsigned int id, unsigned int i, int* x, int* y, Uint8 r, Uint8 g, Uint8 b, Uint8 a) {
    double t = Now();
    bool ok = g_real.effect(id, i, x, y, r, g, b, a);
    g_drawTime += Now() - t;
    ++g_draws;
    return ok;
}

// The frame end of BRZ_Sincroniza without its sleep: present, poll input.
void Present(Uint8) {
    double t = Now();
    if (g_renderer == BRZ_DESENHO_OPENGL)
        SDL_GL_SwapBuffers();
    else
        SDL_Flip(screen);
    BRZ_Entrada();
    PressSpaceForScreens();
    g_presentTime += Now() - t;
}

void NoClear() {}
bool NoDraw(unsigned int, unsigned int, int, int) { return true; }
bool NoEffect(unsigned int, unsigned int, int*, int*, Uint8, Uint8, Uint8, Uint8) { return true; }
void NoPresent(Uint8) { PressSpaceForScreens(); }

void Drawing(bool on) {
    BRZ_LimpaTela = on ? TimedClear : NoClear;
    BRZ_DesenhaSprite = on ? TimedDraw : NoDraw;
    BRZ_DesenhaSpriteEfeito = on ? TimedEffect : NoEffect;
    BRZ_Sincroniza = on ? Present : NoPresent;
}

// ---------------------------------------------------------------------------
// The session: the game as it stands at the first frame of its first run
// ---------------------------------------------------------------------------

std::string RoutePath() {
    const char* env = getenv("VD_ROUTE");
    if (env && *env) return env;
    return std::string(VD_BINARY_DIR) + "/test-output/pilot/route.txt";
}

class Session {
public:
    bool Start(int renderer, std::string* error) {
        if (!pilot::ReadRoute(RoutePath(), &route_, error)) return false;
        if (route_.frames.size() < 2) {
            *error = "the route is empty";
            return false;
        }
        if (!vdbench::EnterDataDir()) {
            *error = "no rsrc/ folder";
            return false;
        }
        g_renderer = renderer;
        if (!BRZ_Inicia(unsigned(largura), unsigned(altura), BRZ_TELA_CHEIA, renderer, "Vessel Drift")) {
            *error = "the engine did not start (is DISPLAY set?)";
            return false;
        }
        BZA_Inicia();
        resetpos();
        IniciaSemTelas(j_, kPortugues);
        g_keys = j_.teclas;
        g_real = {BRZ_LimpaTela, BRZ_DesenhaSprite, BRZ_DesenhaSpriteEfeito, BRZ_Sincroniza};
        NewRun();
        return true;
    }

    void Stop() {
        LiberaObjetos(j_);
        BRZ_LimpaTela = g_real.clear;
        BRZ_DesenhaSprite = g_real.draw;
        BRZ_DesenhaSpriteEfeito = g_real.effect;
        BRZ_Sincroniza = g_real.sync;
        BZA_Encerra();
        BRZ_Encerra();
    }

    // Play frames of the route, the winning one left out.
    int RouteFrames() const { return int(route_.frames.size()) - 1; }
    int next() const { return next_; }

    // One frame of the route. A frame that ends the run (only if the game no
    // longer plays as the pilot saw it) starts a new run.
    void Play() {
        const pilot::Input& in = route_.frames[size_t(next_)];
        for (int i = 0; i < BRZ_MAXTECLAS; ++i) g_keys[i] = BRZ_Botao{false, false, false};
        g_keys[kUpKey].ativo = in.up;
        g_keys[kDownKey].ativo = in.down;
        g_keys[BRZ_ESPACO].ativo = in.space;
        ++next_;
        if (QuadroJogo(j_) != QUADRO_SEGUE || next_ >= RouteFrames()) {
            if (next_ < RouteFrames()) ++unexpectedEnds_;
            NewRun();
        }
    }

    int unexpectedEnds() const { return unexpectedEnds_; }

private:
    // The main cycle's set-up of a run, on a fresh map position.
    void NewRun() {
        LiberaObjetos(j_);
        resetpos();
        ConstroiObjetos(j_);
        PreparaPartida(j_);
        ComecaPartida(j_);
        j_.jogo = 1;
        next_ = 0;
    }

    Jogo j_;
    pilot::Route route_;
    int next_ = 0;
    int unexpectedEnds_ = 0;
};

struct FrameSample {
    double frame, logic, draw, present;
};

void Publish(benchmark::State& state, const std::vector<FrameSample>& s, int draws, int ends) {
    const double us = 1e6;
    std::vector<double> logic, draw, present, frame;
    for (const FrameSample& f : s) {
        logic.push_back(f.logic * us);
        draw.push_back(f.draw * us);
        present.push_back(f.present * us);
        frame.push_back(f.frame * us);
    }
    state.counters["logic_us"] = vdbench::Mean(logic);
    state.counters["logic_median_us"] = vdbench::Percentile(logic, 50);
    state.counters["logic_p99_us"] = vdbench::Percentile(logic, 99);
    state.counters["draw_us"] = vdbench::Mean(draw);
    state.counters["draw_p99_us"] = vdbench::Percentile(draw, 99);
    state.counters["present_us"] = vdbench::Mean(present);
    state.counters["frame_us"] = vdbench::Mean(frame);
    state.counters["frame_p99_us"] = vdbench::Percentile(frame, 99);
    state.counters["draws_per_frame"] = s.empty() ? 0 : double(draws) / double(s.size());
    state.counters["unexpected_run_ends"] = ends;
}

void BM_PlayFrame(benchmark::State& state, int renderer) {
    Session session;
    std::string error;
    if (!session.Start(renderer, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const int spacing = session.RouteFrames() / kWindows;
    std::vector<FrameSample> samples;
    int draws = 0;
    for (auto _ : state) {
        // Play on without drawing up to the next frame inside a window.
        Drawing(false);
        while (session.next() % spacing >= kWindowFrames) session.Play();
        Drawing(true);
        g_drawTime = g_presentTime = 0;
        g_draws = 0;
        double t = Now();
        session.Play();
        double frame = Now() - t;
        state.SetIterationTime(frame - g_presentTime);
        samples.push_back({frame, frame - g_drawTime - g_presentTime, g_drawTime, g_presentTime});
        draws += g_draws;
    }
    Drawing(true);
    Publish(state, samples, draws, session.unexpectedEnds());
    session.Stop();
}

void BM_PlayFrameLogicOnly(benchmark::State& state, int renderer) {
    Session session;
    std::string error;
    if (!session.Start(renderer, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    Drawing(false);
    std::vector<double> cpu;
    for (auto _ : state) {
        double t = vdbench::ThreadCpu();
        for (int i = 0; i < session.RouteFrames(); ++i) session.Play();
        double used = vdbench::ThreadCpu() - t;
        state.SetIterationTime(used / session.RouteFrames());
        cpu.push_back(used * 1e6 / session.RouteFrames());
    }
    state.counters["logic_cpu_us"] = vdbench::Mean(cpu);
    state.counters["frames"] = session.RouteFrames();
    state.counters["unexpected_run_ends"] = session.unexpectedEnds();
    Drawing(true);
    session.Stop();
}

BENCHMARK_CAPTURE(BM_PlayFrame, opengl, BRZ_DESENHO_OPENGL)
    ->UseManualTime()
    ->Iterations(kWindows * kWindowFrames)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlayFrame, software, BRZ_DESENHO_PADRAO)
    ->UseManualTime()
    ->Iterations(kWindows * kWindowFrames)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlayFrameLogicOnly, software, BRZ_DESENHO_PADRAO)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
