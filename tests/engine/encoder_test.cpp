// The encoder: the worked examples of the format, and the fast search against
// the exhaustive one on many random and structured inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <string>
#include <vector>

#include "engine/data_format.h"
#include "engine/encoder.h"
#include "tests/engine/exhaustive_encoder.h"

namespace vexel {
namespace {

using testing::EncodeExhaustive;

struct Token {
    bool reference;
    int length;    // back-reference length
    int distance;  // back-reference distance
    unsigned char literal;
};

// Splits an unescaped data stream into literals and back-references.
std::vector<Token> Tokens(const std::string& encoded) {
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const auto v = static_cast<unsigned char>(encoded[i]);
        if (v >= 14 && v <= 31) {
            const int s = static_cast<unsigned char>(encoded.at(i + 1));
            const int t = static_cast<unsigned char>(encoded.at(i + 2));
            tokens.push_back({true, v - 10, (s - 35) + 90 * (t - 35), 0});
            i += 2;
        } else {
            tokens.push_back({false, 0, 0, v});
        }
    }
    return tokens;
}

std::string Filler() {
    return "<script>" + std::string(1000, ' ') + "</script>";
}

std::string Decode(std::string data) {
    EscapeDataString(data);
    std::string out;
    ExpandData(data, Literals::Unshift, out);
    return out;
}

TEST(EncoderFormat, LiteralsAreShiftedByOneBetween41And126) {
    EXPECT_EQ(Encode("abc", kWideWindow), "bcd");
    EXPECT_EQ(Encode("<p>", kWideWindow), "=q?");
    EXPECT_EQ(Encode("()", kWideWindow), "(*");
    EXPECT_EQ(Encode(std::string("\x7F\x80\xFF !\"", 6), kWideWindow), std::string("\x7F\x80\xFF !\"", 6));
}

TEST(EncoderFormat, FillerAloneEncodesTo207Bytes) {
    std::string expected = "=tdsjqu?" + std::string(42, ' ');
    for (int i = 0; i < 45; ++i) {
        expected += std::string{char(31), char(56), char(35)};
    }
    expected += std::string(13, ' ') + "=0tdsjqu?";
    ASSERT_EQ(expected.size(), 207u);
    EXPECT_EQ(Encode(Filler(), kWideWindow), expected);
    EXPECT_EQ(Encode(Filler(), kHighSpeedWindow), expected);
}

// The token that starts at 1-based position `position` of the input.
Token TokenAt(const std::string& encoded, int64_t position) {
    int64_t at = 1;
    for (const Token& token : Tokens(encoded)) {
        if (at == position) {
            return token;
        }
        at += token.reference ? token.length : 1;
    }
    return Token{false, 0, 0, 0};
}

TEST(EncoderFormat, DistanceDigitsAreLowDigitFirst) {
    for (const auto& [d, s, t] : {std::tuple{21, 56, 35}, {90, 35, 36}, {8100, 35, 125}}) {
        // Random text with the 21 bytes at 101 copied d bytes further on.
        std::mt19937 random(static_cast<unsigned>(d));
        std::string text;
        for (int i = 0; i < d + 200; ++i) {
            text.push_back(static_cast<char>('A' + random() % 26));
        }
        text.replace(static_cast<std::size_t>(d) + 100, 21, text.substr(100, 21));
        const std::string encoded = Encode(text, kWideWindow);
        const Token token = TokenAt(encoded, d + 101);
        EXPECT_TRUE(token.reference) << d;
        EXPECT_EQ(token.distance, d);
        EXPECT_EQ(token.length, 21);
        EXPECT_NE(encoded.find(std::string{char(31), char(s), char(t)}), std::string::npos) << d;
    }
}

TEST(EncoderSearch, RunsUseDistance21AndTwoBytePatternsDistance22) {
    const std::string run(3000, 'z');
    const auto run_tokens = Tokens(Encode(run, kWideWindow));
    int references = 0;
    for (const Token& token : run_tokens) {
        if (token.reference) {
            ++references;
            EXPECT_EQ(token.length, 21);
            EXPECT_EQ(token.distance, 21);
        }
    }
    EXPECT_GT(references, 100);

    std::string pattern;
    for (int i = 0; i < 1500; ++i) {
        pattern += "ab";
    }
    int pattern_references = 0;
    for (const Token& token : Tokens(Encode(pattern, kWideWindow))) {
        if (token.reference) {
            ++pattern_references;
            EXPECT_EQ(token.length, 21);
            EXPECT_EQ(token.distance, 22);
        }
    }
    EXPECT_GT(pattern_references, 100);
}

TEST(EncoderSearch, NearestOfEqualMatchesWins) {
    std::mt19937 random(7);
    std::string text;
    for (int i = 0; i < 2000; ++i) {
        text.push_back(static_cast<char>('a' + random() % 26));
    }
    const std::string block = text.substr(1000, 21);
    // Copies of the block 700 and 30 bytes before position 1800.
    text.replace(1100, 21, block);
    text.replace(1770, 21, block);
    text.replace(1800, 21, block);
    const Token token = TokenAt(Encode(text, kWideWindow), 1801);
    EXPECT_TRUE(token.reference);
    EXPECT_EQ(token.distance, 30);
    EXPECT_EQ(token.length, 21);
}

TEST(EncoderSearch, HighSpeedWindowStopsAt360) {
    std::mt19937 random(11);
    std::string text;
    for (int i = 0; i < 1200; ++i) {
        text.push_back(static_cast<char>('a' + random() % 26));
    }
    text.replace(900, 21, text.substr(100, 21));  // distance 800
    const auto has_reference = [](const std::string& encoded) {
        for (const Token& token : Tokens(encoded)) {
            if (token.reference) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(has_reference(Encode(text, kWideWindow)));
    EXPECT_FALSE(has_reference(Encode(text, kHighSpeedWindow)));
}

TEST(EncoderEscaping, ScriptBreakingBytesBecomeCodes1To4) {
    std::string text = "\"\t\r\n";
    for (int i = 0; i < 200; ++i) {
        text += "line \"quoted\"\tcell\r\n";
    }
    text += "\"";  // the last byte too
    std::string data = Encode(text, kWideWindow);
    EscapeDataString(data);
    for (const char c : {'\t', '\n', '\r', '"'}) {
        EXPECT_EQ(data.find(c), std::string::npos) << int(c);
    }
    EXPECT_EQ(data.substr(0, 4), "\x04\x01\x03\x02");
    EXPECT_EQ(data.back(), '\x04');
    EXPECT_EQ(Decode(Encode(text, kWideWindow)), text);
}

TEST(EncoderProgress, OnlyVisitedMultiplesOf500AndTheLast50) {
    // Past position 50 the run is copied 21 bytes at a time: positions
    // 51 + 21k are visited up to 2046, whose copy ends at 2066; from 2067 on
    // no search starts (a >= n - 40) and every position is a literal.
    const std::string text(2100, 'q');
    std::vector<int64_t> points;
    Encode(text, kWideWindow, [&](int64_t a) { points.push_back(a); });
    std::vector<int64_t> expected = {1500};  // 500, 1000 and 2000 lie inside copies
    for (int64_t a = 2067; a <= 2100; ++a) {
        expected.push_back(a);
    }
    EXPECT_EQ(points, expected);
}

// --- the fast search against the literal one --------------------------------

// Bytes a prepared page never holds: they cannot come back from the data.
bool Carryable(const std::string& text) {
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b >= 1 && b <= 4) || (b >= 14 && b <= 31) || b == 127;
    });
}

