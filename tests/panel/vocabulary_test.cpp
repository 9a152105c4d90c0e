#include "CommandVocabulary.h"

#include <gtest/gtest.h>

namespace {

using namespace vocab;

TEST(Vocabulary, WireFormsAndCommandsWithoutReply)
{
    EXPECT_EQ(wireForm("S"), "S");
    EXPECT_EQ(wireForm(pcuQuery(kPcuStatus)), "?   S\r\n");
    EXPECT_EQ(wireForm(parameterRead(kSkew)), QByteArray("m") + char(138) + "999\r\n");
    EXPECT_EQ(parameterWrite('F', 7), "mF007");
    EXPECT_TRUE(expectsNoReply("C"));
    EXPECT_TRUE(expectsNoReply("D"));
    EXPECT_TRUE(expectsNoReply("wV   \r\n"));
    EXPECT_FALSE(expectsNoReply("w!123\r\n"));
    EXPECT_FALSE(expectsNoReply("Co"));
    EXPECT_FALSE(expectsNoReply("c0030\r\n"));
}

TEST(Vocabulary, KeyIsTheFirstOccurrenceAndMustLieInItsWindow)
{
    EXPECT_EQ(locateKey("E0123", PositionShape::key), 1);
    EXPECT_EQ(locateKey("12345678E", PositionShape::key), 9);
    EXPECT_EQ(locateKey("123456789E", PositionShape::key), 0);
    // A later key inside the window does not rescue an earlier one outside it.
    EXPECT_EQ(locateKey("xxWxxxxW", GpsShape::west), 0);
    EXPECT_EQ(locateKey("no version", VersionShape::key), 0);
    EXPECT_EQ(locateKey("ACU VER 2", VersionShape::key), 5);
    EXPECT_EQ(locateKey("", StatusShape::key), 0);
}

TEST(Vocabulary, FieldsAreClippedToTheLine)
{
    EXPECT_EQ(fieldAt("E0123A1234C00", 1, PositionShape::crossLevel), "00");
    EXPECT_EQ(fieldAt("E01", 1, PositionShape::azimuth), "");
    EXPECT_EQ(fieldAt("abc", 2, GpsShape::latitude), "a"); // starts before the line
    EXPECT_EQ(fieldAt("abc", 0, PositionShape::elevation), "");
    EXPECT_EQ(charAt("abc", 3), 'c');
    EXPECT_EQ(charAt("abc", 4), -1);
    EXPECT_EQ(charAt("abc", 0), -1);
    EXPECT_EQ(charAt("\xff", 1), 255);
}

} // namespace
