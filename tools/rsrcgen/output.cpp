#include "output.h"

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
