#pragma once
// The stored forms of the frame stream's records across the format versions: frame
// records of 36 to 44 bytes, the 28-byte band header of the oldest versions and the
// logo layouts. Each form is a list of fields in file order, decoded to the current
// records and encoded from them (the writer of old movies uses the latter).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "player/container/buffered_reader.h"
#include "player/container/format_versions.h"
#include "player/container/frame_records.h"

namespace quillet {

enum class FrameRecordForm { R36a, R40a, R44, R40b, R36b, Current };
enum class BandHeaderForm { H28, Current };

// Room for the record and band header of any form.
constexpr size_t kLargestFrameRecord = 44;
constexpr size_t kLargestBandHeader = 28;

// A frame record as any form stores it. groupFirst is the first frame of the
// frame's group, which only the oldest forms store (0 elsewhere).
struct StoredFrameRecord {
    FrameRecord record;
    int32_t groupFirst = 0;
};

size_t frameRecordSize(FrameRecordForm form);
// bytes holds frameRecordSize(form) bytes. Forms without a hold leave it 0; forms
// that store it as magnitude and sign give the magnitude when the sign word is not
// 0 and its negation when it is.
StoredFrameRecord decodeFrameRecord(FrameRecordForm form, const uint8_t* bytes);
std::string encodeFrameRecord(FrameRecordForm form, const StoredFrameRecord& stored);

// A band header; present is the 28-byte form's flag: a band without it has no
// bytes behind its header and is no band of the frame.
struct StoredBandHeader {
    BandHeader header;
    bool present = true;
};

size_t bandHeaderSize(BandHeaderForm form);
StoredBandHeader decodeBandHeader(BandHeaderForm form, const uint8_t* bytes);
std::string encodeBandHeader(BandHeaderForm form, const StoredBandHeader& stored);

// Reads a logo of the given form (not LogoForm::None): its record fields and the
// length-prefixed picture. Fields a form lacks stay empty (corner 0: top left).
// False when the picture's length runs past what remains.
bool readLogo(BufferedReader& in, LogoForm form, LogoRecord& record, std::vector<uint8_t>& picture);
std::string encodeLogo(LogoForm form, const LogoRecord& record, const std::string& pictureDib);

}  // namespace quillet
