#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "player_fixture.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const std::pair<const char*, void (*)(const std::string&)> options[] = {
        {"--player=", quillet::e2e::setPlayerPath},
        {"--producer=", quillet::e2e::setProducerPath},
        {"--movietool=", quillet::e2e::setMovietoolPath},
        {"--recorder=", quillet::e2e::setRecorderPath},
    };
    for (int i = 1; i < argc; ++i)
        for (const auto& [name, set] : options)
            if (std::strncmp(argv[i], name, std::strlen(name)) == 0) set(argv[i] + std::strlen(name));
    return RUN_ALL_TESTS();
}
