#pragma once
// The two values the launcher and the project builder must agree on: the key that
// scrambles the texts of the project description, and the archive password. They
// keep a casual reader from browsing a disc's files; they are no protection against
// anyone who reads the program.

namespace quillet::project {

// 25 characters, letters and digits from 0x32 to 0x7A. A text byte b scrambles to the
// zero that ends a text wherever the key byte at its position is 256 - b: a byte from
// 0x86 to 0xCE whose complement is in the key cannot be stored at that character's
// positions, about one in 25. Plain ASCII is always stored. None of the key is ';' to '>', so the lead
// bytes C2 to C5 (UTF-8 letters up to U+017F) are too; their second bytes (0x80 to
// 0xBF) are not, and neither are other lead bytes up to CE: whether an accented UTF-8
// text can be stored depends on where its letters fall. The project builder says which
// byte failed.
constexpr char kScrambleKey[] = "Vk7qPzX2mW9dRt4hLc8NbF6aJ";
constexpr unsigned kScrambleKeyLength = sizeof kScrambleKey - 1;
static_assert(kScrambleKeyLength == 25, "the scramble key has 25 characters");

constexpr char kArchivePassword[] = "gT5w!Hq2Zr8Ke";
static_assert(sizeof kArchivePassword - 1 == 13, "the archive password has 13 characters");

}  // namespace quillet::project
