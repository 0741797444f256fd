// The ASCII helpers every layer shares: letter case that never touches bytes
// above 127 (page bytes in any charset), HTML whitespace, hexadecimal digits.
#include <gtest/gtest.h>

#include <string>

#include "platform/ascii.h"

namespace vexel {
namespace {

TEST(AsciiCase, FoldsOnlyTheAsciiLetters) {
    // Latin-1 letters, UTF-8 lead bytes and the characters around 'A'..'Z'
    // and 'a'..'z' ('@', '[', '`', '{') keep their bytes.
    EXPECT_EQ(LowerAscii("Hello @[`{ \xC4\xD6\xDC \xC3\x84 WORLD"), "hello @[`{ \xC4\xD6\xDC \xC3\x84 world");
    EXPECT_EQ(UpperAscii("Hello @[`{ \xE4\xF6\xFC world"), "HELLO @[`{ \xE4\xF6\xFC WORLD");
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        const bool letter = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
        EXPECT_EQ(IsAsciiLetter(c), letter) << byte;
        if (!letter) {
            EXPECT_EQ(AsciiLower(c), c) << byte;
            EXPECT_EQ(AsciiUpper(c), c) << byte;
        }
    }
}

TEST(AsciiCase, ComparesWholeTextsAndTextsAtAPosition) {
    EXPECT_TRUE(EqualsIgnoringAsciiCase("Content-Type", "content-TYPE"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("charset", "charse"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC4", "\xE4")) << "Latin-1 letters are not folded";
    EXPECT_TRUE(EqualsIgnoringAsciiCase("", ""));

    const std::string text = "<META charset=utf-8>";
    EXPECT_TRUE(StartsWithIgnoringAsciiCase(text, 1, "meta"));
    EXPECT_TRUE(StartsWithIgnoringAsciiCase(text, 6, "CHARSET"));
    EXPECT_FALSE(StartsWithIgnoringAsciiCase(text, 2, "meta"));
    EXPECT_FALSE(StartsWithIgnoringAsciiCase(text, text.size() - 2, "8>x")) << "runs past the end";
    EXPECT_TRUE(StartsWithIgnoringAsciiCase(text, text.size(), ""));
    EXPECT_FALSE(StartsWithIgnoringAsciiCase(text, text.size() + 1, "")) << "a position past the end";
}

TEST(AsciiWhitespace, IsHtmlsFiveCharacters) {
    int count = 0;
    for (int byte = 0; byte < 256; ++byte) {
        count += IsAsciiWhitespace(static_cast<char>(byte)) ? 1 : 0;
    }
    EXPECT_EQ(count, 5);
    for (char c : std::string(" \t\n\f\r")) {
        EXPECT_TRUE(IsAsciiWhitespace(c)) << static_cast<int>(c);
    }
    EXPECT_FALSE(IsAsciiWhitespace('\v'));
    EXPECT_FALSE(IsAsciiWhitespace('\xA0')) << "no-break space in Latin-1";
}

TEST(HexDigits, ReadEitherCaseAndNothingElse) {
    EXPECT_EQ(HexDigitValue('0'), 0);
    EXPECT_EQ(HexDigitValue('9'), 9);
    EXPECT_EQ(HexDigitValue('a'), 10);
    EXPECT_EQ(HexDigitValue('F'), 15);
    for (char c : std::string("gG/:@`xX \xC1")) {
        EXPECT_EQ(HexDigitValue(c), -1) << c;
    }
    EXPECT_EQ(HexByteValue('f', 'F'), 255);
    EXPECT_EQ(HexByteValue('0', 'a'), 10);
    EXPECT_EQ(HexByteValue('g', '0'), -1);
    EXPECT_EQ(HexByteValue('0', 'g'), -1);
}

TEST(HexDigits, WriteEveryByteBackInEitherCase) {
    for (unsigned byte = 0; byte < 256; ++byte) {
        const char high = HexDigitOf(byte >> 4), low = HexDigitOf(byte);
        const char smallHigh = HexDigitOf(byte >> 4, true), smallLow = HexDigitOf(byte, true);
        EXPECT_EQ(HexByteValue(high, low), static_cast<int>(byte));
        EXPECT_EQ(HexByteValue(smallHigh, smallLow), static_cast<int>(byte));
        EXPECT_EQ(AsciiLower(high), smallHigh);
        EXPECT_FALSE(high >= 'a' && high <= 'f') << "capitals by default";
        EXPECT_FALSE(smallLow >= 'A' && smallLow <= 'F');
    }
    EXPECT_EQ(HexDigitOf(0x1234), '4') << "only the low four bits";
}

}  // namespace
}  // namespace vexel
