// The File Properties and About dialogs in the real player: their texts, the
// thumbnail against a still of the same frame, and the addresses their web and
// mail buttons hand to the shell.

#include <gtest/gtest.h>

#include <fstream>

#include "dialog_fixture.h"
#include "shell_handlers.h"
#include "tools/moviewriter/object_description.h"

namespace quillet::e2e {
namespace {

constexpr char kFilePropertiesCaption[] = "File Properties";
constexpr char kAboutCaption[] = "Tavrix Player Properties";
constexpr int kThumbnailFrame = 106, kCredit = 1004, kEditButton = 1040, kVersionLine = 1041, kCreatedBy = 1042;
constexpr int kDate = 1043, kDescription = 1044, kRecordedArea = 1045, kFileLength = 1046, kFileSize = 1047;
constexpr int kAuthorWeb = 1066, kSendMail = 32779, kMakerWeb = 32780, kAboutTitle = 1003;
constexpr char kMakerSite[] = "https://tavrix.example.com/";
constexpr char kMakerMail[] = "mailto:support@tavrix.example.com";

uint64_t fileSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? static_cast<uint64_t>(in.tellg()) : 0;
}

// n with a comma before every three digits from the right.
std::string commaGrouped(uint64_t n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

class FilePropertiesTest : public IdlePlayerTest {
protected:
    HWND openProperties() {
        HWND dialog = openFromToolbar(kCommandProperties, kFilePropertiesCaption);
        EXPECT_TRUE(dialog) << "Properties did not open its dialog";
        return dialog;
    }
    void closeDialog(HWND dialog) {
        ASSERT_TRUE(driver::pressButton(dialog, "OK"));
        ASSERT_TRUE(driver::waitForWindowGone(dialog));
    }
    // Registers the recorder as browser and mail program; what it is asked to open
    // lands in opened.txt in the test's folder.
    void recordOpenedAddresses() {
        ASSERT_FALSE(recorderPath().empty()) << "run with --recorder=PATH";
        const std::string recorder = folder_ + "\\open_recorder.exe";
        ASSERT_TRUE(::CopyFileA(recorderPath().c_str(), recorder.c_str(), FALSE));
        handlers_ = std::make_unique<ShellHandlers>(recorder, std::vector<std::string>{"http", "https", "mailto"});
        ASSERT_TRUE(handlers_->installed());
    }
    // Waits until the recorder has been asked for count addresses, and gives them.
    // Each address starts a recorder process of its own, so a test waits for one
    // before it asks for the next: two started at once may write in either order.
    std::vector<std::string> openedAddresses(size_t count) {
        std::vector<std::string> lines;
        driver::waitUntil([&] {
            lines.clear();
            std::ifstream in(folder_ + "\\opened.txt");
            for (std::string line; std::getline(in, line);) lines.push_back(line);
            return lines.size() >= count;
        }, 10000);
        return lines;
    }
    void TearDown() override {
        IdlePlayerTest::TearDown();
        handlers_.reset();
    }

    std::unique_ptr<ShellHandlers> handlers_;
};

TEST_F(FilePropertiesTest, ShowsTheMoviesHeaderAreaLengthAndFileSize) {
    TestMovieShape shape{25, 100, {640, 480, 32}, {10, 20, 330, 260}};
    shape.holdAt = 3;
    shape.holdMs = -600;  // a hold counts by its magnitude: 2.5 s + 0.6 s
    shape.signature = "Tavrix Movie Ver. 3.0";
    shape.description = "Installing & testing the printer";
    shape.createdBy = "R. Okafor";
    shape.date = "2006-12-02, 11:21:48";
    startIdle(shape);
    HWND dialog = openProperties();
    ASSERT_TRUE(dialog);
    const uint64_t bytes = fileSize(moviePath_);
    ASSERT_GT(bytes, 1000000u);
    const std::pair<int, std::string> expected[] = {
        {kVersionLine, "Tavrix Movie Ver. 3.0 Final"},
        {kCreatedBy, "Created by : R. Okafor"},
        {kDate, "Date : 2006-12-02, 11:21:48"},
        {kRecordedArea, "Recorded Area : 10, 20, 330, 260 (L, T, R, B)"},
        {kFileLength, "File Length : 3 Sec"},
        {kFileSize, "File Size : " + commaGrouped(bytes / 1000) + " KB"},
        {kDescription, "Description : Installing & testing the printer"},
        {kCredit, "This file was created using Tavrix 2000 from Halvern Systems Co., Ltd."},
        {IDOK, "&OK"},
        {kAuthorWeb, "&Visit Web Site"},
        {kSendMail, "Send E-&mail"},
        {kMakerWeb, "Visit Web Site(&H)"},
        {kEditButton, "&Edit"},
    };
    for (const auto& [id, text] : expected) EXPECT_EQ(itemText(dialog, id), text) << "control " << id;
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, kMakerWeb)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, kEditButton)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, kEditButton)));
    closeDialog(dialog);
}

