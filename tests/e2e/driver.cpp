#include "driver.h"

#include <SDL_image.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "brisaaudio2.h"

namespace vde2e {

GameDriver* GameDriver::current_ = nullptr;

namespace {

const int kScreenW = 1024, kScreenH = 768;
// A captured screen showing a picture file differs from it only by rounding;
// the same screen in the other language differs by 7 or more on average.
const double kMaxMeanDifference = 2.0;
// The keys that stand for each play block (neither means anything on a menu).
const SDLKey kUpKey = SDLK_k, kDownKey = SDLK_d;

double Seconds(clockid_t clock) {
    timespec t;
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void PushKey(Uint8 type, SDLKey key) {
    SDL_Event e;
    SDL_memset(&e, 0, sizeof e);
    e.type = type;
    e.key.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = key;
    SDL_PushEvent(&e);
}

// A picture file of rsrc/ as RGBA, decoded the way the engine decodes it.
bool LoadRsrcPicture(const std::string& file, vdtest::Picture* pic) {
    SDL_Surface* loaded = IMG_Load(("./rsrc/" + file).c_str());
    if (!loaded) return false;
    SDL_PixelFormat fmt;
    SDL_memset(&fmt, 0, sizeof fmt);
    fmt.BitsPerPixel = 32;
    fmt.BytesPerPixel = 4;
    fmt.Rmask = 0x000000ff;
    fmt.Gmask = 0x0000ff00;
    fmt.Bmask = 0x00ff0000;
    fmt.Amask = 0xff000000;
    fmt.Gshift = 8;
    fmt.Bshift = 16;
    fmt.Ashift = 24;
    fmt.alpha = 255;
    SDL_Surface* rgba = SDL_ConvertSurface(loaded, &fmt, SDL_SWSURFACE);
    SDL_FreeSurface(loaded);
    if (!rgba) return false;
    *pic = vdtest::Picture(rgba->w, rgba->h);
    SDL_LockSurface(rgba);
    for (int y = 0; y < rgba->h; ++y)
        memcpy(&pic->at(0, y), static_cast<Uint8*>(rgba->pixels) + y * rgba->pitch, size_t(rgba->w) * 4);
    SDL_UnlockSurface(rgba);
    SDL_FreeSurface(rgba);
    return true;
}

double MeanDifference(const vdtest::Picture& a, const vdtest::Picture& b) {
    if (a.w != b.w || a.h != b.h) return 256;
    double sum = 0;
    for (size_t i = 0; i < a.px.size(); ++i)
        sum += std::abs(a.px[i].r - b.px[i].r) + std::abs(a.px[i].g - b.px[i].g) + std::abs(a.px[i].b - b.px[i].b);
    return sum / (3.0 * double(a.px.size()));
}

}  // namespace

unsigned int Frame::screen() const {
    if (!game) return 0;
    const Recursos& r = game->r;
    const unsigned int screens[] = {r.sprLoading, r.sprIdiomas, r.sprMenu,  r.sprTuto, r.sprEl,
                                    r.sprCred,    r.sprMorte,   r.sprGanhou, r.sprAb4};
    for (const Draw& d : draws)
        if (d.x == 0 && d.y == 0 && d.index == 0 && d.id != 0 &&
            std::find(std::begin(screens), std::end(screens), d.id) != std::end(screens))
            return d.id;
    return 0;
}

bool Frame::ready(unsigned int picture) const {
    if (picture == 0 || screen() != picture) return false;
    return overlayAlpha == 0 || (overlayAlpha < 0 && plainRun >= 3);
}

bool Frame::drawn(unsigned int picture, Draw* where) const {
    for (const Draw& d : draws) {
        if (d.id != picture) continue;
        if (where) *where = d;
        return true;
    }
    return false;
}

GameDriver::GameDriver(std::string testName) : test_(std::move(testName)) {}

GameDriver::~GameDriver() {
    if (current_ == this) current_ = nullptr;
}

void GameDriver::Then(const std::string& what, Step step) { steps_.push_back(Named{what, std::move(step)}); }

int GameDriver::Play(long frameLimit) {
    limit_ = frameLimit;
    char here[4096];
    if (!getcwd(here, sizeof here)) here[0] = '\0';
    const char* data = getenv("VD_BINARY_DIR");
    if (!data || chdir(data) != 0) {
        failure_ = "cannot enter the build folder that holds rsrc/";
        return -1;
    }
    current_ = this;
    BRZ_DefineSincronizaUsuario(Hook);
    startedAt_ = Seconds(CLOCK_MONOTONIC);
    int status = -1;
    try {
        status = ExecutaJogo();
    } catch (const Abandon& a) {
        failure_ = a.what();
        // The session was left half-way: shut down what is still running.
        BZA_Encerra();
        BRZ_Encerra();
    }
    BRZ_DefineSincronizaUsuario(nullptr);
    RestoreSlots();
    current_ = nullptr;
    if (here[0] && chdir(here) != 0) perror("chdir");
    if (failure_.empty() && next_ < steps_.size())
        failure_ = "the game exited while waiting for: " + steps_[next_].what;
    return status;
}

void GameDriver::Down(SDLKey key) {
    PushKey(SDL_KEYDOWN, key);
    if (std::find(held_.begin(), held_.end(), key) == held_.end()) held_.push_back(key);
}

void GameDriver::Up(SDLKey key) {
    PushKey(SDL_KEYUP, key);
    held_.erase(std::remove(held_.begin(), held_.end(), key), held_.end());
}

void GameDriver::Tap(SDLKey key) {
    Down(key);
    releaseNext_.push_back(key);
}

void GameDriver::RequestClose() {
    SDL_Event e;
    SDL_memset(&e, 0, sizeof e);
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
}

void GameDriver::Hold(const pilot::Input& keys) {
    const std::pair<SDLKey, bool> wanted[] = {{kUpKey, keys.up}, {kDownKey, keys.down}, {SDLK_SPACE, keys.space}};
    for (const auto& w : wanted) {
        bool held = std::find(held_.begin(), held_.end(), w.first) != held_.end();
        if (w.second && !held) Down(w.first);
        if (!w.second && held) Up(w.first);
    }
}

void GameDriver::ReleaseAll() {
    std::vector<SDLKey> keys = held_;
    for (SDLKey k : keys) Up(k);
}

void GameDriver::Fail(const std::string& why) {
    throw Abandon("frame " + std::to_string(frame_.number) + ": " + why);
}

vdtest::Picture GameDriver::Capture() const { return vdtest::ReadBackBuffer(kScreenW, kScreenH); }

void GameDriver::Keep(const std::string& name, const vdtest::Picture& pic) {
    std::string path = vdtest::OutputDir("e2e") + "/" + test_ + "-" + name + ".png";
    EXPECT_TRUE(vdtest::WritePng(path, pic, false)) << path;
}

void GameDriver::ExpectShows(const std::string& name, const std::string& rsrcFile) {
    vdtest::Picture got = Capture();
    Keep(name, got);
    vdtest::Picture want;
    if (!LoadRsrcPicture(rsrcFile, &want)) {
        ADD_FAILURE() << "cannot read rsrc/" << rsrcFile;
        return;
    }
    EXPECT_LT(MeanDifference(got, want), kMaxMeanDifference)
        << name << " (frame " << frame_.number << ") does not show rsrc/" << rsrcFile;
}

void GameDriver::Hook() {
    if (current_) current_->OnFrameEnd();
}

bool GameDriver::DrawHook(unsigned int id, unsigned int index, int x, int y) {
    current_->frame_.draws.push_back(Draw{id, index, x, y});
    return current_->realDraw_(id, index, x, y);
}

bool GameDriver::EffectHook(unsigned int id, unsigned int index, int* x, int* y, Uint8 r, Uint8 g, Uint8 b,
                            Uint8 a) {
    current_->frame_.overlayAlpha = a;
    return current_->realEffect_(id, index, x, y, r, g, b, a);
}

// The renderer fills the slots when the engine starts, inside ExecutaJogo; the
// first frame end is the first moment the driver can put itself in front.
void GameDriver::WrapSlots() {
    realDraw_ = BRZ_DesenhaSprite;
    realEffect_ = BRZ_DesenhaSpriteEfeito;
    frame_.draws.reserve(256);
    BRZ_DesenhaSprite = DrawHook;
    BRZ_DesenhaSpriteEfeito = EffectHook;
}

void GameDriver::RestoreSlots() {
    if (BRZ_DesenhaSprite == DrawHook) BRZ_DesenhaSprite = realDraw_;
    if (BRZ_DesenhaSpriteEfeito == EffectHook) BRZ_DesenhaSpriteEfeito = realEffect_;
}

void GameDriver::OnFrameEnd() {
    if (frame_.number == 0) WrapSlots();
    ++frame_.number;
    const Jogo* g = SessaoAtual();
    frame_.game = g;
    frame_.playing = g && g->emPartida;
    frame_.playFrame = g ? g->quadroPartida : 0;
    unsigned int shown = frame_.screen();
    // A frame lost on the wall draws the map and then, unpresented, the loss
    // screen's first frame: only a frame with no screen picture ended in play.
    frame_.playFrameEnded = frame_.playing && frame_.drawn(g->r.cenario[0]) && shown == 0;
    frame_.plainRun = (shown && frame_.overlayAlpha < 0) ? (shown == lastScreen_ ? frame_.plainRun + 1 : 1) : 0;
    lastScreen_ = frame_.plainRun ? shown : 0;
    MeasureFrame(frame_.playFrameEnded, shown);

    for (SDLKey k : releaseNext_) Up(k);
    releaseNext_.clear();
    if (frame_.number > limit_)
        Fail("ran past the limit of " + std::to_string(limit_) + " frames while waiting for: " +
             (next_ < steps_.size() ? steps_[next_].what : std::string("the game to exit")));
    if (next_ < steps_.size() && steps_[next_].step(frame_)) ++next_;

    frame_.draws.clear();
    frame_.overlayAlpha = -1;
    threadMark_ = Seconds(CLOCK_THREAD_CPUTIME_ID);
    processMark_ = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    wallMark_ = Seconds(CLOCK_MONOTONIC);
}

// Processor time from the end of the previous hook to this one: the frame's
// own work, the presentation and the input poll; the frame's sleep costs none.
void GameDriver::MeasureFrame(bool playFrameEnded, unsigned int shown) {
    double thread = Seconds(CLOCK_THREAD_CPUTIME_ID) - threadMark_;
    double process = Seconds(CLOCK_PROCESS_CPUTIME_ID) - processMark_;
    double wall = Seconds(CLOCK_MONOTONIC) - wallMark_;
    if (startupSeconds_ < 0 && frame_.game && shown == frame_.game->r.sprIdiomas)
        startupSeconds_ = Seconds(CLOCK_MONOTONIC) - startedAt_;
    if (playFrameEnded && lastWasPlay_) {
        ++measuredPlayFrames_;
        playThreadCpu_ += thread;
        playProcessCpu_ += process;
        playWall_ += wall;
        worstPlayThreadCpu_ = std::max(worstPlayThreadCpu_, thread);
    }
    lastWasPlay_ = playFrameEnded;
}

void GameDriver::PrintMeasurements() const {
    rusage use;
    getrusage(RUSAGE_SELF, &use);
    printf("e2e: start-up to the language screen: %.2f s\n", startupSeconds_);
    if (measuredPlayFrames_ > 0) {
        printf("e2e: processor time per play frame over %ld frames: %.2f ms on the game's thread "
               "(worst %.2f ms), %.2f ms for the whole process (renderer threads included)\n",
               measuredPlayFrames_, 1e3 * playThreadCpu_ / double(measuredPlayFrames_), 1e3 * worstPlayThreadCpu_,
               1e3 * playProcessCpu_ / double(measuredPlayFrames_));
        printf("e2e: a play frame took %.2f ms of wall-clock time on average (the pacing asks for 16)\n",
               1e3 * playWall_ / double(measuredPlayFrames_));
    }
    printf("e2e: peak resident memory of the test process: %.1f MiB\n", double(use.ru_maxrss) / 1024.0);
}

bool LoadPilotRoute(pilot::Route* route, std::string* error) { return pilot::ReadRoute(VD_PILOT_ROUTE, route, error); }

}  // namespace vde2e
