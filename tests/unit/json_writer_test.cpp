#include "common/json_writer.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(JsonWriter, NestsAndEscapes) {
    JsonWriter json;
    json.beginObject();
    json.value("text", "a\"b\\c\nd\x01\xE9");
    json.beginArray("list");
    json.value(nullptr, int64_t{-3});
    json.value(nullptr, true);
    json.endArray();
    json.beginObject("empty");
    json.endObject();
    json.endObject();
    EXPECT_EQ(json.text(),
              "{\n  \"text\": \"a\\\"b\\\\c\\nd\\u0001\\u00e9\",\n  \"list\": [\n    -3,\n"
              "    true\n  ],\n  \"empty\": {}\n}\n");
}

TEST(JsonWriter, NumbersReadBackExactly) {
    EXPECT_EQ(JsonWriter::number(1.85), "1.85");
    EXPECT_EQ(JsonWriter::number(3.0), "3");
    EXPECT_EQ(JsonWriter::number(1.5), "1.5");
}

}  // namespace
}  // namespace quillet
