// The one converter between the program's UTF-8 and the system's UTF-16:
// names in every script survive both ways, and the exact conversions refuse,
// naming the text, what would lose a character.
#include <gtest/gtest.h>

#include <string>

#include "platform/wide_text.h"

using namespace vexel::platform;

namespace {

TEST(WideText, NamesInEveryScriptSurviveTheRoundTrip) {
    const std::string names[] = {"Grüße.html", "карта.htm", "日本語.htm", "😀 smile.htm", "plain.htm", ""};
    for (const std::string& name : names) {
        EXPECT_EQ(Narrow(Widen(name)), name);
        EXPECT_EQ(NarrowExact(WidenExact(name)), name);
    }
    EXPECT_EQ(Widen("Grüße"), L"Gr\u00FC\u00DFe");
    EXPECT_EQ(Widen("😀").size(), 2u);  // a surrogate pair
}

TEST(WideText, ExactConversionsRefuseWhatWouldLoseACharacterAndNameIt) {
    try {
        WidenExact("caf\xE9.htm");  // a Latin-1 byte, not UTF-8
        FAIL() << "no error";
    } catch (const TextConversionError& e) {
        EXPECT_EQ(std::string(e.what()), "\"caf\\xE9.htm\" is not valid UTF-8 text");
    }
    EXPECT_EQ(Widen("caf\xE9"), L"caf\uFFFD");  // the lenient one marks it

    const std::wstring lone = std::wstring(L"ab") + wchar_t(0xD800) + L"\u00FC";
    try {
        NarrowExact(lone);
        FAIL() << "no error";
    } catch (const TextConversionError& e) {
        EXPECT_EQ(std::string(e.what()), "\"ab<U+D800>ü\" holds a lone surrogate and cannot be converted to UTF-8");
    }
    // A pair is not alone, and a low half on its own is.
    EXPECT_EQ(NarrowExact(Widen("😀")), "😀");
    EXPECT_THROW(NarrowExact(std::wstring(1, wchar_t(0xDC00))), TextConversionError);
}

}  // namespace
