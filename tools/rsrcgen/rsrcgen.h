// The generator's jobs and what they share. Each job makes one or a few files
// under the output folder; jobs run on several threads and share nothing but
// the store of finished pictures the previews are assembled from.
#ifndef RSRCGEN_RSRCGEN_H
#define RSRCGEN_RSRCGEN_H

#include <functional>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "raster.h"

class Output {
public:
    Output(std::string rsrcDir, std::string previewDir)
        : rsrc_(std::move(rsrcDir)), preview_(std::move(previewDir)) {}
    std::string Rsrc(const std::string& name) const { return rsrc_ + "/" + name; }
    std::string Preview(const std::string& name) const { return preview_ + "/" + name; }

    // Keeps a finished picture for the previews (thread-safe).
    void Keep(const std::string& name, Raster r);
    // A kept picture; an empty one when nothing was kept under that name.
    const Raster& Kept(const std::string& name) const;

private:
    std::string rsrc_, preview_;
    mutable std::mutex mutex_;
    std::map<std::string, Raster> kept_;
};

// A job's failure: the file named could not be made.
struct JobError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// Throws JobError naming `path` when a writer reported failure.
void Check(bool written, const std::string& path);

struct Job {
    std::string name;
    double cost;  // rough seconds, so the longest jobs start first
    std::function<void(Output&)> run;
};

void AddMapJobs(std::vector<Job>& jobs);      // Mapa_*, Colision_Mapa_*
void AddScreenJobs(std::vector<Job>& jobs);   // full-screen pictures and the far background
void AddSpriteJobs(std::vector<Job>& jobs);   // frame sheets, nano_c, preto, time bar
void AddAudioJobs(std::vector<Job>& jobs);    // batida.wav, morreu.ogg, bgmusic.ogg
// Previews read the kept pictures: they run once every other job is done.
void AddPreviewJobs(std::vector<Job>& jobs);

#endif
