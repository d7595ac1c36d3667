// rsrcgen: makes every picture, sound and piece of music the game loads.
//
//   rsrcgen <rsrc-dir> <preview-dir>
//
// Writes the game's files into <rsrc-dir> and an overview of the vessel, a
// contact sheet and a few composed play screens into <preview-dir>. Exit status
// 0 when every file was written, 1 otherwise.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "rsrcgen.h"

void Output::Keep(const std::string& name, Raster r) {
    std::lock_guard<std::mutex> lock(mutex_);
    kept_[name] = std::move(r);
}

const Raster& Output::Kept(const std::string& name) const {
    static const Raster kNone;
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = kept_.find(name);
    return it == kept_.end() ? kNone : it->second;
}

void Check(bool written, const std::string& path) {
    if (!written) throw JobError("could not write " + path);
}

namespace {

// Two cores is the target machine; more threads only help where there are more.
unsigned WorkerCount() {
    unsigned n = std::thread::hardware_concurrency();
    return std::clamp(n, 1u, 8u);
}

// Runs every job, longest first, on a few threads; returns how many failed.
int RunJobs(std::vector<Job>& jobs, Output& out) {
    std::stable_sort(jobs.begin(), jobs.end(), [](const Job& a, const Job& b) { return a.cost > b.cost; });
    std::atomic<size_t> next{0};
    std::atomic<int> failures{0};
    auto worker = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++) {
            try {
                jobs[i].run(out);
            } catch (const std::exception& e) {
                fprintf(stderr, "rsrcgen: %s failed: %s\n", jobs[i].name.c_str(), e.what());
                ++failures;
            }
        }
    };
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < WorkerCount(); ++t) threads.emplace_back(worker);
    for (std::thread& t : threads) t.join();
    return failures;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s <rsrc-dir> <preview-dir>\n", argv[0]);
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
    if (failures == 0) {
        try {
            WritePreviews(out);
        } catch (const std::exception& e) {
            fprintf(stderr, "rsrcgen: previews failed: %s\n", e.what());
            ++failures;
        }
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("rsrcgen: %zu jobs, %d failed, %.1f s on %u threads\n", jobs.size(), failures, seconds, WorkerCount());
    return failures == 0 ? 0 : 1;
}
