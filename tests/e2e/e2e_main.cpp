#include <gtest/gtest.h>

#include <cstring>

#include "player_fixture.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const char kPlayer[] = "--player=";
        if (std::strncmp(argv[i], kPlayer, sizeof kPlayer - 1) == 0)
            quillet::e2e::setPlayerPath(argv[i] + sizeof kPlayer - 1);
        const char kProducer[] = "--producer=";
        if (std::strncmp(argv[i], kProducer, sizeof kProducer - 1) == 0)
            quillet::e2e::setProducerPath(argv[i] + sizeof kProducer - 1);
    }
    return RUN_ALL_TESTS();
}
