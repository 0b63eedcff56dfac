#include "player/bitmaps/win32/dib.h"

#include <vector>

#include "player/bitmaps/dib_layout.h"

namespace quillet {
namespace {

constexpr WORD kPaletteVersion = 0x300;
constexpr uint32_t kMaxPaletteColours = 256;

// Locks a global block for a scope.
class GlobalLock {
public:
    explicit GlobalLock(HGLOBAL block) : block_(block), data_(block ? ::GlobalLock(block) : nullptr) {}
    ~GlobalLock() {
        if (data_) ::GlobalUnlock(block_);
    }
    GlobalLock(const GlobalLock&) = delete;
    GlobalLock& operator=(const GlobalLock&) = delete;
    void* data() const { return data_; }
    size_t size() const { return block_ ? ::GlobalSize(block_) : 0; }

private:
    HGLOBAL block_;
    void* data_;
};

// The header of a packed DIB whose colour table and pixel area fit in length.
bool checkedHeader(const void* dib, size_t length, DibHeader& header) {
    if (!readDibHeader(static_cast<const uint8_t*>(dib), length, header)) return false;
    if (header.width <= 0 || header.height == 0 || header.planes != 1) return false;
    uint64_t offset = dibPixelOffset(header);
    uint64_t pixels = (header.compression == BI_RGB || header.compression == BI_BITFIELDS)
                          ? dibPixelAreaSize(header)
                          : header.sizeImage;
    return offset <= length && pixels <= length - offset;
}

uint32_t paletteCount(const DibHeader& header) {
    if (header.colourUsed) return header.colourUsed;
    return header.bitCount < 32 ? 1u << header.bitCount : UINT32_MAX;
}

bool screenIsPaletteBased() {
    win32::WindowDc screen(nullptr);
    return (::GetDeviceCaps(screen.get(), RASTERCAPS) & RC_PALETTE) != 0;
}

// A logical palette from the DIB's colour table, or none.
win32::UniqueGdiObject makePalette(const void* dib, const DibHeader& header) {
    uint32_t count = paletteCount(header);
    if (count > kMaxPaletteColours || count == 0 || !screenIsPaletteBased()) return {};
    std::vector<uint8_t> storage(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
    palette->palVersion = kPaletteVersion;
    palette->palNumEntries = static_cast<WORD>(count);
    const auto* table = static_cast<const uint8_t*>(dib) + header.size;
    const size_t entrySize = header.core() ? 3 : 4;
    const uint32_t tableColours = dibColourCount(header);
    for (uint32_t i = 0; i < count; ++i) {
        PALETTEENTRY& entry = palette->palPalEntry[i];
        if (i < tableColours) {
            const uint8_t* colour = table + i * entrySize;
            entry.peBlue = colour[0];
            entry.peGreen = colour[1];
            entry.peRed = colour[2];
        }
        entry.peFlags = 0;
    }
    return win32::UniqueGdiObject(::CreatePalette(palette));
}

}  // namespace

win32::UniqueGlobal dibFromBitmapOnDc(HBITMAP bitmap, HDC dc, HPALETTE palette, DWORD compression) {
    if (compression == BI_BITFIELDS || !bitmap || !dc) return {};
    BITMAP info{};
    if (!::GetObjectA(bitmap, sizeof info, &info)) return {};

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = info.bmWidth;
    header.biHeight = info.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(info.bmPlanes * info.bmBitsPixel);
    header.biCompression = compression;

    if (!palette) palette = static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE));
    HPALETTE previous = ::SelectPalette(dc, palette, FALSE);
    ::RealizePalette(dc);

