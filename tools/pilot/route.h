// A route: the keys held in every play frame of one run, from the run's first
// frame on. The pilot writes it; the end-to-end tests read it and replay it.
//
// File format (text, one item per line; '#' starts a comment line):
//   frames <n>                   the run is won by play frame n
//   <count> <up> <down> <space>  the next <count> frames hold these keys (1 held,
//                                0 not); the counts add up to n
#ifndef VD_PILOT_ROUTE_H
#define VD_PILOT_ROUTE_H

#include <string>
#include <vector>

namespace pilot {

// The keys held during one play frame: the right-hand block (the nanobot goes
// up the vessel), the left-hand block (it goes down) and the space bar.
struct Input {
    bool up = false;
    bool down = false;
    bool space = false;
    bool operator==(const Input& o) const { return up == o.up && down == o.down && space == o.space; }
    bool operator!=(const Input& o) const { return !(*this == o); }
};

// frames[k] is the input of play frame k + 1.
struct Route {
    std::vector<Input> frames;
};

// Writes the route; false (with the reason in *error) when the file cannot be written.
bool WriteRoute(const std::string& path, const Route& route, std::string* error);
// Reads a route; false (with the reason in *error) on a missing file or a malformed line.
bool ReadRoute(const std::string& path, Route* route, std::string* error);

}  // namespace pilot

#endif
