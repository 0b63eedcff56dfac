#pragma once
// What the Setup dialog accepts: the number of runs typed into its Times box, and
// the zoom choices of its list.

#include <cstdint>
#include <string>

namespace quillet {

constexpr int32_t kMinTimes = 1;
constexpr int32_t kMaxTimes = 10;

// The zoom list's items, in the order of the zoom index.
constexpr const char* kZoomItems[] = {"200 %", "150 %", "100 %", "75 %", "50 %"};
constexpr int32_t kZoomItemCount = static_cast<int32_t>(sizeof kZoomItems / sizeof kZoomItems[0]);

enum class TimesEntryResult { Accepted, NotAnInteger, OutOfRange };

struct TimesEntry {
    TimesEntryResult result = TimesEntryResult::NotAnInteger;
    int32_t value = 0;  // when accepted
};

// Reads the Times box: blanks, an optional sign, digits and blanks make an integer,
// anything else does not. An integer outside kMinTimes..kMaxTimes, however many
// digits it has, is out of range.
TimesEntry readTimesEntry(const std::string& text);

}  // namespace quillet
