#include "NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace numfmt;

TEST(NumberFormat, RoundsHalvesToEvenDespiteRepresentationNoise)
{
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(-3.5), -4);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(roundHalfEven(2.5001), 3);
    // 0.1 * 25 is 2.5000000000000004 and 0.35 * 10 is 3.4999999999999996: both are halves.
    EXPECT_EQ(roundHalfEven(0.1 * 25), 2);
    EXPECT_EQ(roundHalfEven(0.35 * 10), 4);
    EXPECT_EQ(roundHalfEven(1.005 * 100), 100);
    // Damaged input saturates instead of overflowing.
    EXPECT_EQ(roundHalfEven(std::nan("")), 0);
    EXPECT_EQ(roundHalfEven(1e30), std::numeric_limits<qint64>::max());
    EXPECT_EQ(roundHalfEven(-std::numeric_limits<double>::infinity()), std::numeric_limits<qint64>::min());
}

TEST(NumberFormat, Wraps16Bit)
{
    EXPECT_EQ(wrap16(40000), -25536);
    EXPECT_EQ(wrap16(65535), -1);
    EXPECT_EQ(wrap16(65536), 0);
    EXPECT_EQ(wrap16(32767), 32767);
    EXPECT_EQ(wrap16(32768), -32768);
    EXPECT_EQ(wrap16(-1), -1);
    EXPECT_EQ(wrap16(-32769), 32767);
}

TEST(NumberFormat, FixedDigitFields)
{
    EXPECT_EQ(afmtINT3(7), "007");
    EXPECT_EQ(afmtINT3(0), "000");
    EXPECT_EQ(afmtINT3(128), "128");
    EXPECT_EQ(afmtINT3(1234), "1234");
    EXPECT_EQ(afmtINT3(-7), "-007");
    EXPECT_EQ(afmtINT3(-123), "-123");
    EXPECT_EQ(afmtINT3(2.5), "002");
    EXPECT_EQ(afmtINT3(-0.4), "000");
    EXPECT_EQ(afmtINT4(42), "0042");
    EXPECT_EQ(afmtINT4(-42), "-0042");
    EXPECT_EQ(afmtINT4(99999), "99999");
    EXPECT_EQ(afmtINT4(12.5), "0012");
    EXPECT_EQ(afmtINT4(13.5), "0014");
}

TEST(NumberFormat, HexTextToSigned16)
{
    EXPECT_EQ(aH2I("FFFF"), -1);
    EXPECT_EQ(aH2I("7F"), 127);
    EXPECT_EQ(aH2I("7fff"), 32767);
    EXPECT_EQ(aH2I("8000"), -32768);
    EXPECT_EQ(aH2I("00A5"), 165);
    EXPECT_EQ(aH2I(" 1A "), 26);
    EXPECT_EQ(aH2I("&HFF"), 255);
    EXPECT_EQ(aH2I("0x10"), 16);
    EXPECT_EQ(aH2I("12G4"), 0x12);
    EXPECT_EQ(aH2I("12345"), 0x2345);
    EXPECT_EQ(aH2I("xyz"), 0);
    EXPECT_EQ(aH2I(""), 0);
    EXPECT_EQ(aH2I("-1"), 0);
}

TEST(NumberFormat, ArcTangentInAllQuadrants)
{
    constexpr double pi = 3.14159;
    EXPECT_DOUBLE_EQ(dTan2(0, 5), pi / 2);
    EXPECT_DOUBLE_EQ(dTan2(0, -5), -pi / 2);
    EXPECT_DOUBLE_EQ(dTan2(0, 0), -pi / 2);
    EXPECT_DOUBLE_EQ(dTan2(1, 1), std::atan(1.0));
    EXPECT_DOUBLE_EQ(dTan2(1, -1), -std::atan(1.0));
    // Left half-plane: corrected by the program's pi, so not the library's atan2.
    EXPECT_DOUBLE_EQ(dTan2(-1, 1), pi - std::atan(1.0));
    EXPECT_DOUBLE_EQ(dTan2(-1, -1), pi + std::atan(1.0));
    EXPECT_DOUBLE_EQ(dTan2(-2, 0), pi);
    EXPECT_DOUBLE_EQ(dTan2(3, 0), 0.0);
}

