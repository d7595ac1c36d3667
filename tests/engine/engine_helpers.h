// Shared pieces of the engine tests: a folder of pictures written by the
// test itself, and an engine started for the length of one test.
#ifndef VD_ENGINE_HELPERS_H
#define VD_ENGINE_HELPERS_H

#include <gtest/gtest.h>

#include <string>

#include "brisa2d2.h"
#include "testsupport.h"

namespace vdtest {

const Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255}, kWhite{255, 255, 255, 255};
const Rgba kYellow{255, 255, 0, 255}, kBlack{0, 0, 0, 255}, kClear{0, 0, 0, 0}, kMagenta{255, 0, 255, 255};

// A temporary folder that disappears with the object.
class ImageDir {
public:
    explicit ImageDir(const std::string& tag) : dir_(MakeTempDir(tag)) {}
    ~ImageDir() { RemoveTree(dir_); }
    // Writes `pic` as <dir>/<name> and returns the path.
    std::string Png(const std::string& name, const Picture& pic, bool alpha = true) const {
        std::string path = dir_ + "/" + name;
        EXPECT_TRUE(WritePng(path, pic, alpha)) << path;
        return path;
    }
    // A w x h picture in one colour.
    std::string Solid(const std::string& name, int w, int h, Rgba c, bool alpha = true) const {
        return Png(name, Picture(w, h, c), alpha);
    }
    const std::string& path() const { return dir_; }

private:
    std::string dir_;
};

// A 2x2 sheet of fw x fh frames: red, green / blue, yellow (frames 0..3).
inline Picture FourColourSheet(int fw, int fh) {
    Picture p(2 * fw, 2 * fh);
    p.fill(0, 0, fw, fh, kRed);
    p.fill(fw, 0, fw, fh, kGreen);
    p.fill(0, fh, fw, fh, kBlue);
    p.fill(fw, fh, fw, fh, kYellow);
    return p;
}

inline BRZ_SpriteSet& Slot(unsigned int id) { return sprites[id - 1]; }

// Number of occupied sprite slots.
inline int OccupiedSlots() {
    int n = 0;
    for (const BRZ_SpriteSet& s : sprites) n += s.imagem != nullptr;
    return n;
}

}  // namespace vdtest

#endif
