#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/JetCollation.h"
#include "store/JetLike.h"
#include "store/JetText.h"
#include "store/NumberText.h"
#include "store/SnapshotRecordset.h"
#include "support/TestFolder.h"

#include <climits>
#include <gtest/gtest.h>
#include <QDate>

namespace {

// Conditions and orderings as users write them, run on a real catalogue.
class JetDialect : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        folder = new TestFolder;
        const QString path = folder->createCatalogue();
        TestFolder::addRecordings(path,
                                  {
                                      {"Abba", "Waterloo", "1974", 9, "Polar", "POLS 252", "", "SE-1"},
                                      {"ABBA", "Arrival", "1976", 1, "Polar", "POLS 272", "Second line\r\nThird", ""},
                                      {QString::fromUtf8("Élan"), "100% Pure", "1985", 6, "", "X_1", "", ""},
                                      {QString::fromUtf8("élan vital"), "a_b [live]", "1995", 9, "", "X1", "", ""},
                                      {"O'Brien", "Say \"Hi\"", "", 9, "Indie", "OB*1", "", ""},
                                      {"Zed", "Last", "2001", 77, "Zebra", "Z-9", "", ""},
                                  });
        // Older catalogues hold Nulls where the editor writes empty texts.
        TestFolder::execute(path, "UPDATE Recording SET Label = NULL WHERE ID = 6");
        db = Database::open(path).release();
    }
    static void TearDownTestSuite()
    {
        delete db;
        delete folder;
    }
    static QStringList titles(const QString& where, const QString& order = QString())
    {
        const auto rs = db->openSnapshot(Catalogue::displayStatement(where, order));
        QStringList result;
        for (; !rs->eof(); rs->moveNext())
            result << rs->field(QStringLiteral("Title")).toString();
        return result;
    }

    static QString refusal(const QString& where)
    {
        return TestFolder::thrown<EngineError>([&] { titles(where); });
    }

    static inline TestFolder* folder = nullptr;
    static inline Database* db = nullptr;
};

TEST_F(JetDialect, LikeUsesJetWildcardsWithoutRegardToCase)
{
    const QList<QPair<QString, QStringList>> cases = {
        {"Artist Like 'ab*'", {"Waterloo", "Arrival"}},
        {"Artist Like '?BBA'", {"Waterloo", "Arrival"}},
        {"Year Like '19#5'", {"100% Pure", "a_b [live]"}},
        {"Catalogue_No Like '*[*]*'", {"Say \"Hi\""}},
        {"Title Like '100%*'", {"100% Pure"}},
        {"Catalogue_No Like 'X_1'", {"100% Pure"}},
        {"Catalogue_No Like '[-z]-9'", {"Last"}},
        {"Title Like '*[[]live]'", {"a_b [live]"}},
        {QString::fromUtf8("Artist Like 'ÉLAN*'"), {"100% Pure", "a_b [live]"}},
        {"Artist Not Like 'a*' AND Artist Not Like '*n*'", {"Last"}},
        {"Label Like '*'", {"Waterloo", "Arrival", "100% Pure", "a_b [live]", "Say \"Hi\""}},
    };
    for (const auto& [where, expected] : cases)
        EXPECT_EQ(titles(where, QStringLiteral("ID")), expected) << where.toStdString();
}

