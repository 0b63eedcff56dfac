// A stand-in for the recording suite's producer program, which lies outside this
// system. The player's Edit command starts it as
//     tavrix "C:\path\to\movie.exe"
// It writes the movie path it was given to "tavrix-request.txt" beside itself, so
// that a test can see the request arrived whole, and ends.

#include <windows.h>

#include <fstream>
#include <string>

namespace {

std::string ownFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    const size_t slash = folder.find_last_of('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

// The first argument: a quoted text, or everything up to the first space.
std::string firstArgument(const char* commandLine) {
    std::string rest = commandLine ? commandLine : "";
    size_t start = rest.find_first_not_of(' ');
    if (start == std::string::npos) return {};
    if (rest[start] == '"') {
        const size_t end = rest.find('"', start + 1);
        return rest.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
    }
    return rest.substr(start, rest.find(' ', start) - start);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const std::string movie = firstArgument(commandLine);
    std::ofstream request(ownFolder() + "tavrix-request.txt", std::ios::binary);
    if (!request) return 1;
    request << movie << '\n';
    return movie.empty() ? 2 : 0;
}
