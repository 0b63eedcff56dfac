#include "common/win32/handles.h"

#include <gtest/gtest.h>

namespace quillet::win32 {
namespace {

bool handleIsOpen(HANDLE handle) {
    DWORD flags = 0;
    return ::GetHandleInformation(handle, &flags) != 0;
}

TEST(Handles, KernelHandleClosesOnceAfterMoves) {
    HANDLE raw = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(raw);
    {
        UniqueHandle first(raw);
        UniqueHandle second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_TRUE(handleIsOpen(raw));
        UniqueHandle third;
        third = std::move(second);
        EXPECT_EQ(third.get(), raw);
    }
    EXPECT_FALSE(handleIsOpen(raw));
}

TEST(Handles, InvalidFileHandleIsNone) {
    UniqueFile missing(::CreateFileA("C:\\no\\such\\file.bin", GENERIC_READ, 0, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.get(), INVALID_HANDLE_VALUE);
}

TEST(Handles, GdiObjectsAreDeletedAndSelectionRestored) {
    HBITMAP raw = ::CreateBitmap(4, 4, 1, 1, nullptr);
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    HGDIOBJ original = ::GetCurrentObject(dc.get(), OBJ_BITMAP);
    {
        UniqueGdiObject bitmap(raw);
        {
            ScopedSelect select(dc.get(), bitmap.get());
            EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BITMAP), raw);
        }
        EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BITMAP), original);
    }
    EXPECT_EQ(::GetObjectType(raw), 0u);
}

}  // namespace
}  // namespace quillet::win32
