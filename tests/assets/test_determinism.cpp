// Two runs of the generator give byte-identical files: the build's run and a
// fresh one here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "assets_helpers.h"
#include "testsupport.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

TEST(AssetGenerator, SecondRunGivesByteIdenticalFiles) {
    std::string dir = vdtest::MakeTempDir("rsrcgen");
    ASSERT_FALSE(dir.empty());
    std::string command = std::string(RSRCGEN_PATH) + " " + dir + "/rsrc " + dir + "/preview > " + dir + "/log.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadAll(dir + "/log.txt");
    for (const std::string& name : assets::AllAssetNames()) {
        std::string first = ReadAll(assets::Rsrc(name)), second = ReadAll(dir + "/rsrc/" + name);
        EXPECT_FALSE(first.empty()) << name;
        EXPECT_TRUE(first == second) << name << " differs between two runs";
    }
    vdtest::RemoveTree(dir);
}

}  // namespace
