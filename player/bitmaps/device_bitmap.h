#pragma once
// Device bitmaps made from stored pictures, and the factories that make them.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quillet {

// A device bitmap made from a stored picture. The Windows layer makes GDI bitmaps;
// elsewhere the stored bytes are kept as they are.
class DeviceBitmap {
public:
    virtual ~DeviceBitmap() = default;
    virtual int32_t width() const = 0;
    virtual int32_t height() const = 0;
};

class BitmapFactory {
public:
    virtual ~BitmapFactory() = default;
    // A bitmap from a packed DIB (header, colour table, pixels), or none when the
    // bytes do not make one.
    virtual std::unique_ptr<DeviceBitmap> fromPackedDib(const uint8_t* dib, size_t length) = 0;
};

// Keeps the packed bytes: the factory of the native build and of tests.
class PackedDibBitmap : public DeviceBitmap {
public:
    explicit PackedDibBitmap(std::vector<uint8_t> bytes);
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    int32_t width() const override { return width_; }
    int32_t height() const override { return height_; }

private:
    std::vector<uint8_t> bytes_;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

class PackedDibFactory : public BitmapFactory {
public:
    std::unique_ptr<DeviceBitmap> fromPackedDib(const uint8_t* dib, size_t length) override;
};

}  // namespace quillet
