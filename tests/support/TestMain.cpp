#include <cstdio>
#include <gmock/gmock.h>

int main(int argc, char** argv) {
    // The mingw runtime buffers a piped stdout fully; CTest must see output even when a test hangs.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
