#include "vessel.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "noise.h"

namespace vessel {

namespace {

struct Point {
    double x, y;
};

// Wall surfaces through the layout. The plaque groups sit on the wall with about
// half of each blob showing; the moving blobs' rows lie in chambers tall enough
// for them to drift; the way between them never climbs faster than half a pixel
// per pixel forward. The vessel starts closed (the injection point) and rises
// after the first plaque, so a nanobot left alone meets the bottom wall early.
// The room narrows along the run: wide in the first two tiles, where a player
// learns the keys, about half as much by the middle, and narrowest in the last
// third, a straight narrow stretch (x 15900..17000, 115 px high) across the
// side vessels below, a little wider just before the last one (where a player
// waits for its blob to pass), then a long, gently winding 135 px to the finish.
const std::vector<Point> kTopWall = {
    {0, 890}, {700, 850}, {950, 780}, {1250, 700}, {1550, 620}, {1850, 540}, {2050, 470}, {2192, 392},
    {2270, 402}, {2355, 432}, {2550, 530}, {2800, 650}, {3050, 760}, {3300, 850}, {3550, 880}, {3750, 850},
    {3950, 740}, {4100, 635}, {4200, 570}, {4300, 530}, {4450, 535}, {4600, 595}, {4700, 620}, {4800, 650},
    {4920, 850}, {5052, 985}, {5163, 1025}, {5350, 1050}, {5600, 1080}, {5800, 1090}, {6000, 1105},
    {6150, 1085}, {6300, 1040}, {6450, 995}, {6600, 955}, {6800, 900}, {7100, 830}, {7400, 790}, {7700, 790},
    {8000, 830}, {8300, 890}, {8600, 940}, {8850, 1000}, {9040, 990}, {9200, 975}, {9400, 945}, {9600, 905},
    {9708, 893}, {9757, 800}, {9834, 748}, {9950, 665}, {10100, 605}, {10340, 585}, {10440, 580},
    {10540, 575}, {10800, 720}, {11100, 960}, {11400, 1100}, {11520, 1120}, {11800, 1120}, {11950, 1160},
    {12150, 1250}, {12400, 1150}, {12700, 1020}, {13000, 880}, {13150, 790}, {13272, 800}, {13370, 905},
    {13468, 990}, {13650, 1030}, {14000, 1000}, {14400, 975}, {14800, 975}, {15200, 965}, {15600, 960},
    {15900, 960}, {16100, 960}, {16690, 960}, {16775, 948}, {16800, 960}, {17000, 960}, {17200, 940},
    {17400, 918}, {17800, 905}, {18200, 890}, {18600, 878}, {19000, 868}, {19400, 860}, {19714, 855},
    {19900, 760}, {20200, 660}, {20480, 620},
};

const std::vector<Point> kBottomWall = {
    {0, 1170}, {700, 1180}, {1000, 1188}, {1170, 1190}, {1255, 1192}, {1350, 1180}, {1600, 1115},
    {1850, 1045}, {2050, 990}, {2200, 975}, {2355, 990}, {2550, 1060}, {2800, 1200}, {3000, 1330},
    {3099, 1378}, {3175, 1405}, {3290, 1425}, {3360, 1500}, {3430, 1620}, {3500, 1720}, {3600, 1810},
    {3700, 1840}, {3800, 1810}, {3865, 1712}, {3950, 1585}, {4050, 1465}, {4150, 1300}, {4300, 1160},
    {4450, 1110}, {4700, 1120}, {4850, 1330}, {5000, 1370}, {5100, 1390}, {5350, 1420}, {5600, 1500},
    {5679, 1522}, {5751, 1515}, {5842, 1512}, {5935, 1528}, {6000, 1545}, {6150, 1480}, {6300, 1380},
    {6400, 1320}, {6460, 1300}, {6510, 1288}, {6600, 1250}, {6800, 1190}, {7100, 1120}, {7400, 1080},
    {7700, 1075}, {8000, 1110}, {8300, 1150}, {8600, 1195}, {8780, 1272}, {8900, 1345}, {9040, 1400},
    {9200, 1330}, {9400, 1230}, {9600, 1160}, {9800, 1120}, {10000, 1070}, {10300, 1000}, {10500, 1000},
    {10800, 1100}, {11100, 1260}, {11300, 1500}, {11450, 1800}, {11650, 1890}, {11900, 1880}, {12100, 1650},
    {12400, 1400}, {12700, 1260}, {13000, 1235}, {13500, 1230}, {13650, 1200}, {14000, 1165}, {14400, 1140},
    {14800, 1140}, {15200, 1130}, {15600, 1100}, {15900, 1075}, {16690, 1075}, {16775, 1087}, {16800, 1075},
    {17000, 1075}, {17200, 1062}, {17400, 1050}, {17800, 1045}, {18200, 1030}, {18600, 1020}, {19000, 1008},
    {19400, 1000}, {19714, 995}, {19900, 1080}, {20200, 1200}, {20480, 1280},
};

// Small slow ripples on each wall so it reads as tissue, not as a plotted curve.
constexpr double kRippleSlow = 7.0, kRippleFast = 3.0;
constexpr double kRippleSlowLength = 170.0, kRippleFastLength = 53.0;
// Beyond this distance a side vessel's wall is further than the lumen's (the tissue is shaded by depth to here).
constexpr double kSideVesselReach = 600;
// The narrow stretch by the first three side vessels has smooth walls: its
// room stays the same all along. (The side vessels are alike to the pixel, so
// their blobs, alike in speed and start, drift in step.) The ripple fades out
// around it.
constexpr double kSmoothFrom = 16120, kSmoothTo = 16740, kSmoothFade = 120;

// The closed start of the vessel: half an ellipse whose left end is at kCapLeft.
constexpr double kCapLeft = kCapTipX, kCapRadiusX = 140.0;

// Monotone cubic (Fritsch-Carlson) through the points: smooth, and never
// overshooting a point, so the wall cannot bulge into a plaque's place.
std::vector<double> Interpolate(const std::vector<Point>& p, int width) {
    size_t n = p.size();
    std::vector<double> d(n - 1), m(n);
    for (size_t i = 0; i + 1 < n; ++i) d[i] = (p[i + 1].y - p[i].y) / (p[i + 1].x - p[i].x);
    m[0] = d[0];
    m[n - 1] = d[n - 2];
    for (size_t i = 1; i + 1 < n; ++i) m[i] = d[i - 1] * d[i] <= 0 ? 0 : (d[i - 1] + d[i]) / 2;
    for (size_t i = 0; i + 1 < n; ++i) {
        if (d[i] == 0) {
            m[i] = m[i + 1] = 0;
            continue;
        }
        double a = m[i] / d[i], b = m[i + 1] / d[i], s = a * a + b * b;
        if (s > 9) {
            double t = 3 / std::sqrt(s);
            m[i] = t * a * d[i];
            m[i + 1] = t * b * d[i];
        }
    }
    std::vector<double> out(static_cast<size_t>(width));
    size_t k = 0;
    for (int x = 0; x < width; ++x) {
        while (k + 2 < n && x > p[k + 1].x) ++k;
        double h = p[k + 1].x - p[k].x, t = (x - p[k].x) / h;
        double t2 = t * t, t3 = t2 * t;
        out[size_t(x)] = (2 * t3 - 3 * t2 + 1) * p[k].y + (t3 - 2 * t2 + t) * h * m[k] +
                         (-2 * t3 + 3 * t2) * p[k + 1].y + (t3 - t2) * h * m[k + 1];
    }
    return out;
}

struct Walls {
    std::vector<double> top, bottom;
    std::vector<double> topNormal, bottomNormal;  // cosine of each wall's slope
    double capCentreY = 0, capRadiusY = 0;
};

std::vector<double> NormalFactors(const std::vector<double>& wall) {
    std::vector<double> f(wall.size());
    for (size_t x = 0; x < wall.size(); ++x) {
        size_t a = x > 0 ? x - 1 : x, b = x + 1 < wall.size() ? x + 1 : x;
        double slope = (wall[b] - wall[a]) / double(b - a);
        f[x] = 1.0 / std::sqrt(1.0 + slope * slope);
    }
    return f;
}

// How much of the ripple a column carries: none by the side vessels.
double RippleShare(int x) {
    double before = (kSmoothFrom - x) / kSmoothFade, after = (x - kSmoothTo) / kSmoothFade;
    double out = std::max(before, after);
    return out <= 0 ? 0 : (out >= 1 ? 1 : out * out * (3 - 2 * out));
}

Walls Build() {
    Walls w;
    w.top = Interpolate(kTopWall, kMapWidth);
    w.bottom = Interpolate(kBottomWall, kMapWidth);
    for (int x = 0; x < kMapWidth; ++x) {
        double share = RippleShare(x);
        w.top[size_t(x)] += share * (kRippleSlow * Noise1(x / kRippleSlowLength, 11) +
                                     kRippleFast * Noise1(x / kRippleFastLength, 12));
        w.bottom[size_t(x)] += share * (kRippleSlow * Noise1(x / kRippleSlowLength, 21) +
                                        kRippleFast * Noise1(x / kRippleFastLength, 22));
    }
    w.topNormal = NormalFactors(w.top);
    w.bottomNormal = NormalFactors(w.bottom);
    size_t capEnd = size_t(kCapLeft + kCapRadiusX);
    w.capCentreY = (w.top[capEnd] + w.bottom[capEnd]) / 2;
    w.capRadiusY = (w.bottom[capEnd] - w.top[capEnd]) / 2;
    return w;
}

const Walls& TheWalls() {
    static const Walls walls = Build();  // built once; thread-safe static init
    return walls;
}

int Column(double x) {
    int c = int(std::floor(x));
    return c < 0 ? 0 : (c >= kMapWidth ? kMapWidth - 1 : c);
}

// Distance from (x, y) to the side vessel's wall: positive inside it. *facing
// as for Depth.
double SideVesselDepth(const SideVessel& v, double x, double y, double* facing) {
    double cx = (v.left + v.right) / 2, cy = (v.top + v.bottom) / 2;
    double qx = std::fabs(x - cx) - ((v.right - v.left) / 2 - kSideVesselCorner);
    double qy = std::fabs(y - cy) - ((v.bottom - v.top) / 2 - kSideVesselCorner);
    double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0), out = std::sqrt(ox * ox + oy * oy);
    double up = y < cy ? 1.0 : -1.0;  // a ceiling above the middle, a floor below
    *facing = out > 0 ? up * oy / out : (qy > qx ? up : 0.0);
    return kSideVesselCorner - out - std::min(std::max(qx, qy), 0.0);
}

}  // namespace

