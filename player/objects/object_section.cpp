#include "player/objects/object_section.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/byte_reader.h"
#include "common/device_names.h"
#include "player/container/compressed_block.h"
#include "player/container/record_stream.h"

namespace quillet {
namespace {

using namespace caption_kind;

// The 64 bytes that follow a titled caption: the title colour and its font.
constexpr size_t kTitleFontBlockSize = 4 + kLogFontSize;
constexpr int kStoredLevel = 9;

constexpr char kFailToCreateFile[] = "Fail to Create File !";
constexpr char kFailToUncompress[] = "Fail to Uncompression !";
constexpr char kFailToCreateTemporaryFile[] = "Fail to Create Temporary File";
constexpr char kZlibUncompressionError[] = "Zlib Uncompression Error";

// Names are stored with a terminating NUL by some writers.
std::string withoutTerminator(std::string name) {
    const size_t end = name.find('\0');
    if (end != std::string::npos) name.resize(end);
    return name;
}

// A stored name becomes a file in one folder: only its last part counts, so that a
// name cannot reach outside that folder. A name that would open a device, or that
// Windows refuses, gets a fresh name instead (empty here).
std::string plainFileName(const std::string& name) {
    const size_t cut = name.find_last_of("\\/:");
    std::string plain = cut == std::string::npos ? name : name.substr(cut + 1);
    if (plain.find_first_not_of(". ") == std::string::npos || isDeviceName(plain)) return std::string();
    for (char c : plain)
        if (static_cast<unsigned char>(c) < 32 || std::strchr("<>\"|?*", c)) return std::string();
    return plain;
}

bool headOutsideScreen(int32_t value, int32_t limit) {
    return limit > 0 && (value > limit || value < -limit);
}

void dropHeadsOutsideScreen(ArrowTail& arrow, Size screen) {
    for (Point* p : {&arrow.headLeft, &arrow.headRight, &arrow.headTip}) {
        if (headOutsideScreen(p->x, screen.width)) p->x = 0;
        if (headOutsideScreen(p->y, screen.height)) p->y = 0;
    }
}

class SectionReader {
public:
    SectionReader(BufferedReader& in, ObjectSectionForm form, ObjectReadHost& host, ObjectSection& section)
        : in_(in), form_(form), host_(host), section_(section) {}

    void read() {
        if (form_ >= ObjectSectionForm::Form4) section_.soundsSeparate = in_.u32();
        if (form_ >= ObjectSectionForm::Form3) section_.cacheStored = in_.u32();
        const uint32_t count = in_.u32();
        section_.effectCounter = in_.u32() + 1;
        // Each record holds at least its header and a length word.
        const uint64_t smallest = headerSize() + RecordStream::kWordSize;
        if (!in_.ok()) {
            section_.stoppedEarly = true;
            return;
        }
        if (count > 0) section_.objects.reserve(static_cast<size_t>(std::min<uint64_t>(count, in_.remaining() / smallest)));
        for (uint32_t i = 0; i < count; ++i) {
            CaptionRecord record;
            if (!readRecord(record)) {
                section_.stoppedEarly = true;
                break;
            }
            section_.objects.push_back(std::move(record));
        }
        host_.afterSection(form_ >= ObjectSectionForm::Form4);
    }

private:
    size_t headerSize() const {
        return form_ == ObjectSectionForm::Form1 ? ObjectHeader::kForm1Size : ObjectHeader::kSize;
    }
    bool form1() const { return form_ == ObjectSectionForm::Form1; }

    bool readRecord(CaptionRecord& record) {
        uint8_t header[ObjectHeader::kSize] = {};
        in_.fixed(header, headerSize());
        if (!in_.ok()) return false;
        record.header = ObjectHeader::decode(header, headerSize());
        const uint32_t kind = record.kind();
        // Such records carry no length, so nothing after them can be found.
        if (kind > kLast || (form1() && kind == kHotspotCaption)) {
            section_.unknownKind = true;
            return false;
        }

        if (kind != kSoundCaption) record.text = in_.counted();
        switch (kind) {
        case kArrowLine: readArrow(record.arrow); break;
        case kRoundCaption: record.cornerSize = in_.point(); break;
        case kTitledCaption: readTitle(record.title); break;
        case kBoxBalloon:
        case kRoundBalloon:
        case kEllipseBalloon: readBalloon(record); break;
        case kImageCaption: readPicture(record.picture); break;
        case kSoundCaption: readSound(record.sound); break;
        case kHotspotCaption: readHotspot(record.hotspot); break;
        default: break;
        }
        if (!in_.ok()) return false;
        if (form_ >= ObjectSectionForm::Form2 && section_.cacheStored) readStoredPicture(record.stored);
        return in_.ok();
    }

