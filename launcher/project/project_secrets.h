#pragma once
// The two values the launcher and the project builder must agree on: the key that
// scrambles the texts of the project description, and the archive password. They
// keep a casual reader from browsing a disc's files; they are no protection against
// anyone who reads the program.

namespace quillet::project {

// 25 characters. None of them is ';' to '>', so that the common lead bytes of UTF-8
// text (C2 to C5) never scramble to a zero byte, which would cut the text.
constexpr char kScrambleKey[] = "Vk7qPzX2mW9dRt4hLc8NbF6aJ";
constexpr unsigned kScrambleKeyLength = sizeof kScrambleKey - 1;
static_assert(kScrambleKeyLength == 25, "the scramble key has 25 characters");

constexpr char kArchivePassword[] = "gT5w!Hq2Zr8Ke";
static_assert(sizeof kArchivePassword - 1 == 13, "the archive password has 13 characters");

}  // namespace quillet::project