    DibHeader layout;
    layout.size = header.biSize;
    layout.bitCount = header.biBitCount;
    const size_t headerAndTable = header.biSize + dibColourTableSize(layout);
    win32::UniqueGlobal block(::GlobalAlloc(GHND, headerAndTable));
    bool ok = false;
    if (block) {
        GlobalLock lock(block.get());
        auto* filled = static_cast<BITMAPINFOHEADER*>(lock.data());
        *filled = header;
        ok = ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(header.biHeight), nullptr,
                         reinterpret_cast<BITMAPINFO*>(filled), DIB_RGB_COLORS) != 0;
        header = *filled;
    }
    if (ok) {
        if (header.biSizeImage == 0) {
            header.biSizeImage = static_cast<DWORD>(dibStride(header.biWidth, header.biBitCount) *
                                                    static_cast<uint64_t>(std::abs(header.biHeight)));
            if (compression != BI_RGB) header.biSizeImage = header.biSizeImage * 3 / 2;
        }
        HGLOBAL grown = ::GlobalReAlloc(block.get(), headerAndTable + header.biSizeImage, GMEM_MOVEABLE);
        ok = grown != nullptr;
        if (ok) {
            block.release();
            block.reset(grown);
            GlobalLock lock(block.get());
            auto* filled = static_cast<BITMAPINFOHEADER*>(lock.data());
            *filled = header;
            ok = ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(header.biHeight),
                             static_cast<uint8_t*>(lock.data()) + headerAndTable,
                             reinterpret_cast<BITMAPINFO*>(filled), DIB_RGB_COLORS) != 0;
        }
    }
    ::SelectPalette(dc, previous, FALSE);
    if (!ok) block.reset();
    return block;
}

win32::UniqueGlobal dibFromBitmap(HBITMAP bitmap, DWORD compression, HPALETTE palette) {
    if (compression == BI_BITFIELDS) return {};
    win32::WindowDc screen(nullptr);
    return dibFromBitmapOnDc(bitmap, screen.get(), palette, compression);
}

std::vector<uint8_t> packedDibBytes(HBITMAP bitmap) {
    win32::UniqueGlobal block = dibFromBitmap(bitmap, BI_RGB, nullptr);
    if (!block) return {};
    const auto* bytes = static_cast<const uint8_t*>(::GlobalLock(block.get()));
    if (!bytes) return {};
    std::vector<uint8_t> copy(bytes, bytes + ::GlobalSize(block.get()));
    ::GlobalUnlock(block.get());
    return copy;
}

win32::UniqueGdiObject bitmapFromDib(const void* dib, size_t length) {
    DibHeader header;
    if (!checkedHeader(dib, length, header)) return {};
    const auto* pixels = static_cast<const uint8_t*>(dib) + dibPixelOffset(header);

    win32::WindowDc screen(nullptr);
    win32::UniqueGdiObject palette = makePalette(dib, header);
    HPALETTE previous = nullptr;
    if (palette) {
        previous = ::SelectPalette(screen.get(), static_cast<HPALETTE>(palette.get()), FALSE);
        ::RealizePalette(screen.get());
    }
    win32::UniqueGdiObject bitmap(::CreateDIBitmap(screen.get(), static_cast<const BITMAPINFOHEADER*>(dib),
                                                   CBM_INIT, pixels, static_cast<const BITMAPINFO*>(dib),
                                                   DIB_RGB_COLORS));
    if (palette) ::SelectPalette(screen.get(), previous, FALSE);
    return bitmap;
}

win32::UniqueGdiObject monochromeBitmapFromDib(const void* dib, size_t length) {
    DibHeader header;
    if (!checkedHeader(dib, length, header)) return {};
    const int64_t rows = header.height < 0 ? -int64_t{header.height} : header.height;
    if (rows > INT32_MAX) return {};
    win32::UniqueGdiObject bitmap(::CreateBitmap(header.width, static_cast<int>(rows), 1, 1, nullptr));
    if (!bitmap) return {};
    win32::WindowDc screen(nullptr);
    const auto* pixels = static_cast<const uint8_t*>(dib) + dibPixelOffset(header);
    if (::SetDIBits(screen.get(), static_cast<HBITMAP>(bitmap.get()), 0, static_cast<UINT>(rows), pixels,
                    static_cast<const BITMAPINFO*>(dib), DIB_RGB_COLORS) == 0)
        return {};
    return bitmap;
}

win32::UniqueGdiObject bitmapFromDib(HGLOBAL dib) {
    GlobalLock lock(dib);
    if (!lock.data()) return {};
    return bitmapFromDib(lock.data(), lock.size());
}

bool paletteFromDib(const void* dib, size_t length, win32::UniqueGdiObject& palette) {
    DibHeader header;
    if (!readDibHeader(static_cast<const uint8_t*>(dib), length, header)) return false;
    if (uint64_t{header.size} + dibColourTableSize(header) > length) return false;
    win32::UniqueGdiObject made = makePalette(dib, header);
    if (!made) return false;
    palette = std::move(made);
    return true;
}

