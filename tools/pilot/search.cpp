#include "search.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "Nivel.h"
#include "consts.h"

namespace pilot {

namespace {

// How far ahead of the nanobot's picture the steering rule looks, in map pixels.
const int kLookAhead = 100;
// Clearance the steering rule keeps from walls and blobs, in pixels.
const float kClearance = 4;
// A blob's drift is foreseen over at most this many frames.
const float kForesightFrames = 90;
const float kUpdatesPerSecond = 60;

enum Vertical { STAY, GO_UP, GO_DOWN };

Input MakeInput(Vertical v, bool space) {
    Input in;
    in.up = v == GO_UP;
    in.down = v == GO_DOWN;
    in.space = space;
    return in;
}

struct Interval {
    float lo, hi;
};

// The steering rule: which way to move so that the nanobot's picture heads for
// the middle of the free band it is nearest to, over the stretch of vessel just
// ahead, with the blobs there (and their drift until the nanobot is past them)
// taken out of the band.
class Steering {
public:
    // deadBand: no correction for an error smaller than this; half of what one
    // stretch moves keeps the rule from swinging up and down round the target.
    Steering(const Lumen& lumen, const Jogo& game, float deadBand)
        : lumen_(lumen), game_(game), deadBand_(deadBand) {
        nano_ = MaskBox(game.r.spriteNanoC);
        for (const LinhaObstaculo& row : kLayout) speed_.push_back(std::fabs(float(row.vy)) / kUpdatesPerSecond);
        for (const Inimigo* b : game.inimigos)
            if (boxes_.find(b->getSprite()) == boxes_.end()) boxes_[b->getSprite()] = MaskBox(b->getSprite());
    }

    Vertical Suggest() const {
        float mapX = NanoMapX(vecPosicao), mapY = NanoMapY(vecPosicao);
        float target;
        if (!BandTarget(mapX, mapY, kLookAhead, &target) && !BandTarget(mapX, mapY, 0, &target))
            return STAY;
        if (mapY < target - deadBand_) return GO_DOWN;
        if (mapY > target + deadBand_) return GO_UP;
        return STAY;
    }

private:
    // The free band for the picture's top edge over the columns it sweeps in
    // the next `ahead` pixels; false when the vessel closes there.
    bool BandTarget(float mapX, float mapY, int ahead, float* target) const {
        int c0 = int(mapX) + nano_.x0, c1 = int(mapX) + nano_.x1 + ahead;
        float lo = -1e9f, hi = 1e9f;
        for (int c = c0; c <= c1; ++c) {
            if (!lumen_.open(c)) continue;
            lo = std::max(lo, float(lumen_.top(c) - nano_.y0) + kClearance);
            hi = std::min(hi, float(lumen_.bottom(c) - nano_.y1) - kClearance);
        }
        if (lo > hi) return false;
        std::vector<Interval> free{{lo, hi}};
        for (size_t i = 0; i < game_.inimigos.size(); ++i) RemoveBlob(i, mapX, c0, c1, &free);
        if (free.empty()) return false;
        const Interval* best = &free[0];
        for (const Interval& f : free)
            if (Distance(f, mapY) < Distance(*best, mapY)) best = &f;
        *target = (best->lo + best->hi) / 2;
        return true;
    }

    void RemoveBlob(size_t i, float mapX, int c0, int c1, std::vector<Interval>* free) const {
        const Inimigo* b = game_.inimigos[i];
        auto known = boxes_.find(b->getSprite());
        if (known == boxes_.end() || known->second.x1 < known->second.x0) return;
        const Box& box = known->second;
        float bx = b->getPosicao().x - vecPosicao.x, by = b->getPosicao().y - vecPosicao.y;
        if (bx + float(box.x1) < float(c0) || bx + float(box.x0) > float(c1)) return;
        float untilPast = std::max(0.0f, (bx + float(box.x1) - (mapX + float(nano_.x0))) / float(kEmpuxo));
        float speed = i < speed_.size() ? speed_[i] : 0;  // blobs are built in layout order
        float sweep = speed * std::min(untilPast, kForesightFrames);
        Interval blocked{by + float(box.y0) - sweep - float(nano_.y1) - kClearance,
                         by + float(box.y1) + sweep - float(nano_.y0) + kClearance};
        std::vector<Interval> out;
        for (const Interval& f : *free) {
            if (blocked.hi < f.lo || blocked.lo > f.hi) {
                out.push_back(f);
                continue;
            }
            if (blocked.lo > f.lo) out.push_back({f.lo, blocked.lo});
            if (blocked.hi < f.hi) out.push_back({blocked.hi, f.hi});
        }
        *free = out;
    }

