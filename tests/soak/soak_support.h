// Shared pieces of the soak tests: the engine started headless on the real
// generated assets, memory measured from the process itself, the registries
// checked for leftovers, and a frame end that never sleeps.
#ifndef VD_SOAK_SUPPORT_H
#define VD_SOAK_SUPPORT_H

#include <SDL.h>

#include <functional>
#include <initializer_list>
#include <string>

namespace soak {

// AddressSanitizer keeps freed memory in quarantine, so resident memory grows
// under it whatever the program does; leaks are LeakSanitizer's job there.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Sanitized builds run every soak this many times shorter (they are several
// times slower, and their memory figures mean nothing).
constexpr int kSanitizedDivisor = 5;

// The build folder, which holds rsrc/ with every generated asset.
std::string DataDir();

// Makes `dir` the working directory (the game reads ./rsrc/) until destroyed.
class ScopedWorkingDir {
public:
    explicit ScopedWorkingDir(const std::string& dir);
    ~ScopedWorkingDir();
    bool ok() const { return ok_; }

private:
    std::string previous_;
    bool ok_ = false;
};

// Starts the engine (software renderer on SDL's dummy video driver, 1024x768)
// and the audio module. False when the engine does not start.
bool StartHeadlessEngine();

struct MemoryUse {
    long residentKiB = 0;     // resident set, /proc/self/statm
    long long heapBytes = 0;  // bytes malloc has handed out and not had back
};
MemoryUse MeasureMemory();

// Memory of a long run sampled now and then. The first samples warm up
// (the allocator's pools, SDL's lazily built blit data); every later sample
// is compared with the last warm-up one. A sample first hands the free
// memory malloc keeps back to the system (malloc_trim), so only memory the
// process holds counts.
class GrowthWatch {
public:
    void Sample();
    void EndWarmUp();                       // the latest sample becomes the baseline
    bool warmedUp() const { return warmedUp_; }
    int measuredSamples() const { return measured_; }
    long residentGrowthKiB() const;         // largest rise after warm-up
    long long heapGrowthBytes() const;      // likewise
    std::string Report() const;             // baseline, growth and sample count

private:
    MemoryUse last_, baseline_, peak_;
    bool warmedUp_ = false;
    int measured_ = 0;
};

// Bounds that the memory of a long run must keep after warm-up.
struct GrowthBounds {
    long residentKiB;
    long long heapBytes;
};
// Empty when the watch kept within the bounds, else what broke them.
std::string GrowthBeyond(const GrowthWatch& w, const GrowthBounds& b);

// The bounds of the soaks. Past warm-up a run or a cycle gives back all it
// took: the measured rise is a few KiB (the allocator's per-thread caches
// filling up), so each bound sits well above that and well below what a
// real leak adds up to over a soak (a test shows the cycle bounds break).
// Play: 4 MiB is 20 bytes a play frame; 128 KiB is less than one blob list
// (44 blobs, about 2 KiB) lost in each of the soak's runs.
constexpr GrowthBounds kPlayBounds{4096, 128 * 1024};
// Start, load and shut-down, over 180 measured cycles: 2 MiB is 12 KiB a
// cycle (less than one leaked icon picture); 128 KiB is about 730 bytes a
// cycle (one leaked frame mask of a blob sheet).
constexpr GrowthBounds kCycleBounds{2048, 128 * 1024};
constexpr int kMeasuredCycles = 180;
// The whole game, over a few cycles: one leaked collision mask (512 KiB) or
// 1024x768 screen picture (3 MiB) breaks them.
constexpr GrowthBounds kFullSetBounds{2048, 256 * 1024};

// Every occupied sprite-set or font slot, one line each; empty when none is.
std::string RegistryLeftovers();

// Draws every frame of every loaded sprite set once with `draw` (a renderer's
// own draw), so that what the renderer builds on a set's first blit exists
// before memory is measured.
void DrawEveryLoadedFrame(bool (*draw)(unsigned int id, unsigned int frame, int x, int y));

// Sets the 54 key states for the next frame: `held` are down (pressed now if
// they were up), every other key is up (let go now if it was down).
void SetKeys(std::initializer_list<int> held);

// Replaces the frame end and the drawing slots for as long as it lives. A
// frame ends without waiting: one frame in `drawEvery` is flipped, then the
// engine's own input poll runs and `onFrameEnd` sets the next frame's keys.
// The frames after a flipped one are cleared and drawn by the real renderer;
// the others go to draws that do nothing. Only one may exist at a time.
class HeadlessFrames {
public:
    explicit HeadlessFrames(int drawEvery);
    ~HeadlessFrames();
    HeadlessFrames(const HeadlessFrames&) = delete;
    HeadlessFrames& operator=(const HeadlessFrames&) = delete;

    std::function<void()> onFrameEnd;
    std::function<void(unsigned int id)> onDraw;  // every draw request, drawn or not

    long frames() const { return frames_; }
    long drawnFrames() const { return drawn_; }
    // The renderer's own draw, which this replaces.
    bool (*realDraw() const)(unsigned int, unsigned int, int, int) { return realDraw_; }

private:
    static void FrameEnd(Uint8 fps);
    static void Clear();
    static bool Draw(unsigned int id, unsigned int frame, int x, int y);
    static bool DrawEffect(unsigned int id, unsigned int frame, int* x, int* y, Uint8 r, Uint8 g, Uint8 b,
                           Uint8 a);

    int drawEvery_;
    bool drawing_ = true;
    long frames_ = 0, drawn_ = 0;
    void (*realSync_)(Uint8);
    void (*realClear_)();
    bool (*realDraw_)(unsigned int, unsigned int, int, int);
    bool (*realEffect_)(unsigned int, unsigned int, int*, int*, Uint8, Uint8, Uint8, Uint8);
    static HeadlessFrames* current_;
};

}  // namespace soak

#endif
