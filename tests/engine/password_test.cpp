// The password rule every front end follows, and the field that holds a
// run's password.
#include <gtest/gtest.h>

#include <string>

#include "engine/page_options.h"
#include "engine/password.h"

namespace vexel {
namespace {

TEST(PasswordRule, ByteOrderMarkAndLineEndAreNotPartOfIt) {
    EXPECT_EQ(PasswordFromFile("\xEF\xBB\xBFs3cret\r\nsecond line\r\n"), "s3cret");
    EXPECT_EQ(PasswordFromFile("tr\xC3\xA8s\nx"), "tr\xC3\xA8s");
    EXPECT_EQ(PasswordFromFile("only line"), "only line");
    EXPECT_EQ(PasswordFromFile("\xEF\xBB\xBF"), "");
    // A mark that is not in front is text like any other.
    EXPECT_EQ(PasswordFromFile("a\xEF\xBB\xBF"), "a\xEF\xBB\xBF");

    EXPECT_EQ(PasswordFromText("\xEF\xBB\xBFpw\r\n"), "pw");
    EXPECT_EQ(PasswordFromText("pw\n"), "pw");
    EXPECT_EQ(PasswordFromText("pw\r"), "pw");
    EXPECT_EQ(PasswordFromText("pw\n\n"), "pw\n");  // one line end only
    EXPECT_EQ(PasswordFromText(" pw "), " pw ");     // blanks are the user's
}

TEST(PasswordRule, EmptyOrNotUtf8IsRefused) {
    EXPECT_EQ(PasswordProblem("s3cret"), "");
    EXPECT_EQ(PasswordProblem("tr\xC3\xA8s"), "");
    EXPECT_EQ(PasswordProblem(""), "the password is empty");
    EXPECT_NE(PasswordProblem("tr\xE8s").find("not UTF-8"), std::string::npos);
    EXPECT_NE(PasswordProblem("\xC3").find("not UTF-8"), std::string::npos);
}

TEST(PasswordField, AnotherPasswordGivenToAFieldWipesTheOneItHeld) {
    PasswordField field(true, std::string(40, 'p'));
    const char* buffer = field.Text.data();
    const std::size_t capacity = field.Text.capacity();
    field = PasswordField(true, "short");
    EXPECT_EQ(field.Text, "short");
    ASSERT_EQ(field.Text.data(), buffer);  // the same buffer, written over
    EXPECT_EQ(std::string(buffer + 6, capacity - 6), std::string(capacity - 6, '\0'));
}

}  // namespace
}  // namespace vexel