TEST_F(JetDialect, ExpressionsFollowJetRules)
{
    const QString thisYear = QString::number(QDate::currentDate().year());
    const QList<QPair<QString, QStringList>> cases = {
        {"Artist = \"abba\" AND Year = '1974'", {"Waterloo"}},
        {QString::fromUtf8("Artist = 'ÉLAN'"), {"100% Pure"}},
        {"Artist & ' - ' & Title = 'abba - waterloo'", {"Waterloo"}},
        {"Val(Year) + 1 & 'x' = '1975x'", {"Waterloo"}},
        {"Artist + '!' = 'abba!' AND Year + '' = '1974'", {"Waterloo"}}, // text + text joins them
        {"Label & 'x' = 'x' AND Artist = 'Zed'", {"Last"}},
        {"IsNull(Label) = True", {"Last"}},
        {"Nz(Label, 'none') = 'none'", {"Last"}},
        {"[Catalogue_No] = 'x1' OR [Expanded_Recording].[Catalogue_No] = 'Z-9'", {"a_b [live]", "Last"}},
        {"Left(Artist, 1) = 'O' AND Right(Title, 4) = '\"Hi\"' AND Mid(Title, 2, 2) = 'ay'", {"Say \"Hi\""}},
        {"Len(Title) = 4 AND UCase(Title) = 'LAST' AND LCase(Artist) = 'zed'", {"Last"}},
        {"InStr(Title, 'LOO') = 6 AND InStr(8, Title, 'o') = 8", {"Waterloo"}},
        {"Trim('  x ') & LTrim(' y') & RTrim('z ') & Space(2) = 'xyz  ' AND Artist = 'Zed'", {"Last"}},
        {"Str(Val(Year)) = ' 2001' AND Val('12abc') = 12", {"Last"}},
        {"IIf(Val(Year) > 1990, 'new', 'old') = 'new'", {"a_b [live]", "Last"}},
        {"Year(#5/10/96#) = 1996 AND Month(#5/10/96 0:15#) = 5 AND Day(#5/10/96 23:59#) = 10 AND Artist = 'Zed'",
         {"Last"}},
        // Literals and texts read dates alike: one rule for short years, none of five digits.
        {"Year('5/10/6') = 2006 AND Year(#5/10/6#) = 2006 AND Year('5/10/30') = Year(#5/10/30#) AND Artist = 'Zed'",
         {"Last"}},
        {"IsNull(Year('5/10/19961')) AND Year('2001-05-10 9:30') = Year(#2001-05-10 9:30#) AND Day(-1.5) = 29 AND "
         "Artist = 'Zed'",
         {"Last"}},
        {"Year(Date()) = " + thisYear + " AND Year(Now()) = " + thisYear + " AND Artist = 'Zed'", {"Last"}},
        {"Val(Year) Mod 2 = 1 AND 7 \\ 2 = 3 AND 7 / 2 = 3.5 AND 2 ^ 3 = 8", {"100% Pure", "a_b [live]", "Last"}},
        {"Format Like 'C*'", {"Waterloo", "100% Pure", "a_b [live]", "Say \"Hi\""}},
        {"Format Is Null", {"Last"}},
        {"Year Between '1970' And '1979'", {"Waterloo", "Arrival"}},
        {"Year In ('1974', '2001')", {"Waterloo", "Last"}},
        {"ID In (SELECT Recording.ID FROM Recording WHERE Artist Like 'é*')", {"100% Pure", "a_b [live]"}},
        {"Not Year > '1980' And Year <> ''", {"Waterloo", "Arrival"}},
        {"-Val(Year) < -2000 AND True AND Not False", {"Last"}},
        {"Year = '~~Year~~'", {}},
        {"Artist = 'Zed' /* the last one */", {"Last"}},
    };
    for (const auto& [where, expected] : cases)
        EXPECT_EQ(titles(where, QStringLiteral("ID;")), expected) << where.toStdString();
}

TEST_F(JetDialect, OrderingIgnoresCaseAcrossAllLetters)
{
    EXPECT_EQ(titles(QString(), QStringLiteral("Artist DESC, Year")).mid(0, 3),
              (QStringList{"Last", "Say \"Hi\"", "a_b [live]"}));
    // abba and ABBA are one artist, ordered by year; Élan sorts with the E's.
    EXPECT_EQ(titles(QString()), (QStringList{"Waterloo", "Arrival", "100% Pure", "a_b [live]", "Say \"Hi\"", "Last"}));
    EXPECT_EQ(titles(QString(), QStringLiteral("UCase(Left(Title, 1)), Title")).first(), QStringLiteral("100% Pure"));
}

TEST_F(JetDialect, UnreadableSelectionsAreRefusedWithTheirReason)
{
    const char* cases[][2] = {{"Artist = 'abc", "no closing quote"},
                              {"[Artist = 'x'", "no closing"},
                              {"Year(#5/10/96) = 1", "no closing"},
                              {"Artist = \"abc", "no closing quote"},
                              {"[Artst] = 'x'", "no such column"},
                              {"\"x\" = Artst", "no such column"},
                              {"Foo(Artist) = 1", "Undefined function 'Foo'"},
                              {"Left(Artist) = 'a'", "Wrong number of arguments"},
                              {"Space(-1) = ''", "Invalid procedure call or argument in Space"},
                              {"Artist = 'x'; DELETE FROM Recording", "after end of SQL statement"},
                              {"Artist = 'x' garbage", "after end of SQL statement"},
                              {"Artist = 'x' -- no comment", "after end of SQL statement"},
                              {"Artist Like '[z-a]'", "Invalid pattern"},
                              {"Year = #13/45/96#", "date"},
                              {"Year = #5/10/19961#", "date"},
                              {"Artist = ", "expression expected"},
                              {"Artist ? 'x'", "unexpected character"},
                              {"Artist = 'x' /* open", "no closing '*/'"}};
    for (const auto& [where, reason] : cases)
        EXPECT_TRUE(refusal(where).contains(reason)) << where << ": " << refusal(where).toStdString();
    // A stray point at the very end of the statement (ending its order) is read as nothing more.
    const QString sOrder = TestFolder::thrown<EngineError>([] { titles(QString(), QStringLiteral("Artist .")); });
    EXPECT_TRUE(sOrder.contains("a field name expected at the end")) << sOrder.toStdString();
    EXPECT_EQ(titles(QString()).size(), 6) << "nothing may change";
}

