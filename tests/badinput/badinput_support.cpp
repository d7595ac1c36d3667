#include "badinput_support.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <sstream>

#include "Jogo.h"
#include "brisa2d2.h"

namespace badinput {

namespace {

const size_t kHeaderBytes = 64;
const int kTapPeriod = 4;  // frames between two taps: press, release, two quiet frames

}  // namespace

std::string RsrcDir() {
    const char* bin = getenv("VD_BINARY_DIR");
    return std::string(bin && *bin ? bin : ".") + "/rsrc";
}

std::string Rsrc(const std::string& name) { return RsrcDir() + "/" + name; }

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(f);
}

std::string TinyWav() {
    const int kSamples = 8, kRate = 44100, kBits = 16;
    std::string w;
    auto u32 = [&w](uint32_t v) { for (int i = 0; i < 4; ++i) w += char((v >> (8 * i)) & 0xFF); };
    auto u16 = [&w](uint16_t v) { w += char(v & 0xFF); w += char(v >> 8); };
    const uint32_t data = kSamples * kBits / 8;
    w += "RIFF";
    u32(36 + data);
    w += "WAVEfmt ";
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(kRate);
    u32(kRate * kBits / 8);
    u16(kBits / 8);
    u16(kBits);
    w += "data";
    u32(data);
    w += std::string(data, '\0');
    return w;
}

std::string PathOfLength(const std::string& dir, size_t length, const std::string& tail) {
    const size_t kFolder = 200;
    std::string path = dir;
    // Folders while more than one folder's worth (and the tail) is left.
    while (length > path.size() + 1 + kFolder + 1 + tail.size() + kFolder) {
        path += "/" + std::string(kFolder, 'd');
        if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) return std::string();
    }
    if (length < path.size() + 1 + tail.size() + 1) return std::string();
    size_t stem = length - path.size() - 1 - tail.size();
    if (stem > kFolder + kFolder / 4) {  // still too long for one name: one more folder
        size_t folder = stem / 2;
        path += "/" + std::string(folder, 'e');
        if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) return std::string();
        stem = length - path.size() - 1 - tail.size();
    }
    return path + "/" + std::string(stem, 'f') + tail;
}

const char* Name(Damage d) {
    switch (d) {
        case Damage::Truncated: return "truncated";
        case Damage::HeaderOnly: return "header only";
        case Damage::Empty: return "empty";
    }
    return "?";
}

std::string Damaged(const std::string& bytes, Damage d) {
    switch (d) {
        case Damage::Truncated: return bytes.substr(0, bytes.size() / 2);
        case Damage::HeaderOnly: return bytes.substr(0, kHeaderBytes);
        case Damage::Empty: return std::string();
    }
    return bytes;
}

std::vector<std::string> GameFiles() {
    std::vector<std::string> files;
    for (const char* a : TodosArquivos()) files.push_back(a);
    return files;
}

bool IsPicture(const std::string& name) {
    return name.find(".png") != std::string::npos || name.find(".jpg") != std::string::npos;
}

bool IsEnglishScreen(const std::string& name) {
    for (const FiguraIdioma& f : kConjuntoIdioma)
        if (name == f.ingles) return true;
    return false;
}

std::string PictureRefusal(const std::string& path) {
    return "A função BRZ_CarregaSPriteset falhou ao carregar o arquivo " + path + ". Erro: ";
}

std::string SoundRefusal(const std::string& path) { return "Erro ao carregar o arquivo " + path + "."; }

int AudioStartFailures(const std::string& text) {
    const char* const kReports[] = {"Não conseguiu iniciar a Brisa Audio 2 (subseistema SDL). Erro do sistema: ",
                                    "Não conseguiu iniciar a Brisa Audio 2 (formato de áudio). Erro do sistema: "};
    int n = 0;
    std::istringstream s(text);
    for (std::string l; std::getline(s, l);)
        for (const char* r : kReports) n += l.size() > strlen(r) && l.compare(0, strlen(r), r) == 0;
    return n;
}