    static float Distance(const Interval& f, float y) {
        if (y < f.lo) return f.lo - y;
        if (y > f.hi) return y - f.hi;
        return 0;
    }

    const Lumen& lumen_;
    const Jogo& game_;
    float deadBand_;
    Box nano_;
    std::vector<float> speed_;  // per layout row, pixels per frame
    std::map<unsigned int, Box> boxes_;  // solid extent of each blob sprite set
};

// The inputs to try at a decision point, most promising first: the suggested
// way without space, the other ways without space, then all three with space
// held (waiting for a blob to move away).
std::vector<Input> Options(Vertical suggested) {
    std::vector<Vertical> order{suggested};
    for (Vertical v : {STAY, GO_UP, GO_DOWN})
        if (v != suggested) order.push_back(v);
    std::vector<Input> options;
    for (bool space : {false, true})
        for (Vertical v : order) options.push_back(MakeInput(v, space));
    return options;
}

struct Node {
    Snapshot state;
    std::vector<Input> options;
    size_t next = 0;
};

void NoteLoss(ResultadoQuadro how, int frame, const math::Vector2D& at, SearchResult* r) {
    if (frame > r->furthestFrame) {
        r->furthestFrame = frame;
        r->furthestMapX = NanoMapX(at);
        r->furthestMapY = NanoMapY(at);
        r->blobLosses = r->wallLosses = r->timeLosses = 0;
    }
    if (frame < r->furthestFrame) return;
    if (how == QUADRO_PERDEU_OBSTACULO) ++r->blobLosses;
    if (how == QUADRO_PERDEU_PAREDE) ++r->wallLosses;
    if (how == QUADRO_TEMPO_ESGOTADO) ++r->timeLosses;
}

// Plays one stretch with one input. Returns the last frame's result.
ResultadoQuadro PlayStretch(HeadlessSession& s, const Input& in, int frames, SearchResult* r) {
    ResultadoQuadro last = QUADRO_SEGUE;
    for (int f = 0; f < frames && last == QUADRO_SEGUE; ++f) {
        math::Vector2D before = vecPosicao;
        last = s.Play(in);
        ++r->simulatedFrames;
        if (last != QUADRO_SEGUE && last != QUADRO_GANHOU) NoteLoss(last, s.frame(), before, r);
    }
    if (last == QUADRO_SEGUE && s.frame() > r->furthestFrame) {
        r->furthestFrame = s.frame();
        r->furthestMapX = NanoMapX(vecPosicao);
        r->furthestMapY = NanoMapY(vecPosicao);
    }
    return last;
}

// One depth-first search from the session's state, `inputs` the keys of the
// frames played before it; gives up once result->simulatedFrames passes `budget`.
void SearchFrom(HeadlessSession& session, const Lumen& lumen, const SearchLimits& limits, long budget,
                std::vector<Input> inputs, SearchResult* out) {
    SearchResult& result = *out;
    Steering steering(lumen, session.game(), offsetX * float(limits.stretch) / 2);
    std::vector<Node> stack;
    stack.push_back(Node{session.Save(), Options(steering.Suggest())});
    while (!stack.empty()) {
        if (result.simulatedFrames > budget) {
            result.failure = "gave up after " + std::to_string(result.simulatedFrames) + " simulated frames";
            return;
        }
        Node& node = stack.back();
        if (node.next == node.options.size()) {
            stack.pop_back();
            ++result.backtracks;
            continue;
        }
        Input in = node.options[node.next++];
        session.Restore(node.state);
        inputs.resize(size_t(node.state.frame));
        ResultadoQuadro end = PlayStretch(session, in, limits.stretch, &result);
        if (end == QUADRO_SEGUE || end == QUADRO_GANHOU) inputs.resize(size_t(session.frame()), in);
        if (end == QUADRO_GANHOU) {
            result.won = true;
            result.route.frames = inputs;
            result.failure.clear();
            return;
        }
        if (end == QUADRO_SEGUE) stack.push_back(Node{session.Save(), Options(steering.Suggest())});
    }
    result.failure = "every input sequence loses";
}

}  // namespace

bool Lumen::Build(const Recursos& r, std::string* error) {
    top_.assign(size_t(kLarguraTile) * kTilesMapa, -1);
    bottom_.assign(top_.size(), -1);
    for (int t = 0; t < kTilesMapa; ++t) {
        unsigned int id = r.colisao[t];
        BRZ_BitMask* m = id ? (sprites[id - 1].bmask ? sprites[id - 1].bmask[0] : nullptr) : nullptr;
        if (!m) {
            *error = "collision picture of map tile " + std::to_string(t + 1) + " has no mask";
            return false;
        }
        for (int x = 0; x < std::min(m->largura, kLarguraTile); ++x) {
            // The lumen is the longest free run of the column.
            int bestStart = -1, bestLen = 0, start = -1;
            for (int y = 0; y <= m->altura; ++y) {
                bool free = y < m->altura && !BRZ_GetBit(m, x, y);
                if (free && start < 0) start = y;
                if (!free && start >= 0) {
                    if (y - start > bestLen) bestLen = y - start, bestStart = start;
                    start = -1;
                }
            }
            if (bestStart < 0) continue;
            top_[size_t(t * kLarguraTile + x)] = bestStart;
            bottom_[size_t(t * kLarguraTile + x)] = bestStart + bestLen - 1;
        }
    }
    return true;
}

Box MaskBox(unsigned int spriteSet) {
    Box box;
    if (spriteSet == 0 || spriteSet > BRZ_MAX_SPRITESETS) return box;
    const BRZ_SpriteSet& s = sprites[spriteSet - 1];
    if (!s.bmask) return box;
    box = Box{1 << 30, 1 << 30, -1, -1};
    for (int f = 0; f < s.matrizX * s.matrizY; ++f) {
        BRZ_BitMask* m = s.bmask[f];
        for (int y = 0; m && y < m->altura; ++y)
            for (int x = 0; x < m->largura; ++x)
                if (BRZ_GetBit(m, x, y)) {
                    box.x0 = std::min(box.x0, x);
                    box.y0 = std::min(box.y0, y);
                    box.x1 = std::max(box.x1, x);
                    box.y1 = std::max(box.y1, y);
                }
    }
    if (box.x1 < 0) return Box{};
    return box;
}

float NanoMapX(const math::Vector2D& position) { return float(kNanoColisaoX) - position.x; }
float NanoMapY(const math::Vector2D& position) { return float(kNanoColisaoY) - position.y; }

SearchResult FindRoute(HeadlessSession& session, const Lumen& lumen, const SearchLimits& limits) {
    SearchResult result;
    const Input none;
    ResultadoQuadro first = PlayStretch(session, none, 1, &result);
    if (first != QUADRO_SEGUE) {
        result.failure = "the run is lost on its first frame, before any key can act";
        return result;
    }
    const Snapshot afterFirst = session.Save();
    const long share = limits.maxSimulatedFrames / long(std::max<size_t>(1, limits.startWaits.size()));
    Input wait;
    wait.space = true;
    for (size_t i = 0; i < limits.startWaits.size() && !result.won; ++i) {
        session.Restore(afterFirst);
        if (PlayStretch(session, wait, limits.startWaits[i], &result) != QUADRO_SEGUE) continue;
        std::vector<Input> inputs{none};
        inputs.resize(size_t(session.frame()), wait);
        SearchFrom(session, lumen, limits, share * long(i + 1), inputs, &result);
    }
    return result;
}

}  // namespace pilot
