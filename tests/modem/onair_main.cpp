// The on-air tests' main. After a test has killed the sound server, Qt's PulseAudio backend can
// deadlock in its exit-time destructor, so the results are reported and the process ends without
// running the library's exit handlers (as the program itself does).

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    std::fflush(nullptr);
    std::_Exit(rc);
}
