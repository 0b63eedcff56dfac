#include "player/app/play_settings_entry.h"

namespace quillet {
namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

TimesEntry readTimesEntry(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && blank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const size_t firstDigit = i;
    // Only a value up to kMaxTimes matters: past that the digits are read, not added up.
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (value <= kMaxTimes) value = value * 10 + (text[i] - '0');
    const bool digits = i > firstDigit;
    while (i < text.size() && blank(text[i])) ++i;
    if (!digits || i != text.size()) return {TimesEntryResult::NotAnInteger, 0};
    if (negative) value = -value;
    if (value < kMinTimes || value > kMaxTimes) return {TimesEntryResult::OutOfRange, 0};
    return {TimesEntryResult::Accepted, static_cast<int32_t>(value)};
}

}  // namespace quillet
