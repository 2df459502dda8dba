#include "shared/CStrParse.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase
{
    const char* source;
    const char* separators;
    QStringList pieces;
};

class CStrParseSplit : public ::testing::TestWithParam<SplitCase>
{
};

TEST_P(CStrParseSplit, SplitsIntoExactPieces)
{
    const SplitCase& c = GetParam();
    CStrParse parser;
    if (c.separators)
        parser.setSeparators(QString::fromUtf8(c.separators));
    parser.setSourceString(QString::fromUtf8(c.source));
    parser.parse();
    ASSERT_EQ(parser.SubstringCount(), QString::number(c.pieces.size()));
    for (int i = 0; i < c.pieces.size(); ++i)
        EXPECT_EQ(parser.Substring(i), c.pieces.at(i)) << "piece " << i;
    EXPECT_EQ(parser.Substring(static_cast<int>(c.pieces.size())), QString());
    EXPECT_EQ(parser.Substring(100), QString());
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, CStrParseSplit,
    ::testing::Values(SplitCase{"a,b,c", nullptr, {"a", "b", "c"}}, SplitCase{",a,", nullptr, {"", "a", ""}},
                      SplitCase{"a,,b", nullptr, {"a", "", "b"}}, SplitCase{"a, b", nullptr, {"a", " b"}},
                      SplitCase{"", nullptr, {""}}, SplitCase{"a;b,c", ",;", {"a", "b", "c"}},
                      SplitCase{"a,b", "", {"a,b"}}, SplitCase{"aXb", "x", {"aXb"}},
                      SplitCase{"name,cond,o1,,o3,", nullptr, {"name", "cond", "o1", "", "o3", ""}},
                      SplitCase{"é,ü", nullptr, {"é", "ü"}}));

TEST(CStrParse, FreshObjectAndStalePieces)
{
    CStrParse parser;
    EXPECT_EQ(parser.SubstringCount(), QStringLiteral("0"));
    EXPECT_EQ(parser.Substring(0), QString());
    EXPECT_EQ(parser.Separators(), QStringLiteral(","));

    parser.setSourceString(QStringLiteral("a,b"));
    parser.parse();
    // Setting the source or the separators alone does not split again.
    parser.setSourceString(QStringLiteral("x;y;z"));
    parser.setSeparators(QStringLiteral(";"));
    EXPECT_EQ(parser.SourceString(), QStringLiteral("x;y;z"));
    EXPECT_EQ(parser.SubstringCount(), QStringLiteral("2"));
    EXPECT_EQ(parser.Substring(1), QStringLiteral("b"));
    parser.parse();
    EXPECT_EQ(parser.SubstringCount(), QStringLiteral("3"));
    EXPECT_EQ(parser.Substring(2), QStringLiteral("z"));
}

TEST(CStrParse, LongSourceSplitsWithoutOverflow)
{
    QString source;
    for (int i = 0; i < 40000; ++i)
        source += QStringLiteral("ab,");
    CStrParse parser;
    parser.setSourceString(source);
    parser.parse();
    EXPECT_EQ(parser.SubstringCount(), QStringLiteral("40001"));
    EXPECT_EQ(parser.Substring(39999), QStringLiteral("ab"));
    EXPECT_EQ(parser.Substring(40000), QString());
}

} // namespace
