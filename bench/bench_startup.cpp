// Start-up: from process start to the first presented frame of the language
// screen, with the real program (ExecutaJogo) on the real assets, under the
// OpenGL renderer. Each iteration starts this program again as a child:
//
//   --probe   runs ExecutaJogo; the per-frame hook presses ESC on the first
//             language-screen frame, so the game quits right after it by its
//             own path. Reports when each stage ended and, summed over every
//             sprite-set load, the time the loading thread spent decoding,
//             waiting for the pictures decoded ahead, copying into the
//             working surface, building masks and uploading; and what the
//             helper thread spent decoding ahead.
//   --decode  calls the game's own load functions with a sprite-set load that
//             only decodes (IMG_Load) and keeps the surface: the bare decode
//             time of the same files in the same order, on one thread.
//
// Each start-up runs right after a bare decode, and its ratio to that decode
// is one sample: the verdict is the median of five, with their spread.
//
// The stages are timed from outside the engine: the link wraps the library
// and engine calls that open and close each stage (see CMakeLists.txt), so
// the engine runs unmodified. The calls of decoding ahead are wrapped only
// where the engine has them, so the same probe also measures an engine from
// before them (their steps then read 0).
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_opengl.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Jogo.h"
#include "Nivel.h"
#include "bench_support.h"
#include "brisa2d2.h"

using vdbench::Now;
using vdbench::Report;

// ---------------------------------------------------------------------------
// What the wrapped calls measure, per kind of picture
// ---------------------------------------------------------------------------

