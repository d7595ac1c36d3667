// The game's real flow (language screen, menu, opening, play loop, loss and
// win screens, run set-up) on the real generated assets, headless, for
// 200 000 play frames over many runs: losses to the wall, to blobs and to the
// time bar, wins, and runs left with ESC. Memory must stop growing once the
// first runs are over, and the shut-down must leave every registry empty.
//
// Drawing: a fully drawn 1024x768 play frame costs the software renderer 2 to
// 9 ms on the two-core build machine (depending on its load), so 200 000 of
// them would take 7 to 30 minutes, far too long for CI; the rest of a frame
// costs about 5 to 15 microseconds. One frame in kDrawEvery goes through the
// real renderer (cleared, drawn, flipped); the others go to a clear and a
// draw slot that do nothing. Drawing never feeds back into the game's logic.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "Jogo.h"
#include "brisaaudio2.h"
#include "consts.h"
#include "lumen.h"
#include "soak_support.h"

namespace soak {
namespace {

const int kDivisor = kSanitized ? kSanitizedDivisor : 1;
const long kPlayFrames = 200000 / kDivisor;
const int kDrawEvery = 50;
// Runs that warm up before memory is compared: one pass of the plan list,
// which has every kind of ending in it.
const int kWarmUpRuns = 8;
const long kSampleEvery = 5000;  // play frames between two memory samples
const int kLeaveSoonMax = 600;  // longest run before ESC in a run left early
const int kSteerSegmentMin = 10, kSteerSegmentMax = 90;
// Where the finish jump puts the map: this far short of the winning line.
const float kFinishLead = 160.0f;

enum class Plan { Follow, Drift, Steer, LeaveSoon, JumpToFinish, Win, TimeOut };
enum class Ending { Left, Lost, Won };

const char* Name(Plan p) {
    switch (p) {
        case Plan::Follow: return "follow the lumen";
        case Plan::Drift: return "drift";
        case Plan::Steer: return "random keys";
        case Plan::LeaveSoon: return "leave with ESC";
        case Plan::JumpToFinish: return "jump near the finish, ESC";
        case Plan::Win: return "finish";
        case Plan::TimeOut: return "hold position";
    }
    return "?";
}

const char* Name(Ending e) { return e == Ending::Left ? "left" : e == Ending::Lost ? "lost" : "won"; }

// Runs are played in this order, over and over. The position a run leaves
// with ESC is where the next one starts, so a jump near the finish is always
// followed by the finish, and the time-out runs follow a win (at the start,
// where no blob is near).
Plan PlanFor(int run) {
    static const Plan kPattern[] = {Plan::Follow, Plan::Drift, Plan::LeaveSoon, Plan::JumpToFinish,
                                    Plan::Win,    Plan::Follow, Plan::Steer,    Plan::LeaveSoon};
    const int n = int(sizeof kPattern / sizeof kPattern[0]);
    int cycle = run / n, place = run % n;
    if (place == 5 && (cycle == 1 || cycle == 3)) return Plan::TimeOut;
    return kPattern[place];
}

struct RunRecord {
    Plan plan;
    int frames;
    Ending ending;
};

// The player: presses keys at every frame end, from what the game shows.
class Player {
public:
    Player(Jogo& j, GrowthWatch& watch) : j_(j), lumen_(j.r), watch_(watch) {}

    void ChoosingLanguage(bool on) { choosingLanguage_ = on; }
    void FrameEnd();
    void SawDraw(unsigned int id);

    const std::vector<RunRecord>& runs() const { return runs_; }
    long playFrames() const { return played_; }
    int inconsistencies() const { return inconsistencies_; }

private:
    void Tap(int key) { SetKeys({toggle_ ? key : -1}); }
    void BeginRun();
    void EndRun();
    void PlayFrameEnded();
    void PlayPlan(int frame);
    void Inconsistent(const char* what, int run);

