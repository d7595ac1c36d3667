#include "player.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "Nivel.h"
#include "consts.h"
#include "search.h"

namespace pilot {

namespace {

const int kNever = 1 << 30;
// Plans look this many frames ahead (the vessel ahead stays on screen), the
// first of them choice by choice, the rest two choices at a time.
const int kPlanFrames = 300;
const int kFinePlanFrames = 120;
// Clearance beyond this many pixels counts as plenty: no reason to move.
const float kPlenty = 24;
// A plan that drives on is taken while it keeps this far from everything.
const float kDriveOnMargin = 10;
// A blob this close to an end of its drift is taken to be turning there.
const float kAtWall = 3;
// How far a player keeps off the columns of a drifting blob ahead, in px:
// stopping in front of one, it stops this far short of where it would touch.
const int kKeepOff = 20;
// Extra room kept from a drifting blob, whose turns the player can only guess.
const float kDriftMargin = 6;
// A blob coming at the nanobot is kept as much further off as it moves in this many frames.
const float kComingFrames = 25;
// Moving instead of keeping still needs a path this much roomier, in pixels
// of clearance per frame of the plan, all frames together (so the player
// does not twitch).
const float kSumTolerancePerFrame = 1;

// Where the play frame tests the nanobot's picture on the screen: the map
// place of the nanobot with the map at (0, 0).
int NanoScreenX() { return int(NanoMapX(math::Vector2D(0, 0))); }
int NanoScreenY() { return int(NanoMapY(math::Vector2D(0, 0))); }

// One screen as the player saw it after a play frame.
struct Seen {
    int frame = 0;
    int x = 0;            // the nanobot picture's map place
    float y = 0;
    int lastBeat = -1;    // frame of the last beat felt by then; -1 before the first
    std::array<float, kObstaculos> blobX{}, blobY{};
    std::bitset<kObstaculos> onScreen;
};

// What a plan starts from: the nanobot after frame `frame`, and the blobs it
// expects.
struct Model {
    int frame = 0;
    int x = 0;
    float y = 0;
    int lastBeat = -1;
    int seeUpTo = 0;  // the rightmost nanobot x whose columns were on screen
    struct Blob {
        int row, x, width;
        float y, speed;  // at frame `seenAt`; speed in px per frame, down positive
        Span drift;
    };
    int seenAt = 0;
    std::vector<Blob> blobs;
};

// How a plan fares: frames before it touches something (all of them when it
// does not), the least clearance on the way (capped), the sum of the
// clearances, and how many holds of space it waits.
struct Score {
    int survived = 0;
    float least = kPlenty;
    float sum = 0;
    int waits = 0;
    int firstWait = kNever;  // frame (after the model's) of the first hold of space
};

// Longer survival first. Among plans that keep a safe margin, the one that
// waits least, and of those the one that drives on first (waiting is for
// when the way ahead is closed; the player keeps off the blobs while it
// does, see kKeepOff). Then the roomier: the larger least clearance, then
// (while that is short of plenty) the clearly larger sum. The moves are
// tried keeping still first, so a tie keeps the nanobot still.
bool Better(const Score& a, const Score& b, float sumTolerance) {
    if (a.survived != b.survived) return a.survived > b.survived;
    bool safeA = a.least >= kDriveOnMargin, safeB = b.least >= kDriveOnMargin;
    if (safeA != safeB) return safeA;
    if (safeA && a.waits != b.waits) return a.waits < b.waits;
    if (safeA && a.firstWait != b.firstWait) return a.firstWait > b.firstWait;
    if (a.least != b.least) return a.least > b.least;
    if (a.waits != b.waits) return a.waits < b.waits;
    return a.least < kPlenty && a.sum > b.sum + sumTolerance;
}

bool IsBeat(int frame, int lastBeat) {
    return lastBeat >= 0 && frame > lastBeat && (frame - lastBeat) % kPeriodoBatida == 0;
}

// A blob drifting at constant speed and turning back at the ends of its drift.
float Fold(float y, const Span& drift) {
    float lo = drift.lo - 1, hi = drift.hi + 1, len = hi - lo;
    if (len <= 0) return lo;
    float u = std::fmod(y - lo, 2 * len);
    if (u < 0) u += 2 * len;
    return lo + (u <= len ? u : 2 * len - u);
}

// The smallest span holding both (either may be empty).
Span Hull(const Span& a, const Span& b) {
    if (a.lo > a.hi) return b;
    if (b.lo > b.hi) return a;
    return Span{std::min(a.lo, b.lo), std::max(a.hi, b.hi)};
}

// The nanobot's map y as the collision test places it (the nanobot's place
// on the screen is `screenY`): the map is drawn at the truncated scroll.
float TestedY(float y, float screenY) { return screenY - std::trunc(screenY - y); }

// Plans are trees of held choices: the first choices last one hold each,
// later ones two (a person plans the far part of the way more coarsely).
// Scores are worked out backwards over a lattice of states: every choice
// moves the nanobot a whole number of steps up or down, and forward by the
// drift unless it waits, so a state is the steps moved and the holds waited.
class Planner {
public:
    explicit Planner(const Sight& sight)
        : sight_(sight), nanoWidth_(sight.NanoWidth()), screenY_(float(NanoScreenY())) {}

