// The stand-in security component's decisions and names.

#include <gtest/gtest.h>

#include "launcher/viewer/security_rules.h"

namespace quillet::viewer {
namespace {

TEST(SecurityRules, GrantsOnlyAProjectThatMayOpen) {
    SecuritySettings settings;
    settings.recordsComplete = true;
    struct Case {
        const char* name;
        int32_t expiry;
        std::string required;
        bool requiredExists;
        bool complete;
        std::string folder;
        bool granted;
        const char* reason;
    };
    const Case cases[] = {
        {"plain", 0, "", false, true, "C:\\t\\p", true, ""},
        {"before expiry", 20300101, "", false, true, "C:\\t\\p", true, ""},
        {"on the expiry day", 20270615, "", false, true, "C:\\t\\p", true, ""},
        {"expired", 20270614, "", false, true, "C:\\t\\p", false, "This disc's project expired on 2027-06-14."},
        {"required file there", 0, "key.txt", true, true, "C:\\t\\p", true, ""},
        {"required file missing", 0, "key.txt", false, true, "C:\\t\\p", false,
         "This disc's project needs the file key.txt on its disc."},
        {"damaged records", 0, "", false, false, "C:\\t\\p", false, "This disc's project description is damaged."},
        {"no working folder", 0, "", false, true, "", false,
         "This disc's project names no working folder it may use."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings.expiryDate = c.expiry;
        settings.requiredFile = c.required;
        settings.recordsComplete = c.complete;
        const AccessDecision decision = decideAccess(settings, c.folder, 20270615, c.requiredExists);
        EXPECT_EQ(decision.granted, c.granted);
        EXPECT_EQ(decision.reason, c.reason);
    }
}

TEST(SecurityRules, TheWorkingFolderStaysUnderItsBase) {
    EXPECT_EQ(workingFolderUnder("C:\\Temp", "Orvane\\My Disc"), "C:\\Temp\\Orvane\\My Disc");
    EXPECT_EQ(workingFolderUnder("C:\\Temp", "Orvane/a/./b"), "C:\\Temp\\Orvane\\a\\b");
    // A text with a NUL is cut there by every call that takes it: "Orvane\0\\.." is "Orvane"
    // to them, and ".." to the checks would be something else.
    for (const std::string& hostile : {std::string(""), std::string("..\\up"), std::string("Orvane\\..\\..\\up"),
                                       std::string("C:\\Windows"), std::string("\\root"),
                                       std::string("\\\\server\\share"), std::string("."),
                                       std::string("..\0\\x", 5), std::string("Orvane\0\\..", 10),
                                       std::string("Orvane\r\nx")})
        EXPECT_EQ(workingFolderUnder("C:\\Temp", hostile), "") << hostile;
    EXPECT_EQ(workingFolderUnder("", "Orvane"), "");
}

TEST(SecurityRules, TargetNamesUseBackslashesAndKeepFolders) {
    EXPECT_EQ(targetNameOf("pages/index.html"), "pages\\index.html");
    EXPECT_EQ(targetNameOf("pages/"), "pages\\");
    EXPECT_EQ(targetNameOf("../evil.txt"), "");
    EXPECT_EQ(targetNameOf("/etc/passwd"), "");
    // A content item of a description is a name too: "..\0" opens the folder above.
    EXPECT_EQ(targetNameOf(std::string("..\0", 3)), "");
    EXPECT_EQ(targetNameOf(std::string("..\0/", 4)), "");
    EXPECT_EQ(requiredFilePath("D:", std::string("..\0x", 4)), "");
    EXPECT_EQ(requiredFilePath("D:", "keys/key.txt"), "D:\\keys\\key.txt");
    EXPECT_EQ(requiredFilePath("D:", "..\\key.txt"), "");
}

}  // namespace
}  // namespace quillet::viewer
