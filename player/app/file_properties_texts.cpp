#include "player/app/file_properties_texts.h"

#include <cstring>

#include "player/app/text_format.h"

namespace quillet {

std::string versionLine(const std::string& signature) {
    const size_t prefix = std::strlen(kSignaturePrefixProduct);
    if (signature.compare(0, prefix, kSignaturePrefixProduct) != 0) return {};
    return kSignaturePrefixProduct + signature.substr(prefix) + " Final";
}

std::string fileSizeText(std::optional<uint64_t> fileBytes, const FilePropertiesFormats& formats) {
    if (!fileBytes) return formats.fileSizeUnknown;
    return formatText(formats.fileSize, {withDigitGroups(*fileBytes / 1000)});
}

int64_t lengthSeconds(int64_t lengthMs) { return lengthMs > 0 ? lengthMs / 1000 : 0; }

FilePropertiesTexts filePropertiesTexts(const MovieFacts& movie, const FilePropertiesFormats& formats) {
    FilePropertiesTexts texts;
    texts.versionLine = versionLine(movie.header.signatureText());
    texts.description = formatText(formats.description, {movie.header.descriptionText()});
    texts.createdBy = formatText(formats.createdBy, {movie.header.createdByText()});
    texts.date = formatText(formats.date, {movie.header.dateText()});
    const Rect& area = movie.recordedArea;
    texts.recordedArea = formatText(formats.recordedArea, {std::to_string(area.left), std::to_string(area.top),
                                                           std::to_string(area.right), std::to_string(area.bottom)});
    texts.fileSize = fileSizeText(movie.fileBytes, formats);
    texts.fileLength = formatText(formats.fileLength, {std::to_string(lengthSeconds(movie.lengthMs))});
    return texts;
}

}  // namespace quillet