    struct Move {
        int vertical;  // -1 up, 0, +1 down (map y)
        bool space;
    };

    // `jitter`: how many frames a hold may run over; the plan keeps that much
    // further from the blobs ahead.
    Input Choose(const Model& m, int hold, int jitter, bool spaceAllowed);
    const Score& Last() const { return last_; }

private:
    struct Level {
        int start, length;  // frames after the model's frame
        int units;          // holds in it
    };
    struct State {
        int n;  // lattice steps down from the start (negative: up)
        int w;  // holds waited before
    };

    void Prepare(const Model& m, int hold);
    float Clearance(int j, int px, float py, int x, float y) const;
    void Place(int level, const State& st, int* x, float* y) const;
    Score Segment(int level, const State& from, const Move& mv, State* to) const;
    Score Best(int level, const State& from, int moves, Move* chosen) const;
    // The best way on from every state of every level past the first;
    // waiting is thought of only with `waiting`.
    void Solve(bool waiting);
    bool Safe(const Score& s) const;  // survives the whole plan with a safe margin
    size_t Index(const State& st) const { return size_t(st.n + reach_) * size_t(reach_ + 1) + size_t(st.w); }

    const Sight& sight_;
    const int nanoWidth_;
    const float screenY_;
    const Model* m_ = nullptr;
    int hold_ = 0, reach_ = 0;
    bool seeBlobs_ = true;  // false: plans as if the vessel were empty of blobs
    int reachAhead_ = 0;  // px further right the nanobot may be than planned
    float tolerance_ = 0;
    std::vector<Level> levels_;
    std::vector<int> beatsBefore_;   // beats in frames (m.frame, m.frame + j]
    std::vector<float> blobY_;       // expected top of every blob, by blob and frame
    std::vector<float> blobSpeed_;   // and its expected speed (down positive)
    std::vector<Score> next_, here_;
    Score last_;
};

// Keep still first: moving has to be better.
const Planner::Move kMoves[] = {{0, false}, {-1, false}, {1, false}, {0, true}, {-1, true}, {1, true}};
const int kDriveMoves = 3, kAllMoves = 6;

void Planner::Prepare(const Model& m, int hold) {
    m_ = &m;
    hold_ = hold;
    tolerance_ = kSumTolerancePerFrame * float(kPlanFrames);
    levels_.clear();
    int start = 0;
    reach_ = 0;
    while (start < kPlanFrames || levels_.size() < 2) {
        int units = start < kFinePlanFrames ? 1 : 2;
        levels_.push_back({start, units * hold, units});
        start += units * hold;
        reach_ += units;
    }
    beatsBefore_.assign(size_t(start + 1), 0);
    for (int j = 1; j <= start; ++j)
        beatsBefore_[size_t(j)] = beatsBefore_[size_t(j - 1)] + (IsBeat(m.frame + j, m.lastBeat) ? 1 : 0);
    blobY_.resize(m.blobs.size() * size_t(start + 1));
    blobSpeed_.resize(blobY_.size());
    for (size_t b = 0; b < m.blobs.size(); ++b) {
        const Model::Blob& blob = m.blobs[b];
        for (int j = 0; j <= start; ++j) {
            size_t k = b * size_t(start + 1) + size_t(j);
            float y = blob.y + blob.speed * float(m.frame + j - m.seenAt);
            blobY_[k] = blob.speed == 0 ? blob.y : Fold(y, blob.drift);
            blobSpeed_[k] = j == 0 ? blob.speed : blobY_[k] - blobY_[k - 1];
        }
    }
}

float Planner::Clearance(int j, int px, float py, int x, float y) const {
    const Model& m = *m_;
    float least = kPlenty;
    if (x <= m.seeUpTo) {
        Span band = sight_.Band(x);
        float ty = TestedY(y, screenY_);
        least = std::min({least, ty - band.lo, band.hi - ty});
    }
    // The play frame tests the blobs, after they moved, against the nanobot
    // where it was before the frame's scroll.
    size_t frames = beatsBefore_.size();
    for (size_t b = 0; seeBlobs_ && b < m.blobs.size(); ++b) {
        const Model::Blob& blob = m.blobs[b];
        int dx = px - blob.x;
        // Margins ahead only while driving on: a player waiting in place is where it is.
        int ahead = x > px ? reachAhead_ + (blob.speed == 0 ? 0 : kKeepOff) : 0;
        if (dx < -nanoWidth_ - ahead || dx > blob.width) continue;
        Span cut = Hull(sight_.Blocked(blob.row, dx), sight_.Blocked(blob.row, std::min(dx + ahead, 0)));
        if (cut.lo > cut.hi) continue;
        float rel = py - blobY_[b * frames + size_t(j)];
        float gap = rel < cut.lo ? cut.lo - rel - 1 : (rel > cut.hi ? rel - cut.hi - 1 : -1);
        if (blob.speed != 0) {
            // A drifting blob is kept further off: where it turns is a guess,
            // and one coming at the nanobot is kept further off still.
            float speed = blobSpeed_[b * frames + size_t(j)];
            bool coming = (rel < cut.lo && speed < 0) || (rel > cut.hi && speed > 0);
            gap -= kDriftMargin + (coming ? kComingFrames * std::fabs(speed) : 0);
        }
        least = std::min(least, gap);
    }
    return least;
}

void Planner::Place(int level, const State& st, int* x, float* y) const {
    const Level& lv = levels_[size_t(level)];
    *x = m_->x + kEmpuxo * (lv.start - st.w * hold_) - kEmpurraoBatida * beatsBefore_[size_t(lv.start)];
    *y = m_->y + offsetX * float(hold_ * st.n);
}

Score Planner::Segment(int level, const State& from, const Move& mv, State* to) const {
    const Level& lv = levels_[size_t(level)];
    Score sc;
    int x;
    float y;
    Place(level, from, &x, &y);
    for (int j = lv.start + 1; j <= lv.start + lv.length; ++j) {
        int nx = x + (mv.space ? 0 : kEmpuxo) - (IsBeat(m_->frame + j, m_->lastBeat) ? kEmpurraoBatida : 0);
        float ny = y + offsetX * float(mv.vertical);
        float c = Clearance(j, x, y, nx, ny);
        if (c < 0) {
            sc.survived = j - 1;
            sc.least = c;
            return sc;
        }
        sc.least = std::min(sc.least, c);
        sc.sum += c;
        x = nx;
        y = ny;
    }
    sc.survived = lv.start + lv.length;
    sc.waits = mv.space ? lv.units : 0;
    if (mv.space) sc.firstWait = lv.start;
    to->n = from.n + mv.vertical * lv.units;
    to->w = from.w + sc.waits;
    return sc;
}

// The best of the first `moves` moves from a state, each followed by the best way on.
Score Planner::Best(int level, const State& from, int moves, Move* chosen) const {
    Score best;
    best.survived = -1;
    bool last = level + 1 == int(levels_.size());
    for (int i = 0; i < moves; ++i) {
        State to{};
        Score sc = Segment(level, from, kMoves[i], &to);
        if (!last && sc.survived == levels_[size_t(level)].start + levels_[size_t(level)].length) {
            const Score& after = next_[Index(to)];
            int firstWait = sc.waits > 0 ? levels_[size_t(level)].start : after.firstWait;
            sc = Score{after.survived, std::min(sc.least, after.least), sc.sum + after.sum, sc.waits + after.waits,
                       firstWait};
        }
        if (best.survived < 0 || Better(sc, best, tolerance_)) {
            best = sc;
            if (chosen) *chosen = kMoves[i];
        }
    }
    return best;
}

void Planner::Solve(bool waiting) {
    size_t states = size_t(2 * reach_ + 1) * size_t(reach_ + 1);
    next_.assign(states, Score{});
    int reach = reach_;
    for (int level = int(levels_.size()) - 1; level >= 1; --level) {
        reach -= levels_[size_t(level)].units;
        here_.assign(states, Score{});
        for (int w = 0; w <= (waiting ? reach : 0); ++w)
            for (int n = -reach; n <= reach; ++n) {
                State st{n, w};
                int x;
                float y;
                Place(level, st, &x, &y);
                // No way on from inside a wall: only a plan that already died gets here.
                if (Clearance(levels_[size_t(level)].start, x, y, x, y) < 0) {
                    here_[Index(st)] = Score{levels_[size_t(level)].start, -1, 0, 0, kNever};
                    continue;
                }
                here_[Index(st)] = Best(level, st, waiting ? kAllMoves : kDriveMoves, nullptr);
            }
        next_.swap(here_);
    }
}

Input Planner::Choose(const Model& m, int hold, int jitter, bool spaceAllowed) {
    Prepare(m, hold);
    reachAhead_ = kEmpuxo * (jitter + 1);
    const State root{0, 0};
    // Drive on while a way ahead keeps clear. Otherwise wait (space), but only
    // when it is the blobs that close the way: walls do not move away.
    seeBlobs_ = true;
    Solve(false);
    Move chosen = kMoves[0];
    Score best = Best(0, root, kDriveMoves, &chosen);
    if (spaceAllowed && !Safe(best)) {
        seeBlobs_ = false;
        Solve(false);
        Move ignored = kMoves[0];
        bool wallsAllow = Safe(Best(0, root, kDriveMoves, &ignored));
        seeBlobs_ = true;
        if (wallsAllow) {
            Solve(true);
            best = Best(0, root, kAllMoves, &chosen);
        }
    }
    last_ = best;
    Input in;
    in.up = chosen.vertical < 0;
    in.down = chosen.vertical > 0;
    in.space = chosen.space;
    return in;
}

bool Planner::Safe(const Score& s) const {
    return s.survived == levels_.back().start + levels_.back().length && s.least >= kDriveOnMargin;
}

// Small, fast and the same everywhere: the jitter of one run.
class Jitter {
public:
    Jitter(unsigned seed, int range) : state_(uint64_t(seed) * 0x9E3779B97F4A7C15ull + 1), range_(range) {}
    int Next() {
        if (range_ <= 0) return 0;
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return int(state_ % uint64_t(2 * range_ + 1)) - range_;
    }

private:
    uint64_t state_;
    int range_;
};

class Human {
public:
    Human(HeadlessSession& session, const Sight& sight, const PlayerStyle& style)
        : session_(session),
          sight_(sight),
          style_(style),
          planner_(sight),
          jitter_(style.seed, style.jitter),
          seen_(size_t(std::max(0, style.delay) + std::max(0, style.jitter) + 3)) {}

