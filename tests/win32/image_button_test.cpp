// The image button on screen: its looks when normal, hovered, pressed, focused and
// disabled, where its picture and caption go, and when it asks to be drawn again.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "driver.h"
#include "player/app/win32/image_button.h"

namespace quillet {
namespace {

constexpr COLORREF kParentColour = RGB(0, 160, 0);
constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kImageColour = RGB(0, 0, 255);
constexpr int kButtonId = 1066;  // above 255: a command must carry all of it
constexpr int kWidth = 100, kHeight = 40;
constexpr int kImageSide = 16;
constexpr int kImageTop = (kHeight - kImageSide) / 2;

uint32_t captured(COLORREF colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

// A 16 x 16 picture in the key colour with a blue square in its middle.
win32::UniqueGdiObject testImage() {
    win32::WindowDc screen(nullptr);
    win32::UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen.get(), kImageSide, kImageSide));
    win32::UniqueMemoryDc dc(::CreateCompatibleDC(screen.get()));
    win32::ScopedSelect select(dc.get(), bitmap.get());
    win32::UniqueGdiObject key(::CreateSolidBrush(kKey)), blue(::CreateSolidBrush(kImageColour));
    const RECT all{0, 0, kImageSide, kImageSide}, middle{4, 4, 12, 12};
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(key.get()));
    ::FillRect(dc.get(), &middle, static_cast<HBRUSH>(blue.get()));
    return bitmap;
}

class ImageButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &ImageButtonTest::parentProcedure;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.hbrBackground = background_;
        windowClass.lpszClassName = "ImageButtonTestParent";
        ::RegisterClassA(&windowClass);
        current_ = this;
        parent_.reset(::CreateWindowExA(WS_EX_TOPMOST, "ImageButtonTestParent", "", WS_POPUP | WS_VISIBLE, 40, 40,
                                        kWidth + 40, kHeight + 40, nullptr, nullptr, ::GetModuleHandleA(nullptr),
                                        nullptr));
        ASSERT_TRUE(parent_);
        HWND button = ::CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, kWidth,
                                        kHeight, parent_.get(), reinterpret_cast<HMENU>(kButtonId),
                                        ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(button_.attach(button));
        button_.setImage(testImage(), kKey, CImageButton::kImageLeft);
        moveCursorAway();
        ::SetForegroundWindow(parent_.get());
    }
    void TearDown() override {
        parent_.reset();
        ::UnregisterClassA("ImageButtonTestParent", ::GetModuleHandleA(nullptr));
        current_ = nullptr;
    }

    static LRESULT CALLBACK parentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_DRAWITEM && CImageButton::reflectDrawItem(lParam)) return TRUE;
        if (message == WM_COMMAND && current_) current_->commands_.push_back(static_cast<int>(LOWORD(wParam)));
        return ::DefWindowProcA(window, message, wParam, lParam);
    }

    static void pump() {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    // Waits, handling messages, until the button on screen passes check.
    bool showsUntil(const std::function<bool(const driver::Pixels&)>& check) {
        return driver::waitUntil([&] {
            pump();
            return driver::captureClient(button_.handle(), pixels_) && check(pixels_);
        }, 5000);
    }
    void redraw() {
        ::InvalidateRect(button_.handle(), nullptr, TRUE);
        pump();
    }
    void moveCursorAway() { ::SetCursorPos(600, 600); }
    void hover() {
        RECT bounds{};
        ::GetWindowRect(button_.handle(), &bounds);
        ::SetCursorPos((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
        ::PostMessageA(button_.handle(), WM_MOUSEMOVE, 0, MAKELPARAM(kWidth / 2, kHeight / 2));
    }

    uint32_t at(int x, int y) const { return pixels_.at(x, y); }
    bool edgesAre(COLORREF topLeft, COLORREF bottomRight) const {
        return at(5, 0) == captured(topLeft) && at(0, 5) == captured(topLeft) &&
               at(kWidth - 1, 5) == captured(bottomRight) && at(5, kHeight - 1) == captured(bottomRight);
    }
    // Pixels of the caption's colour, left to right: the first and last column.
    std::pair<int, int> captionColumns(COLORREF colour) const {
        int first = -1, last = -1;
        for (int x = 0; x < kWidth; ++x)
            for (int y = 2; y < kHeight - 2; ++y)
                if (at(x, y) == captured(colour)) {
                    if (first < 0) first = x;
                    last = x;
                }
        return {first, last};
    }
    bool imageAt(int left) const {
        return at(left + 8, kImageTop + 8) == captured(kImageColour) &&
               at(left + 1, kImageTop + 1) == captured(kParentColour);
    }

    static inline ImageButtonTest* current_ = nullptr;
    win32::UniqueGdiObject backgroundBrush_{::CreateSolidBrush(kParentColour)};
    HBRUSH background_ = static_cast<HBRUSH>(backgroundBrush_.get());
    win32::UniqueWindow parent_;
    CImageButton button_;
    driver::Pixels pixels_;
    std::vector<int> commands_;
};

const COLORREF kHighlight = ::GetSysColor(COLOR_3DHILIGHT);
const COLORREF kShadow = ::GetSysColor(COLOR_3DSHADOW);
const COLORREF kText = ::GetSysColor(COLOR_BTNTEXT);

TEST_F(ImageButtonTest, NormalLookIsFlatAndLetsTheParentShowThrough) {
    ASSERT_TRUE(showsUntil([&](const driver::Pixels&) { return imageAt(kWidth / 10); }))
        << "the picture is not at the left, a tenth of the width in";
    EXPECT_TRUE(edgesAre(kParentColour, kParentColour)) << "a frame around a button the mouse is not over";
    EXPECT_EQ(at(1, 1), captured(kParentColour)) << "no focus rectangle without the focus";
    for (uint32_t value : pixels_.values) ASSERT_NE(value, captured(kKey)) << "the key colour was drawn";
    const auto [first, last] = captionColumns(kText);
    ASSERT_GE(first, 0) << "no caption";
    // Centred in what the picture leaves: from a tenth of the width plus the picture to the right edge.
    const int leftOfText = kWidth / 10 + kImageSide;
    EXPECT_NEAR((first + last) / 2.0, (leftOfText + kWidth) / 2.0, 2.0);
}

TEST_F(ImageButtonTest, HoverRaisesTheFramePressSinksItAndLeavingFlattensIt) {
    ASSERT_TRUE(showsUntil([&](const driver::Pixels&) { return imageAt(kWidth / 10); }));
    hover();
    ASSERT_TRUE(showsUntil([&](const driver::Pixels&) { return edgesAre(kHighlight, kShadow); }))
        << "hovering: highlight top-left, shadow bottom-right";
    EXPECT_TRUE(button_.hovering());
    EXPECT_TRUE(imageAt(kWidth / 10));

    ::SendMessageA(button_.handle(), BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(showsUntil([&](const driver::Pixels&) { return edgesAre(kShadow, kHighlight); }))
        << "pressed: shadow top-left, highlight bottom-right";
    ::SendMessageA(button_.handle(), BM_SETSTATE, FALSE, 0);
    EXPECT_TRUE(showsUntil([&](const driver::Pixels&) { return edgesAre(kHighlight, kShadow); }))
        << "released under the mouse: raised again";

    moveCursorAway();
    EXPECT_TRUE(showsUntil([&](const driver::Pixels&) { return edgesAre(kParentColour, kParentColour); }))
        << "the frame stayed after the mouse left";
    EXPECT_FALSE(button_.hovering());
}

TEST_F(ImageButtonTest, FocusWithoutHoverDrawsAFocusRectangleOnePixelIn) {
    ::SetFocus(button_.handle());
    ASSERT_EQ(::GetFocus(), button_.handle());
    ASSERT_TRUE(showsUntil([&](const driver::Pixels&) {
        bool dotted = false;
        for (int x = 2; x < kWidth - 2; ++x) dotted = dotted || at(x, 1) != captured(kParentColour);
        return dotted;
    })) << "no focus rectangle";
    EXPECT_TRUE(edgesAre(kParentColour, kParentColour));
}

TEST_F(ImageButtonTest, AlignmentPlacesPictureAndCaption) {
    struct Case {
        int alignment;
        int imageLeft;
        double captionCentre;
    };
    const Case cases[] = {
        {CImageButton::kImageLeft, kWidth / 10, (kWidth / 10 + kImageSide + kWidth) / 2.0},
        {CImageButton::kImageRight, kWidth - kImageSide - kWidth / 10, (kWidth - kImageSide - kWidth / 10) / 2.0},
        {CImageButton::kImageCentred, (kWidth - kImageSide) / 2, kWidth / 2.0},
        {7, kWidth / 10, (kWidth / 10 + kImageSide + kWidth) / 2.0},  // any other value: at the left
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("alignment " + std::to_string(c.alignment));
        button_.setImage(testImage(), kKey, c.alignment);
        // The text in the middle may cover a centred picture's blue: look at its corner.
        ASSERT_TRUE(showsUntil([&](const driver::Pixels&) {
            return at(c.imageLeft + 4, kImageTop + 4) == captured(kImageColour) &&
                   at(c.imageLeft + 1, kImageTop + 1) == captured(kParentColour);
        })) << "the picture is not at " << c.imageLeft;
        const auto [first, last] = captionColumns(kText);
        ASSERT_GE(first, 0);
        EXPECT_NEAR((first + last) / 2.0, c.captionCentre, 2.0);
    }
}

TEST_F(ImageButtonTest, DisabledCaptionIsEmbossedAndAnEmptyOneIsLeftOut) {
    ASSERT_TRUE(showsUntil([&](const driver::Pixels&) { return captionColumns(kText).first >= 0; }));
    button_.disable();
    redraw();
    EXPECT_TRUE(showsUntil([&](const driver::Pixels&) {
        return captionColumns(kText).first < 0 && captionColumns(kShadow).first >= 0;
    })) << "a disabled caption is drawn grey";

    button_.enable();
    ::SetWindowTextA(button_.handle(), "");
    redraw();
    EXPECT_TRUE(showsUntil([&](const driver::Pixels&) {
        return captionColumns(kText).first < 0 && captionColumns(kShadow).first < 0 && imageAt(kWidth / 10);
    })) << "an empty caption leaves only the picture";
}

TEST_F(ImageButtonTest, MouseAcrossTheButtonInvalidatesOnceOnEntryAndOnceOnLeaving) {
    // Messages sent straight to the button, with nothing handled in between: the
    // update region tells each invalidation.
    pump();
    HWND button = button_.handle();
    auto invalidated = [&] {
        RECT area{};
        const bool any = ::GetUpdateRect(button, &area, FALSE) != FALSE;
        ::ValidateRect(button, nullptr);
        return any;
    };
    invalidated();
    ::SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(invalidated()) << "entry";
    ::SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(10, 5));
    ::SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(20, 6));
    EXPECT_FALSE(invalidated()) << "moves over the button";
    ::SendMessageA(button, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(invalidated()) << "leaving";
    ::SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(invalidated()) << "entry again";
}

TEST_F(ImageButtonTest, EnterOnTheFocusedButtonPressesIt) {
    ::SetFocus(button_.handle());
    ::SendMessageA(button_.handle(), WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_EQ(commands_.size(), 1u);
    EXPECT_EQ(commands_[0], kButtonId) << "the command names the whole control id";
    MSG enter{button_.handle(), WM_KEYDOWN, VK_RETURN, 1, 0, {}};
    EXPECT_TRUE(::SendMessageA(button_.handle(), WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) &
                DLGC_WANTMESSAGE)
        << "the dialog manager must leave Enter to the button";
}

}  // namespace
}  // namespace quillet
