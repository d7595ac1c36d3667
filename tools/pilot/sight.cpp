#include "sight.h"

#include <algorithm>
#include <climits>

#include "brisa2d2.h"
#include "consts.h"

namespace pilot {

namespace {

const float kClosed = -1;

bool SpansOf(unsigned int spriteSet, ColumnSpans* out) {
    if (spriteSet == 0 || spriteSet > BRZ_MAX_SPRITESETS || !sprites[spriteSet - 1].bmask) return false;
    const BRZ_SpriteSet& s = sprites[spriteSet - 1];
    int w = s.bmask[0]->largura;
    out->first.assign(size_t(w), INT_MAX);
    out->last.assign(size_t(w), INT_MIN);
    for (int f = 0; f < s.matrizX * s.matrizY; ++f) {
        BRZ_BitMask* m = s.bmask[f];
        for (int x = 0; x < std::min(w, m->largura); ++x)
            for (int y = 0; y < m->altura; ++y)
                if (BRZ_GetBit(m, x, y)) {
                    out->first[size_t(x)] = std::min(out->first[size_t(x)], y);
                    out->last[size_t(x)] = std::max(out->last[size_t(x)], y);
                }
    }
    return true;
}

bool Solid(const ColumnSpans& s, int column) {
    return column >= 0 && column < s.Width() && s.first[size_t(column)] <= s.last[size_t(column)];
}

// The heights a picture's top edge can take with its left edge at map x `x`
// between the walls of the lumen.
Span Between(const Lumen& lumen, const ColumnSpans& picture, int x) {
    Span s{-1e9f, 1e9f};
    for (int i = 0; i < picture.Width(); ++i) {
        if (!Solid(picture, i)) continue;
        if (!lumen.open(x + i)) return Span{1, 0};
        s.lo = std::max(s.lo, float(lumen.top(x + i) - picture.first[size_t(i)]));
        s.hi = std::min(s.hi, float(lumen.bottom(x + i) - picture.last[size_t(i)]));
    }
    return s;
}

int Widest(const std::vector<Span>& pieces) {
    float best = kClosed;
    for (const Span& p : pieces) best = std::max(best, p.Length());
    return int(best);
}

}  // namespace

int ColumnSpans::Height() const {
    int h = 0;
    for (int l : last) h = std::max(h, l + 1);
    return h;
}

Blocking::Blocking(const ColumnSpans& a, const ColumnSpans& b) {
    dxMin_ = -(b.Width() - 1);
    int n = a.Width() + b.Width() - 1;
    lo_.assign(size_t(n), INT_MAX);
    hi_.assign(size_t(n), INT_MIN);
    for (int k = 0; k < n; ++k) {
        int dx = dxMin_ + k;
        for (int c = std::max(0, dx); c < std::min(a.Width(), dx + b.Width()); ++c) {
            if (!Solid(a, c) || !Solid(b, c - dx)) continue;
            lo_[size_t(k)] = std::min(lo_[size_t(k)], a.first[size_t(c)] - b.last[size_t(c - dx)]);
            hi_[size_t(k)] = std::max(hi_[size_t(k)], a.last[size_t(c)] - b.first[size_t(c - dx)]);
        }
    }
}

Span Blocking::At(int dx) const {
    int k = dx - dxMin_;
    if (k < 0 || k >= int(lo_.size()) || lo_[size_t(k)] > hi_[size_t(k)]) return Span{1, 0};
    return Span{float(lo_[size_t(k)]), float(hi_[size_t(k)])};
}

bool Sight::Build(const Recursos& r, std::string* error) {
    if (!lumen_.Build(r, error)) return false;
    if (!SpansOf(r.spriteNanoC, &nano_) || !SpansOf(r.spL, &fixed_) || !SpansOf(r.spIn, &moving_)) {
        *error = "a blob set or the nanobot's collision picture has no mask";
        return false;
    }
    fixedBlocks_ = Blocking(fixed_, nano_);
    movingBlocks_ = Blocking(moving_, nano_);
    band_.resize(size_t(lumen_.width()));
    for (int x = 0; x < lumen_.width(); ++x) band_[size_t(x)] = Between(lumen_, nano_, x);
    drift_.clear();
    for (const LinhaObstaculo& row : kLayout)
        drift_.push_back(Between(lumen_, row.movel ? moving_ : fixed_, int(row.x)));
    return true;
}

Span Sight::Band(int mx) const {
    if (mx < 0 || mx >= MapWidth()) return Span{1, 0};
    return band_[size_t(mx)];
}

int Sight::FreePlay(int mx) const {
    Span b = Band(mx);
    return b.lo > b.hi ? int(kClosed) : int(b.Length());
}

Span Sight::Blocked(int row, int dx) const {
    return (kLayout[row].movel ? movingBlocks_ : fixedBlocks_).At(dx);
}

int Sight::BlobWidth(int row) const { return (kLayout[row].movel ? moving_ : fixed_).Width(); }
int Sight::BlobHeight(int row) const { return (kLayout[row].movel ? moving_ : fixed_).Height(); }

std::vector<Span> Sight::Room(int mx) const {
    std::vector<Span> room, next;
    Span b = Band(mx);
    if (b.lo <= b.hi) room.push_back(b);
    for (int row = 0; row < kObstaculos; ++row) {
        if (kLayout[row].movel) continue;
        Span cut = Blocked(row, mx - int(kLayout[row].x));
        if (cut.lo > cut.hi) continue;
        cut.lo += kLayout[row].y;
        cut.hi += kLayout[row].y;
        next.clear();
        for (const Span& s : room) Subtract(s, cut, &next);
        room.swap(next);
    }
    return room;
}

std::vector<Span> Sight::Free(int mx, int row, float blobTop) const {
    return Free(mx, std::vector<int>{row}, std::vector<float>{blobTop});
}

std::vector<Span> Sight::Free(int mx, const std::vector<int>& rows, const std::vector<float>& tops) const {
    std::vector<Span> free = Room(mx), next;
    for (size_t i = 0; i < rows.size(); ++i) {
        Span cut = Blocked(rows[i], mx - int(kLayout[rows[i]].x));
        if (cut.lo > cut.hi) continue;
        next.clear();
        for (const Span& s : free) Subtract(s, Span{cut.lo + tops[i], cut.hi + tops[i]}, &next);
        free.swap(next);
    }
    return free;
}

bool Sight::Passable(int row, float blobTop) const {
    int from = int(kLayout[row].x) - NanoWidth() - kEmpuxo, to = int(kLayout[row].x) + BlobWidth(row);
    Reach reach;
    reach.Start(Free(from, row, blobTop));
    for (int x = from + kEmpuxo; x <= to && !reach.Empty(); x += kEmpuxo)
        reach.Step(Free(x, row, blobTop));
    return !reach.Empty();
}

int Sight::FreePlayPastPlaque(int mx) const { return Widest(Room(mx)); }

int Sight::FreePlayPastDrift(int mx) const {
    std::vector<Span> room = Room(mx), left;
    int least = Widest(room);
    for (int row = 0; row < kObstaculos; ++row) {
        if (!kLayout[row].movel) continue;
        Span cut = Blocked(row, mx - int(kLayout[row].x));
        if (cut.lo > cut.hi) continue;
        for (float top = drift_[size_t(row)].lo; top <= drift_[size_t(row)].hi; top += 1) {
            left.clear();
            for (const Span& s : room) Subtract(s, Span{cut.lo + top, cut.hi + top}, &left);
            least = std::min(least, Widest(left));
        }
    }
    return least;
}

void Reach::Step(const std::vector<Span>& free) {
    next_.clear();
    for (const Span& f : free)
        for (const Span& a : at_) {
            Span s{std::max(f.lo, a.lo - offsetX), std::min(f.hi, a.hi + offsetX)};
            if (s.lo <= s.hi) next_.push_back(s);
        }
    at_.swap(next_);
}

void Subtract(const Span& from, const Span& cut, std::vector<Span>* out) {
    if (cut.hi < from.lo || cut.lo > from.hi) {
        out->push_back(from);
        return;
    }
    // Heights are whole pixels: a piece ends one pixel short of the cut.
    if (cut.lo - 1 >= from.lo) out->push_back(Span{from.lo, cut.lo - 1});
    if (cut.hi + 1 <= from.hi) out->push_back(Span{cut.hi + 1, from.hi});
}

}  // namespace pilot
