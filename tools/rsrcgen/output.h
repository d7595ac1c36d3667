// Where the generator's jobs put what they make: the game's files under the
// output folder, the previews beside them, and the finished pictures kept in
// memory for the previews. Shared by every job thread.
#ifndef RSRCGEN_OUTPUT_H
#define RSRCGEN_OUTPUT_H

#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>

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

#endif
