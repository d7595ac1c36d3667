// pilot: finds keys that win the first run of a process of Vessel Drift,
// playing the game's real play frame headless and much faster than real time,
// and writes them as a route file plus a picture of the route over the vessel.
//
//   pilot [--data DIR] [--route FILE] [--picture FILE]
//
// DIR is the folder that holds rsrc/ (default: the current folder). Relative
// output paths are taken from the folder the pilot was started in. Exit
// status 0 when a winning route was found, checked and written.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "Nivel.h"
#include "consts.h"
#include "picture.h"
#include "route.h"
#include "search.h"
#include "session.h"

namespace {

const double kFramesPerSecond = 60;

struct Options {
    std::string data = ".";
    std::string route = "route.txt";
    std::string picture = "route.png";
};

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (i + 1 >= argc) return false;
        if (a == "--data")
            o->data = argv[++i];
        else if (a == "--route")
            o->route = argv[++i];
        else if (a == "--picture")
            o->picture = argv[++i];
        else
            return false;
    }
    return true;
}

double ProcessSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void ReportStuck(const pilot::SearchResult& r) {
    int tile = int(r.furthestMapX) / kLarguraTile + 1;
    fprintf(stderr,
            "pilot: no winning route: %s\n"
            "pilot: furthest play frame reached: %d, the nanobot's collision picture at map (%.0f, %.0f), "
            "map tile %d\n"
            "pilot: tries ending at that frame: %ld on a blob, %ld on the wall, %ld on time\n",
            r.failure.c_str(), r.furthestFrame, r.furthestMapX, r.furthestMapY, tile, r.blobLosses,
            r.wallLosses, r.timeLosses);
}

// Plays the route again from the start of the run: every frame must go on
// and the last one must win. Collects the path for the picture and the time
// one play frame takes (logic only: nothing is drawn here).
bool Replay(pilot::HeadlessSession& s, const pilot::Snapshot& start, const pilot::Route& route,
            std::vector<pilot::RoutePoint>* points, double* microsPerFrame) {
    s.Restore(start);
    points->clear();
    auto t0 = std::chrono::steady_clock::now();
    for (size_t k = 0; k < route.frames.size(); ++k) {
        points->push_back({pilot::NanoMapX(vecPosicao), pilot::NanoMapY(vecPosicao), route.frames[k]});
        ResultadoQuadro end = s.Play(route.frames[k]);
        bool last = k + 1 == route.frames.size();
        if (end != (last ? QUADRO_GANHOU : QUADRO_SEGUE)) {
            fprintf(stderr, "pilot: the replay of the route ended differently at play frame %zu\n", k + 1);
            return false;
        }
    }
    auto t1 = std::chrono::steady_clock::now();
    *microsPerFrame = std::chrono::duration<double, std::micro>(t1 - t0).count() / double(route.frames.size());
    return true;
}

int Run(const Options& o) {
    std::string routePath = pilot::AbsolutePath(o.route), picturePath = pilot::AbsolutePath(o.picture);
    std::error_code ec;
    for (const std::string& p : {routePath, picturePath})
        std::filesystem::create_directories(std::filesystem::path(p).parent_path(), ec);
    if (chdir(o.data.c_str()) != 0) {
        fprintf(stderr, "pilot: cannot enter %s\n", o.data.c_str());
        return 1;
    }
    pilot::HeadlessSession session;
    pilot::Lumen lumen;
    std::string error;
    if (!session.Start(&error) || !lumen.Build(session.game().r, &error)) {
        fprintf(stderr, "pilot: %s\n", error.c_str());
        session.Stop();
        return 1;
    }
    pilot::Snapshot start = session.Save();

    auto t0 = std::chrono::steady_clock::now();
    double cpu0 = ProcessSeconds();
    pilot::SearchResult found = pilot::FindRoute(session, lumen, pilot::SearchLimits{});
    double searchCpu = ProcessSeconds() - cpu0;
    double searchWall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!found.won) {
        ReportStuck(found);
        session.Stop();
        return 1;
    }

    std::vector<pilot::RoutePoint> points;
    double microsPerFrame = 0;
    bool ok = Replay(session, start, found.route, &points, &microsPerFrame);
    pilot::Box nano = pilot::MaskBox(session.game().r.spriteNanoC);
    ok = ok && pilot::WriteRoute(routePath, found.route, &error);
    ok = ok && pilot::WriteRoutePicture(picturePath, session.game().r, points, nano.x1 + 1, nano.y1 + 1,
                                        pilot::NanoMapX(math::Vector2D(float(kVitoriaX), 0)), &error);
    session.Stop();
    if (!ok) {
        if (!error.empty()) fprintf(stderr, "pilot: %s\n", error.c_str());
        return 1;
    }

    long held = 0;
    for (const pilot::Input& in : found.route.frames) held += in.space ? 1 : 0;
    size_t n = found.route.frames.size();
    printf("pilot: won the first run in %zu play frames (%.1f s at %.0f frames per second), space held in %ld\n",
           n, double(n) / kFramesPerSecond, kFramesPerSecond, held);
    printf("pilot: search took %.2f s (%.2f s processor), %ld play frames simulated, %ld stretches abandoned\n",
           searchWall, searchCpu, found.simulatedFrames, found.backtracks);
    printf("pilot: one play frame without drawing takes %.1f us on average\n", microsPerFrame);
    printf("pilot: route written to %s, picture to %s\n", routePath.c_str(), picturePath.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, &o)) {
        fprintf(stderr, "usage: pilot [--data DIR] [--route FILE] [--picture FILE]\n");
        return 2;
    }
    return Run(o);
}
