#include "common/unique_resource.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

namespace quillet {
namespace {

std::vector<int> g_closed;

struct MinusOneTraits {
    static int invalid() { return -1; }
    static void close(int value) { g_closed.push_back(value); }
};
using Owner = UniqueResource<int, MinusOneTraits>;

TEST(UniqueResource, ClosesOnceWhateverHappensToIt) {
    g_closed.clear();
    {
        Owner a(3);
        Owner b(std::move(a));
        EXPECT_FALSE(a.valid());
        Owner c(5);
        c = std::move(b);  // 5 closes, 3 moves in
        EXPECT_EQ(g_closed, std::vector<int>{5});
        Owner& alias = c;
        c = std::move(alias);  // self-move keeps it
        EXPECT_EQ(c.get(), 3);
    }
    EXPECT_EQ(g_closed, (std::vector<int>{5, 3}));
}

TEST(UniqueResource, EmptyValueIsNeverClosed) {
    g_closed.clear();
    {
        Owner none;
        Owner zero(0);  // 0 is a real value for this kind
        EXPECT_TRUE(zero.valid());
        int released = Owner(7).release();
        EXPECT_EQ(released, 7);
    }
    EXPECT_EQ(g_closed, std::vector<int>{0});
}

TEST(UniqueResource, CannotBeCopied) {
    EXPECT_FALSE(std::is_copy_constructible_v<Owner>);
    EXPECT_FALSE(std::is_copy_assignable_v<Owner>);
}

}  // namespace
}  // namespace quillet
