#pragma once
// The maker's web site and support address, and the addresses the web and mail
// buttons open: a movie's author may name his own in the movie's logo record.

#include <string>

namespace quillet {

constexpr char kMakerWebSite[] = "https://tavrix.example.com/";
constexpr char kMakerSupportAddress[] = "support@tavrix.example.com";

// "mailto:" and the address.
std::string mailCommand(const std::string& address);
// The author's page, or the maker's site when the movie names none.
std::string authorWebAddress(const std::string& logoLink);
// Mail to the author, or to the maker's support when the movie names no address.
std::string authorMailCommand(const std::string& logoMail);

}  // namespace quillet
