// What a player can read off the level's pictures, in map pixels (from map
// tile 0's top-left corner): for the nanobot's collision picture at every
// map x, the band of heights its top edge can take between the vessel walls;
// for every blob of the layout, how far it can drift between the walls; and,
// for a blob beside the nanobot, which heights of the nanobot it blocks.
// Built once from the engine's masks of the loaded collision pictures.
#ifndef VD_PILOT_SIGHT_H
#define VD_PILOT_SIGHT_H

#include <string>
#include <vector>

#include "Nivel.h"
#include "Recursos.h"
#include "search.h"

namespace pilot {

// A closed range of heights (top edges); empty when lo > hi.
struct Span {
    float lo, hi;
    float Length() const { return hi - lo; }
};

// The solid pixels of a sprite set, all frames merged, as the first and last
// solid row of every column (first > last for an empty column).
struct ColumnSpans {
    std::vector<int> first, last;
    int Width() const { return int(first.size()); }
    int Height() const;  // one past the lowest solid row
};

// Where picture B touches picture A: with A's top-left corner at (0, 0) and
// B's left edge at dx, B's top edge at y touches A for y inside At(dx)
// (each column's solid run counted whole, which is exact for round shapes).
class Blocking {
public:
    Blocking() = default;
    Blocking(const ColumnSpans& a, const ColumnSpans& b);
    // Empty (lo > hi) when no column of the two pictures meets at this dx.
    Span At(int dx) const;

private:
    int dxMin_ = 0;
    std::vector<int> lo_, hi_;
};

// What a player reads off the pictures (see the top of this file).
class Sight {
public:
    // Reads the collision pictures, the nanobot's collision picture and the
    // two blob sets. False (with the reason) when one has no mask.
    bool Build(const Recursos& r, std::string* error);

    // Heights the nanobot picture's top edge can take with its left edge at
    // map x `mx`, touching no wall; empty where the vessel is closed.
    Span Band(int mx) const;
    // The vertical room of that band in pixels, -1 where the vessel is closed.
    int FreePlay(int mx) const;
    // As FreePlay, with the fixed blobs (every frame) taken out too: the
    // widest room left between them.
    int FreePlayPastPlaque(int mx) const;
    // The least room a moving blob of the layout leaves, wherever on its
    // drift it is, at nanobot x `mx` (FreePlayPastPlaque where none reaches;
    // -1 where one can close the vessel).
    int FreePlayPastDrift(int mx) const;

    // The heights the nanobot's top edge can take at map x `mx`, past the
    // fixed blobs and the blob of layout row `row` with its top at `blobTop`.
    std::vector<Span> Free(int mx, int row, float blobTop) const;
    // As Free, past several such blobs (layout rows and tops, side by side).
    std::vector<Span> Free(int mx, const std::vector<int>& rows, const std::vector<float>& tops) const;
    // Whether a nanobot driving on can pass the columns of the blob of
    // layout row `row` while that blob keeps its top at `blobTop`.
    bool Passable(int row, float blobTop) const;

    // How high and how low the top edge of layout row `row` (0-based) goes
    // bouncing between the walls of its columns.
    Span Drift(int row) const { return drift_[size_t(row)]; }
    // The nanobot's tops, counted from the top of the blob of layout row `row`,
    // at which its picture touches the blob when its left edge lies dx pixels
    // right of the blob's (any animation frame).
    Span Blocked(int row, int dx) const;

    int NanoWidth() const { return nano_.Width(); }
    int BlobWidth(int row) const;
    int BlobHeight(int row) const;  // down to its lowest solid row
    int MapWidth() const { return int(band_.size()); }
    // The free rows of every map column, as read from the collision pictures.
    const Lumen& Walls() const { return lumen_; }

private:
    std::vector<Span> Room(int mx) const;  // the band less the fixed blobs

    Lumen lumen_;
    ColumnSpans nano_, fixed_, moving_;
    Blocking fixedBlocks_, movingBlocks_;  // blob (A) against the nanobot (B)
    std::vector<Span> band_;
    std::vector<Span> drift_;
};

// The heights the nanobot's top edge can have reached, frame after frame:
// each frame it moves up to 1.5 px up or down, and it is only where the frame
// leaves it free.
class Reach {
public:
    void Start(const std::vector<Span>& free) { at_ = free; }
    void Step(const std::vector<Span>& free);
    bool Empty() const { return at_.empty(); }

private:
    std::vector<Span> at_, next_;  // the reached heights, as spans
};

// The heights of `from` that stay free once `cut` is taken out (0, 1 or 2 pieces),
// appended to `out`.
void Subtract(const Span& from, const Span& cut, std::vector<Span>* out);

}  // namespace pilot

#endif
