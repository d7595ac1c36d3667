// The game played headless for the pilot: the engine on its software renderer
// under SDL's dummy video driver, the real assets and the real play frame, with
// drawing, clearing and pacing replaced by steps that cost nothing. Drawing
// never feeds back into the game's logic, so a frame played here ends exactly
// as the same frame does on screen.
#ifndef VD_PILOT_SESSION_H
#define VD_PILOT_SESSION_H

#include <string>
#include <vector>

#include "Jogo.h"
#include "route.h"

namespace pilot {

// Everything a play frame reads or changes, by value, so a search can go back.
struct Snapshot {
    math::Vector2D position;  // vecPosicao
    Coracao heart;
    BarraTempo timeBar;
    Nano nano;
    Direcional up, down;
    MenorResistencia leastResistance;
    std::vector<Inimigo> blobs;
    int frame;                // play frames of the run so far
};

class HeadlessSession {
public:
    // Starts the engine (software renderer, dummy video), the audio module, loads
    // the assets from ./rsrc/ as the game does (Portuguese set) and sets up the
    // first run of a process. False, with the reason in *error, when the engine
    // does not start or a picture the play frame tests could not be loaded.
    bool Start(std::string* error);
    // Frees the session and shuts the audio module and the engine down.
    void Stop();

    // One real play frame with these keys held. A loss or a win runs its
    // screen to the end (the space bar is pressed for it) and returns.
    ResultadoQuadro Play(const Input& input);

    Snapshot Save() const;
    // Puts back a saved state; the run goes on as if nothing had happened since.
    void Restore(const Snapshot& s);

    const Jogo& game() const { return game_; }
    int frame() const { return game_.quadroPartida; }

private:
    Jogo game_;
    bool started_ = false;
};

// `path` taken from the current folder, so that it still names the same file
// after the tools enter the folder that holds rsrc/; unchanged when already
// absolute or when the current folder cannot be read.
std::string AbsolutePath(const std::string& path);

}  // namespace pilot

#endif