TEST_F(JetDialect, EveryTruthIsMinusOneOrZero)
{
    // True is -1 in the dialect, and so is the value of every comparison and logical operator.
    for (const char* where :
         {"(Artist Like 'Z*') = True", "(Artist Not Like '[a-y]*') = -1", "(Val(Year) > 2000) = True",
          "(Not Artist <> 'Zed') = True", "(Artist = 'Zed' And True) = True", "(Artist = 'Zed' Or False) = True",
          "(Artist = 'Zed' Xor False) = True", "(Label Is Null) = True", "(Year Between '2000' And '2002') = True",
          "(Year In ('2001')) = True", "(Artist = 'Zed') + 2 = 1", "-(Artist = 'Zed') = 1",
          "IIf(Artist = 'Zed', 1, 0) = 1", "Artist = 'Zed' = True",
          "Exists (SELECT * FROM Format) = True And Artist = 'Zed'"})
        EXPECT_EQ(titles(where), QStringList{"Last"}) << where;
    EXPECT_EQ(titles("(Artist = 'Zed') = False And Year = '1974'"), QStringList{"Waterloo"});
    // Ordered by a truth, the recordings it holds for come first, as True is the smaller.
    EXPECT_EQ(titles(QString(), QStringLiteral("Artist = 'Zed', ID")).first(), QStringLiteral("Last"));

    const auto rs = db->openSnapshot(QStringLiteral(
        "SELECT 1 = 1 AS A, 1 < 0 AS B, 'abc' Like 'A*' AS C, Not 0 AS D, True And 2 AS E, 0 Or Null AS F "
        "FROM Recording WHERE Artist = 'Zed'"));
    const QList<QVariant> expected = {-1, 0, -1, -1, -1, QVariant()};
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(rs->value(i), expected.at(i)) << "column " << i;
}

TEST_F(JetDialect, DeepNestingIsRefusedAndLongChainsAreRead)
{
    // Answers to "??" as a user might type or paste them: the stack must not run out.
    const QStringList refused = {QString(5000, '('),
                                 QStringLiteral("Not ").repeated(5000) + "True",
                                 QString(5000, '-') + "1",
                                 QStringLiteral("Val(").repeated(3000) + "1",
                                 QStringLiteral("1 In (SELECT ID FROM Recording WHERE ID In (").repeated(100),
                                 QString(41, '(') + "1" + QString(41, ')')};
    for (const QString& answer : refused)
        EXPECT_TRUE(refusal("Artist = 'Zed' And " + answer).contains("nested more than"))
            << answer.left(40).toStdString();
    for (const QString& where : {QString(20, '(') + "Artist = 'Zed'" + QString(20, ')'),
                                 QStringLiteral("Not ").repeated(11) + "Artist <> 'Zed'",
                                 "Val(Year) = " + QStringLiteral("- ").repeated(10) + "2001"})
        EXPECT_EQ(titles(where), QStringList{"Last"}) << where.toStdString();

    // A run of thousands of operators is read in one pass, each as Jet reads it: from the left.
    EXPECT_TRUE(Database::translate("SELECT 1" + QStringLiteral(" + 1").repeated(20000) + " FROM Recording")
                    .startsWith("SELECT jet_add(jet_add("));
    EXPECT_EQ(Database::translate("SELECT 8 - 4 - 2 * 3 / 2 FROM Recording"),
              "SELECT ((8 - 4) - (CAST((2 * 3) AS REAL) / 2)) FROM \"Recording\"");
}

