#include "player/app/player_options.h"

#include <cstring>

#include "common/leading_number.h"

namespace quillet {
namespace {

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

struct NumberOption {
    const char* keyword;
    int32_t PlayerOptions::*field;
};
constexpr NumberOption kNumberOptions[] = {
    {"st:", &PlayerOptions::startTime},   {"et:", &PlayerOptions::endTime},
    {"tx:", &PlayerOptions::viewX},       {"ty:", &PlayerOptions::viewY},
    {"sx:", &PlayerOptions::controllerX}, {"sy:", &PlayerOptions::controllerY},
};

struct FlagOption {
    const char* keyword;
    int32_t PlayerOptions::*field;
};
constexpr FlagOption kFlagOptions[] = {
    {"q", &PlayerOptions::quitAfterPlay},
    {"p", &PlayerOptions::pFlag},
    {"l", &PlayerOptions::loopPlay},
    {"h", &PlayerOptions::minimizeController},
    {"o", &PlayerOptions::overRecordedArea},
};

void applyOption(const std::string& rest, PlayerOptions& options) {
    for (const FlagOption& flag : kFlagOptions) {
        if (rest == flag.keyword) {
            options.*flag.field = 1;
            return;
        }
    }
    if (startsWith(rest, "nc")) {
        options.noCaption = 1;
        return;
    }
    if (rest == "t") {
        options.topmost = 1;
        return;
    }
    for (const NumberOption& number : kNumberOptions) {
        if (startsWith(rest, number.keyword)) {
            options.*number.field = leadingNumber(rest.substr(std::strlen(number.keyword)));
            return;
        }
    }
}

}  // namespace

void ParseCommandLine(const std::vector<std::string>& arguments, PlayerOptions& options,
                      const std::function<bool(const std::string&)>& fileExists) {
    for (const std::string& argument : arguments) {
        if (argument.size() >= kArgumentBufferSize) continue;
        std::string lowered = argument;
        for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

        if (fileExists(lowered)) {
            std::memset(options.fileName, 0, sizeof options.fileName);
            std::memcpy(options.fileName, lowered.data(), lowered.size());
        }
        if (!lowered.empty() && lowered[0] == '/') applyOption(lowered.substr(1), options);
    }
}

}  // namespace quillet