TEST_F(FilePropertiesTest, SizeOfALargeMovieInThousandsOfBytesWithSeparators) {
    TestMovieShape shape{12, 100, {640, 480, 32}, {0, 0, 640, 480}};
    shape.noise = true;  // bands that do not compress: several megabytes
    startIdle(shape);
    HWND dialog = openProperties();
    ASSERT_TRUE(dialog);
    const uint64_t bytes = fileSize(moviePath_);
    ASSERT_GT(bytes, 5000000u);
    EXPECT_EQ(itemText(dialog, kFileSize), "File Size : " + commaGrouped(bytes / 1000) + " KB");
    EXPECT_EQ(itemText(dialog, kVersionLine), "") << "the writer's signature does not begin with the product's name";
    closeDialog(dialog);
}

TEST_F(FilePropertiesTest, SizeIsUnknownOnceTheMoviesFileIsGone) {
    startIdle({10, 50});
    ASSERT_TRUE(::MoveFileA(moviePath_.c_str(), (folder_ + "\\moved.exe").c_str())) << ::GetLastError();
    HWND dialog = openProperties();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(itemText(dialog, kFileSize), "File Size : Unknown");
    closeDialog(dialog);
}

TEST_F(FilePropertiesTest, ThumbnailIsAStillOfTheFirstFrameWithItsObjects) {
    ASSERT_FALSE(movietoolPath().empty()) << "run with --movietool=PATH";
    TestMovieShape shape{10, 50};
    std::string error;
    ASSERT_TRUE(parseObjectDescription("rect id=1 first=0 frames=3 body=40,60,200,160 line=ff0000 width=6\n"
                                       "rect id=2 first=5 frames=3 body=20,20,100,100 line=0000ff width=6\n",
                                       shape.objects, error))
        << error;
    shape.logo = true;
    startIdle(shape);
    HWND dialog = openProperties();
    ASSERT_TRUE(dialog);
    HWND thumbnail = ::FindWindowExA(dialog, nullptr, "QuilletThumbnail", nullptr);
    ASSERT_TRUE(thumbnail) << "no thumbnail window";
    EXPECT_EQ(::GetDlgCtrlID(thumbnail), kThumbnailFrame);
    RECT frame{}, inside{};
    ::GetWindowRect(::GetDlgItem(dialog, kThumbnailFrame), &frame);
    ::GetWindowRect(thumbnail, &inside);
    EXPECT_EQ(inside.left, frame.left + 2);
    EXPECT_EQ(inside.top, frame.top + 2);
    EXPECT_EQ(inside.right, frame.right - 2);
    EXPECT_EQ(inside.bottom, frame.bottom - 2);

    RECT client{};
    ASSERT_TRUE(::GetClientRect(thumbnail, &client));
    // The same frame rendered by movietool at the thumbnail's size, with objects,
    // without cursor and logo.
    const std::string still = folder_ + "\\still.bmp";
    driver::Process tool;
    ASSERT_TRUE(tool.start(movietoolPath(), {"still", moviePath_, "0", still, "--no-cursor", "--no-logo", "--size",
                                             std::to_string(client.right) + "x" + std::to_string(client.bottom)}));
    ASSERT_TRUE(tool.waitForExit());
    ASSERT_EQ(tool.exitCode(), 0u);
    Picture expected;
    ASSERT_TRUE(readBmpFile(still, expected, error)) << error;
    ASSERT_EQ(expected.width, client.right);
    ASSERT_EQ(expected.height, client.bottom);
    // The dialog may be on the screen a moment before the thumbnail has painted.
    driver::Pixels shown;
    int differing = -1;
    driver::waitUntil([&] {
        if (!driver::captureClient(thumbnail, shown)) return false;
        if (shown.width != expected.width || shown.height != expected.height) return false;
        differing = 0;
        for (int y = 0; y < shown.height; ++y)
            for (int x = 0; x < shown.width; ++x) differing += shown.at(x, y) != expected.at(x, y);
        return differing == 0;
    });
    EXPECT_EQ(differing, 0) << "of " << shown.width << " x " << shown.height << " pixels";
    // The first frame's object is in it, the later one is not.
    bool red = false, blue = false;
    for (uint32_t value : shown.values) {
        red = red || value == 0xFF0000;
        blue = blue || value == 0x0000FF;
    }
    EXPECT_TRUE(red);
    EXPECT_FALSE(blue);
    closeDialog(dialog);
}

