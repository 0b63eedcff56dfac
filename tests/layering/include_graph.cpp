// The folder tree is the layering: this program reads every `#include "a/b/..."`
// line of the product folders, prints the graph between folders, and fails when the
// graph breaks a rule:
//
//   - no cycle between folders (two folders that include each other are the
//     shortest cycle and are named as such);
//   - a file outside a win32/ folder never includes <windows.h>;
//   - nothing outside player/app includes player/app.
//
// A folder is `common`, `bench`, `tests/fuzz` or two levels below `player`,
// `launcher` or `tools` (`player/playback`); files in its win32/ subfolder belong
// to it. The optional FOLDER arguments limit the rules to the folders that start
// with one of them; the graph is always printed whole.
//
//   include_graph ROOT [FOLDER...]

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Graph = std::map<std::string, std::set<std::string>>;

const char* const kProductRoots[] = {"common", "player", "launcher", "tools", "bench", "tests/fuzz"};
const char* const kAppFolder = "player/app";

std::vector<std::string> parts(const std::string& path) {
    std::vector<std::string> out;
    for (const fs::path& part : fs::path(path)) out.push_back(part.generic_string());
    return out;
}

// The folder a repository path belongs to, or empty when it is in none.
std::string folderOf(const std::string& path) {
    const std::vector<std::string> p = parts(path);
    if (p.size() < 2) return {};
    if (p[0] == "common" || p[0] == "bench") return p[0];
    if (p.size() < 3) return {};
    if (p[0] == "player" || p[0] == "launcher" || p[0] == "tools" || p[0] == "tests") return p[0] + "/" + p[1];
    return {};
}

bool inWin32Folder(const std::string& path) {
    const std::vector<std::string> p = parts(path);
    return std::find(p.begin(), p.end(), "win32") != p.end();
}

bool isSource(const fs::path& file) {
    static const std::set<std::string> kExtensions = {".h", ".hpp", ".c", ".cc", ".cpp", ".inl", ".rc"};
    return kExtensions.count(file.extension().string()) != 0;
}

std::string lowercase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The text between the delimiters after `#include`, with open the delimiter seen.
bool includeTarget(const std::string& line, char& open, std::string& target) {
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#') return false;
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string::npos || line.compare(i, 7, "include") != 0) return false;
    i = line.find_first_not_of(" \t", i + 7);
    if (i == std::string::npos || (line[i] != '"' && line[i] != '<')) return false;
    open = line[i];
    const size_t end = line.find(open == '"' ? '"' : '>', i + 1);
    if (end == std::string::npos) return false;
    target = line.substr(i + 1, end - i - 1);
    return true;
}

struct Scan {
    Graph graph;
    // file -> the folder it includes, for the report of a broken rule
    std::map<std::pair<std::string, std::string>, std::string> firstIncluder;
    std::vector<std::string> portableWindowsFiles;
};

Scan scan(const fs::path& root) {
    Scan result;
    for (const char* top : kProductRoots) {
        if (!fs::is_directory(root / top)) continue;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / top)) {
            if (!entry.is_regular_file() || !isSource(entry.path())) continue;
            const std::string file = fs::relative(entry.path(), root).generic_string();
            const std::string from = folderOf(file);
            if (from.empty()) continue;
            result.graph[from];
            std::ifstream in(entry.path());
            std::string line, target;
            char open = 0;
            while (std::getline(in, line)) {
                if (!includeTarget(line, open, target)) continue;
                if (open == '<') {
                    if (lowercase(target) == "windows.h" && !inWin32Folder(file))
                        result.portableWindowsFiles.push_back(file);
                    continue;
                }
                const std::string to = folderOf(target);
                if (to.empty() || to == from) continue;
                result.graph[from].insert(to);
                result.firstIncluder.emplace(std::make_pair(from, to), file);
            }
        }
    }
    return result;
}

// Strongly connected components with more than one folder (Tarjan).
std::vector<std::vector<std::string>> cycles(const Graph& graph) {
    std::map<std::string, int> index, low;
    std::vector<std::string> stack;
    std::set<std::string> onStack;
    std::vector<std::vector<std::string>> found;
    int next = 0;
    std::function<void(const std::string&)> visit = [&](const std::string& v) {
        index[v] = low[v] = next++;
        stack.push_back(v);
        onStack.insert(v);
        const auto edges = graph.find(v);
        if (edges != graph.end())
            for (const std::string& w : edges->second) {
                if (!index.count(w)) {
                    visit(w);
                    low[v] = std::min(low[v], low[w]);
                } else if (onStack.count(w)) {
                    low[v] = std::min(low[v], index[w]);
                }
            }
        if (low[v] != index[v]) return;
        std::vector<std::string> component;
        std::string w;
        do {
            w = stack.back();
            stack.pop_back();
            onStack.erase(w);
            component.push_back(w);
        } while (w != v);
        if (component.size() > 1) {
            std::sort(component.begin(), component.end());
            found.push_back(component);
        }
    };
    for (const auto& [v, edges] : graph)
        if (!index.count(v)) visit(v);
    return found;
}

bool checked(const std::string& folderOrFile, const std::vector<std::string>& scope) {
    if (scope.empty()) return true;
    for (const std::string& prefix : scope)
        if (folderOrFile.compare(0, prefix.size(), prefix) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: include_graph ROOT [FOLDER...]\n");
        return 2;
    }
    const fs::path root = argv[1];
    const std::vector<std::string> scope(argv + 2, argv + argc);
    const Scan result = scan(root);

    for (const auto& [from, targets] : result.graph) {
        std::printf("%s ->", from.c_str());
        for (const std::string& to : targets) std::printf(" %s", to.c_str());
        std::printf("\n");
    }

    int faults = 0;
    auto fault = [&faults](const std::string& text) {
        std::printf("FAULT: %s\n", text.c_str());
        ++faults;
    };
    for (const auto& [from, targets] : result.graph)
        for (const std::string& to : targets) {
            if (from < to && result.graph.count(to) && result.graph.at(to).count(from) &&
                (checked(from, scope) || checked(to, scope)))
                fault("folders include each other: " + from + " (" + result.firstIncluder.at({from, to}) + ") <-> " +
                      to + " (" + result.firstIncluder.at({to, from}) + ")");
            if (to == kAppFolder && checked(from, scope))
                fault(from + " includes " + kAppFolder + " (" + result.firstIncluder.at({from, to}) + ")");
        }
    for (const std::vector<std::string>& component : cycles(result.graph)) {
        if (std::none_of(component.begin(), component.end(),
                         [&scope](const std::string& folder) { return checked(folder, scope); }))
            continue;
        std::string text = "cycle among";
        for (const std::string& folder : component) text += " " + folder;
        fault(text);
    }
    for (const std::string& file : result.portableWindowsFiles)
        if (checked(file, scope)) fault(file + " includes <windows.h> outside a win32/ folder");

    if (faults) std::printf("%d layering fault%s\n", faults, faults == 1 ? "" : "s");
    return faults ? 1 : 0;
}
