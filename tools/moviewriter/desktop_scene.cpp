#include "tools/moviewriter/desktop_scene.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>

#include "tools/moviewriter/object_description.h"

namespace quillet {
namespace {

constexpr double kPi = 3.14159265358979323846;

// 5 × 7 glyphs, a row per byte from the top, bit 4 the leftmost pixel.
const std::map<char, std::array<uint8_t, 7>>& sceneFont() {
    static const std::map<char, std::array<uint8_t, 7>> font = {
        {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
        {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
        {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
        {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
        {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
        {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
        {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
        {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
        {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
        {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
        {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
        {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
        {'Y', {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
        {'a', {0x00, 0x00, 0x0E, 0x01, 0x0F, 0x11, 0x0F}}, {'b', {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x1E}},
        {'c', {0x00, 0x00, 0x0E, 0x10, 0x10, 0x11, 0x0E}}, {'d', {0x01, 0x01, 0x0D, 0x13, 0x11, 0x11, 0x0F}},
        {'e', {0x00, 0x00, 0x0E, 0x11, 0x1F, 0x10, 0x0E}}, {'f', {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08}},
        {'g', {0x00, 0x0F, 0x11, 0x11, 0x0F, 0x01, 0x0E}}, {'h', {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x11}},
        {'i', {0x04, 0x00, 0x0C, 0x04, 0x04, 0x04, 0x0E}}, {'j', {0x02, 0x00, 0x06, 0x02, 0x02, 0x12, 0x0C}},
        {'k', {0x10, 0x10, 0x12, 0x14, 0x18, 0x14, 0x12}}, {'l', {0x0C, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
        {'m', {0x00, 0x00, 0x1A, 0x15, 0x15, 0x11, 0x11}}, {'n', {0x00, 0x00, 0x16, 0x19, 0x11, 0x11, 0x11}},
        {'o', {0x00, 0x00, 0x0E, 0x11, 0x11, 0x11, 0x0E}}, {'p', {0x00, 0x00, 0x1E, 0x11, 0x1E, 0x10, 0x10}},
        {'q', {0x00, 0x00, 0x0D, 0x13, 0x0F, 0x01, 0x01}}, {'r', {0x00, 0x00, 0x16, 0x19, 0x10, 0x10, 0x10}},
        {'s', {0x00, 0x00, 0x0E, 0x10, 0x0E, 0x01, 0x1E}}, {'t', {0x08, 0x08, 0x1C, 0x08, 0x08, 0x09, 0x06}},
        {'u', {0x00, 0x00, 0x11, 0x11, 0x11, 0x13, 0x0D}}, {'v', {0x00, 0x00, 0x11, 0x11, 0x11, 0x0A, 0x04}},
        {'w', {0x00, 0x00, 0x11, 0x11, 0x15, 0x15, 0x0A}}, {'x', {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11}},
        {'y', {0x00, 0x00, 0x11, 0x11, 0x0F, 0x01, 0x0E}}, {'z', {0x00, 0x00, 0x1F, 0x02, 0x04, 0x08, 0x1F}},
        {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
        {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
        {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
        {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
        {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
        {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}, {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
        {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}}, {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04}},
        {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}}, {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
        {';', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x04, 0x08}}, {'\'', {0x04, 0x04, 0x08, 0x00, 0x00, 0x00, 0x00}},
        {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}}, {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
        {'/', {0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10}},
    };
    return font;
}

constexpr int kGlyphAdvance = 6;  // 5 pixels and a space
constexpr uint32_t kDesktop = 0x2F6B8F;
constexpr uint32_t kTaskbar = 0xC0C0C0;
constexpr uint32_t kTitle = 0x0A246A;
constexpr uint32_t kTitleText = 0xFFFFFF;
constexpr uint32_t kFace = 0xD4D0C8;
constexpr uint32_t kShadow = 0x808080;
constexpr uint32_t kPaper = 0xFFFFFF;
constexpr uint32_t kInk = 0x101010;

// System cursor indices of the recorded pointer.
constexpr uint32_t kArrowCursor = 1;
constexpr uint32_t kTextCursor = 4;

struct Box {
    int32_t left, top, right, bottom;
};

void raisedBox(Picture& p, const Box& b) {
    p.fillRect(b.left, b.top, b.right, b.bottom, kFace);
    p.fillRect(b.left, b.top, b.right, b.top + 1, 0xFFFFFF);
    p.fillRect(b.left, b.top, b.left + 1, b.bottom, 0xFFFFFF);
    p.fillRect(b.left, b.bottom - 1, b.right, b.bottom, kShadow);
    p.fillRect(b.right - 1, b.top, b.right, b.bottom, kShadow);
}

struct Layout {
    int32_t width, height;
    Box taskbar, startButton, icon, window;
    int32_t iconCount = 3;
};

Layout layoutFor(const DesktopSceneOptions& o) {
    Layout l{};
    l.width = o.width;
    l.height = o.height;
    l.taskbar = {0, o.height - 28, o.width, o.height};
    l.startButton = {2, o.height - 25, 62, o.height - 3};
    l.icon = {20, 20, 52, 52};
    const int32_t w = std::min(600, o.width - 40), h = std::min(380, o.height - 80);
    l.window = {(o.width - w) / 2, (o.height - 28 - h) / 2, (o.width - w) / 2 + w, (o.height - 28 - h) / 2 + h};
    return l;
}

// Where the file icon (the second) is: in its place, carried by the pointer, or
// thrown away, when the trash shows a sheet.
struct FileIcon {
    int32_t dx = 0, dy = 0;
    bool inTrash = false;
};

Box iconBox(const Layout& l, int i) {
    const int32_t top = l.icon.top + i * 70;
    return {l.icon.left, top, l.icon.right, top + 32};
}

void drawIcon(Picture& p, const Box& b, const char* name) {
    p.fillRect(b.left, b.top, b.right, b.bottom, 0xF0E68C);
    p.fillRect(b.left + 4, b.top + 4, b.right - 4, b.top + 8, 0xA08020);
    drawSceneText(p, b.left, b.bottom + 6, name, 0xFFFFFF, 1);
}

void drawDesktop(Picture& p, const Layout& l, int64_t clockMinutes, const FileIcon& file = {}) {
    p.fillRect(0, 0, l.width, l.height, kDesktop);
    const char* names[] = {"Notes", "Files", "Trash"};
    for (int i = 0; i < l.iconCount; ++i) {
        if (i == 1) continue;
        drawIcon(p, iconBox(l, i), names[i]);
    }
    if (file.inTrash) {
        const Box trash = iconBox(l, 2);
        p.fillRect(trash.left + 8, trash.top + 12, trash.right - 8, trash.bottom - 4, kPaper);
    } else {
        const Box at = iconBox(l, 1);
        drawIcon(p, {at.left + file.dx, at.top + file.dy, at.right + file.dx, at.bottom + file.dy}, names[1]);
    }
    p.fillRect(l.taskbar.left, l.taskbar.top, l.taskbar.right, l.taskbar.bottom, kTaskbar);
    p.fillRect(l.taskbar.left, l.taskbar.top, l.taskbar.right, l.taskbar.top + 1, 0xFFFFFF);
    raisedBox(p, l.startButton);
    drawSceneText(p, l.startButton.left + 10, l.startButton.top + 7, "Start", kInk, 1);
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d", static_cast<int>(9 + clockMinutes / 60 % 12),
                  static_cast<int>(clockMinutes % 60));
    drawSceneText(p, l.width - 50, l.taskbar.top + 10, clock, kInk, 1);
}

void drawWindow(Picture& p, const Box& b, const std::vector<std::string>& lines, bool caret) {
    raisedBox(p, b);
    p.fillRect(b.left + 3, b.top + 3, b.right - 3, b.top + 21, kTitle);
    drawSceneText(p, b.left + 8, b.top + 8, "Notes - Untitled", kTitleText, 1);
    raisedBox(p, {b.right - 20, b.top + 5, b.right - 5, b.top + 19});
    drawSceneText(p, b.right - 15, b.top + 9, "x", kInk, 1);
    drawSceneText(p, b.left + 8, b.top + 27, "File  Edit  View  Help", kInk, 1);
    const Box page{b.left + 5, b.top + 40, b.right - 5, b.bottom - 5};
    if (page.right <= page.left || page.bottom <= page.top) return;
    p.fillRect(page.left, page.top, page.right, page.bottom, kPaper);
    p.fillRect(page.left, page.top, page.right, page.top + 1, kShadow);
    p.fillRect(page.left, page.top, page.left + 1, page.bottom, kShadow);
    int32_t y = page.top + 10;
    for (const std::string& line : lines) {
        drawSceneText(p, page.left + 10, y, line, kInk, 2);
        y += 20;
    }
    if (caret) {
        const int32_t x = page.left + 10 + static_cast<int32_t>(lines.empty() ? 0 : lines.back().size()) * kGlyphAdvance * 2;
        const int32_t top = page.top + 10 + static_cast<int32_t>(std::max<size_t>(lines.size(), 1) - 1) * 20;
        p.fillRect(x, top - 2, x + 2, top + 16, kInk);
    }
}

struct Input {
    uint32_t message = 0;
    uint32_t wParam = 0;
};

// Frames are produced by a small script of steps, each of which draws the screen
// and says where the pointer is.
class Recorder {
public:
    Recorder(const DesktopSceneOptions& options, const std::function<void(const Picture&, const FrameSpec&)>& sink)
        : options_(options), layout_(layoutFor(options)), sink_(sink), x_(options.width * 2 / 3), y_(options.height / 2) {}

    // The desktop session: the Notes program opened from its icon, three lines typed.
    // Returns its annotations: a balloon at the icon, a small picture, a titled
    // box over the typing and an arrow to the close box, each for its step.
    std::vector<CaptionRecord> run() {
        const Box notes = iconBox(layout_, 0);
        const int32_t iconX = layout_.icon.left + 12, iconY = layout_.icon.top + 12;
        hold(6);
        moveTo(iconX, iconY, 12);
        click(true);
        const int64_t opened = frameIndex_;
        openWindow(8);
        const Box& w = layout_.window;
        moveTo(w.left + 60, w.top + 70, 8);
        click(false);
        const int64_t typing = frameIndex_;
        cursor_ = kTextCursor;
        for (const std::string& line : options_.typedLines) {
            lines_.emplace_back();
            for (char c : line) {
                lines_.back().push_back(c);
                emit({kInputKeyDown, static_cast<uint32_t>(c)});
            }
        }
        cursor_ = kArrowCursor;
        const int64_t closing = frameIndex_;
        moveTo(w.right - 12, w.top + 12, 10);
        hold(10);

        char text[1024];
        const int32_t right = layout_.width, bottom = layout_.taskbar.top;
        std::snprintf(text, sizeof text,
                      "round-balloon id=1 first=2 frames=%lld body=%d,%d,%d,%d tail=%d,%d corner=30,30 "
                      "text=\"Double-click Notes to open it\" fill=fff8c0 line=806020 width=2 shadow=5,5 "
                      "font=Tahoma,-15,700\n"
                      "titled id=2 first=%lld frames=%lld body=%d,%d,%d,%d title=\"Step 2\" "
                      "text=\"Type a few lines into the new window\" fill=ffffff line=1e50a0 width=1 "
                      "depth=8,8 depth-corner=1 font=Tahoma,-14,400 title-font=Tahoma,-14,700\n"
                      "arrow id=3 first=%lld frames=%lld start=%d,%d end=%d,%d style=1 line=e02020 width=4\n",
                      static_cast<long long>(opened - 2), notes.right + 70, notes.top + 6, notes.right + 330,
                      notes.top + 66, notes.right + 6, notes.top + 14, static_cast<long long>(typing),
                      static_cast<long long>(closing - typing), right - 340, bottom - 150, right - 40, bottom - 50,
                      static_cast<long long>(closing), static_cast<long long>(frameIndex_ - closing), w.right + 90,
                      w.top - 60, w.right - 10, w.top + 6);
        std::vector<CaptionRecord> objects;
        std::string error;
        parseObjectDescription(text, objects, error);
        objects.push_back(badge(4, right - 76, 12, static_cast<int32_t>(opened)));
        return objects;
    }

    // The exercise: the pointer goes to Notes, where the viewer is to click; the
    // window opens and closes; then the pointer goes to the file icon, which the
    // viewer is to drag onto the trash. Returns the prompts and hotspots.
    std::vector<CaptionRecord> runExercise() {
        char objects[2048];
        const Box notes = iconBox(layout_, 0), files = iconBox(layout_, 1), trash = iconBox(layout_, 2);
        hold(4);
        moveTo(notes.left + 16, notes.top + 16, 10);
        const int64_t clickAt = frameIndex_;
        hold(1);
        click(false);
        openWindow(6);
        hold(6);
        windowGrowth_ = 0;
        hold(2);
        moveTo(files.left + 16, files.top + 16, 10);
        const int64_t dragAt = frameIndex_;
        hold(1);
        emit({kInputLeftButtonDown, 1});
        const int32_t fromY = y_;
        for (int i = 1; i <= 8; ++i) {
            y_ = fromY + (trash.top - files.top) * i / 8;
            file_.dy = y_ - fromY;
            emit();
        }
        file_.inTrash = true;
        emit({kInputLeftButtonUp, 0});
        hold(8);
        // Each hold has its prompt: a text box, an arrow and an outline round the
        // icon to use. Cursor 12 shows the hand over the hotspots; 0x100030 is a
        // click, 0x200020 a drag source and 0x100010 its drop target.
        const long long clickFrom = clickAt - 6, dragFrom = dragAt - 6;
        std::snprintf(objects, sizeof objects,
                      "box id=1 first=%lld frames=7 body=%d,%d,%d,%d text=\"Click the Notes icon\" fill=ffffe0\n"
                      "arrow id=2 first=%lld frames=7 start=%d,%d end=%d,%d style=1 line=ff0000 width=3\n"
                      "rect id=3 first=%lld frames=7 body=%d,%d,%d,%d line=ff0000 width=3\n"
                      "hotspot id=4 first=%lld frames=1 body=%d,%d,%d,%d events=100030 cursor=12 label=Notes\n"
                      "box id=5 first=%lld frames=7 body=%d,%d,%d,%d text=\"Drag the file onto the Trash\" fill=ffffe0\n"
                      "arrow id=6 first=%lld frames=7 start=%d,%d end=%d,%d style=1 line=ff0000 width=3\n"
                      "rect id=7 first=%lld frames=7 body=%d,%d,%d,%d line=ff0000 width=3\n"
                      "hotspot id=8 first=%lld frames=1 body=%d,%d,%d,%d events=200020 cursor=12 partner=9 label=Files\n"
                      "hotspot id=9 first=%lld frames=1 body=%d,%d,%d,%d events=100010 partner=8 label=Trash\n",
                      clickFrom, notes.right + 60, notes.top, notes.right + 260, notes.bottom, clickFrom,
                      notes.right + 56, (notes.top + notes.bottom) / 2, notes.right + 8, (notes.top + notes.bottom) / 2,
                      clickFrom, notes.left - 4, notes.top - 4, notes.right + 4, notes.bottom + 4,
                      static_cast<long long>(clickAt), notes.left, notes.top, notes.right, notes.bottom, dragFrom,
                      files.right + 60, files.top, files.right + 290, files.bottom, dragFrom, files.right + 56,
                      (files.top + files.bottom) / 2, files.right + 8, (files.top + files.bottom) / 2, dragFrom,
                      files.left - 4, files.top - 4, files.right + 4, trash.bottom + 4,
                      static_cast<long long>(dragAt), files.left, files.top, files.right, files.bottom,
                      static_cast<long long>(dragAt), trash.left, trash.top, trash.right, trash.bottom);
        std::vector<CaptionRecord> records;
        std::string error;
        parseObjectDescription(objects, records, error);
        return records;
    }

private:
    // A round picture with a letter on it, from the first frame for frames frames.
    static CaptionRecord badge(int32_t id, int32_t x, int32_t y, int32_t frames) {
        constexpr int32_t kSide = 48;
        Picture image(kSide, kSide, 0xFFFFFF), mask(kSide, kSide, 0);
        for (int32_t row = 0; row < kSide; ++row)
            for (int32_t column = 0; column < kSide; ++column) {
                const int32_t dx = 2 * column + 1 - kSide, dy = 2 * row + 1 - kSide;
                if (dx * dx + dy * dy > kSide * kSide) continue;
                image.at(column, row) = 0x2E8B57;
                mask.at(column, row) = 0xFFFFFF;
            }
        drawSceneText(image, 16, 10, "Q", 0xFFFFFF, 4);
        CaptionRecord r;
        r.header.kind = caption_kind::kImageCaption;
        r.header.objectId = id;
        r.header.frameCount = frames;
        r.header.bodyRect = r.header.boundsRect = r.header.textRect = Rect{x, y, x + kSide, y + kSide};
        r.picture = bitmapPicture(image, &mask);
        r.picture.actualSize = 1;
        return r;
    }

    void paint(Picture& p) const {
        drawDesktop(p, layout_, frameIndex_ / 600, file_);
        if (windowGrowth_ > 0) {
            const Box& full = layout_.window;
            const double t = windowGrowth_;
            const Box& from = layout_.icon;
            const Box now{static_cast<int32_t>(from.left + (full.left - from.left) * t),
                          static_cast<int32_t>(from.top + (full.top - from.top) * t),
                          static_cast<int32_t>(from.right + (full.right - from.right) * t),
                          static_cast<int32_t>(from.bottom + (full.bottom - from.bottom) * t)};
            drawWindow(p, now, t >= 1 ? lines_ : std::vector<std::string>(), t >= 1 && caretOn_);
        }
    }

    void emit(Input input = {}) {
        Picture picture(layout_.width, layout_.height);
        caretOn_ = (frameIndex_ / 5) % 2 == 0 || input.message == kInputKeyDown;
        paint(picture);
        FrameSpec spec(options_.frameDelayMs);
        spec.standardCursor = 1;
        spec.cursorId = cursor_;
        spec.cursorX = x_;
        spec.cursorY = y_;
        spec.inputMessage = input.message;
        spec.inputWParam = input.wParam;
        sink_(picture, spec);
        ++frameIndex_;
    }

    void hold(int frames) {
        for (int i = 0; i < frames; ++i) emit();
    }

    void moveTo(int32_t x, int32_t y, int frames) {
        const int32_t fromX = x_, fromY = y_;
        for (int i = 1; i <= frames; ++i) {
            // Eased, as a hand slows down at its target.
            const double t = 0.5 - 0.5 * std::cos(kPi * i / frames);
            x_ = fromX + static_cast<int32_t>(std::lround((x - fromX) * t));
            y_ = fromY + static_cast<int32_t>(std::lround((y - fromY) * t));
            emit();
        }
    }

    void click(bool twice) {
        for (int i = 0; i < (twice ? 2 : 1); ++i) {
            emit({kInputLeftButtonDown, 1});
            emit({kInputLeftButtonUp, 0});
        }
    }

    void openWindow(int frames) {
        for (int i = 1; i <= frames; ++i) {
            windowGrowth_ = static_cast<double>(i) / frames;
            emit();
        }
    }

    const DesktopSceneOptions& options_;
    Layout layout_;
    const std::function<void(const Picture&, const FrameSpec&)>& sink_;
    int32_t x_, y_;
    uint32_t cursor_ = kArrowCursor;
    double windowGrowth_ = 0;
    std::vector<std::string> lines_;
    bool caretOn_ = true;
    FileIcon file_;
    int64_t frameIndex_ = 0;
};

}  // namespace

void drawSceneText(Picture& picture, int32_t x, int32_t y, const std::string& text, uint32_t colour, int scale) {
    const auto& font = sceneFont();
    for (char c : text) {
        auto glyph = font.find(c);
        if (glyph != font.end()) {
            for (int row = 0; row < 7; ++row)
                for (int column = 0; column < 5; ++column)
                    if (glyph->second[static_cast<size_t>(row)] & (0x10 >> column))
                        picture.fillRect(x + column * scale, y + row * scale, x + (column + 1) * scale,
                                         y + (row + 1) * scale, colour);
        }
        x += kGlyphAdvance * scale;
    }
}

std::vector<CaptionRecord> recordDesktopScene(const DesktopSceneOptions& options,
                                              const std::function<void(const Picture&, const FrameSpec&)>& frame) {
    Recorder recorder(options, frame);
    return recorder.run();
}

std::vector<CaptionRecord> recordExerciseScene(const DesktopSceneOptions& options,
                                const std::function<void(const Picture&, const FrameSpec&)>& frame) {
    Recorder recorder(options, frame);
    return recorder.runExercise();
}

}  // namespace quillet