TEST_F(FilePropertiesTest, WebAndMailButtonsOpenTheAuthorsAddressesFromTheLogo) {
    recordOpenedAddresses();
    TestMovieShape shape{10, 50};
    shape.logo = true;
    shape.logoLink = "https://author.example.org/lessons";
    shape.logoMail = "author@example.org";
    startIdle(shape);
    HWND dialog = openProperties();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(driver::pressButton(dialog, "Visit Web Site"));
    ASSERT_EQ(openedAddresses(1).size(), 1u);
    ASSERT_TRUE(driver::pressButton(dialog, "Send E-mail"));
    const std::vector<std::string> opened = openedAddresses(2);
    EXPECT_EQ(opened, (std::vector<std::string>{"https://author.example.org/lessons", "mailto:author@example.org"}));
    closeDialog(dialog);
}

TEST_F(FilePropertiesTest, WithoutTheAuthorsAddressesTheMakersAreOpened) {
    recordOpenedAddresses();
    TestMovieShape shape{10, 50};
    shape.logo = true;  // a logo whose texts are empty
    startIdle(shape);
    HWND dialog = openProperties();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(driver::pressButton(dialog, "Visit Web Site"));
    ASSERT_EQ(openedAddresses(1).size(), 1u);
    // Enter on the focused mail button presses it.
    HWND mail = ::GetDlgItem(dialog, kSendMail);
    ::PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(mail), TRUE);
    driver::pressKey(mail, VK_RETURN);
    const std::vector<std::string> opened = openedAddresses(2);
    EXPECT_EQ(opened, (std::vector<std::string>{kMakerSite, kMakerMail}));
    EXPECT_TRUE(::IsWindow(dialog)) << "Enter on the mail button closed the dialog";
    closeDialog(dialog);
}

TEST_F(FilePropertiesTest, AboutFromInfoAndFromTheSystemMenu) {
    startIdle({10, 50});
    HWND about = openFromToolbar(kCommandInfo, kAboutCaption);
    ASSERT_TRUE(about) << "Info did not open the About box";
    EXPECT_EQ(itemText(about, kAboutTitle), "Tavrix 2000 Player");
    EXPECT_EQ(itemText(about, IDOK), "&OK");
    EXPECT_EQ(itemText(about, kMakerWeb), "&Visit Web Site");
    EXPECT_EQ(itemText(about, kSendMail), "Send E-&mail");
    const std::vector<std::string> texts = driver::childTexts(about);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Copyright (C) 2000 Halvern Systems Co., Ltd."), texts.end());
    closeDialog(about);

    ::PostMessageA(main_, WM_SYSCOMMAND, 16, 0);
    about = driver::waitForWindow(player_.id(), kDialogClass, kAboutCaption);
    ASSERT_TRUE(about) << "the system menu's About item did not open the About box";
    closeDialog(about);
}

TEST_F(FilePropertiesTest, AboutButtonsOpenTheMakersSiteAndSupportMail) {
    recordOpenedAddresses();
    TestMovieShape shape{10, 50};
    shape.logo = true;
    shape.logoMail = "author@example.org";  // the About box does not take the author's
    startIdle(shape);
    HWND about = openFromToolbar(kCommandInfo, kAboutCaption);
    ASSERT_TRUE(about);
    ASSERT_TRUE(driver::pressButton(about, "Visit Web Site"));
    ASSERT_EQ(openedAddresses(1).size(), 1u);
    ASSERT_TRUE(driver::pressButton(about, "Send E-mail"));
    EXPECT_EQ(openedAddresses(2), (std::vector<std::string>{kMakerSite, kMakerMail}));
    closeDialog(about);
}

}  // namespace
}  // namespace quillet::e2e
