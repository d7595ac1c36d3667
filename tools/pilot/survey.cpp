#include "survey.h"

#include <algorithm>
#include <map>
#include <string>

#include "Obstaculos.h"
#include "brisa2d2.h"
#include "consts.h"
#include "search.h"

namespace pilot {

namespace {

// Losses closer than this along the run are reported as one place.
const int kPlaceGrain = 100;

int Median(std::vector<int> v) {
    if (v.empty()) return -1;
    std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
    return v[v.size() / 2];
}

std::string Cause(const RunOutcome& o) {
    if (o.end == QUADRO_PERDEU_PAREDE) return "wall";
    if (o.end == QUADRO_TEMPO_ESGOTADO) return "time";
    if (o.blobRow < 0) return "blob";
    return std::string(kLayout[o.blobRow].movel ? "moving" : "fixed") + " blob row " + std::to_string(o.blobRow + 1);
}

// A moving blob's tops from the start of a run, frame by frame (index 0: the
// start), bounced off the walls exactly as the play frame does.
std::vector<float> DriftOf(const Snapshot& start, const Recursos& r, int row, int frames) {
    Inimigo blob = start.blobs[size_t(row)];
    std::vector<float> tops{blob.getPosicao().y - start.position.y};
    for (int f = 1; f <= frames; ++f) {
        const math::Vector2D before = blob.getPosicao() - start.position;
        const int tile = int(before.x / kLarguraTile);
        blob.Atualiza();
        const math::Vector2D at = blob.getPosicao() - start.position;
        if (BateNaParede(blob, at - math::Vector2D(float(tile * kLarguraTile), 0), at.y - before.y, r.colisao[tile]))
            blob.Rebate();
        tops.push_back(at.y);
    }
    return tops;
}

// Prints the ranges of d for which passes(d) holds.
template <typename Test>
void PrintRanges(FILE* out, int from, int to, Test passes) {
    int openFrom = 0, open = 0;
    bool was = false;
    for (int d = from; d <= to + 1; ++d) {
        bool now = d <= to && passes(d);
        if (now && !was) openFrom = d;
        if (now) ++open;
        if (!now && was) fprintf(out, " [%d, %d]", openFrom, d - 1);
        was = now;
    }
    fprintf(out, " (%.0f%% of them)\n", 100.0 * open / (to - from + 1));
}

// How far a run that drives on from frame `enter` at the left of the first
// blob's columns gets: the number of the blobs (in order) it gets past.
size_t BlobsPassed(const Sight& sight, const std::vector<int>& rows, const std::vector<std::vector<float>>& tops,
                   int enter) {
    int x = int(kLayout[rows[0]].x) - sight.NanoWidth() - kEmpuxo;
    Reach reach;
    size_t passed = 0;
    std::vector<int> near;
    std::vector<float> nearTops;
    for (int f = enter; passed < rows.size(); ++f) {
        near.clear();
        nearTops.clear();
        for (size_t i = 0; i < rows.size(); ++i) {
            if (f < 1 || f >= int(tops[i].size())) return passed;
            near.push_back(rows[i]);
            nearTops.push_back(tops[i][size_t(f)]);
        }
        // The play frame tests the blobs against the nanobot where it was before the frame's scroll.
        std::vector<Span> free = sight.Free(x, near, nearTops);
        if (f == enter)
            reach.Start(free);
        else
            reach.Step(free);
        if (reach.Empty()) return passed;
        while (passed < rows.size() && x > int(kLayout[rows[passed]].x) + sight.BlobWidth(rows[passed])) ++passed;
        x += kEmpuxo - (f % kPeriodoBatida == 0 ? kEmpurraoBatida : 0);
    }
    return passed;
}

}  // namespace

Profile MeasureProfile(const Sight& sight) {
    Profile p;
    p.firstX = kNanoInicioMapaX;
    for (int x = p.firstX; x <= kVitoriaMapaX; ++x) {
        p.walls.push_back(sight.FreePlay(x));
        p.plaque.push_back(sight.FreePlayPastPlaque(x));
        p.drift.push_back(sight.FreePlayPastDrift(x));
    }
    return p;
}

std::vector<TileRoom> RoomPerTile(const Profile& p) {
    std::vector<TileRoom> tiles;
    for (int t = 0; t < kTilesMapa; ++t) {
        TileRoom room{t + 1, 1 << 30, 0, -1, -1};
        std::vector<int> values, drift;
        for (int i = 0; i < p.Size(); ++i) {
            int x = p.firstX + i;
            if (x / kLarguraTile != t) continue;
            values.push_back(p.plaque[size_t(i)]);
            drift.push_back(p.drift[size_t(i)]);
            if (p.plaque[size_t(i)] < room.least) room.least = p.plaque[size_t(i)], room.leastX = x;
        }
        if (values.empty()) continue;
        room.median = Median(values);
        room.medianDrift = Median(drift);
        tiles.push_back(room);
    }
    return tiles;
}

std::vector<Place> Narrowest(const Profile& p, int count, int apart) {
    std::vector<Place> all;
    for (int i = 0; i < p.Size(); ++i) all.push_back({p.firstX + i, p.plaque[size_t(i)]});
    std::stable_sort(all.begin(), all.end(), [](const Place& a, const Place& b) { return a.room < b.room; });
    std::vector<Place> picked;
    for (const Place& c : all) {
        if (int(picked.size()) == count) break;
        bool near = false;
        for (const Place& q : picked) near = near || std::abs(q.x - c.x) < apart;
        if (!near) picked.push_back(c);
    }
    return picked;
}

std::vector<Closing> ClosingBlobs(const Sight& sight) {
    std::vector<Closing> out;
    for (int row = 0; row < kObstaculos; ++row) {
        if (!kLayout[row].movel) continue;
        int x = int(kLayout[row].x);
        Closing c{row, x - sight.NanoWidth(), x + sight.BlobWidth(row), 1, 0};
        for (float top = sight.Drift(row).lo; top <= sight.Drift(row).hi; top += 1) {
            if (sight.Passable(row, top)) continue;
            if (c.fromY > c.toY) c.fromY = top;
            c.toY = top;
        }
        if (c.fromY <= c.toY) out.push_back(c);
    }
    return out;
}

void PrintNarrowest(const Sight& sight, FILE* out) {
    Profile p = MeasureProfile(sight);
    fprintf(out, "room for the nanobot's collision picture (px of vertical play, fixed blobs taken out)\n");
    fprintf(out, "  tile  least  at map x  median  median with the moving blobs at their worst\n");
    for (const TileRoom& t : RoomPerTile(p))
        fprintf(out, "  %4d  %5d  %8d  %6d  %6d\n", t.tile, t.least, t.leastX, t.median, t.medianDrift);
    fprintf(out, "narrowest places (at least 400 px apart):\n");
    for (const Place& n : Narrowest(p, 8, 400))
        fprintf(out, "  map x %5d (tile %d, %2.0f%% of the run): %d px (walls alone %d px)\n", n.x,
                n.x / kLarguraTile + 1, 100.0 * (n.x - p.firstX) / p.Size(), n.room,
                p.walls[size_t(n.x - p.firstX)]);
    std::vector<Closing> closing = ClosingBlobs(sight);
    if (closing.empty()) fprintf(out, "no moving blob can close the way\n");
    for (const Closing& c : closing)
        fprintf(out, "moving blob of layout row %d (x %d, %d px/s) closes the way with its top at y %.0f..%.0f\n",
                c.row + 1, kLayout[c.row].x, kLayout[c.row].vy, c.fromY, c.toY);
}

void PrintClosings(const Snapshot& start, const Recursos& r, const Sight& sight, FILE* out) {
    const int kEarlier = 600, kLater = 600;
    std::vector<int> rows;
    for (const Closing& c : ClosingBlobs(sight)) rows.push_back(c.row);
    if (rows.empty()) return;
    int enter = 0;
    while (DrivenX(enter) < int(kLayout[rows[0]].x) - sight.NanoWidth()) ++enter;
    std::vector<std::vector<float>> tops;
    for (int row : rows) tops.push_back(DriftOf(start, r, row, enter + kLater + 1200));
    fprintf(out, "a run that never holds space meets the moving blob of layout row %d at frame %d; entering "
                 "d frames later, a run that drives on gets past\n", rows[0] + 1, enter);
    for (size_t i = 0; i < rows.size(); ++i) {
        fprintf(out, "  the blob of row %d alone for d in", rows[i] + 1);
        std::vector<int> one{rows[i]};
        std::vector<std::vector<float>> oneTops{tops[i]};
        int delay = 0;  // a run that drives on reaches this blob this many frames after the first
        while (DrivenX(enter + delay) < int(kLayout[rows[i]].x) - sight.NanoWidth()) ++delay;
        PrintRanges(out, -kEarlier, kLater,
                    [&](int d) { return BlobsPassed(sight, one, oneTops, enter + delay + d) == 1; });
    }
    for (size_t n = 2; n <= rows.size(); ++n) {
        fprintf(out, "  the first %zu of them for d in", n);
        PrintRanges(out, -kEarlier, kLater, [&](int d) { return BlobsPassed(sight, rows, tops, enter + d) >= n; });
    }
}

int SurveyRow::Wins() const {
    int n = 0;
    for (const RunOutcome& r : runs) n += r.Won() ? 1 : 0;
    return n;
}

std::vector<SurveyRow> RunSurvey(HeadlessSession& session, const Snapshot& start, const Sight& sight,
                                 const SurveyPlan& plan, std::vector<RunOutcome>* losses) {
    std::vector<SurveyRow> rows;
    for (Planning planning : {Planning::kAnticipating, Planning::kReactive})
        for (int delay : plan.delays)
            for (bool space : {true, false}) {
                SurveyRow row{planning, delay, space, {}};
                for (int k = 0; k < plan.runs; ++k) {
                    PlayerStyle style;
                    style.planning = planning;
                    style.delay = delay;
                    style.hold = plan.hold;
                    style.jitter = plan.jitter;
                    style.seed = plan.firstSeed + unsigned(k);
                    style.spaceAllowed = space;
                    row.runs.push_back(PlayLikeAHuman(session, start, sight, style));
                    if (!row.runs.back().Won() && losses) losses->push_back(row.runs.back());
                }
                rows.push_back(row);
            }
    return rows;
}

void PrintSurvey(const std::vector<SurveyRow>& rows, FILE* out) {
    fprintf(out, "  mode          delay  space    wins   where the runs were lost (map x, tile: what, runs)\n");
    for (const SurveyRow& r : rows) {
        std::map<std::pair<int, std::string>, int> places;
        for (const RunOutcome& o : r.runs)
            if (!o.Won()) ++places[{int(o.mapX) / kPlaceGrain * kPlaceGrain, Cause(o)}];
        std::string where;
        for (const auto& [key, n] : places)
            where += (where.empty() ? "" : "; ") + std::to_string(key.first) + ", tile " +
                     std::to_string(key.first / kLarguraTile + 1) + ": " + key.second + ", " + std::to_string(n);
        fprintf(out, "  %-12s  %5d  %-7s  %2d/%-2zu  %s\n", PlanningName(r.planning), r.delay,
                r.spaceAllowed ? "allowed" : "no", r.Wins(), r.runs.size(), where.c_str());
    }
}

}  // namespace pilot