bool paletteFromDib(HGLOBAL dib, win32::UniqueGdiObject& palette) {
    GlobalLock lock(dib);
    return lock.data() && paletteFromDib(lock.data(), lock.size(), palette);
}

void drawDib(HDC dc, const void* dib, int x, int y, HPALETTE palette) {
    if (!dib) return;
    const auto* info = static_cast<const BITMAPINFOHEADER*>(dib);
    DibHeader header;
    if (!readDibHeader(static_cast<const uint8_t*>(dib), info->biSize, header)) return;
    if (palette && (::GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE)) {
        ::SelectPalette(dc, palette, FALSE);
        ::RealizePalette(dc);
    }
    const auto* pixels = static_cast<const uint8_t*>(dib) + dibPixelOffset(header);
    ::SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(info->biWidth), static_cast<DWORD>(info->biHeight),
                        0, 0, 0, static_cast<UINT>(info->biHeight), pixels,
                        static_cast<const BITMAPINFO*>(dib), DIB_RGB_COLORS);
}

void drawDibBlock(HDC dc, HGLOBAL dib, int x, int y, HPALETTE palette) {
    GlobalLock lock(dib);
    drawDib(dc, lock.data(), x, y, palette);
}

win32::UniqueGdiObject monochromeFromBitmap(HBITMAP bitmap, DWORD compression, WORD bits,
                                            HPALETTE palette) {
    BITMAP info{};
    if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info)) return {};
    if (bits == 0) bits = static_cast<WORD>(info.bmPlanes * info.bmBitsPixel);

    win32::WindowDc screen(nullptr);
    if (!palette) palette = static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE));
    HPALETTE previous = ::SelectPalette(screen.get(), palette, FALSE);
    ::RealizePalette(screen.get());

    DibHeader layout;
    layout.size = sizeof(BITMAPINFOHEADER);
    layout.bitCount = bits;
    const size_t headerAndTable = layout.size + dibColourTableSize(layout);
    const size_t pixelBytes = static_cast<size_t>(dibStride(info.bmWidth, bits) * info.bmHeight);
    win32::UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, headerAndTable + pixelBytes));
    win32::UniqueGdiObject result;
    if (block) {
        GlobalLock lock(block.get());
        auto* header = static_cast<BITMAPINFOHEADER*>(lock.data());
        header->biSize = sizeof *header;
        header->biWidth = info.bmWidth;
        header->biHeight = info.bmHeight;
        header->biPlanes = 1;
        header->biBitCount = bits;
        header->biCompression = compression;
        auto* pixels = static_cast<uint8_t*>(lock.data()) + headerAndTable;
        auto* asInfo = reinterpret_cast<BITMAPINFO*>(header);
        if (::GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(info.bmHeight), pixels, asInfo,
                        DIB_RGB_COLORS)) {
            result.reset(::CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr));
            if (result &&
                !::SetDIBits(screen.get(), static_cast<HBITMAP>(result.get()), 0,
                             static_cast<UINT>(info.bmHeight), pixels, asInfo, DIB_RGB_COLORS))
                result.reset();
        }
    }
    ::SelectPalette(screen.get(), previous, FALSE);
    return result;
}

