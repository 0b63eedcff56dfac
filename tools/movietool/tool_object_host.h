#pragma once
// Reading objects for the tools: stored sounds are described, not written out, and
// the messages a player would show are kept for the report.

#include <string>
#include <vector>

#include "player/objects/object_section.h"

namespace quillet {

class ToolObjectHost : public ObjectReadHost {
public:
    std::string createSoundFile(const std::string& name) override { return name.empty() ? "(stored)" : name; }
    bool appendFile(const std::string&, const uint8_t*, size_t) override { return true; }
    std::string attachedSoundPath(const AttachedSound& sound, bool) override { return sound.name; }
    void report(const char* text) override { messages.push_back(text); }
    void afterSection(bool) override {}

    std::vector<std::string> messages;
};

}  // namespace quillet
