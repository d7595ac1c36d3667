// Compiled into every test binary: sets the environment the binary needs
// before main runs, so it behaves the same under CTest and by hand.
#include <cstdlib>

namespace {

struct TestEnvironment {
    TestEnvironment() {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
#if VD_TEST_VIDEO_DUMMY
        setenv("SDL_VIDEODRIVER", "dummy", 1);
#endif
        setenv("VD_BINARY_DIR", VD_BINARY_DIR, 0);
        setenv("VD_SOURCE_DIR", VD_SOURCE_DIR, 0);
    }
};

const TestEnvironment environment;

}  // namespace
