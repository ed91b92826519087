#include <gtest/gtest.h>

#include "platform/net/JSON.h"

using platform::Array;
using platform::Dictionary;
using platform::Value;
using platform::net::JSON;

TEST(JSON, DecodesObjectsAndDropsNulls) {
    const auto object = JSON::decodeObject(
        R"({"Status":"OK","Description":3,"Data":[{"bid":"a1","n":null},null,2.5,true],"Gone":null})");
    ASSERT_TRUE(object);
    EXPECT_EQ(object->at("Status"), Value("OK"));
    EXPECT_EQ(object->at("Description"), Value(3));
    EXPECT_EQ(object->count("Gone"), 0u);
    const Array& data = object->at("Data").array();
    ASSERT_EQ(data.size(), 3u);
    EXPECT_EQ(data[0], Value(Dictionary {{"bid", "a1"}}));
    EXPECT_EQ(data[1], Value(2.5));
    EXPECT_EQ(data[2], Value(true));
}

TEST(JSON, TextThatIsNoObjectDecodesToNothing) {
    EXPECT_FALSE(JSON::decodeObject("<html>Bad Gateway</html>"));
    EXPECT_FALSE(JSON::decodeObject("[1,2]"));
    EXPECT_FALSE(JSON::decodeObject(""));
    EXPECT_FALSE(JSON::decode("null"));
    EXPECT_EQ(JSON::decode("\"x\""), Value("x"));
}

TEST(JSON, EncodesAndReadsBack) {
    const Value value(Dictionary {{"name", "Jürgen"}, {"list", Array {1, 2.5, false}}});
    EXPECT_EQ(JSON::encode(value), R"({"list":[1,2.5,false],"name":"Jürgen"})");
    EXPECT_EQ(JSON::decode(JSON::encode(value)), value);
}
