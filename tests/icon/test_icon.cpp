// The icon files the build generated under <build>/icons/hicolor: one PNG per
// size of the theme, each the nanobot on a disc of blood at that size, and an
// all-vector SVG; a second run of the generator writes the same bytes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "testsupport.h"

namespace {

const int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

std::string IconDir() { return std::string(VD_BINARY_DIR) + "/icons"; }

std::string PngPath(const std::string& dir, int size) {
    std::string n = std::to_string(size);
    return dir + "/hicolor/" + n + "x" + n + "/apps/vessel-drift.png";
}

std::string SvgPath(const std::string& dir) { return dir + "/hicolor/scalable/apps/vessel-drift.svg"; }

std::string ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Shares of the icon's area by what a pixel shows.
struct Shares {
    double opaque = 0, eye = 0, hull = 0, blood = 0;
};

Shares Measure(const vdtest::Picture& p) {
    Shares s;
    for (const vdtest::Rgba& c : p.px) {
        if (c.a < 128) continue;
        s.opaque += 1;
        if (c.b > 180 && c.g > 150 && c.r < 140)
            s.eye += 1;  // the glowing cyan eye
        else if (std::abs(c.r - c.g) < 25 && std::abs(c.g - c.b) < 30 && c.r > 120)
            s.hull += 1;  // light grey metal
        else if (c.r > 90 && c.r > 2 * c.g && c.r > 2 * c.b)
            s.blood += 1;
    }
    double area = double(p.w) * p.h;
    return {s.opaque / area, s.eye / area, s.hull / area, s.blood / area};
}

class IconSize : public ::testing::TestWithParam<int> {};

TEST_P(IconSize, IsTheNanobotOnADiscOfBlood) {
    int size = GetParam();
    vdtest::Picture p;
    ASSERT_TRUE(vdtest::ReadPng(PngPath(IconDir(), size), p)) << PngPath(IconDir(), size);
    ASSERT_EQ(p.w, size);
    ASSERT_EQ(p.h, size);
    // A round icon: clear corners, a solid middle.
    for (int y : {0, size - 1})
        for (int x : {0, size - 1}) EXPECT_EQ(p.at(x, y).a, 0) << "corner " << x << "," << y;
    EXPECT_EQ(p.at(size / 2, size / 2).a, 255);
    // The disc covers pi/4 of the square; the eye, the hull and the blood show
    // at every size, 16 px included.
    Shares s = Measure(p);
    EXPECT_GT(s.opaque, 0.65);
    EXPECT_LT(s.opaque, 0.80);
    EXPECT_GT(s.eye, 0.005) << "the eye is not visible";
    EXPECT_GT(s.hull, 0.06) << "the hull is not visible";
    EXPECT_GT(s.blood, 0.08) << "the blood disc is not visible";
}

INSTANTIATE_TEST_SUITE_P(Theme, IconSize, ::testing::ValuesIn(kSizes),
                         [](const ::testing::TestParamInfo<int>& i) { return "px" + std::to_string(i.param); });

TEST(IconSvg, IsOneSquareOfVectorShapes) {
    std::string svg = ReadAll(SvgPath(IconDir()));
    ASSERT_FALSE(svg.empty());
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("viewBox=\"0 0 256 256\""), std::string::npos);
    // No picture embedded: it scales without blurring.
    EXPECT_EQ(svg.find("<image"), std::string::npos);
    EXPECT_NE(svg.find("<radialGradient"), std::string::npos);
}

TEST(IconGenerator, SecondRunGivesByteIdenticalFiles) {
    std::string dir = vdtest::MakeTempDir("icons");
    ASSERT_FALSE(dir.empty());
    std::string command = std::string(RSRCGEN_PATH) + " --icons " + dir + " > " + dir + "/log.txt 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadAll(dir + "/log.txt");
    std::vector<std::string> paths;
    for (int size : kSizes) paths.push_back(PngPath("", size));
    paths.push_back(SvgPath(""));
    for (const std::string& path : paths) {
        std::string first = ReadAll(IconDir() + path), second = ReadAll(dir + path);
        EXPECT_FALSE(first.empty()) << path;
        EXPECT_TRUE(first == second) << path << " differs between two runs";
    }
    vdtest::RemoveTree(dir);
}

TEST(IconGenerator, FailsWhenItCannotWrite) {
    std::string command = std::string(RSRCGEN_PATH) + " --icons /proc/no-such-folder > /dev/null 2>&1";
    EXPECT_NE(std::system(command.c_str()), 0);
}

}  // namespace
