// Shared pieces of the bad-input tests: damaged copies of the generated
// assets, the real program run as a child process, and the whole program run
// in this process with keys sent through SDL's own event queue.
#ifndef VD_BADINPUT_SUPPORT_H
#define VD_BADINPUT_SUPPORT_H

#include <SDL.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct Jogo;

namespace badinput {

// <build>/rsrc and one file in it.
std::string RsrcDir();
std::string Rsrc(const std::string& name);

std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& bytes);
// A mono 16-bit WAV of a few samples: the smallest sound a registry can hold.
std::string TinyWav();
// A file path under `dir` exactly `length` bytes long ending in `tail`,
// reached through folders of at most 200 bytes each, which it creates.
// Empty when the folders cannot be made or `length` is too short.
std::string PathOfLength(const std::string& dir, size_t length, const std::string& tail);

// How a file under its expected name can be wrong.
enum class Damage {
    Truncated,   // the first half of the real file
    HeaderOnly,  // its first 64 bytes
    Empty,       // zero bytes
};
const char* Name(Damage d);
std::string Damaged(const std::string& bytes, Damage d);

// Every file the game loads (53), as the names under rsrc/.
std::vector<std::string> GameFiles();
bool IsPicture(const std::string& name);
bool IsEnglishScreen(const std::string& name);  // loaded only when English is chosen

// What a refused load prints, naming the file: the start of a picture's
// message (the decoder's reason follows), and a sound's whole line.
std::string PictureRefusal(const std::string& path);
std::string SoundRefusal(const std::string& path);

// The number of lines of `text` that are one of the audio module's two
// start-failure reports with SDL's reason: SDL 1.2 starts its audio with any
// driver and fails when the mixer opens the device, while SDL2 tries the
// driver as its audio starts, so which report a missing device gives
// depends on the SDL.
int AudioStartFailures(const std::string& text);

// Text helpers for captured output.
bool HasLine(const std::string& text, const std::string& line);
int CountOf(const std::string& text, const std::string& part);
std::string LastLine(const std::string& text);

// The real program as a child process, in `dir`, with the environment of
// this process changed by `set` (name, value) and `unset`.
struct ProgramRun {
    int status = -1;      // exit status; -1 when it did not exit normally
    int signal = 0;       // the signal that ended it, if any
    std::string out;      // standard output
    std::string err;      // standard error
};
ProgramRun RunProgram(const std::string& program, const std::string& dir,
                      const std::vector<std::pair<std::string, std::string>>& set,
                      const std::vector<std::string>& unset, int timeoutSeconds);

// The whole program (ExecutaJogo) run in this process, with a script of
// steps that runs in the engine's per-frame user hook. A step is called at
// every frame end until it returns true; the next one starts at the
// following frame end. Keys go in as SDL events, so the engine's own poll
// reads them at the end of that same frame.
class ScriptedGame {
public:
    using Step = std::function<bool(const Jogo* session, long frame)>;

    ScriptedGame& Then(Step step);
    // Runs the program to its end; its exit status. If the script is not
    // done within `frameLimit` frames, the process ends with a message.
    int Run(long frameLimit);
    size_t stepsDone() const { return next_; }
    size_t steps() const { return steps_.size(); }

    static Step Frames(int n);                        // let n frames go by
    static Step Tap(SDLKey key);                      // down now, up at the next frame end
    // Taps `key` every few frames until `done` holds (never, when null).
    static Step TapUntil(SDLKey key, std::function<bool(const Jogo*)> done);
    static Step Until(std::function<bool(const Jogo*)> done);

private:
    static void Hook();
    std::vector<Step> steps_;
    size_t next_ = 0;
    long frame_ = 0, limit_ = 0;
    static ScriptedGame* current_;
};

void PushKey(SDLKey key, bool down);

}  // namespace badinput

#endif