    void readArrow(ArrowTail& arrow) {
        arrow.arrowStyle = in_.u32();
        arrow.headLeft = in_.point();
        arrow.headRight = in_.point();
        arrow.headTip = in_.point();
        arrow.start = in_.point();
        arrow.end = in_.point();
        if (!form1()) dropHeadsOutsideScreen(arrow, host_.screen());
    }

    void readTitle(TitleTail& title) {
        title.reserved1 = in_.i32();
        title.reserved2 = in_.i32();
        title.bodyTextRect = in_.rect();
        title.titleBar = in_.rect();
        title.titleTextRect = in_.rect();
        title.title = in_.counted();
        uint8_t font[kTitleFontBlockSize] = {};
        in_.fixed(font, sizeof font);
        ByteReader block(font, sizeof font);
        title.titleColour = block.u32();
        block.bytes(title.titleFont.data(), title.titleFont.size());
    }

    void readBalloon(CaptionRecord& record) {
        BalloonTail& balloon = record.balloon;
        balloon.tailMode = in_.u32();
        balloon.tailRoot = in_.point();
        balloon.tailTip = in_.point();
        if (record.kind() == kRoundBalloon) record.cornerSize = in_.point();
        balloon.tailBaseA = in_.point();
        balloon.tailBaseB = in_.point();
        const Rect& body = record.header.bodyRect;
        record.tailOffset = Point{wrappingDifference(balloon.tailTip.x, body.left),
                                  wrappingDifference(balloon.tailTip.y, body.top)};
    }

    void readPicture(PictureTail& picture) {
        picture.pictureType = in_.u32();
        if (picture.pictureType == 0) {
            in_.fixed(picture.iconInfo.data(), picture.iconInfo.size());
            picture.iconMask = in_.block();
            picture.iconColour = in_.block();
        } else if (picture.pictureType == 1) {
            picture.image = in_.block();
            picture.hasMask = in_.u32();
            if (picture.hasMask) picture.imageMask = in_.block();
            picture.actualSize = in_.u32();
            picture.reference = in_.i32();
            picture.naturalWidth = in_.u32();
            picture.naturalHeight = in_.u32();
        }
        if (!in_.ok()) return;
        // A block that does not inflate leaves the object without its picture; the
        // viewer is told once, and the movie goes on.
        auto inflate = [](const CompressedBlock& block, std::vector<uint8_t>& dib) {
            return inflateToSize(block.packed.data(), block.packed.size(), block.rawSize, dib);
        };
        bool whole = true;
        if (picture.pictureType == 0) {
            whole = inflate(picture.iconMask, picture.iconMaskDib) && inflate(picture.iconColour, picture.iconColourDib);
        } else if (picture.pictureType == 1) {
            whole = inflate(picture.image, picture.imageDib) &&
                    (!picture.hasMask || inflate(picture.imageMask, picture.imageMaskDib));
        }
        if (!whole) {
            // Released, not only emptied: a damaged movie may hold many such objects.
            for (std::vector<uint8_t>* dib : {&picture.iconMaskDib, &picture.iconColourDib, &picture.imageDib,
                                              &picture.imageMaskDib})
                *dib = std::vector<uint8_t>();
            host_.report(kZlibUncompressionError);
        }
    }

