#include "shared/CStrParse.h"

#include <gtest/gtest.h>

namespace {

TEST(CStrParse, SplitsIntoExactPieces)
{
    const struct
    {
        QString source;
        const char* separators; // null: the default ","
        QStringList pieces;
    } cases[] = {
        {"a,b,c", nullptr, {"a", "b", "c"}},
        {",a,", nullptr, {"", "a", ""}},
        {"a,,b", nullptr, {"a", "", "b"}},
        {"a, b", nullptr, {"a", " b"}},
        {"", nullptr, {""}},
        {"a;b,c", ",;", {"a", "b", "c"}},
        {"a,b", "", {"a,b"}},
        {"aXb", "x", {"aXb"}},
        {"é,ü", nullptr, {"é", "ü"}},
        {"name,cond,o1,,o3,", nullptr, {"name", "cond", "o1", "", "o3", ""}},
        // Enough pieces to overflow a 16-bit count.
        {QStringLiteral("ab,").repeated(40000), nullptr, QStringList(40000, QStringLiteral("ab")) << QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source.left(20).toStdString());
        CStrParse parser;
        if (c.separators)
            parser.setSeparators(QString::fromUtf8(c.separators));
        parser.setSourceString(c.source);
        parser.parse();
        ASSERT_EQ(parser.SubstringCount(), QString::number(c.pieces.size()));
        for (int i = 0; i < c.pieces.size(); ++i)
            ASSERT_EQ(parser.Substring(i), c.pieces.at(i)) << "piece " << i;
        EXPECT_EQ(parser.Substring(static_cast<int>(c.pieces.size())), QString());
        EXPECT_EQ(parser.Substring(100000), QString());
    }
}

} // namespace
