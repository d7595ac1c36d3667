#include "route.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace pilot {

namespace {

int Flag(bool b) { return b ? 1 : 0; }

bool ParseFlag(int v, bool* out) {
    if (v != 0 && v != 1) return false;
    *out = v == 1;
    return true;
}

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

}  // namespace

// Written beside the file and then renamed over it, so that a reader (a
// test run of the same build started beside this one) sees the old route
// or the new one, never a part.
bool WriteRoute(const std::string& path, const Route& route, std::string* error) {
    const std::string partial = path + ".partial-" + std::to_string(getpid());
    std::ofstream out(partial);
    if (!out) return Fail(error, "cannot open " + partial + " for writing");
    out << "# Vessel Drift route: keys held in each play frame of the first run\n"
        << "# <count> <up> <down> <space>\n"
        << "frames " << route.frames.size() << "\n";
    size_t i = 0;
    while (i < route.frames.size()) {
        size_t j = i;
        while (j < route.frames.size() && route.frames[j] == route.frames[i]) ++j;
        const Input& in = route.frames[i];
        out << (j - i) << ' ' << Flag(in.up) << ' ' << Flag(in.down) << ' ' << Flag(in.space) << '\n';
        i = j;
    }
    out.close();
    if (!out || rename(partial.c_str(), path.c_str()) != 0) {
        remove(partial.c_str());
        return Fail(error, "write to " + path + " failed");
    }
    return true;
}

bool ReadRoute(const std::string& path, Route* route, std::string* error) {
    std::ifstream in(path);
    if (!in) return Fail(error, "cannot open " + path);
    route->frames.clear();
    long declared = -1;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ls(line);
        std::string where = path + ":" + std::to_string(lineNo);
        if (declared < 0) {
            std::string word;
            if (!(ls >> word >> declared) || word != "frames" || declared < 0)
                return Fail(error, where + ": expected 'frames <n>'");
            continue;
        }
        long count;
        int up, down, space;
        Input input;
        if (!(ls >> count >> up >> down >> space) || count <= 0 || !ParseFlag(up, &input.up) ||
            !ParseFlag(down, &input.down) || !ParseFlag(space, &input.space))
            return Fail(error, where + ": expected '<count> <up> <down> <space>'");
        if (long(route->frames.size()) + count > declared) return Fail(error, where + ": more frames than declared");
        route->frames.insert(route->frames.end(), size_t(count), input);
    }
    if (declared < 0) return Fail(error, path + ": no 'frames' line");
    if (long(route->frames.size()) != declared)
        return Fail(error, path + ": " + std::to_string(route->frames.size()) + " frames listed, " +
                               std::to_string(declared) + " declared");
    return true;
}

}  // namespace pilot