    void readSound(SoundTail& sound) {
        // The current form stores no name, whatever its length word says.
        const uint32_t nameLength = in_.u32();
        if (form_ != ObjectSectionForm::Form5 && nameLength > 0) sound.name = withoutTerminator(in_.bytes(nameLength));
        sound.embedded = in_.u32();
        if (!sound.embedded) return;
        sound.sound = in_.block();
        if (!in_.ok()) return;
        // The file is made first: the viewer hears of a folder that cannot be
        // written before a sound that cannot be unpacked.
        const std::string path = host_.createSoundFile(plainFileName(sound.name));
        if (path.empty()) {
            host_.report(form1() ? kFailToCreateTemporaryFile : kFailToCreateFile);
            return;
        }
        const InflateResult result = inflateSound(sound.sound, [&](const uint8_t* piece, size_t length) {
            return host_.appendFile(path, piece, length);
        });
        if (result == InflateResult::Damaged) {
            host_.report(form1() ? kZlibUncompressionError : kFailToUncompress);
            return;
        }
        if (result == InflateResult::Finished) sound.path = path;
    }

    void readHotspot(HotspotTail& hotspot) {
        hotspot.modifiers = in_.i32();
        hotspot.eventMask = in_.i32();
        hotspot.cursor = in_.i32();
        hotspot.key = in_.u16();
        if (hotspot.linked()) hotspot.partnerId = in_.i32();
        hotspot.label = in_.counted();
        readAttachedSound(hotspot.sound);
    }

    void readAttachedSound(AttachedSound& sound) {
        const bool separate = section_.soundsSeparate != 0;
        sound.hasSound = in_.u32();
        if (!sound.hasSound) return;
        sound.name = withoutTerminator(in_.counted());
        if (!separate) {
            sound.dataFollows = in_.u32();
            uint32_t rawSize = 0, packedSize = 0;
            // A compressed length of 0 stands for no sound, and the two lengths are
            // not the record's: they are left for what follows.
            if (sound.dataFollows && in_.peekTwo(rawSize, packedSize) && packedSize > 0) sound.sound = in_.block();
        }
        if (!in_.ok()) return;
        if (separate || !sound.sound.empty()) {
            AttachedSound named = sound;
            named.name = plainFileName(sound.name);
            sound.path = host_.attachedSoundPath(named, separate);
        }
    }

    void readStoredPicture(StoredPicture& stored) {
        if (!in_.u32()) return;
        const CompressedBlock picture = in_.block();
        const CompressedBlock mask = in_.block();
        if (!in_.ok()) return;
        // A block that does not inflate is dropped: the object renders itself.
        if (!inflateToSize(picture.packed.data(), picture.packed.size(), picture.rawSize, stored.picture) ||
            !inflateToSize(mask.packed.data(), mask.packed.size(), mask.rawSize, stored.mask))
            stored = StoredPicture();
    }

    RecordStream in_;
    ObjectSectionForm form_;
    ObjectReadHost& host_;
    ObjectSection& section_;
};

std::string compressed(const std::vector<uint8_t>& bytes) {
    uLongf length = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(length, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &length, bytes.data(), static_cast<uLong>(bytes.size()),
                  kStoredLevel) != Z_OK)
        return std::string();
    out.resize(length);
    return out;
}

void writeCounted(ByteWriter& out, const std::string& bytes) {
    out.u32(static_cast<uint32_t>(bytes.size()));
    out.bytes(bytes);
}

void writeBlock(ByteWriter& out, const CompressedBlock& block) {
    out.u32(block.rawSize);
    writeCounted(out, block.packed);
}

}  // namespace

std::string numberedSoundName(const std::string& name, int k) {
    char number[16];
    std::snprintf(number, sizeof number, "_%.3d", k);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return name + number;
    return name.substr(0, dot) + number + name.substr(dot);
}

InflateResult inflateSound(const CompressedBlock& sound, const std::function<bool(const uint8_t*, size_t)>& write) {
    if (sound.rawSize == 0 || !plausibleInflatedSize(sound.rawSize, sound.packed.size())) return InflateResult::Damaged;
    return inflateInPieces(sound.packed.data(), sound.packed.size(), sound.rawSize, write);
}

ObjectSection readObjectSection(BufferedReader& in, ObjectSectionForm form, ObjectReadHost& host,
                                const ObjectSection& start) {
    ObjectSection section;
    section.soundsSeparate = start.soundsSeparate;
    section.cacheStored = start.cacheStored;
    SectionReader(in, form, host, section).read();
    return section;
}

