// Preloaded into the game by the sound black-box test (sound.sh): writes the
// wall-clock time of every frame the game presents (SDL_GL_SwapBuffers, on
// either SDL 1.2) to the file VD_PRESENTS_LOG names, one "seconds.nanoseconds"
// line each, then presents as before. The test counts the frames between two
// beats it hears, so the beat is checked in frames whatever frame rate a
// loaded machine allows.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

int LogFile() {
    static int fd = -2;
    if (fd == -2) {
        const char* path = getenv("VD_PRESENTS_LOG");
        fd = path ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644) : -1;
    }
    return fd;
}

void LogPresent() {
    const int fd = LogFile();
    if (fd < 0) return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    char line[32];
    const int length = snprintf(line, sizeof line, "%lld.%09ld\n", (long long)now.tv_sec, now.tv_nsec);
    if (length > 0 && write(fd, line, size_t(length)) < 0) {
        // A lost line shows as a frame missing from the count; nothing to do here.
    }
}

}  // namespace

extern "C" void SDL_GL_SwapBuffers() {
    using Swap = void (*)();
    static Swap next = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers"));
    LogPresent();
    if (next) next();
}
