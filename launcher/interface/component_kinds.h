#pragma once
// The component classes of the viewer library by kind code, with the bytes the
// launcher reserves for each (the library's 32-bit object sizes).

#include <cstddef>
#include <cstdint>

namespace quillet::viewer {

constexpr int32_t kKindProjectSettings = 98;
constexpr int32_t kKindSecurity = 99;

struct ComponentKind {
    int32_t kind;
    const char* className;
    size_t bytes;
};

constexpr ComponentKind kComponentKinds[] = {
    {0, "CFileViewer", 20916},
    {1, "CFolderViewer", 20944},
    {2, "CWebViewer", 21512},
    {3, "CZipViewer", 20956},
    {4, "CMediaViewer", 20988},
    {5, "CFlashViewer", 20960},
    {6, "CSlideShowViewer", 21024},
    {7, "CMenuViewer", 20956},
    {8, "CMusicViewer", 21020},
    {9, "CImageViewer", 20972},
    {10, "CFailsafeViewer", 20920},
    {kKindProjectSettings, "CProjectSettingsViewer", 46052},
    {kKindSecurity, "CSecurityViewer", 21016},
};

// The entry for kind, or nullptr for a kind the library does not have.
constexpr const ComponentKind* findComponentKind(int32_t kind) {
    for (const ComponentKind& entry : kComponentKinds)
        if (entry.kind == kind) return &entry;
    return nullptr;
}

constexpr bool isContentKind(int32_t kind) { return kind >= 0 && kind <= 10; }

}  // namespace quillet::viewer
