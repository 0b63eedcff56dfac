// Stands in for the browser and the mail program in the end-to-end tests: the
// tests register it for web and mail addresses, and it appends the address it was
// given as a line of "opened.txt" beside itself.

#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string log = path;
    log = log.substr(0, log.find_last_of('\\') + 1) + "opened.txt";
    std::string address = commandLine ? commandLine : "";
    if (address.size() >= 2 && address.front() == '"' && address.back() == '"')
        address = address.substr(1, address.size() - 2);
    FILE* file = std::fopen(log.c_str(), "ab");
    if (!file) return 1;
    std::fprintf(file, "%s\n", address.c_str());
    std::fclose(file);
    return 0;
}