std::string encodeCaptionRecord(const CaptionRecord& record, ObjectSectionForm form, uint32_t soundsSeparate) {
    std::string bytes;
    ByteWriter out(bytes);
    const uint32_t kind = record.kind();
    std::string header = record.header.encode();
    if (form == ObjectSectionForm::Form1) header.resize(ObjectHeader::kForm1Size);
    out.bytes(header);
    if (kind != kSoundCaption) writeCounted(out, kind <= kArrowLine ? std::string() : record.text);
    switch (kind) {
    case kArrowLine: {
        const ArrowTail& a = record.arrow;
        out.u32(a.arrowStyle);
        for (const Point& p : {a.headLeft, a.headRight, a.headTip, a.start, a.end}) out.point(p);
        break;
    }
    case kRoundCaption: out.point(record.cornerSize); break;
    case kTitledCaption: {
        const TitleTail& t = record.title;
        out.i32(t.reserved1);
        out.i32(t.reserved2);
        out.rect(t.bodyTextRect);
        out.rect(t.titleBar);
        out.rect(t.titleTextRect);
        writeCounted(out, t.title);
        out.u32(t.titleColour);
        out.bytes(t.titleFont.data(), t.titleFont.size());
        break;
    }
    case kBoxBalloon:
    case kRoundBalloon:
    case kEllipseBalloon: {
        const BalloonTail& b = record.balloon;
        out.u32(b.tailMode);
        out.point(b.tailRoot);
        out.point(b.tailTip);
        if (kind == kRoundBalloon) out.point(record.cornerSize);
        out.point(b.tailBaseA);
        out.point(b.tailBaseB);
        break;
    }
    case kImageCaption: {
        const PictureTail& p = record.picture;
        out.u32(p.pictureType);
        if (p.pictureType == 0) {
            out.bytes(p.iconInfo.data(), p.iconInfo.size());
            writeBlock(out, p.iconMask);
            writeBlock(out, p.iconColour);
        } else if (p.pictureType == 1) {
            writeBlock(out, p.image);
            out.u32(p.hasMask);
            if (p.hasMask) writeBlock(out, p.imageMask);
            out.u32(p.actualSize);
            out.i32(p.reference);
            out.u32(p.naturalWidth);
            out.u32(p.naturalHeight);
        }
        break;
    }
    case kSoundCaption: {
        const SoundTail& s = record.sound;
        if (form == ObjectSectionForm::Form5) {
            out.u32(0);
        } else {
            writeCounted(out, s.name);
        }
        out.u32(s.embedded);
        if (s.embedded) writeBlock(out, s.sound);
        break;
    }
    case kHotspotCaption: {
        const HotspotTail& h = record.hotspot;
        out.i32(h.modifiers);
        out.i32(h.eventMask);
        out.i32(h.cursor);
        out.u16(h.key);
        if (h.linked()) out.i32(h.partnerId);
        writeCounted(out, h.label);
        const AttachedSound& s = h.sound;
        out.u32(s.hasSound);
        if (s.hasSound) {
            writeCounted(out, s.name + std::string(1, '\0'));
            if (!soundsSeparate) {
                out.u32(s.dataFollows);
                if (s.dataFollows) writeBlock(out, s.sound);
            }
        }
        break;
    }
    default: break;
    }
    return bytes;
}

std::string writeObjectSection(const ObjectSection& section, ObjectSectionForm form) {
    std::string bytes;
    ByteWriter out(bytes);
    if (form >= ObjectSectionForm::Form4) out.u32(section.soundsSeparate);
    if (form >= ObjectSectionForm::Form3) out.u32(section.cacheStored);
    out.u32(static_cast<uint32_t>(section.objects.size()));
    out.u32(section.effectCounter);
    for (const CaptionRecord& record : section.objects) {
        out.bytes(encodeCaptionRecord(record, form, section.soundsSeparate));
        if (form == ObjectSectionForm::Form1 || !section.cacheStored) continue;
        const std::string picture = record.stored.present() ? compressed(record.stored.picture) : std::string();
        const std::string mask = record.stored.present() ? compressed(record.stored.mask) : std::string();
        const bool present = !picture.empty() && !mask.empty();
        out.u32(present ? 1 : 0);
        if (!present) continue;
        out.u32(static_cast<uint32_t>(record.stored.picture.size()));
        writeCounted(out, picture);
        out.u32(static_cast<uint32_t>(record.stored.mask.size()));
        writeCounted(out, mask);
    }
    return bytes;
}

}  // namespace quillet