void ExpectSameAsExhaustive(const std::string& text, const std::string& what) {
    for (const int window : {kWideWindow, kHighSpeedWindow}) {
        const std::string fast = Encode(text, window);
        const std::string slow = EncodeExhaustive(text, window);
        ASSERT_EQ(fast, slow) << what << ", window " << window << ", length " << text.size();
        if (Carryable(text)) {
            ASSERT_EQ(Decode(fast), text) << what;
        }
    }
}

std::string RandomText(std::mt19937& random, std::size_t length, int alphabet) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        text.push_back(static_cast<char>(alphabet >= 256 ? random() % 256 : 'a' + random() % alphabet));
    }
    return text;
}

// Random text with copies of earlier stretches at chosen distances.
std::string TextWithRepeats(std::mt19937& random, std::size_t length, const std::vector<int>& distances) {
    std::string text = RandomText(random, length, 20);
    for (std::size_t at = 60; at + 30 < length; at += 15 + random() % 40) {
        const int d = distances[random() % distances.size()];
        if (static_cast<std::size_t>(d) <= at) {
            const std::size_t copy = 3 + random() % 25;
            for (std::size_t i = 0; i < copy && at + i < length; ++i) {
                text[at + i] = text[at + i - static_cast<std::size_t>(d)];
            }
        }
    }
    return text;
}

