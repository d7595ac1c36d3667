#include "bench_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

extern char** environ;

namespace vdbench {

namespace {

const char kReportFlag[] = "--report-fd=";

double Clock(clockid_t id) {
    timespec t{};
    clock_gettime(id, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// A "Name:   1234 kB" line of /proc/self/status.
long StatusKiB(const char* name) {
    std::ifstream in("/proc/self/status");
    std::string line;
    size_t n = strlen(name);
    while (std::getline(in, line))
        if (line.compare(0, n, name) == 0 && line.size() > n && line[n] == ':') return atol(line.c_str() + n + 1);
    return 0;
}

bool HasRsrc(const std::string& dir) {
    struct stat st{};
    return stat((dir + "/rsrc").c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

Report ParseReport(const std::string& text) {
    Report r;
    std::istringstream in(text);
    std::string name;
    double value = 0;
    while (in >> name >> value) r[name] = value;
    return r;
}

std::string ReadAll(int fd) {
    std::string out;
    char buf[4096];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) break;
        out.append(buf, size_t(n));
    }
    return out;
}

}  // namespace

double Now() { return Clock(CLOCK_MONOTONIC); }
double ProcessCpu() { return Clock(CLOCK_PROCESS_CPUTIME_ID); }
double ThreadCpu() { return Clock(CLOCK_THREAD_CPUTIME_ID); }

bool EnterDataDir() {
    const char* env = getenv("VD_DATA_DIR");
    std::string dir = env && *env ? env : VD_BINARY_DIR;
    if (!HasRsrc(dir) || chdir(dir.c_str()) != 0) {
        fprintf(stderr, "benchmark: no rsrc/ folder in %s (build the rsrc target or set VD_DATA_DIR)\n",
                dir.c_str());
        return false;
    }
    return true;
}

long MinorFaults() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_minflt;
}

long MajorFaults() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_majflt;
}

long ResidentKiB() { return StatusKiB("VmRSS"); }
long PeakResidentKiB() { return StatusKiB("VmHWM"); }

int ReportFd(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (strncmp(argv[i], kReportFlag, sizeof kReportFlag - 1) == 0) return atoi(argv[i] + sizeof kReportFlag - 1);
    return -1;
}

void WriteReport(int fd, const Report& report) {
    if (fd < 0) return;
    std::string text;
    char line[256];
    for (const auto& kv : report) {
        snprintf(line, sizeof line, "%s %.9g\n", kv.first.c_str(), kv.second);
        text += line;
    }
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n <= 0) break;
        p += n;
        left -= size_t(n);
    }
}

bool RunChild(const std::vector<std::string>& args, Report* report, double* started) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    // The child keeps only the write end, under the same number.
    int childFd = dup(fds[1]);
    std::vector<std::string> all = {"/proc/self/exe"};
    all.insert(all.end(), args.begin(), args.end());
    all.push_back(kReportFlag + std::to_string(childFd));
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(&a[0]);
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    *started = Now();
    int rc = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(childFd);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return false;
    }
    std::string text = ReadAll(fds[0]);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    *report = ParseReport(text);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && !report->empty();
}

void PressKey(SDLKey key) {
    SDL_Event ev{};
    ev.type = SDL_KEYDOWN;
    ev.key.type = SDL_KEYDOWN;
    ev.key.state = SDL_PRESSED;
    ev.key.keysym.sym = key;
    SDL_PushEvent(&ev);
}

double Mean(const std::vector<double>& v) {
    if (v.empty()) return 0;
    double s = 0;
    for (double x : v) s += x;
    return s / double(v.size());
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t rank = size_t(std::ceil(p / 100.0 * double(v.size())));
    if (rank < 1) rank = 1;
    return v[std::min(rank, v.size()) - 1];
}

}  // namespace vdbench
