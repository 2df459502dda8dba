#include "shared/modVarolin.h"

#include <gtest/gtest.h>

namespace {

TEST(HotKeyText, EscapeWrapsOnlyParentheses)
{
    const QList<QPair<QString, QString>> cases = {
        {QStringLiteral("a(b)c"), QStringLiteral("a{(}b{)}c")},
        {QStringLiteral("(("), QStringLiteral("{(}{(}")},
        {QStringLiteral("))"), QStringLiteral("{)}{)}")},
        {QStringLiteral(")("), QStringLiteral("{)}{(}")},
        {QString(), QString()},
        {QStringLiteral("~+%^[]"), QStringLiteral("~+%^[]")},
        {QStringLiteral("{(}"), QStringLiteral("{{(}}")},
    };
    for (const auto& [display, stored] : cases)
        EXPECT_EQ(EscapeHotKeyText(display), stored) << display.toStdString();
}

TEST(HotKeyText, UnescapeDropsEveryBrace)
{
    EXPECT_EQ(UnescapeHotKeyText(QStringLiteral("a{(}b{)}c")), QStringLiteral("a(b)c"));
    EXPECT_EQ(UnescapeHotKeyText(QStringLiteral("{TAB}")), QStringLiteral("TAB"));
    EXPECT_EQ(UnescapeHotKeyText(QStringLiteral("x{{}y")), QStringLiteral("xy"));
    EXPECT_EQ(UnescapeHotKeyText(QString()), QString());
}

TEST(HotKeyText, RoundTripOfTextWithoutBraces)
{
    for (const QString& text : {QStringLiteral("(Mono) (Stereo)"), QStringLiteral(")x((y"), QStringLiteral("plain")})
        EXPECT_EQ(UnescapeHotKeyText(EscapeHotKeyText(text)), text);
}

} // namespace
