// Plays the real game in-process, as a player would: ExecutaJogo runs from
// the folder that holds rsrc/, at real speed on the OpenGL renderer, and a
// script of steps runs inside the engine's per-frame user hook. The hook runs
// before the frame is presented and before the input is polled, so keys
// pushed there as SDL events are read for the very next frame, and the back
// buffer read there is the frame about to be shown.
#ifndef VD_E2E_DRIVER_H
#define VD_E2E_DRIVER_H

#include <SDL.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Jogo.h"
#include "route.h"
#include "testsupport.h"

namespace vde2e {

struct Draw {
    unsigned int id, index;
    int x, y;
};

// What one frame drew, seen at its end.
struct Frame {
    long number = 0;            // frame ends since the game started, from 1
    std::vector<Draw> draws;    // sprite draws since the previous frame end, in order
    int overlayAlpha = -1;      // alpha of the last effect draw (the fades' black overlay), -1 none
    const Jogo* game = nullptr; // the running session (SessaoAtual)
    bool playing = false;       // inside the play loop
    int playFrame = 0;          // play frames of the current run so far
    bool playFrameEnded = false;  // a play frame ends here, presented (the map drawn, no screen)
    int plainRun = 0;           // consecutive frames that drew this screen picture with no overlay

    // The full-screen picture this frame drew at (0, 0), or 0.
    unsigned int screen() const;
    // `picture` is fully on screen and its screen now waits for a key: the last
    // frame of a fade-in (overlay alpha 0), or the third plain frame (the
    // menu's showing; the language screen is plain on every frame).
    bool ready(unsigned int picture) const;
    // Where `picture` was drawn this frame; false when it was not.
    bool drawn(unsigned int picture, Draw* where = nullptr) const;
};

// Raised inside the hook to abandon the session (a step failed or the flow
// ran past its frame limit); unwinds out of ExecutaJogo.
struct Abandon : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class GameDriver {
public:
    // A step is called at every frame end until it returns true; the next one
    // then starts at the following frame end.
    using Step = std::function<bool(const Frame&)>;

    explicit GameDriver(std::string testName);
    ~GameDriver();

    void Then(const std::string& what, Step step);
    // Runs the game until it exits by itself. Returns its exit status; any
    // failure (a step's, the frame limit, the game exiting with steps still
    // pending) is in failure() afterwards.
    int Play(long frameLimit);
    const std::string& failure() const { return failure_; }
    size_t stepsDone() const { return next_; }

    // Input, as SDL events read by the next poll. A tap's release comes one
    // frame end later, so the press and the release never share a poll.
    void Down(SDLKey key);
    void Up(SDLKey key);
    void Tap(SDLKey key);
    void RequestClose();                 // the window's close request
    void Hold(const pilot::Input& keys); // hold exactly these play keys from the next frame on
    void ReleaseAll();

    // Abandons the session with this message.
    [[noreturn]] void Fail(const std::string& why);

    // The frame about to be presented, and keeping it as a PNG under
    // <build>/test-output/e2e/<test>-<name>.png.
    vdtest::Picture Capture() const;
    void Keep(const std::string& name, const vdtest::Picture& pic);
    // Captures, keeps, and checks the frame against a picture file of
    // rsrc/: the mean difference per channel must stay under a small bound.
    void ExpectShows(const std::string& name, const std::string& rsrcFile);

    // Measurements (printed, never judged).
    double startupSeconds() const { return startupSeconds_; }
    void PrintMeasurements() const;

private:
    static void Hook();
    static bool DrawHook(unsigned int, unsigned int, int, int);
    static bool EffectHook(unsigned int, unsigned int, int*, int*, Uint8, Uint8, Uint8, Uint8);
    void OnFrameEnd();
    void WrapSlots();
    void RestoreSlots();
    void MeasureFrame(bool playFrameEnded, unsigned int shown);

    struct Named {
        std::string what;
        Step step;
    };
    std::string test_;
    std::vector<Named> steps_;
    size_t next_ = 0;
    long limit_ = 0;
    std::string failure_;
    Frame frame_;
    unsigned int lastScreen_ = 0;
    std::vector<SDLKey> releaseNext_;
    std::vector<SDLKey> held_;
    bool (*realDraw_)(unsigned int, unsigned int, int, int) = nullptr;
    bool (*realEffect_)(unsigned int, unsigned int, int*, int*, Uint8, Uint8, Uint8, Uint8) = nullptr;

    // Measurements.
    double startedAt_ = 0, startupSeconds_ = -1;
    double threadMark_ = 0, processMark_ = 0, wallMark_ = 0;
    bool lastWasPlay_ = false;
    long measuredPlayFrames_ = 0;
    double playThreadCpu_ = 0, playProcessCpu_ = 0, worstPlayThreadCpu_ = 0, playWall_ = 0;

    static GameDriver* current_;
};

// The route the pilot wrote for this build; fails the test when missing.
bool LoadPilotRoute(pilot::Route* route, std::string* error);

}  // namespace vde2e

#endif
