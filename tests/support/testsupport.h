// Helpers shared by the tests: temporary folders, PNG files written by the
// tests themselves, capture of standard output, and frame read-back.
#ifndef VD_TESTSUPPORT_H
#define VD_TESTSUPPORT_H

#include <cstdint>
#include <string>
#include <vector>

namespace vdtest {

struct Rgba {
    uint8_t r, g, b, a;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

// A picture in memory, rows from the top.
struct Picture {
    int w = 0, h = 0;
    std::vector<Rgba> px;
    Picture() = default;
    Picture(int width, int height, Rgba fill = {0, 0, 0, 0}) : w(width), h(height), px(size_t(width) * height, fill) {}
    Rgba& at(int x, int y) { return px[size_t(y) * w + x]; }
    const Rgba& at(int x, int y) const { return px[size_t(y) * w + x]; }
    void fill(int x, int y, int fw, int fh, Rgba c);
};

// A fresh, empty folder for one test (under TMPDIR or /tmp); removed by RemoveTree.
std::string MakeTempDir(const std::string& tag);
void RemoveTree(const std::string& path);

// Where a test keeps pictures worth looking at: <build>/test-output/<area>/,
// or <area>-<tag>/ when VD_OUTPUT_TAG names the run (two runs of the same
// build side by side, as scripts/test's tests-compat stage, keep their own).
std::string OutputDir(const std::string& area);

// Writes the picture as PNG, RGBA or (withAlpha false) RGB. False on failure.
bool WritePng(const std::string& path, const Picture& pic, bool withAlpha = true);
// Reads an RGBA PNG back (any PNG is expanded to RGBA). False on failure.
bool ReadPng(const std::string& path, Picture& pic);

// Captures everything written to standard output (file descriptor 1).
class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    std::string Take();  // stops capturing and returns the text
private:
    int saved_ = -1;
    std::string file_;
};

// The four dispatch slots a frame goes through (clear, draw, effect draw,
// frame end), taken over by a test's own functions: Install remembers what
// the slots held, Restore (or the destructor) puts it back.
class FrameSlots {
public:
    using Clear = void (*)();
    using Draw = bool (*)(unsigned int id, unsigned int indice, int x, int y);
    using Effect = bool (*)(unsigned int id, unsigned int indice, int* x, int* y, uint8_t r, uint8_t g, uint8_t b,
                            uint8_t a);
    using Sync = void (*)(uint8_t fps);
    ~FrameSlots() { Restore(); }
    void Install(Clear clear, Draw draw, Effect effect, Sync sync);
    void Restore();
    // What the slots held before Install, for hooks that pass calls on.
    Clear clear() const { return clear_; }
    Draw draw() const { return draw_; }
    Effect effect() const { return effect_; }

private:
    bool installed_ = false;
    Clear clear_ = nullptr;
    Draw draw_ = nullptr;
    Effect effect_ = nullptr;
    Sync sync_ = nullptr;
};

// Reads the current OpenGL back buffer (before the swap) as a picture.
Picture ReadBackBuffer(int w, int h);
// Reads the software renderer's display surface as a picture.
Picture ReadScreenSurface();

// Largest per-channel difference (RGB only) between two equal-size pictures;
// 256 when the sizes differ.
int MaxDifference(const Picture& a, const Picture& b);

// True when `got` matches `want` within `tol` per channel; on a mismatch the
// picture is saved under OutputDir(area)/name.png for looking at.
bool SameWithin(const Picture& got, const Picture& want, int tol, const std::string& area,
                const std::string& name);

}  // namespace vdtest

#endif