TEST(NumberFormat, Patterns)
{
    struct Case {
        double value;
        const char* pattern;
        const char* text;
    };
    const Case cases[] = {
        {12.34, "##0.0", "12.3"},   {0.04, "##0.0", "0.0"},
        {-0.04, "##0.0", "0.0"},    {-0.15, "##0.0", "-0.2"},
        {-12.25, "##0.0", "-12.2"}, {999.95, "##0.0", "1000.0"},
        {12.25, "##0.0", "12.2"},   {12.35, "##0.0", "12.4"},
        {5, "000.0", "005.0"},      {-5.05, "000.0", "-005.0"},
        {12, "0000", "0012"},       {-12, "0000", "-0012"},
        {12.5, "0000", "0012"},     {123456, "0000", "123456"},
        {0, "#0.00", "0.00"},       {2.675, "#0.00", "2.68"},
        {0.125, "#0.00", "0.12"},   {-3.14159, "#0.00", "-3.14"},
        {0.5, "###.0", ".5"},       {0, "###", ""},
        {0.04, "##.0", ".0"},       {3746, "0000.000", "3746.000"},
        {7.5, "00.000", "07.500"},  {42.5, "#", "42"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatPattern(c.value, c.pattern), c.text) << c.value << " with " << c.pattern;
}

TEST(NumberFormat, LeadingSpaceForm)
{
    EXPECT_EQ(leadingSpace(qint64(12)), " 12");
    EXPECT_EQ(leadingSpace(0), " 0");
    EXPECT_EQ(leadingSpace(-3), "-3");
    EXPECT_EQ(leadingSpace(qint16(-32768)), "-32768");
    EXPECT_EQ(leadingSpace(2.5), " 2.5");
    EXPECT_EQ(leadingSpace(0.5), " .5");
    EXPECT_EQ(leadingSpace(-0.25), "-.25");
    EXPECT_EQ(leadingSpace(0.1 + 0.2), " .3");
    EXPECT_EQ(leadingSpace(1e20), " 1E+20");
}

TEST(NumberFormat, LeadingNumberReadsLikeTheLegacyReader)
{
    EXPECT_EQ(leadingNumber("  12ab"), 12);
    EXPECT_EQ(leadingNumber("-3.5x"), -3.5);
    EXPECT_EQ(leadingNumber("+7"), 7);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("-"), 0);
    EXPECT_EQ(leadingNumber("."), 0);
    EXPECT_EQ(leadingNumber(".5"), 0.5);
    EXPECT_EQ(leadingNumber("1.2.3"), 1.2);
    EXPECT_EQ(leadingNumber("0042\r"), 42);
    // Blanks inside the number do not end it.
    EXPECT_EQ(leadingNumber("- 1 2"), -12);
    EXPECT_EQ(leadingNumber("\t 3\n4"), 34);
    EXPECT_EQ(leadingNumber("12,5"), 12);
    EXPECT_EQ(leadingNumber("1.5E3"), 1500);
    EXPECT_EQ(leadingNumber("2D2"), 200);
    EXPECT_EQ(leadingNumber("45E"), 45);
    EXPECT_EQ(leadingNumber("45EW"), 45);
    EXPECT_EQ(leadingNumber("1e999"), 0);
    EXPECT_EQ(leadingNumber("&HFFFF"), -1);
    EXPECT_EQ(leadingNumber("&H7F"), 127);
    EXPECT_EQ(leadingNumber("&H10000"), 65536);
    EXPECT_EQ(leadingNumber("&O17"), 15);
    EXPECT_EQ(leadingNumber("&Hxyz"), 0);
    EXPECT_EQ(leadingNumber("١٢"), 0); // digits of another script are not digits here
}

TEST(NumberFormat, WholeTextConversionsForSettings)
{
    EXPECT_EQ(toInt16("2000"), 2000);
    EXPECT_EQ(toInt16(" 7 "), 7);
    EXPECT_EQ(toInt16("-32768"), -32768);
    EXPECT_EQ(toInt16("32767"), 32767);
    EXPECT_EQ(toInt16("12.5"), 12);
    EXPECT_EQ(toInt16("13.5"), 14);
    EXPECT_FALSE(toInt16(""));
    EXPECT_FALSE(toInt16("   "));
    EXPECT_FALSE(toInt16("70000"));
    EXPECT_FALSE(toInt16("32768"));
    EXPECT_FALSE(toInt16("12ab"));
    EXPECT_FALSE(toInt16("nan"));
    EXPECT_FALSE(toInt16("inf"));

    EXPECT_EQ(toBool("True"), true);
    EXPECT_EQ(toBool("false"), false);
    EXPECT_EQ(toBool(" TRUE "), true);
    EXPECT_EQ(toBool("0"), false);
    EXPECT_EQ(toBool("-1"), true);
    EXPECT_FALSE(toBool(""));
    EXPECT_FALSE(toBool("yes"));
}