    RunOutcome Play(const Snapshot& start);

private:
    void Look(int frame);
    Input Decide(int frame, int delay);
    Model Expect(int frame, int delay) const;
    const Seen& SeenAt(int frame) const { return seen_[size_t(frame) % seen_.size()]; }
    int BlobTouched() const;

    HeadlessSession& session_;
    const Sight& sight_;
    PlayerStyle style_;
    Planner planner_;
    Jitter jitter_;
    std::vector<Seen> seen_;     // the last screens, by frame
    std::vector<Input> keys_;    // keys held in each frame, by frame
};

void Human::Look(int frame) {
    Seen& s = seen_[size_t(frame) % seen_.size()];
    s.frame = frame;
    s.x = int(NanoMapX(vecPosicao));
    s.y = NanoMapY(vecPosicao);
    s.lastBeat = -1;
    if (frame > 0) {
        const Seen& before = SeenAt(frame - 1);
        s.lastBeat = s.x < before.x ? frame : before.lastBeat;
    }
    const std::vector<Inimigo*>& blobs = session_.game().inimigos;
    s.onScreen.reset();
    for (size_t i = 0; i < blobs.size() && i < size_t(kObstaculos); ++i) {
        math::Vector2D p = blobs[i]->getPosicao();
        const BRZ_SpriteSet& set = sprites[blobs[i]->getSprite() - 1];
        bool visible = p.x + float(set.spLargura) > 0 && p.x < float(largura) && p.y + float(set.spAltura) > 0 &&
                       p.y < float(altura);
        s.onScreen[i] = visible;
        s.blobX[i] = p.x - vecPosicao.x;
        s.blobY[i] = p.y - vecPosicao.y;
    }
}

Model Human::Expect(int frame, int delay) const {
    int seenFrame = std::max(0, frame - 1 - delay);
    const Seen& s = SeenAt(seenFrame);
    const Seen& before = SeenAt(std::max(0, seenFrame - 1));
    Model m;
    m.frame = seenFrame;
    m.x = s.x;
    m.y = s.y;
    m.lastBeat = s.lastBeat;
    m.seeUpTo = s.x + largura - NanoScreenX() - sight_.NanoWidth();
    m.seenAt = seenFrame;
    for (int row = 0; row < kObstaculos; ++row) {
        if (!s.onScreen[size_t(row)]) continue;
        float y = s.blobY[size_t(row)];
        float speed = seenFrame > 0 && before.onScreen[size_t(row)] ? y - before.blobY[size_t(row)] : 0;
        Span drift = sight_.Drift(row);
        // A blob at an end of its drift is turning: it comes away from the wall
        // (it may shake there for a few frames first).
        if (y <= drift.lo + kAtWall) speed = std::fabs(speed);
        if (y >= drift.hi - kAtWall) speed = -std::fabs(speed);
        m.blobs.push_back({row, int(s.blobX[size_t(row)]), sight_.BlobWidth(row), y, speed, drift});
    }
    if (style_.planning == Planning::kReactive) return m;
    // The keys already chosen act before the new ones: play them forward.
    for (int f = seenFrame + 1; f < frame; ++f) {
        const Input& k = keys_[size_t(f)];
        m.x += (k.space ? 0 : kEmpuxo) - (IsBeat(f, m.lastBeat) ? kEmpurraoBatida : 0);
        m.y += offsetX * float((k.down ? 1 : 0) - (k.up ? 1 : 0));
    }
    m.frame = frame - 1;
    return m;
}

Input Human::Decide(int frame, int delay) {
    Model m = Expect(frame, delay);
    Input in = planner_.Choose(m, style_.hold, style_.jitter, style_.spaceAllowed);
    if (style_.trace) {
        const Score& s = planner_.Last();
        fprintf(style_.trace,
                "frame %d: at x %d y %.1f, expects x %d y %.1f after frame %d: %s%s%s, survives %d, least %.1f\n",
                frame, int(NanoMapX(vecPosicao)), NanoMapY(vecPosicao), m.x, m.y, m.frame, in.up ? "up" : "",
                in.down ? "down" : "", in.space ? " space" : "", s.survived, s.least);
    }
    return in;
}

int Human::BlobTouched() const {
    const Jogo& g = session_.game();
    for (size_t i = 0; i < g.inimigos.size(); ++i) {
        math::Vector2D p = g.inimigos[i]->getPosicao();
        if (BRZ_ColidiuSprites(g.r.spriteNanoC, 0, NanoScreenX(), NanoScreenY(), g.inimigos[i]->getSprite(),
                               unsigned(g.inimigos[i]->getQuadroAtual()), int(p.x), int(p.y)))
            return int(i);
    }
    return -1;
}

RunOutcome Human::Play(const Snapshot& start) {
    session_.Restore(start);
    keys_.assign(1, Input{});
    Look(0);
    RunOutcome out;
    Input held;
    int nextChoice = 1;
    for (int frame = 1;; ++frame) {
        if (frame == nextChoice) {
            int delay = std::max(0, style_.delay + jitter_.Next());
            held = Decide(frame, delay);
            nextChoice = frame + std::max(1, style_.hold + jitter_.Next());
        }
        keys_.push_back(held);
        out.spaceFrames += held.space ? 1 : 0;
        out.mapX = NanoMapX(vecPosicao);
        out.mapY = NanoMapY(vecPosicao);
        ResultadoQuadro end = session_.Play(held);
        if (end != QUADRO_SEGUE) {
            out.keys.frames.assign(keys_.begin() + 1, keys_.end());
            out.end = end;
            out.frames = frame;
            if (end == QUADRO_PERDEU_OBSTACULO) out.blobRow = BlobTouched();
            return out;
        }
        Look(frame);
    }
}

}  // namespace

int DrivenX(int frames) {
    int start = int(NanoMapX(posini));
    return start + kEmpuxo * frames - kEmpurraoBatida * (frames / kPeriodoBatida);
}

int RunOutcome::Tile() const { return std::min(kTilesMapa, std::max(1, int(mapX) / kLarguraTile + 1)); }

RunOutcome PlayLikeAHuman(HeadlessSession& session, const Snapshot& start, const Sight& sight,
                          const PlayerStyle& style) {
    Human human(session, sight, style);
    return human.Play(start);
}

const char* PlanningName(Planning p) { return p == Planning::kAnticipating ? "anticipating" : "reactive"; }

std::string Describe(const RunOutcome& o) {
    char line[200];
    if (o.Won()) {
        snprintf(line, sizeof line, "won in %d frames, space held in %d", o.frames, o.spaceFrames);
        return line;
    }
    std::string what = "on time";
    if (o.end == QUADRO_PERDEU_PAREDE) what = "on the wall";
    if (o.end == QUADRO_PERDEU_OBSTACULO) {
        what = "on a blob";
        if (o.blobRow >= 0) {
            snprintf(line, sizeof line, "on a %s blob (layout row %d)", kLayout[o.blobRow].movel ? "moving" : "fixed",
                     o.blobRow + 1);
            what = line;
        }
    }
    snprintf(line, sizeof line, "lost %s at frame %d, map x %.0f y %.0f, tile %d, space held in %d", what.c_str(),
             o.frames, o.mapX, o.mapY, o.Tile(), o.spaceFrames);
    return line;
}

}  // namespace pilot