bool HasLine(const std::string& text, const std::string& line) {
    std::istringstream s(text);
    for (std::string l; std::getline(s, l);)
        if (l == line) return true;
    return false;
}

int CountOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

std::string LastLine(const std::string& text) {
    std::string t = text;
    while (!t.empty() && t.back() == '\n') t.pop_back();
    size_t at = t.rfind('\n');
    return at == std::string::npos ? t : t.substr(at + 1);
}

// Reads both pipes of the child until they close or the time runs out.
static void Drain(int outFd, int errFd, ProgramRun* run, int timeoutSeconds) {
    time_t deadline = time(nullptr) + timeoutSeconds;
    struct pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string* sinks[2] = {&run->out, &run->err};
    int open = 2;
    while (open > 0 && time(nullptr) < deadline) {
        if (poll(fds, 2, 200) <= 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
            char buf[4096];
            ssize_t n = read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                sinks[i]->append(buf, size_t(n));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (struct pollfd& p : fds)
        if (p.fd >= 0) close(p.fd);
}

ProgramRun RunProgram(const std::string& program, const std::string& dir,
                      const std::vector<std::pair<std::string, std::string>>& set,
                      const std::vector<std::string>& unset, int timeoutSeconds) {
    ProgramRun run;
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return run;
    fflush(stdout);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        int nothing = open("/dev/null", O_RDONLY);
        if (nothing >= 0) dup2(nothing, STDIN_FILENO);
        close(out[0]);
        close(err[0]);
        for (const std::string& name : unset) unsetenv(name.c_str());
        for (const auto& kv : set) setenv(kv.first.c_str(), kv.second.c_str(), 1);
        if (chdir(dir.c_str()) != 0) _exit(126);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    if (pid < 0) return run;
    Drain(out[0], err[0], &run, timeoutSeconds);
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGKILL);  // ran past its time: only this child is stopped
        waitpid(pid, &status, 0);
    }
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    return run;
}

void PushKey(SDLKey key, bool down) {
    SDL_Event ev{};
    ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    ev.key.type = ev.type;
    ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.key.keysym.sym = key;
    SDL_PushEvent(&ev);
}

ScriptedGame* ScriptedGame::current_ = nullptr;

ScriptedGame& ScriptedGame::Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

int ScriptedGame::Run(long frameLimit) {
    limit_ = frameLimit;
    frame_ = 0;
    next_ = 0;
    current_ = this;
    BRZ_DefineSincronizaUsuario(Hook);
    int status = ExecutaJogo();
    BRZ_DefineSincronizaUsuario(nullptr);
    current_ = nullptr;
    return status;
}

void ScriptedGame::Hook() {
    ScriptedGame* g = current_;
    ++g->frame_;
    if (g->frame_ > g->limit_) {
        fprintf(stderr, "the script stopped at step %zu of %zu: no progress within %ld frames\n", g->next_,
                g->steps_.size(), g->limit_);
        fflush(nullptr);
        _exit(1);
    }
    if (g->next_ < g->steps_.size() && g->steps_[g->next_](SessaoAtual(), g->frame_)) ++g->next_;
}

ScriptedGame::Step ScriptedGame::Frames(int n) {
    auto left = std::make_shared<int>(n);
    return [left](const Jogo*, long) { return --*left <= 0; };
}

ScriptedGame::Step ScriptedGame::Tap(SDLKey key) {
    auto down = std::make_shared<bool>(false);
    return [key, down](const Jogo*, long) {
        PushKey(key, !*down);
        *down = !*down;
        return !*down;
    };
}

ScriptedGame::Step ScriptedGame::TapUntil(SDLKey key, std::function<bool(const Jogo*)> done) {
    return [key, done](const Jogo* s, long frame) {
        if (done && done(s)) {
            PushKey(key, false);
            return true;
        }
        if (frame % kTapPeriod == 0) PushKey(key, true);
        if (frame % kTapPeriod == 1) PushKey(key, false);
        return false;
    };
}

ScriptedGame::Step ScriptedGame::Until(std::function<bool(const Jogo*)> done) {
    return [done](const Jogo* s, long) { return done(s); };
}

}  // namespace badinput