void drawTransparent(HDC dest, HDC source, int x, int y, int width, int height, COLORREF keyColour) {
    POINT size{width, height};
    ::DPtoLP(source, &size, 1);

    win32::UniqueMemoryDc mask(::CreateCompatibleDC(dest)), inverse(::CreateCompatibleDC(dest)),
        background(::CreateCompatibleDC(dest)), save(::CreateCompatibleDC(dest));
    win32::UniqueGdiObject maskBitmap(::CreateBitmap(size.x, size.y, 1, 1, nullptr));
    win32::UniqueGdiObject inverseBitmap(::CreateBitmap(size.x, size.y, 1, 1, nullptr));
    win32::UniqueGdiObject backgroundBitmap(::CreateCompatibleBitmap(dest, size.x, size.y));
    win32::UniqueGdiObject saveBitmap(::CreateCompatibleBitmap(dest, size.x, size.y));
    if (!mask || !inverse || !background || !save || !maskBitmap || !inverseBitmap ||
        !backgroundBitmap || !saveBitmap)
        return;
    win32::ScopedSelect selectMask(mask.get(), maskBitmap.get());
    win32::ScopedSelect selectInverse(inverse.get(), inverseBitmap.get());
    win32::ScopedSelect selectBackground(background.get(), backgroundBitmap.get());
    win32::ScopedSelect selectSave(save.get(), saveBitmap.get());

    ::SetMapMode(source, ::GetMapMode(dest));
    ::BitBlt(save.get(), 0, 0, size.x, size.y, source, 0, 0, SRCCOPY);

    COLORREF oldBackground = ::SetBkColor(source, keyColour);
    ::BitBlt(mask.get(), 0, 0, size.x, size.y, source, 0, 0, SRCCOPY);
    ::SetBkColor(source, oldBackground);

    ::BitBlt(inverse.get(), 0, 0, size.x, size.y, mask.get(), 0, 0, NOTSRCCOPY);
    ::BitBlt(background.get(), 0, 0, size.x, size.y, dest, x, y, SRCCOPY);
    ::BitBlt(background.get(), 0, 0, size.x, size.y, mask.get(), 0, 0, SRCAND);
    ::BitBlt(source, 0, 0, size.x, size.y, inverse.get(), 0, 0, SRCAND);
    ::BitBlt(background.get(), 0, 0, size.x, size.y, source, 0, 0, SRCPAINT);
    ::BitBlt(dest, x, y, size.x, size.y, background.get(), 0, 0, SRCCOPY);
    ::BitBlt(source, 0, 0, size.x, size.y, save.get(), 0, 0, SRCCOPY);
}

bool keyMask(HBITMAP bitmap, win32::UniqueGdiObject& maskOut, COLORREF keyColour) {
    maskOut.reset();
    BITMAP info{};
    if (!::GetObjectA(bitmap, sizeof info, &info)) return true;
    const int side = info.bmHeight;
    maskOut.reset(::CreateBitmap(side, side, 1, 1, nullptr));
    win32::UniqueMemoryDc sourceDc(::CreateCompatibleDC(nullptr)), maskDc(::CreateCompatibleDC(nullptr));
    if (!maskOut || !sourceDc || !maskDc) return true;
    win32::ScopedSelect selectSource(sourceDc.get(), bitmap);
    win32::ScopedSelect selectMask(maskDc.get(), maskOut.get());
    COLORREF oldBackground = ::SetBkColor(sourceDc.get(), keyColour);
    ::BitBlt(maskDc.get(), 0, 0, side, side, sourceDc.get(), 0, 0, SRCCOPY);
    ::SetBkColor(sourceDc.get(), oldBackground);
    return true;
}

GdiBitmap::GdiBitmap(win32::UniqueGdiObject bitmap) : bitmap_(std::move(bitmap)) {
    BITMAP info{};
    if (::GetObjectA(bitmap_.get(), sizeof info, &info)) {
        width_ = info.bmWidth;
        height_ = info.bmHeight;
    }
}

std::unique_ptr<DeviceBitmap> GdiBitmapFactory::fromPackedDib(const uint8_t* dib, size_t length) {
    win32::UniqueGdiObject bitmap = bitmapFromDib(dib, length);
    if (!bitmap) return nullptr;
    return std::make_unique<GdiBitmap>(std::move(bitmap));
}

bool isSection32(HDC dc) {
    HGDIOBJ bitmap = ::GetCurrentObject(dc, OBJ_BITMAP);
    DIBSECTION section{};
    return bitmap && ::GetObjectA(bitmap, sizeof section, &section) == static_cast<int>(sizeof section) &&
           section.dsBm.bmBits && section.dsBmih.biBitCount == 32 && section.dsBmih.biCompression == BI_RGB;
}

win32::UniqueGdiObject makeSection32(HDC reference, int width, int height, SectionPixels& pixels) {
    if (width <= 0 || height <= 0) return {};
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    win32::UniqueGdiObject section(::CreateDIBSection(reference, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || !bits) return {};
    pixels.topRow = static_cast<uint8_t*>(bits);
    pixels.rowStep = static_cast<ptrdiff_t>(width) * 4;
    pixels.width = width;
    pixels.height = height;
    return section;
}

}  // namespace quillet
