#include "survey.h"

#include <algorithm>
#include <map>
#include <string>

#include "consts.h"
#include "search.h"

namespace pilot {

namespace {

const int kTileWidth = 2048;
// The run is won once the map is pushed past this x (vecPosicao.x).
const float kFinishVecX = -19200;
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

}  // namespace

int RunStartX() { return int(NanoMapX(posini)); }
int RunWinX() { return int(NanoMapX(math::Vector2D(kFinishVecX, 0))); }

Profile MeasureProfile(const Sight& sight) {
    Profile p;
    p.firstX = RunStartX();
    for (int x = p.firstX; x <= RunWinX(); ++x) {
        p.walls.push_back(sight.FreePlay(x));
        p.plaque.push_back(sight.FreePlayPastPlaque(x));
        p.drift.push_back(sight.FreePlayPastDrift(x));
    }
    return p;
}

std::vector<TileRoom> RoomPerTile(const Profile& p) {
    std::vector<TileRoom> tiles;
    for (int t = 0; t < kTilesMapa; ++t) {
        TileRoom room{t + 1, 1 << 30, 0, -1};
        std::vector<int> values;
        for (int i = 0; i < p.Size(); ++i) {
            int x = p.firstX + i;
            if (x / kTileWidth != t) continue;
            values.push_back(p.plaque[size_t(i)]);
            if (p.plaque[size_t(i)] < room.least) room.least = p.plaque[size_t(i)], room.leastX = x;
        }
        if (values.empty()) continue;
        room.median = Median(values);
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

std::vector<Closing> ClosingBlobs(const Profile& p, const Sight& sight) {
    std::vector<Closing> out;
    for (int row = 0; row < kObstaculos; ++row) {
        if (!kLayout[row].movel) continue;
        Closing c{row, -1, -1};
        for (int i = 0; i < p.Size(); ++i) {
            int x = p.firstX + i;
            if (p.drift[size_t(i)] >= 0 || x + sight.NanoWidth() < int(kLayout[row].x) ||
                x > int(kLayout[row].x) + sight.BlobWidth(row))
                continue;
            if (c.fromX < 0) c.fromX = x;
            c.toX = x;
        }
        if (c.fromX >= 0) out.push_back(c);
    }
    return out;
}

void PrintNarrowest(const Sight& sight, FILE* out) {
    Profile p = MeasureProfile(sight);
    fprintf(out, "room for the nanobot's collision picture (px of vertical play, fixed blobs taken out)\n");
    fprintf(out, "  tile  least  at map x  median\n");
    for (const TileRoom& t : RoomPerTile(p))
        fprintf(out, "  %4d  %5d  %8d  %6d\n", t.tile, t.least, t.leastX, t.median);
    fprintf(out, "narrowest places (at least 400 px apart):\n");
    for (const Place& n : Narrowest(p, 8, 400))
        fprintf(out, "  map x %5d (tile %d, %2.0f%% of the run): %d px (walls alone %d px)\n", n.x,
                n.x / kTileWidth + 1, 100.0 * (n.x - p.firstX) / p.Size(), n.room,
                p.walls[size_t(n.x - p.firstX)]);
    std::vector<Closing> closing = ClosingBlobs(p, sight);
    if (closing.empty()) fprintf(out, "no moving blob can close the way\n");
    for (const Closing& c : closing)
        fprintf(out, "moving blob of layout row %d (x %.0f, %.0f px/s) can close the way for the nanobot at x %d..%d\n",
                c.row + 1, kLayout[c.row].x, kLayout[c.row].vy, c.fromX, c.toX);
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
                     std::to_string(key.first / kTileWidth + 1) + ": " + key.second + ", " + std::to_string(n);
        fprintf(out, "  %-12s  %5d  %-7s  %2d/%-2zu  %s\n", PlanningName(r.planning), r.delay,
                r.spaceAllowed ? "allowed" : "no", r.Wins(), r.runs.size(), where.c_str());
    }
}

}  // namespace pilot
