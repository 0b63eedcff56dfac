#include "test_movies.h"

#include <random>

namespace quillet::e2e {

TestMovie makeTestMovie(const TestMovieShape& shape) {
    TestMovie movie;
    MovieWriter writer;
    writer.setScreen(shape.screen);
    writer.setRecordedArea(shape.recordedArea);
    if (!shape.signature.empty()) MovieHeader::setText(writer.header().signature, shape.signature);
    if (!shape.description.empty()) MovieHeader::setText(writer.header().description, shape.description);
    if (!shape.createdBy.empty()) MovieHeader::setText(writer.header().createdBy, shape.createdBy);
    if (!shape.date.empty()) MovieHeader::setText(writer.header().date, shape.date);
    if (shape.logo) {
        LogoRecord logo;
        logo.corner = 3;
        MovieHeader::setText(logo.linkText, shape.logoLink);
        MovieHeader::setText(logo.mailText, shape.logoMail);
        writer.setLogo(logo, packedDib(Picture(8, 8, 0x00FF00)));
    }
    std::mt19937 random(static_cast<unsigned>(shape.frames));
    for (int k = 0; k < shape.frames; ++k) {
        const uint32_t background = (static_cast<uint32_t>(40 + k * 37 % 180) << 16) |
                                    (static_cast<uint32_t>(90 + k * 53 % 150) << 8) | static_cast<uint32_t>(200 - k % 7 * 20);
        Picture picture(shape.screen.width, shape.screen.height, background);
        const int bar = shape.recordedArea.left + (k * 23) % std::max(1, shape.recordedArea.width() - 20);
        picture.fillRect(bar, shape.recordedArea.top + 40, bar + 20, shape.recordedArea.bottom - 10, 0xFFFFFF - background);
        if (shape.noise)
            for (int y = shape.screen.height / 2; y < shape.screen.height; ++y)
                for (int x = 0; x < shape.screen.width; ++x) picture.at(x, y) = random() & 0xFFFFFF;
        FrameSpec spec(k == shape.frames - 1 && shape.lastDelayMs ? shape.lastDelayMs : shape.delayMs);
        if (k == shape.holdAt) spec.holdMs = shape.holdMs;
        if (k == shape.clickAt) spec.inputMessage = kInputLeftButtonDown;
        if (shape.clickAt >= 0 && k == (shape.releaseAt >= 0 ? shape.releaseAt : shape.clickAt + 1))
            spec.inputMessage = kInputLeftButtonUp;
        spec.standardCursor = 1;
        spec.cursorId = 1;
        spec.cursorX = shape.recordedArea.left + 5 + k * 2;
        spec.cursorY = shape.recordedArea.top + 5;
        writer.addFrame(picture, spec);
        movie.pictures.push_back(std::move(picture));
        movie.specs.push_back(spec);
    }
    writer.objects().objects = shape.objects;
    StoredSounds& sounds = writer.sounds();
    if (!shape.narration.empty()) {
        sounds.header.narrationPresent = sounds.header.narrationEmbedded = 1;
        sounds.narration = zlibSoundRecord(shape.narration);
    }
    if (!shape.background.empty()) {
        sounds.header.backgroundPresent = sounds.header.backgroundEmbedded = 1;
        sounds.background = zlibSoundRecord(shape.background);
    }
    if (!shape.effect0.empty()) {
        sounds.header.effectsPresent = sounds.header.effectsEmbedded = 1;
        sounds.effects = {zlibSoundRecord(shape.effect0)};
    }
    movie.bytes = writer.build();
    return movie;
}

int shownFrame(const driver::Pixels& view, const TestMovie& movie, const Rect& area) {
    if (view.width != area.width() || view.height != area.height()) return -1;
    for (size_t k = 0; k < movie.pictures.size(); ++k) {
        const Picture& picture = movie.pictures[k];
        const FrameSpec& spec = movie.specs[k];
        bool same = true;
        for (int y = 0; y < view.height && same; ++y) {
            for (int x = 0; x < view.width; ++x) {
                // Buffer columns start at the recorded area's left edge; rows are screen rows.
            const int sx = x, sy = area.top + y;
                const bool underCursor = sx >= spec.cursorX && sx < spec.cursorX + 32 && sy >= spec.cursorY &&
                                         sy < spec.cursorY + 32;
                if (!underCursor && view.at(x, y) != picture.at(sx + area.left, sy)) {
                    same = false;
                    break;
                }
            }
        }
        if (same) return static_cast<int>(k);
    }
    return -1;
}

}  // namespace quillet::e2e
