// Writes every hostile movie as NAME.qmv into a folder, and a list of them
// (movies.txt: name, refused, planted file, what; tab-separated) for the scripts
// that feed them to the tools.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/hostile_movies.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_hostile_movies FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::ofstream list(folder / "movies.txt", std::ios::binary | std::ios::trunc);
    for (const quillet::testing::HostileMovie& movie : quillet::testing::hostileMovies()) {
        std::ofstream out(folder / (movie.name + ".qmv"), std::ios::binary | std::ios::trunc);
        out.write(movie.bytes.data(), static_cast<std::streamsize>(movie.bytes.size()));
        list << movie.name << '\t' << (movie.refused ? 1 : 0) << '\t' << (movie.plantedFile.empty() ? "-" : movie.plantedFile)
             << '\t' << movie.what << '\n';
        if (!out || !list) {
            std::fprintf(stderr, "write_hostile_movies: cannot write %s into %s\n", movie.name.c_str(), argv[1]);
            return 1;
        }
    }
    return 0;
}
