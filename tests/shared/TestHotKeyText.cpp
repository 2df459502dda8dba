#include "shared/modVarolin.h"

#include <gtest/gtest.h>

namespace {

// Escaping wraps only parentheses, unescaping drops every brace, and text without braces survives both.
TEST(HotKeyText, EscapeWrapsParenthesesAndUnescapeDropsBraces)
{
    // Each text, escaped, unescaped.
    const QString cases[][3] = {
        {"a(b)c", "a{(}b{)}c", "a(b)c"},
        {"((", "{(}{(}", "(("},
        {"))", "{)}{)}", "))"},
        {")(", "{)}{(}", ")("},
        {"", "", ""},
        {"~+%^[]", "~+%^[]", "~+%^[]"},
        {"{(}", "{{(}}", "("},
        {"{TAB}", "{TAB}", "TAB"},
        {"x{{}y", "x{{}y", "xy"},
    };
    for (const auto& [text, escaped, unescaped] : cases) {
        EXPECT_EQ(EscapeHotKeyText(text), escaped) << text.toStdString();
        EXPECT_EQ(UnescapeHotKeyText(text), unescaped) << text.toStdString();
        if (!text.contains(QLatin1Char('{'))) {
            EXPECT_EQ(UnescapeHotKeyText(escaped), text) << text.toStdString();
        }
    }
}

} // namespace
