// rsrcgen: makes every picture, sound and piece of music the game loads.
//
//   rsrcgen <rsrc-dir> <preview-dir>
//   rsrcgen --icons <icon-dir>
//
// Writes the game's files into <rsrc-dir> and an overview of the vessel, a
// contact sheet and a few composed play screens into <preview-dir>; or, with
// --icons, the game's icon as a hicolor icon theme tree under <icon-dir>. Exit
// status 0 when every file was written, 1 otherwise.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include <time.h>

#include "icon.h"
#include "rsrcgen.h"

namespace {

// Two cores is the target machine; more threads only help where there are more.
unsigned WorkerCount() {
    unsigned n = std::thread::hardware_concurrency();
    return std::clamp(n, 1u, 8u);
}

// Processor time of the calling thread: unlike the clock, other work on a shared
// machine does not inflate it.
double ThreadCpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec * 1e-9;
}

// Runs every job, longest first, on a few threads; returns how many failed.
int RunJobs(std::vector<Job>& jobs, Output& out) {
    std::stable_sort(jobs.begin(), jobs.end(), [](const Job& a, const Job& b) { return a.cost > b.cost; });
    std::atomic<size_t> next{0};
    std::atomic<int> failures{0};
    std::vector<double> seconds(jobs.size(), 0.0);
    auto worker = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++) {
            double start = ThreadCpuSeconds();
            try {
                jobs[i].run(out);
            } catch (const std::exception& e) {
                fprintf(stderr, "rsrcgen: %s failed: %s\n", jobs[i].name.c_str(), e.what());
                ++failures;
            }
            seconds[i] = ThreadCpuSeconds() - start;
        }
    };
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < WorkerCount(); ++t) threads.emplace_back(worker);
    for (std::thread& t : threads) t.join();
    // The slowest jobs, so a regression in generation time shows in the build log.
    std::vector<size_t> order(jobs.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return seconds[a] > seconds[b]; });
    printf("rsrcgen: most processor time:");
    for (size_t k = 0; k < std::min<size_t>(4, order.size()); ++k)
        printf(" %s %.1f s;", jobs[order[k]].name.c_str(), seconds[order[k]]);
    printf("\n");
    return failures;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--icons") return icon::WriteAll(argv[2]) ? 0 : 1;
    if (argc != 3) {
        fprintf(stderr, "usage: %s <rsrc-dir> <preview-dir> | --icons <icon-dir>\n", argv[0]);
        return 1;
    }
    auto start = std::chrono::steady_clock::now();
    std::error_code ec;
    std::filesystem::create_directories(argv[1], ec);
    std::filesystem::create_directories(argv[2], ec);
    Output out(argv[1], argv[2]);

    std::vector<Job> jobs;
    AddAudioJobs(jobs);
    AddMapJobs(jobs);
    AddScreenJobs(jobs);
    AddSpriteJobs(jobs);
    int failures = RunJobs(jobs, out);
    std::vector<Job> previews;
    AddPreviewJobs(previews);
    if (failures == 0) failures = RunJobs(previews, out);
    jobs.insert(jobs.end(), previews.begin(), previews.end());
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("rsrcgen: %zu jobs, %d failed, %.1f s on %u threads\n", jobs.size(), failures, seconds, WorkerCount());
    return failures == 0 ? 0 : 1;
}