TEST(EncoderDifferential, ShortInputs) {
    std::mt19937 random(1);
    for (std::size_t length = 0; length <= 130; ++length) {
        ExpectSameAsExhaustive(RandomText(random, length, 3), "short random");
        ExpectSameAsExhaustive(std::string(length, 'a'), "short run");
    }
}

TEST(EncoderDifferential, RunsAndSmallPeriods) {
    for (int period = 1; period <= 25; ++period) {
        std::string text;
        for (int i = 0; i < 1500; ++i) {
            text.push_back(static_cast<char>('a' + i % period));
        }
        ExpectSameAsExhaustive(text, "period " + std::to_string(period));
    }
}

TEST(EncoderDifferential, RepeatsAtDistances5To21) {
    std::mt19937 random(2);
    std::vector<int> distances;
    for (int d = 3; d <= 23; ++d) {
        distances.push_back(d);
    }
    for (int round = 0; round < 20; ++round) {
        ExpectSameAsExhaustive(TextWithRepeats(random, 3000, distances), "distances 5..21");
    }
}

TEST(EncoderDifferential, RepeatsNearTheWindowEdges) {
    std::mt19937 random(3);
    for (int round = 0; round < 6; ++round) {
        ExpectSameAsExhaustive(TextWithRepeats(random, 2500, {355, 359, 360, 361, 362, 370}), "near 360");
        ExpectSameAsExhaustive(TextWithRepeats(random, 17000, {8095, 8099, 8100, 8101, 8102, 8200}),
                               "near 8100");
    }
}

TEST(EncoderDifferential, RandomAlphabetsAndSizes) {
    std::mt19937 random(4);
    for (const int alphabet : {2, 4, 8, 26, 256}) {
        for (const std::size_t length : {91u, 92u, 500u, 4000u, 12000u}) {
            ExpectSameAsExhaustive(RandomText(random, length, alphabet),
                                   "alphabet " + std::to_string(alphabet));
        }
    }
}

TEST(EncoderDifferential, HtmlLikeText) {
    std::mt19937 random(5);
    const std::vector<std::string> pieces = {
        "<tr><td>", "</td><td>", "</td></tr>\r\n", "<a href=\"/docs/", "index.html\">", "</a>",
        "Lorem ipsum ", "dolor sit amet ", "<br>", "&nbsp;", "\t", "<p class=\"note\">", "</p>\n"};
    for (int round = 0; round < 4; ++round) {
        std::string text;
        while (text.size() < 20000) {
            text += pieces[random() % pieces.size()];
            if (random() % 5 == 0) {
                text += std::to_string(random() % 100000);
            }
        }
        ExpectSameAsExhaustive(text, "html-like");
    }
}

}  // namespace
}  // namespace vexel
