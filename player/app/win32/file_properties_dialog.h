#pragma once
// The Properties command's dialog: the movie's header fields, recorded area,
// length and file size, a thumbnail of its first frame, and buttons that open the
// author's web page or write to the author.

#include <array>

#include "common/win32/dialog.h"
#include "player/app/file_properties_texts.h"
#include "player/app/win32/image_button.h"
#include "player/movie/movie_document.h"
#include "player/app/win32/thumbnail_window.h"

namespace quillet {

class FilePropertiesDialog : public win32::Dialog {
public:
    // Takes the texts from the open movie and the file it came from.
    FilePropertiesDialog(MovieDocument& movie, CCaptionList& objects);
    void run(HWND owner);

private:
    BOOL onInit() override;
    void onCommand(int id, int code, HWND control) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void createThumbnail();

    FrameData& frames_;
    CCaptionList& objects_;
    FilePropertiesTexts texts_;
    std::array<CImageButton, 5> buttons_;
    ThumbnailWindow thumbnail_;
};

}  // namespace quillet
