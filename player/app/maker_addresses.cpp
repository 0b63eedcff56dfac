#include "player/app/maker_addresses.h"

namespace quillet {

std::string mailCommand(const std::string& address) { return "mailto:" + address; }

std::string authorWebAddress(const std::string& logoLink) {
    return logoLink.empty() ? std::string(kMakerWebSite) : logoLink;
}

std::string authorMailCommand(const std::string& logoMail) {
    return mailCommand(logoMail.empty() ? std::string(kMakerSupportAddress) : logoMail);
}

}  // namespace quillet
