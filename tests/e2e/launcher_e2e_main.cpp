#include <gtest/gtest.h>

#include <cstring>

#include "launcher_fixture.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const char kDiscs[] = "--discs=";
        if (std::strncmp(argv[i], kDiscs, sizeof kDiscs - 1) == 0)
            quillet::e2e::setDiscsFolder(argv[i] + sizeof kDiscs - 1);
    }
    return RUN_ALL_TESTS();
}