namespace {

enum Kind { MAP_TILE, COLLISION, OTHER_PICTURE, KINDS };
const char* const kKindNames[KINDS] = {"tile", "collision", "other"};

// Wall and CPU seconds and minor page faults (the measuring thread's) of one
// step, summed over loads.
struct Span {
    double wall = 0, cpu = 0, faults = 0;
};

long ThreadMinorFaults() {
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return u.ru_minflt;
}

// A reading of the clocks and the fault count.
struct Stamp {
    double wall = 0, cpu = 0;
    long faults = 0;
    static Stamp Take() { return {Now(), vdbench::ThreadCpu(), ThreadMinorFaults()}; }
};

void Add(Span* s, const Stamp& from, const Stamp& to) {
    s->wall += to.wall - from.wall;
    s->cpu += to.cpu - from.cpu;
    s->faults += double(to.faults - from.faults);
}

// The loading thread's steps of a load, then the helper thread's decodes.
enum Step { DECODE, WAIT, COPY, MASKS, UPLOAD, AHEAD, STEPS };
const char* const kStepNames[STEPS] = {"decode", "wait", "copy", "masks", "upload", "ahead"};

struct Phases {
    Span step[STEPS];
    int count = 0;        // loads
    int ahead = 0;        // pictures the helper decoded
};

const int kFramesKept = 8;

struct Probe {
    bool decodeOnly = false;
    std::thread::id loader;     // the thread that runs the game
    std::mutex helperLock;      // guards what the helper threads add
    Phases phases[KINDS];
    Phases* current = nullptr;  // the load in progress, if any
    Stamp copyStart;            // inside the copy into the working surface
    bool copying = false;
    double audioLoads = 0;
    double sleep = 0;           // SDL_Delay inside the frame pacing
    double firstLoad = 0;       // entry of the first sprite-set load
    int syncs = 0;              // frame ends seen by the hook
    int presentAfterSync = 0;   // the next swap presents this frame end
    double presented[kFramesKept] = {};      // when frame end n was presented
    double presentedCpu[kFramesKept] = {};   // process CPU seconds by then
    long presentedFaults[kFramesKept] = {};  // minor page faults by then
};

Probe g;

Kind KindOf(const char* file) {
    const char* slash = strrchr(file, '/');
    const char* name = slash ? slash + 1 : file;
    for (int t = 0; t < kTilesMapa; ++t) {
        if (strcmp(name, kArquivoMapa[t]) == 0) return MAP_TILE;
        if (strcmp(name, kArquivoColisao[t]) == 0) return COLLISION;
    }
    return OTHER_PICTURE;
}

// Frame ends of the start-up: two of the loading screen, then the language
// screen's first frame, which is the one this benchmark waits for.
const int kFirstLanguageFrame = 3;

void Hook() {
    ++g.syncs;
    g.presentAfterSync = g.syncs;
    if (g.syncs == kFirstLanguageFrame) {
        // Read by this frame's input poll: the next pass of the screen quits.
        vdbench::PressKey(SDLK_ESCAPE);
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Link-time wraps (-Wl,--wrap=...): each calls the real function
// ---------------------------------------------------------------------------

extern "C" {
SDL_Surface* __real_IMG_Load(const char* file);
SDL_Surface* __real__Z18BRZ_CriaSuperficieiijjjj(int, int, Uint32, Uint32, Uint32, Uint32);
void __real_SDL_FreeSurface(SDL_Surface*);
void __real_glTexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const GLvoid*);
void __real_SDL_GL_SwapBuffers();
void __real_SDL_Delay(Uint32);
bool __real__Z25BRZ_CriaMascarasSpriteSetP13BRZ_SpriteSetb(BRZ_SpriteSet*, bool);
unsigned int __real__Z17BZA_CarregaEfeitoPKc(const char*);
unsigned int __real__Z17BZA_CarregaMusicaPKc(const char*);
unsigned int __real__Z23BRZ_CarregaSpriteSetComRK16BRZ_RenderizadorPKcii(const void*, const char*, int, int);

// A sprite-set load: its steps go to its kind of picture.
unsigned int __wrap__Z23BRZ_CarregaSpriteSetComRK16BRZ_RenderizadorPKcii(const void* r, const char* file, int w,
                                                                        int h) {
    if (g.firstLoad == 0) g.firstLoad = Now();
    Phases* kind = file ? &g.phases[KindOf(file)] : &g.phases[OTHER_PICTURE];
    kind->count++;
    g.current = kind;
    unsigned int id = __real__Z23BRZ_CarregaSpriteSetComRK16BRZ_RenderizadorPKcii(r, file, w, h);
    g.current = nullptr;
    return id;
}

// A decode on the loading thread.
SDL_Surface* __wrap_IMG_Load(const char* file) {
    Stamp t = Stamp::Take();
    SDL_Surface* s = __real_IMG_Load(file);
    if (g.current) Add(&g.current->step[DECODE], t, Stamp::Take());
    return s;
}

#if VD_BENCH_DECODE_AHEAD
static bool OnLoader() { return std::this_thread::get_id() == g.loader; }

bool __real__Z18BRZ_DecodificaRGBAPKcPFiiiiEP20BRZ_ImagemAntecipada(const char*, void*, void*);
bool __real__Z18BRZ_TomaAntecipadaPKcP20BRZ_ImagemAntecipada(const char*, void*);

// A decode straight into a working square: by the helper thread ahead of its
// load, or by the loading thread when it got there first.
bool __wrap__Z18BRZ_DecodificaRGBAPKcPFiiiiEP20BRZ_ImagemAntecipada(const char* file, void* side, void* d) {
    Stamp t = Stamp::Take();
    bool ok = __real__Z18BRZ_DecodificaRGBAPKcPFiiiiEP20BRZ_ImagemAntecipada(file, side, d);
    Stamp end = Stamp::Take();
    if (OnLoader()) {
        if (g.current) Add(&g.current->step[DECODE], t, end);
        return ok;
    }
    std::lock_guard<std::mutex> lock(g.helperLock);
    Phases& kind = g.phases[KindOf(file)];
    Add(&kind.step[AHEAD], t, end);
    kind.ahead++;
    return ok;
}

// The loading thread takes a picture decoded ahead: what it does not spend
// decoding itself in here, it spends waiting for the helper.
bool __wrap__Z18BRZ_TomaAntecipadaPKcP20BRZ_ImagemAntecipada(const char* file, void* d) {
    Span before = g.current ? g.current->step[DECODE] : Span();
    Stamp t = Stamp::Take();
    bool ok = __real__Z18BRZ_TomaAntecipadaPKcP20BRZ_ImagemAntecipada(file, d);
    Stamp end = Stamp::Take();
    if (g.current) {
        Span& decode = g.current->step[DECODE];
        Add(&g.current->step[WAIT], t, end);
        g.current->step[WAIT].wall -= decode.wall - before.wall;
        g.current->step[WAIT].cpu -= decode.cpu - before.cpu;
        g.current->step[WAIT].faults -= decode.faults - before.faults;
    }
    return ok;
}
#endif

// The working surface: from its creation to the release of the decoded image.
SDL_Surface* __wrap__Z18BRZ_CriaSuperficieiijjjj(int w, int h, Uint32 r, Uint32 gm, Uint32 b, Uint32 a) {
    if (g.current) {
        g.copyStart = Stamp::Take();
        g.copying = true;
    }
    return __real__Z18BRZ_CriaSuperficieiijjjj(w, h, r, gm, b, a);
}

void __wrap_SDL_FreeSurface(SDL_Surface* s) {
    __real_SDL_FreeSurface(s);
    if (g.current && g.copying) {
        Add(&g.current->step[COPY], g.copyStart, Stamp::Take());
        g.copying = false;
    }
}

bool __wrap__Z25BRZ_CriaMascarasSpriteSetP13BRZ_SpriteSetb(BRZ_SpriteSet* s, bool apagaMagenta) {
    Stamp t = Stamp::Take();
    bool ok = __real__Z25BRZ_CriaMascarasSpriteSetP13BRZ_SpriteSetb(s, apagaMagenta);
    if (g.current) Add(&g.current->step[MASKS], t, Stamp::Take());
    return ok;
}

void __wrap_glTexImage2D(GLenum target, GLint level, GLint internal, GLsizei w, GLsizei h, GLint border,
                         GLenum format, GLenum type, const GLvoid* pixels) {
    Stamp t = Stamp::Take();
    __real_glTexImage2D(target, level, internal, w, h, border, format, type, pixels);
    if (g.current) Add(&g.current->step[UPLOAD], t, Stamp::Take());
}

void __wrap_SDL_GL_SwapBuffers() {
    __real_SDL_GL_SwapBuffers();
    if (g.presentAfterSync > 0 && g.presentAfterSync < kFramesKept) {
        g.presented[g.presentAfterSync] = Now();
        g.presentedCpu[g.presentAfterSync] = vdbench::ProcessCpu();
        g.presentedFaults[g.presentAfterSync] = vdbench::MinorFaults();
    }
    g.presentAfterSync = 0;
}

void __wrap_SDL_Delay(Uint32 ms) {
    double t = Now();
    __real_SDL_Delay(ms);
    g.sleep += Now() - t;
}

unsigned int __wrap__Z17BZA_CarregaEfeitoPKc(const char* file) {
    if (g.decodeOnly) return 0;
    double t = Now();
    unsigned int id = __real__Z17BZA_CarregaEfeitoPKc(file);
    g.audioLoads += Now() - t;
    return id;
}

unsigned int __wrap__Z17BZA_CarregaMusicaPKc(const char* file) {
    if (g.decodeOnly) return 0;
    double t = Now();
    unsigned int id = __real__Z17BZA_CarregaMusicaPKc(file);
    g.audioLoads += Now() - t;
    return id;
}
}

// ---------------------------------------------------------------------------
// The two child modes
// ---------------------------------------------------------------------------

namespace {

void AddPhases(Report* r) {
    for (int k = 0; k < KINDS; ++k) {
        const Phases& p = g.phases[k];
        std::string n = kKindNames[k];
        (*r)[n + "_count"] = p.count;
        (*r)[n + "_ahead_count"] = p.ahead;
        for (int i = 0; i < STEPS; ++i) {
            (*r)[n + "_" + kStepNames[i]] = p.step[i].wall;
            (*r)[n + "_" + kStepNames[i] + "_cpu"] = p.step[i].cpu;
            (*r)[n + "_" + kStepNames[i] + "_faults"] = p.step[i].faults;
        }
    }
}

int RunProbe(int fd) {
    Report r;
    r["t_main"] = Now();
    g.loader = std::this_thread::get_id();
    if (!vdbench::EnterDataDir()) return 1;
    BRZ_DefineSincronizaUsuario(Hook);
    int status = ExecutaJogo();
    if (status != 0 || g.presented[kFirstLanguageFrame] == 0) return 1;
    r["t_first_load"] = g.firstLoad;
    r["t_loading_shown"] = g.presented[kFirstLanguageFrame - 1];
    r["t_language_shown"] = g.presented[kFirstLanguageFrame];
    r["cpu_language_shown"] = g.presentedCpu[kFirstLanguageFrame];
    r["faults_language_shown"] = double(g.presentedFaults[kFirstLanguageFrame]);
    r["sleep"] = g.sleep;
    r["audio_loads"] = g.audioLoads;
    AddPhases(&r);
    vdbench::WriteReport(fd, r);
    return 0;
}

// The game's loads with a sprite-set load that only decodes.
std::vector<SDL_Surface*> g_decoded;

unsigned int DecodeOnly(const char* file, int, int) {
    Phases* kind = &g.phases[KindOf(file)];
    kind->count++;
    g.current = kind;
    SDL_Surface* s = IMG_Load(file);
    g.current = nullptr;
    if (!s) return 0;
    g_decoded.push_back(s);
    return unsigned(g_decoded.size());
}

int RunDecode(int fd) {
    if (!vdbench::EnterDataDir()) return 1;
    g.decodeOnly = true;
    BRZ_CarregaSpriteSet = DecodeOnly;
    Recursos r;
    CarregaTelaCarregando(r);
    CarregaRecursosComuns(r);
    Report rep;
    AddPhases(&rep);
    rep["faults"] = double(vdbench::MinorFaults());
    for (SDL_Surface* s : g_decoded) SDL_FreeSurface(s);
    vdbench::WriteReport(fd, rep);
    return 0;
}

// ---------------------------------------------------------------------------
// The benchmarks: one child per iteration, counters averaged over them
// ---------------------------------------------------------------------------

const double kMs = 1e3;

// Sums named values over the iterations, then shows their means in ms.
class MeanCounters {
public:
    void Add(const std::string& name, double seconds) { sums_[name] += seconds; }
    void Publish(benchmark::State& state, int runs) const {
        for (const auto& kv : sums_) state.counters[kv.first] = kv.second * kMs / runs;
    }

private:
    std::map<std::string, double> sums_;
};

// Keeps every run's value of a measure; shows its min, median and max.
class Spread {
public:
    void Add(double v) { values_.push_back(v); }
    void Publish(benchmark::State& state, const std::string& name, double scale) const {
        if (values_.empty()) return;
        state.counters[name + "_min"] = *std::min_element(values_.begin(), values_.end()) * scale;
        state.counters[name + "_median"] = vdbench::Percentile(values_, 50) * scale;
        state.counters[name + "_max"] = *std::max_element(values_.begin(), values_.end()) * scale;
    }

private:
    std::vector<double> values_;
};

double Sum(const Report& r, const std::string& suffix) {
    double s = 0;
    for (const char* kind : kKindNames) s += r.at(kind + suffix);
    return s;
}

// Every step summed over all loads, and per picture for the 2048 x 2048 ones.
void AddSteps(MeanCounters* m, const Report& r) {
    for (const char* step : kStepNames) {
        std::string n = std::string("_") + step;
        m->Add(step + std::string("_ms"), Sum(r, n));
        m->Add(step + std::string("_cpu_ms"), Sum(r, n + "_cpu"));
        for (const char* kind : {"tile", "collision"}) {
            double count = r.at(std::string(kind) + "_count");
            if (count <= 0) continue;
            m->Add(std::string(kind) + n + "_ms", r.at(kind + n) / count);
            m->Add(std::string(kind) + n + "_cpu_ms", r.at(kind + n + "_cpu") / count);
        }
    }
}

const int kRuns = 5;

void BM_StartupToLanguageScreen(benchmark::State& state) {
    MeanCounters m;
    Spread total, ratioWall, ratioCpu;
    double faults = 0, ahead = 0;
    int runs = 0;
    for (auto _ : state) {
        Report d, r;
        double started = 0;
        if (!vdbench::RunChild({"--decode"}, &d, &started)) {
            state.SkipWithError("the decode probe failed");
            return;
        }
        if (!vdbench::RunChild({"--probe"}, &r, &started)) {
            state.SkipWithError("the start-up probe failed (is DISPLAY set?)");
            return;
        }
        double wall = r["t_language_shown"] - started;
        state.SetIterationTime(wall);
        total.Add(wall);
        ratioWall.Add(wall / Sum(d, "_decode"));
        ratioCpu.Add(r["cpu_language_shown"] / Sum(d, "_decode_cpu"));
        m.Add("total_ms", wall);
        m.Add("total_cpu_ms", r["cpu_language_shown"]);
        faults += r["faults_language_shown"];
        ahead += Sum(r, "_ahead_count");
        m.Add("exec_ms", r["t_main"] - started);
        m.Add("engine_audio_start_ms", r["t_first_load"] - r["t_main"]);
        m.Add("loading_screen_ms", r["t_loading_shown"] - r["t_first_load"]);
        m.Add("loads_ms", r["t_language_shown"] - r["t_loading_shown"]);
        m.Add("paced_sleep_ms", r["sleep"]);
        m.Add("audio_loads_ms", r["audio_loads"]);
        AddSteps(&m, r);
        ++runs;
    }
    m.Publish(state, runs);
    total.Publish(state, "total_ms", kMs);
    ratioWall.Publish(state, "ratio", 1);
    ratioCpu.Publish(state, "ratio_cpu", 1);
    state.counters["minor_faults"] = runs ? faults / runs : 0;
    state.counters["pictures_ahead"] = runs ? ahead / runs : 0;
}

void BM_BareDecode(benchmark::State& state) {
    MeanCounters m;
    double faults = 0;
    int runs = 0;
    for (auto _ : state) {
        Report r;
        double started = 0;
        if (!vdbench::RunChild({"--decode"}, &r, &started)) {
            state.SkipWithError("the decode probe failed");
            return;
        }
        state.SetIterationTime(Sum(r, "_decode"));
        m.Add("total_ms", Sum(r, "_decode"));
        m.Add("total_cpu_ms", Sum(r, "_decode_cpu"));
        AddSteps(&m, r);
        state.counters["pictures"] = Sum(r, "_count");
        faults += r["faults"];
        ++runs;
    }
    m.Publish(state, runs);
    state.counters["minor_faults"] = runs ? faults / runs : 0;
}

BENCHMARK(BM_StartupToLanguageScreen)->UseManualTime()->Iterations(kRuns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareDecode)->UseManualTime()->Iterations(kRuns)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    int fd = vdbench::ReportFd(argc, argv);
    if (argc > 1 && strcmp(argv[1], "--probe") == 0) return RunProbe(fd);
    if (argc > 1 && strcmp(argv[1], "--decode") == 0) return RunDecode(fd);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