    Jogo& j_;
    Lumen lumen_;
    GrowthWatch& watch_;
    std::mt19937 rng_{20240601};
    bool choosingLanguage_ = false;
    bool toggle_ = false;
    bool inRun_ = false, quitting_ = false;
    Plan plan_ = Plan::Follow;
    Ending ending_ = Ending::Left;
    int lastFrame_ = 0;
    int leaveAt_ = 0, segmentEnd_ = 0, segmentKeys_ = 0;
    float anchorX_ = 0;
    long played_ = 0;
    std::vector<RunRecord> runs_;
    int inconsistencies_ = 0;
};

void Player::FrameEnd() {
    toggle_ = !toggle_;
    if (choosingLanguage_) return Tap(BRZ_P);
    if (j_.emPartida) {
        if (!inRun_) BeginRun();
        if (j_.quadroPartida != lastFrame_) {
            lastFrame_ = j_.quadroPartida;
            return PlayFrameEnded();
        }
        return Tap(BRZ_ESPACO);  // a loss or win screen runs inside the last play frame
    }
    if (inRun_) EndRun();
    // Space starts a run from the menu and dismisses every picture screen.
    Tap(quitting_ ? BRZ_S : BRZ_ESPACO);
}

void Player::SawDraw(unsigned int id) {
    if (!inRun_ || id == 0) return;
    if (id == j_.r.sprMorte) ending_ = Ending::Lost;
    if (id == j_.r.sprGanhou) ending_ = Ending::Won;
}

void Player::Inconsistent(const char* what, int run) {
    if (inconsistencies_++ < 10) ADD_FAILURE() << "run " << run << ": " << what;
}

void Player::BeginRun() {
    inRun_ = true;
    lastFrame_ = 0;
    ending_ = Ending::Left;
    plan_ = PlanFor(int(runs_.size()));
    leaveAt_ = std::uniform_int_distribution<int>(1, kLeaveSoonMax)(rng_);
    segmentEnd_ = 0;
    anchorX_ = vecPosicao.x;
    if (j_.inimigos.size() != size_t(kObstaculos)) Inconsistent("the run did not start with 44 blobs", int(runs_.size()));
    watch_.Sample();
    if (runs_.size() == size_t(kWarmUpRuns)) watch_.EndWarmUp();
}

void Player::EndRun() {
    inRun_ = false;
    runs_.push_back(RunRecord{plan_, lastFrame_, ending_});
    played_ += lastFrame_;
    if (ending_ != Ending::Left && !(vecPosicao == posini))
        Inconsistent("a lost or won run did not put the map back at its start", int(runs_.size()) - 1);
    if (!std::isfinite(vecPosicao.x) || !std::isfinite(vecPosicao.y))
        Inconsistent("the map position is not a number", int(runs_.size()) - 1);
}

void Player::PlayFrameEnded() {
    long total = played_ + lastFrame_;
    if (total % kSampleEvery == 0) watch_.Sample();
    if (total >= kPlayFrames) {
        // Enough: leave the run and quit from the menu.
        quitting_ = true;
        watch_.Sample();
        return SetKeys({BRZ_ESC});
    }
    PlayPlan(lastFrame_);
}

void Player::PlayPlan(int frame) {
    int steer = KeyFor(SteerThroughLumen(lumen_));
    switch (plan_) {
        case Plan::Drift: return SetKeys({});
        case Plan::Follow:
        case Plan::Win: return SetKeys({steer});
        case Plan::LeaveSoon: return frame >= leaveAt_ ? SetKeys({BRZ_ESC}) : SetKeys({steer});
        case Plan::JumpToFinish: {
            // Stands in for a long journey: the next run starts near the end.
            Run run;
            float x = float(kVitoriaX) + kFinishLead;
            if (lumen_.WidestRun(int(float(kNanoCentroX) - x), &run))
                vecPosicao = math::Vector2D(x, float(kNanoCentroY - run.middle()));
            return SetKeys({BRZ_ESC});
        }
        case Plan::TimeOut:
            // Space stops the drift; each beat pushes the map right, and a
            // few frames of drift bring it back.
            return SetKeys({steer, vecPosicao.x <= anchorX_ ? int(BRZ_ESPACO) : -1});
        case Plan::Steer: {
            static const int kChoices[][2] = {{-1, -1}, {BRZ_Q, -1}, {BRZ_I, -1}, {BRZ_ESPACO, -1},
                                              {BRZ_Q, BRZ_ESPACO}, {BRZ_I, BRZ_ESPACO}, {BRZ_Q, BRZ_I}};
            if (frame >= segmentEnd_) {
                segmentEnd_ = frame + std::uniform_int_distribution<int>(kSteerSegmentMin, kSteerSegmentMax)(rng_);
                segmentKeys_ = std::uniform_int_distribution<int>(0, 6)(rng_);
            }
            return SetKeys({kChoices[segmentKeys_][0], kChoices[segmentKeys_][1]});
        }
    }
}

struct Tally {
    int left = 0, lost = 0, won = 0, timedOut = 0, wonAsPlanned = 0, wins = 0;
};

// Every run but the last: the soak leaves that one with ESC to quit once it
// has played enough frames, whatever its plan was.
Tally Count(const std::vector<RunRecord>& runs, int timeOutFrames) {
    Tally t;
    for (size_t i = 0; i + 1 < runs.size(); ++i) {
        const RunRecord& r = runs[i];
        t.left += r.ending == Ending::Left;
        t.lost += r.ending == Ending::Lost;
        t.won += r.ending == Ending::Won;
        t.timedOut += r.plan == Plan::TimeOut && r.ending == Ending::Lost && r.frames == timeOutFrames;
        t.wins += r.plan == Plan::Win;
        t.wonAsPlanned += r.plan == Plan::Win && r.ending == Ending::Won;
    }
    return t;
}

void PrintRuns(const std::vector<RunRecord>& runs) {
    for (size_t i = 0; i < runs.size(); ++i)
        printf("run %3zu  %-26s %6d play frames  %s\n", i, Name(runs[i].plan), runs[i].frames, Name(runs[i].ending));
}

TEST(PlaySoak, ManyRunsOfTheRealFlowKeepMemoryFlatAndEndWithEmptyRegistries) {
    ScopedWorkingDir cwd(DataDir());
    ASSERT_TRUE(cwd.ok()) << DataDir();
    ASSERT_TRUE(StartHeadlessEngine());
    auto started = std::chrono::steady_clock::now();

    Jogo j;
    GrowthWatch watch;
    Player player(j, watch);
    int status = -1;
    long frames = 0, drawn = 0;
    {
        HeadlessFrames headless(kDrawEvery);
        headless.onFrameEnd = [&] { player.FrameEnd(); };
        headless.onDraw = [&](unsigned int id) { player.SawDraw(id); };
        j.teclas = BRZ_PegaTeclas();
        // The program's own start, as ExecutaJogo runs it after the engine start.
        TelaCarregando(j);
        CarregaRecursosComuns(j.r);
        player.ChoosingLanguage(true);
        ASSERT_TRUE(TelaIdiomas(j));
        player.ChoosingLanguage(false);
        ASSERT_NE(j.r.colisao[kTilesMapa - 1], 0u) << "the generated assets must load";
        ASSERT_NE(j.r.sprGanhou, 0u);
        DrawEveryLoadedFrame(headless.realDraw());
        IniciaSessao(j);
        status = CicloPrincipal(j);
        frames = headless.frames();
        drawn = headless.drawnFrames();
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    LiberaObjetos(j);

    PrintRuns(player.runs());
    printf("%ld play frames in %zu runs; %ld frames in all (menus and screens too), %ld drawn; %.1f s\n",
           player.playFrames(), player.runs().size(), frames, drawn, seconds);
    printf("memory: %s\n", watch.Report().c_str());

    EXPECT_EQ(status, SAIDA_NORMAL) << "the menu's quit answer ends the cycle";
    EXPECT_FALSE(inicializado) << "quitting shuts the engine down";
    EXPECT_EQ(RegistryLeftovers(), "");
    for (const char* sound : {"./rsrc/morreu.ogg", "./rsrc/batida.wav"})
        EXPECT_EQ(BZA_ProcuraEfeito(sound), 0u) << sound;
    EXPECT_EQ(BZA_ProcuraMusica("./rsrc/bgmusic.ogg"), 0u);

    EXPECT_GE(player.playFrames(), kPlayFrames);
    EXPECT_GE(drawn, frames / kDrawEvery) << "one frame in " << kDrawEvery << " goes through the renderer";
    EXPECT_EQ(player.inconsistencies(), 0);

    // Every kind of ending, many times over. The time bar is 20000 frames
    // spread over its 678 px, a pixel every 30 frames, down to its end line at 721.
    const int kTimeOutFrames = 30 * 721;
    Tally t = Count(player.runs(), kTimeOutFrames);
    EXPECT_GE(t.lost, 10 / kDivisor);
    EXPECT_GE(t.left, 10 / kDivisor);
    EXPECT_GE(t.timedOut, 2 / kDivisor) << "the position-holding runs end when the time bar runs out";
    EXPECT_GE(t.won, kSanitized ? 1 : 3);
    EXPECT_EQ(t.wonAsPlanned, t.wins) << "every run started near the finish wins";

    if (kSanitized) {
        printf("memory bounds not checked: the sanitizer's quarantine keeps freed memory resident\n");
        return;
    }
    EXPECT_EQ(GrowthBeyond(watch, kPlayBounds), "") << watch.Report();
}

}  // namespace
}  // namespace soak