TEST_F(JetDialect, HugeNumbersGiveNullOrTextNotUndefinedCasts)
{
    const auto rs = db->openSnapshot(
        QStringLiteral("SELECT Year(1e19) AS A, Month(-1e300) AS B, Day(Val('1e300')) AS C, Val('1e300') AS D, "
                       "9.2e18 AS E, -1e19 AS F, CInt(1e300) AS G, 2 ^ 1e6 AS H, 1e300 Mod 7 AS I, "
                       "Year(9e15) AS J FROM Recording WHERE Artist = 'Zed'"));
    const QStringList texts = {"", "", "", "1e+300", "9.2e+18", "-1e+19", "1e+300", "", "", ""};
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(rs->text(i), texts.at(i)) << "column " << i;
    EXPECT_EQ(rs->integer(4), 0) << "past the range of a whole number";
    EXPECT_EQ(rs->integer(5), 0);
}

TEST(JetLike, LikeAndNoCaseDirectly)
{
    const auto matches = [](const char* pattern, const char* text) {
        JetLike like;
        QString error;
        EXPECT_TRUE(JetLike::compile(QString::fromUtf8(pattern), &like, &error)) << pattern;
        return like.matches(QString::fromUtf8(text));
    };
    // A range goes by base letter, even when both its ends have the same one.
    const char* matching[][2] = {{"a*b", "aXXb"},   {"*", ""},          {"[]a", "a"},   {"[a-]", "-"},
                                 {"a[!b]c", "axc"}, {"*a*a", "banana"}, {"ß", "ß"},     {"[é-é]", "é"},
                                 {"[é-é]", "É"},    {"[e-e]", "é"},     {"[a-e]", "É"}, {"[é]", "É"}};
    for (const auto& [pattern, text] : matching)
        EXPECT_TRUE(matches(pattern, text)) << pattern << " ~ " << text;
    const char* different[][2] = {{"a*b", "aXXc"}, {"?", ""},       {"#", "x"},   {"a[!b]c", "abc"},
                                  {"*x*", "abc"},  {"[!e-e]", "é"}, {"[é]", "e"}, {"[d-d]", "e"}};
    for (const auto& [pattern, text] : different)
        EXPECT_FALSE(matches(pattern, text)) << pattern << " ~ " << text;
    // É sorts among the E's: after Elan, before Flan.
    const char* ordered[][2] = {{"abc", "ABD"}, {"ab", "abc"}, {"é", "z"}, {"Elan", "Élan"}, {"Élan", "Flan"}};
    for (const auto& [a, b] : ordered)
        EXPECT_TRUE(JetCollation::compareNoCase(a, b) < 0 && JetCollation::compareNoCase(b, a) > 0) << a << " < " << b;
    EXPECT_EQ(JetCollation::compareNoCase("abc", "ABC"), 0);
    EXPECT_EQ(JetCollation::compareNoCase("Élan", "éLAN"), 0);
}

TEST(JetText, AnAnswerIsQuotedAsTheDialectReadsTheCondition)
{
    // The quote around "??" is found past comments, #dates#, [names] and doubled quotes.
    const QList<QPair<QString, QString>> cases = {
        {"Artist Like '??'", "Artist Like 'O''Brien'"},
        {"/* it's */ Artist Like '??'", "/* it's */ Artist Like 'O''Brien'"},
        {"#1/1/1990# < Date() AND [Artist's] Like \"??\"", "#1/1/1990# < Date() AND [Artist's] Like \"O'Brien\""},
        {"Title <> 'Don''t' AND Artist = '??'", "Title <> 'Don''t' AND Artist = 'O''Brien'"},
        {"Artist = ??", "Artist = O'Brien"},
    };
    for (const auto& [condition, placed] : cases)
        EXPECT_EQ(JetText::placeAnswer(condition, condition.indexOf(QLatin1String("??")), QStringLiteral("O'Brien")),
                  placed);
}

TEST(NumberText, LeadingNumberAndRounding)
{
    const struct
    {
        const char* text;
        double value;
    } cases[] = {{"  42abc", 42}, {"-1.5e2x", -150}, {"1 2 3", 123}, {"abc", 0}, {"", 0},   {"&H1F", 31},
                 {"&h1f", 31},    {"&O17", 15},      {".5", 0.5},    {"3e", 3},  {"+7", 7}, {"1.2.3", 1.2}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(NumberText::leadingNumber(QString::fromUtf8(c.text)), c.value) << c.text;
    EXPECT_EQ(NumberText::leadingNumber(QString()), 0);
    for (const auto& [value, rounded] : {std::pair{16.5, 16}, {17.5, 18}, {-0.5, 0}, {1e12, INT_MAX}})
        EXPECT_EQ(NumberText::roundHalfEven(value), rounded) << value;
}

} // namespace
