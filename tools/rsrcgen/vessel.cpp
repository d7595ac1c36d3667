#include "vessel.h"

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
const std::vector<Point> kTopWall = {
    {0, 900},      {700, 895},    {1000, 880},   {1200, 870},   {1350, 840},   {1600, 740},
    {1850, 600},   {2050, 470},   {2192, 392},   {2270, 402},   {2355, 432},   {2550, 560},
    {2800, 760},   {3000, 900},   {3100, 960},   {3290, 1010},  {3500, 1020},  {3700, 980},
    {3900, 860},   {4050, 700},   {4140, 560},   {4300, 480},   {4450, 470},   {4600, 490},
    {4740, 540},   {4870, 680},   {4960, 880},   {5052, 985},   {5163, 1025},  {5350, 1040},
    {5600, 1110},  {5800, 1160},  {6150, 1160},  {6300, 1080},  {6450, 1000},  {6800, 900},
    {7100, 760},   {7400, 700},   {7700, 760},   {8000, 880},   {8300, 960},   {8850, 960},
    {9040, 975},   {9400, 930},   {9600, 905},   {9708, 893},   {9757, 800},   {9834, 748},
    {9950, 640},   {10100, 570},  {10340, 555},  {10440, 540},  {10540, 530},  {10800, 620},
    {11100, 900},  {11400, 1080}, {11650, 1100}, {11900, 1100}, {12100, 1060}, {12500, 1000},
    {12800, 800},  {13000, 760},  {13150, 755},  {13272, 800},  {13370, 905},  {13468, 990},
    {13650, 1030}, {13900, 1000}, {14300, 850},  {14700, 700},  {15100, 620},  {15500, 660},
    {15900, 720},  {16200, 700},  {16500, 690},  {16900, 700},  {17200, 720},  {17600, 760},
    {18000, 800},  {18400, 820},  {18800, 800},  {19200, 760},  {19600, 700},  {20000, 650},
    {20480, 620},
};

const std::vector<Point> kBottomWall = {
    {0, 1170},     {700, 1175},   {1000, 1185},  {1170, 1190},  {1255, 1192},  {1350, 1180},
    {1600, 1120},  {1850, 1045},  {2050, 990},   {2200, 975},   {2355, 990},   {2550, 1060},
    {2800, 1200},  {3000, 1330},  {3099, 1378},  {3175, 1405},  {3290, 1425},  {3360, 1500},
    {3430, 1620},  {3500, 1720},  {3600, 1810},  {3700, 1840},  {3800, 1810},  {3865, 1712},
    {3950, 1585},  {4050, 1465},  {4150, 1405},  {4300, 1392},  {4450, 1400},  {4700, 1380},  {4850, 1360},
    {5000, 1370},  {5100, 1390},  {5350, 1420},  {5600, 1500},  {5679, 1522},  {5751, 1515},
    {5842, 1512},  {5935, 1528},  {6000, 1545},  {6150, 1500},  {6300, 1400},  {6400, 1320},
    {6460, 1300},  {6510, 1288},  {6600, 1260},  {6800, 1200},  {7100, 1060},  {7400, 960},
    {7700, 980},   {8000, 1150},  {8300, 1290},  {8600, 1290},  {8780, 1272},  {8900, 1345},  {9040, 1420},
    {9200, 1400},  {9500, 1300},  {9700, 1280},  {10000, 1200}, {10300, 1150}, {10500, 1150},
    {10800, 1300}, {11100, 1600}, {11400, 1860}, {11650, 1900}, {11900, 1890}, {12100, 1720},
    {12350, 1460}, {12550, 1375}, {12800, 1395}, {13200, 1420}, {13500, 1390}, {13900, 1320}, {14300, 1200},
    {14700, 1020}, {15100, 960},  {15500, 1060}, {15900, 1120}, {16200, 1160}, {16500, 1170},
    {16900, 1150}, {17200, 1100}, {17600, 1080}, {18000, 1100}, {18400, 1120}, {18800, 1140},
    {19200, 1160}, {19600, 1200}, {20000, 1250}, {20480, 1280},
};

// Small slow ripples on each wall so it reads as tissue, not as a plotted curve.
constexpr double kRippleSlow = 7.0, kRippleFast = 3.0;
constexpr double kRippleSlowLength = 170.0, kRippleFastLength = 53.0;

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

Walls Build() {
    Walls w;
    w.top = Interpolate(kTopWall, kMapWidth);
    w.bottom = Interpolate(kBottomWall, kMapWidth);
    for (int x = 0; x < kMapWidth; ++x) {
        w.top[size_t(x)] += kRippleSlow * Noise1(x / kRippleSlowLength, 11) + kRippleFast * Noise1(x / kRippleFastLength, 12);
        w.bottom[size_t(x)] +=
            kRippleSlow * Noise1(x / kRippleSlowLength, 21) + kRippleFast * Noise1(x / kRippleFastLength, 22);
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
    if (facing) *facing = face;
    return d;
}

double Depth(double x, double y) { return Depth(x, y, nullptr); }

double CapCentreY() { return TheWalls().capCentreY; }

}  // namespace vessel