double Top(int x) { return TheWalls().top[size_t(Column(x))]; }
double Bottom(int x) { return TheWalls().bottom[size_t(Column(x))]; }

double Depth(double x, double y, double* facing) {
    const Walls& w = TheWalls();
    size_t c = size_t(Column(x));
    double fromTop = (y - w.top[c]) * w.topNormal[c], fromBottom = (w.bottom[c] - y) * w.bottomNormal[c];
    double d = std::min(fromTop, fromBottom);
    double face = fromTop < fromBottom ? w.topNormal[c] : -w.bottomNormal[c];
    const double capCentreX = kCapLeft + kCapRadiusX;
    if (x < capCentreX) {
        double ex = (x - capCentreX) / kCapRadiusX, ey = (y - w.capCentreY) / w.capRadiusY;
        double len = std::sqrt(ex * ex + ey * ey);
        double fromCap = (1.0 - len) * std::min(kCapRadiusX, w.capRadiusY);
        if (fromCap < d) {
            d = fromCap;
            face = len > 0 ? -ey / len : 0;
        }
    }
    // The side vessels join the lumen: the nearest wall of either.
    for (const SideVessel& v : kSideVessels) {
        if (x < v.left - kSideVesselReach || x > v.right + kSideVesselReach) continue;
        double vFace = 0, fromSide = SideVesselDepth(v, x, y, &vFace);
        if (fromSide > d) {
            d = fromSide;
            face = vFace;
        }
    }
    if (facing) *facing = face;
    return d;
}

double Depth(double x, double y) { return Depth(x, y, nullptr); }

double CapCentreY() { return TheWalls().capCentreY; }

}  // namespace vessel
