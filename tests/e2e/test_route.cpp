// The route file the pilot writes and the end-to-end tests read back.
#include <gtest/gtest.h>

#include <fstream>

#include "route.h"
#include "testsupport.h"

namespace {

class RouteFile : public ::testing::Test {
protected:
    void SetUp() override { dir = vdtest::MakeTempDir("route"); }
    void TearDown() override { vdtest::RemoveTree(dir); }
    std::string Write(const std::string& text) {
        std::string path = dir + "/route.txt";
        std::ofstream(path) << text;
        return path;
    }
    std::string dir;
};

pilot::Input In(bool up, bool down, bool space) {
    pilot::Input in;
    in.up = up;
    in.down = down;
    in.space = space;
    return in;
}

TEST_F(RouteFile, WrittenRouteReadsBackFrameForFrameInRuns) {
    pilot::Route route;
    route.frames = {In(0, 0, 0), In(1, 0, 0), In(1, 0, 0), In(0, 1, 1), In(1, 1, 0), In(1, 1, 0), In(0, 0, 1)};
    std::string path = dir + "/out.txt", error;
    ASSERT_TRUE(pilot::WriteRoute(path, route, &error)) << error;
    pilot::Route back;
    ASSERT_TRUE(pilot::ReadRoute(path, &back, &error)) << error;
    EXPECT_EQ(back.frames, route.frames);
    // Equal neighbouring frames share one line: 5 runs, one 'frames' line, two comments.
    std::ifstream in(path);
    int lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    EXPECT_EQ(lines, 5 + 1 + 2);
}

TEST_F(RouteFile, EmptyRouteRoundTrips) {
    std::string path = dir + "/empty.txt", error;
    ASSERT_TRUE(pilot::WriteRoute(path, pilot::Route{}, &error)) << error;
    pilot::Route back;
    back.frames.resize(3);
    ASSERT_TRUE(pilot::ReadRoute(path, &back, &error)) << error;
    EXPECT_TRUE(back.frames.empty());
}

TEST_F(RouteFile, MalformedFilesAreRejectedWithTheLine) {
    struct Case {
        const char* text;
        const char* where;  // expected in the error
    } cases[] = {
        {"2 0 0 0\n", ":1"},                         // runs before the frame count
        {"frames 3\n2 0 0 0\n1 2 0 0\n", ":3"},      // a flag other than 0 or 1
        {"frames 3\n0 0 0 0\n", ":2"},               // an empty run
        {"frames 3\n2 0 0 0\n2 1 0 0\n", ":3"},      // more frames than declared
        {"frames 3\n2 0 0 0\n", "2 frames listed"},  // fewer frames than declared
        {"frames 3\n3 0 0\n", ":2"},                 // a missing column
        {"# only a comment\n", "no 'frames' line"},
    };
    for (const Case& c : cases) {
        pilot::Route route;
        std::string error;
        EXPECT_FALSE(pilot::ReadRoute(Write(c.text), &route, &error)) << c.text;
        EXPECT_NE(error.find(c.where), std::string::npos) << c.text << " -> " << error;
    }
}

TEST_F(RouteFile, MissingFileIsAnError) {
    pilot::Route route;
    std::string error;
    EXPECT_FALSE(pilot::ReadRoute(dir + "/none.txt", &route, &error));
    EXPECT_NE(error.find("none.txt"), std::string::npos);
}

}  // namespace
