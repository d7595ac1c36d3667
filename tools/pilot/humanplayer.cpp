// humanplayer: plays the first run of Vessel Drift like a person would, with a
// reaction delay and keys held for a while, on the real play frame headless;
// measures how much room the vessel leaves along the run; draws the
// difficulty chart.
//
//   humanplayer [--data DIR] [--mode anticipating|reactive] [--delay D] [--hold H]
//               [--jitter J] [--seed S] [--runs N] [--no-space] [--trace]
//               [--survey] [--delays D1,D2,...] [--narrow] [--chart FILE]
//
// Without --survey, --narrow or --chart it plays N runs (seeds S, S+1, ...)
// with one style and prints how each ended. --survey plays N runs of every
// mode at a range of delays (or those of --delays), with and without space,
// and prints the win rates and where the runs were lost. --narrow prints the
// narrowest places of the vessel and the room per map tile. --chart writes
// the difficulty chart (with the losses of --survey marked). --trace prints
// every choice of keys.
// DIR holds rsrc/ (default: the current folder); relative output paths are
// taken from the folder it was started in.
// Exit status 0 when every run played was won (or nothing was played).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "chart.h"
#include "player.h"
#include "session.h"
#include "sight.h"
#include "survey.h"

namespace {

const char kUsage[] =
    "usage: humanplayer [--data DIR] [--mode anticipating|reactive] [--delay D] [--hold H]\n"
    "                   [--jitter J] [--seed S] [--runs N] [--no-space] [--trace]\n"
    "                   [--survey] [--delays D1,D2,...] [--narrow] [--chart FILE]\n";

struct Options {
    std::string data = ".";
    pilot::PlayerStyle style;
    int runs = 1;
    bool survey = false, narrow = false;
    std::vector<int> delays;  // surveyed delays; empty: the survey's own
    std::string chart;
};

bool Number(const char* text, int* out) {
    char* end = nullptr;
    long v = strtol(text, &end, 10);
    if (!*text || *end || v < 0 || v > 100000) return false;
    *out = int(v);
    return true;
}

// "D1,D2,...": every one a Number.
bool NumberList(const char* text, std::vector<int>* out) {
    std::string rest = text;
    out->clear();
    for (size_t start = 0; start <= rest.size();) {
        size_t comma = std::min(rest.find(',', start), rest.size());
        int n = 0;
        if (!Number(rest.substr(start, comma - start).c_str(), &n)) return false;
        out->push_back(n);
        start = comma + 1;
    }
    return true;
}

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--no-space") {
            o->style.spaceAllowed = false;
            continue;
        }
        if (a == "--trace") {
            o->style.trace = stdout;
            continue;
        }
        if (a == "--survey" || a == "--narrow") {
            (a == "--survey" ? o->survey : o->narrow) = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* v = argv[++i];
        int n = 0;
        if (a == "--data") {
            o->data = v;
        } else if (a == "--chart") {
            o->chart = v;
        } else if (a == "--delays") {
            if (!NumberList(v, &o->delays)) return false;
        } else if (a == "--mode") {
            std::string m = v;
            if (m != "anticipating" && m != "reactive") return false;
            o->style.planning = m == "reactive" ? pilot::Planning::kReactive : pilot::Planning::kAnticipating;
        } else if (Number(v, &n) && (a == "--delay" || a == "--hold" || a == "--jitter" || a == "--seed" ||
                                     a == "--runs")) {
            if (a == "--delay") o->style.delay = n;
            if (a == "--hold") o->style.hold = std::max(1, n);
            if (a == "--jitter") o->style.jitter = n;
            if (a == "--seed") o->style.seed = unsigned(n);
            if (a == "--runs") o->runs = std::max(1, n);
        } else {
            return false;
        }
    }
    return true;
}

int PlayRuns(pilot::HeadlessSession& session, const pilot::Snapshot& start, const pilot::Sight& sight,
             const Options& o) {
    int won = 0;
    for (int k = 0; k < o.runs; ++k) {
        pilot::PlayerStyle style = o.style;
        style.seed = o.style.seed + unsigned(k);
        auto t0 = std::chrono::steady_clock::now();
        pilot::RunOutcome out = pilot::PlayLikeAHuman(session, start, sight, style);
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        won += out.Won() ? 1 : 0;
        printf("humanplayer: %s, delay %d, hold %d, jitter %d, seed %u%s: %s (%.2f s)\n",
               pilot::PlanningName(style.planning), style.delay, style.hold, style.jitter, style.seed,
               style.spaceAllowed ? "" : ", no space", pilot::Describe(out).c_str(), s);
    }
    printf("humanplayer: won %d of %d\n", won, o.runs);
    return won == o.runs ? 0 : 1;
}

int Run(const Options& o) {
    std::string chartPath = pilot::AbsolutePath(o.chart);
    if (chdir(o.data.c_str()) != 0) {
        fprintf(stderr, "humanplayer: cannot enter %s\n", o.data.c_str());
        return 1;
    }
    pilot::HeadlessSession session;
    pilot::Sight sight;
    std::string error;
    if (!session.Start(&error) || !sight.Build(session.game().r, &error)) {
        fprintf(stderr, "humanplayer: %s\n", error.c_str());
        session.Stop();
        return 1;
    }
    pilot::Snapshot start = session.Save();
    int status = 0;
    std::vector<pilot::RunOutcome> losses;
    if (o.narrow) {
        pilot::PrintNarrowest(sight, stdout);
        pilot::PrintClosings(start, session.game().r, sight, stdout);
    }
    if (o.survey) {
        pilot::SurveyPlan plan;
        plan.runs = o.runs;
        plan.hold = o.style.hold;
        plan.jitter = o.style.jitter;
        plan.firstSeed = o.style.seed;
        if (!o.delays.empty()) plan.delays = o.delays;
        pilot::PrintSurvey(pilot::RunSurvey(session, start, sight, plan, &losses), stdout);
    }
    if (!o.survey && !o.narrow && o.chart.empty()) status = PlayRuns(session, start, sight, o);
    if (!o.chart.empty() && !pilot::WriteChart(chartPath, sight, losses, &error)) {
        fprintf(stderr, "humanplayer: %s\n", error.c_str());
        status = 1;
    } else if (!o.chart.empty()) {
        printf("humanplayer: chart written to %s\n", chartPath.c_str());
    }
    session.Stop();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--help") {
        fputs(kUsage, stdout);
        return 0;
    }
    Options o;
    if (!ParseOptions(argc, argv, &o)) {
        fputs(kUsage, stderr);
        return 2;
    }
    return Run(o);
}
