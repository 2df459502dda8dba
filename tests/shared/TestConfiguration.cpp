#include "platform/SendKeysParser.h"
#include "shared/IniFile.h"
#include "shared/Session.h"
#include "support/TestFolder.h"

#include <functional>
#include <gtest/gtest.h>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <sys/stat.h>

namespace {

class Configuration : public ::testing::Test
{
protected:
    void SetUp() override { session.setIniFile(folder.file(QStringLiteral("varolin.ini"))); }
    QByteArray ini() const { return folder.readFile(QStringLiteral("varolin.ini")); }
    // Writes the file, or removes it for null bytes.
    void setIni(const QByteArray& bytes) const
    {
        QFile::remove(session.iniFile());
        if (!bytes.isNull())
            folder.writeFile(QStringLiteral("varolin.ini"), bytes);
    }
    QString Read(const QString& section, const QString& key, const QString& fallback = QString()) const
    {
        return session.ReadIniString(section, key, fallback);
    }
    TestFolder folder;
    Session session;
};

// The file's text in UTF-16 with its byte-order mark, as older editors save it.
QByteArray Utf16(const QString& text, bool littleEndian)
{
    return QStringEncoder(littleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                          QStringConverter::Flag::WriteBom)(text);
}

TEST_F(Configuration, ReadsLikeTheProfileFunctionsAndSurvivesHostileFiles)
{
    const QString x99(99, QLatin1Char('x'));
    const QString longPath = QStringLiteral("/music/") + QString(150, QLatin1Char('p')) + QStringLiteral(".mdb");
    const QByteArray garbage = QByteArray("\x00\x01\xFF\xFE\x80\x81[\x00]=\x7F\xC3(\n", 14);
    const struct
    {
        QByteArray file; // null: no file, which reading must not create
        const char* section;
        const char* key;
        QString expected;
    } cases[] = {
        {QByteArray(), "Initialisation", "Database", "default"},
        // Names match without regard to case; leading spaces go, trailing ones stay.
        {"[initialisation]\nDATABASE=  /music/cat.mdb  \n", "Initialisation", "Database", "/music/cat.mdb  "},
        {"[SQL]\nEmpty=\n", "sql", "Empty", ""},
        {"[SQL]\n1=All\n", "SQL", "Missing", "default"},
        // The 99 characters are counted after the leading spaces go; only the catalogue's path is whole.
        {"[SQL]\n1=   " + x99.toUtf8() + "\n", "SQL", "1", x99},
        {"[SQL]\n1=" + x99.toUtf8() + "y\n", "SQL", "1", x99},
        {"[Initialisation]\nDatabase=  " + longPath.toUtf8() + "  \n", "Initialisation", "Database",
         longPath + QStringLiteral("  ")},
        {Utf16(QStringLiteral("[SQL]\r\n1=Café, 日本\r\n"), true), "SQL", "1", QStringLiteral("Café, 日本")},
        {Utf16(QStringLiteral("[SQL]\n1=Ünïcode\n"), false), "SQL", "1", QStringLiteral("Ünïcode")},
        // Binary garbage, a NUL inside a value, a 10 MB line: read past, cut at the NUL, seen in part.
        {garbage + garbage + "[SQL]\n1=All\n", "SQL", "1", QStringLiteral("All")},
        {QByteArray("[SQL]\n1=Be\0fore\n", 16), "SQL", "1", QStringLiteral("Be")},
        {"[SQL]\n0=" + QByteArray(10 << 20, 'z') + "\n1=After\n", "SQL", "1", QStringLiteral("After")},
        {"[SQL]\n1=" + QByteArray(10 << 20, 'z') + "\n", "SQL", "1", QString(99, QLatin1Char('z'))},
        // Duplicates: the first section and the first key count; a line without "=" is no key.
        {"[SQL]\n1\n1=First\n1=Second\n[SQL]\n2=Later\n", "SQL", "1", QStringLiteral("First")},
        {"[SQL]\n1=First\n[SQL]\n2=Later\n", "SQL", "2", QStringLiteral("default")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        setIni(c.file);
        EXPECT_EQ(Read(c.section, c.key, QStringLiteral("default")), c.expected);
        session.LoadSettings(); // and nothing else in it trips the settings
        EXPECT_EQ(QFile::exists(session.iniFile()), !c.file.isNull());
    }
}

TEST_F(Configuration, AFileThatIsNoSettingsFileIsNamedAtOnceAndNeverWritten)
{
    const QString ini = session.iniFile();
    const struct
    {
        std::function<void()> make;
        const char* says; // "" for a file that reads
    } cases[] = {
        {[&] { folder.writeFile("varolin.ini", "[SQL]\n1=All\n"); }, ""},
        {[&] { QDir().mkdir(ini); }, "it is a folder, not a file"},
        {[&] { ASSERT_EQ(mkfifo(QFile::encodeName(ini).constData(), 0600), 0); }, "named pipe (FIFO)"},
        {[&] { QFile::link("/dev/zero", ini); }, "it is a device, not a file"},
        {[&] { QFile::link(ini, ini); }, "symbolic links lead round in a loop"},
        {[&] { folder.writeFile("varolin.ini", Utf16("[SQL]\n1=All\n", true).mid(2)); }, "UTF-16 text without"},
        {[&] { folder.writeFile("varolin.ini", QByteArray(17 << 20, 'x')); }, "far more than any settings file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        QFile::remove(ini);
        QDir().rmdir(ini);
        c.make();
        EXPECT_TRUE(session.iniProblem().contains(QLatin1String(c.says))) << session.iniProblem().toStdString();
        EXPECT_EQ(session.iniProblem().isEmpty(), !*c.says);
        EXPECT_EQ(session.LoadSelections(), -1);
        EXPECT_EQ(session.selections.size(), *c.says ? 0 : 1);
        EXPECT_EQ(session.WriteIniString("SQL", "Default", "1"), !*c.says) << "never written over";
    }
    // A relative catalogue is the settings file's neighbour, wherever the program started.
    folder.writeFile("varolin.ini", "[Initialisation]\nDatabase=data/cat.mdb\n");
    EXPECT_EQ(session.cataloguePath("/default.mdb"), folder.file("data/cat.mdb"));
    folder.writeFile("varolin.ini", "[Initialisation]\nDatabase=/abs/cat.mdb\n");
    EXPECT_EQ(session.cataloguePath("/default.mdb"), QStringLiteral("/abs/cat.mdb"));
    folder.writeFile("varolin.ini", "[SQL]\n");
    EXPECT_EQ(session.cataloguePath("/default.mdb"), QStringLiteral("/default.mdb"));
}

TEST_F(Configuration, LoadsTheSettingsAndTheHotKeysUpToTheFirstGap)
{
    const QByteArray subst = "[Initialisation]\nSpace-Substitution-Char=";
    const struct
    {
        QByteArray file;    // null: no file
        QStringList loaded; // auto-refresh, substitution text, then each hot key as name|code|text
    } cases[] = {
        {QByteArray(), {"on", "_"}},
        // Only an exact "Yes" turns auto-refresh on.
        {"[Initialisation]\nAuto-Refresh=Yes\n", {"on", "_"}},
        {"[Initialisation]\nAuto-Refresh=yes\n", {"off", "_"}},
        {"[Initialisation]\nAuto-Refresh=YES\n", {"off", "_"}},
        {"[Initialisation]\nAuto-Refresh=No\n", {"off", "_"}},
        // 113.5 rounds to the even neighbour; key 3 is missing, so key 4 never loads.
        {"[Hot-Keys]\n1=Mono,112,{(}Mono{)}_mix\n2=Comma, 113.5 ,a,b,_c\n4=Never,65,x\n",
         {"on", "_", "Mono|112|{(}Mono{)} mix", "Comma|114|a,b, c"}},
        // A code out of range matches no key, but its entry loads and nothing after it is lost.
        {"[Hot-Keys]\n1=Huge,99999999999,a\n2=Negative,-5,b\n3=Word,abc,c\n4=Empty,,d\n",
         {"on", "_", "Huge|2147483647|a", "Negative|-5|b", "Word|0|c", "Empty|0|d"}},
        // An entry without its two commas ends the list.
        {"[Hot-Keys]\n1=Good,65,a\n2=NoCommas\n3=Later,66,b\n", {"on", "_", "Good|65|a"}},
        // An empty or space-holding substitution text falls back to "_" instead of looping forever.
        {subst + "\n[Hot-Keys]\n1=K,65,x_y z\n", {"on", "_", "K|65|x y z"}},
        {subst + " \n[Hot-Keys]\n1=K,65,x_y z\n", {"on", "_", "K|65|x y z"}},
        {subst + "a b\n[Hot-Keys]\n1=K,65,x_y z\n", {"on", "_", "K|65|x y z"}},
        {subst + "~~\n[Hot-Keys]\n1=K,65,a~~b\n", {"on", "~~", "K|65|a b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        setIni(c.file);
        session.LoadSettings();
        QStringList loaded = {session.autoRefresh ? "on" : "off", session.spaceSubst};
        for (int i = 0; i < session.hotKeys.count(); ++i) {
            const HotKey& key = session.hotKeys.at(i);
            loaded << QStringLiteral("%1|%2|%3").arg(key.name).arg(key.code).arg(key.text);
        }
        EXPECT_EQ(loaded, c.loaded);
    }
}

TEST_F(Configuration, HotKeysTakeFreeFunctionKeysAndReadBackAsEdited)
{
    const auto used = HotKeySet::KeyRefusal::InUse, bad = HotKeySet::KeyRefusal::NotAHotKey;
    // Each step: 'k' gives hot key i the code, refused as said; 'a' adds at i (-1: full); 'r' removes i.
    using Step = std::tuple<char, int, int, HotKeySet::KeyRefusal>;
    const std::tuple<QByteArray, QList<Step>, QStringList> cases[] = {
        // A name that was its key's name follows the key; only F1 to F24, each on one hot key. A
        // removed key leaves nothing behind.
        {"1=F2,113,a_b\n2=Mono,112,m\n3=C,114,c\n",
         {{'k', 0, 123, {}}, {'k', 1, 123, used}, {'k', 1, 65, bad}, {'k', 1, 135, {}}, {'r', 2, 0, {}}},
         {"F12,123,a_b", "Mono,135,m"}},
        // Added on the first free function key, up to five; one beyond an old gap stays away.
        {"1=A,113,a\n2=B,115,b\n5=Dead,65,x\n",
         {{'a', 2, 0, {}}, {'a', 3, 0, {}}, {'a', 4, 0, {}}, {'a', -1, 0, {}}, {'r', 0, 0, {}}},
         {"B,115,b", "F1,112,", "F3,114,", "F5,116,"}},
    };
    for (const auto& [hotKeys, steps, loaded] : cases) {
        SCOPED_TRACE(hotKeys.constData());
        setIni("[Hot-Keys]\n" + hotKeys);
        session.LoadSettings();
        HotKeySet set = session.hotKeys;
        for (const auto& [op, i, code, refused] : steps) {
            if (op == 'k')
                EXPECT_EQ(set.setCode(i, code), refused) << code;
            else if (op == 'a')
                EXPECT_EQ(set.add(), i);
            else
                set.remove(i);
        }
        ASSERT_TRUE(IniFile::write(session.iniFile(), set.fileEntries(session.hotKeys.count(), "_")));
        session.LoadSettings();
        QStringList entries;
        for (int i = 0; i < session.hotKeys.count(); ++i)
            entries << HotKeySet::entry(session.hotKeys.at(i), "_");
        EXPECT_EQ(entries, loaded);
    }
}

TEST_F(Configuration, WriteChangesOnlyItsKeysInTheFilesEncoding)
{
    // Other lines stay byte for byte with their own line ends, undefined Windows-1252 bytes and an
    // odd last UTF-16 byte included, until a value the encoding cannot hold turns every line into
    // UTF-8 with a BOM. A last line without an end gets one; a missing file is made. A line break
    // anywhere refuses the whole write.
    const QByteArray cp1252 = "; Ma\x92s list \x96 \x80\x81\x8D\r\n[Initialisation]\r\nAuto-Refresh=Yes\r\n";
    const QString utf16 = QStringLiteral("; Maïs\r\n[Initialisation]\r\nAuto-Refresh=Yes\r\n[SQL]\r\n1=All");
    const QString utf16After =
        QStringLiteral("; Maïs\r\n[Initialisation]\r\nAuto-Refresh=日本\r\n[SQL]\r\n1=All\r\nDefault=1\r\n");
    const auto refresh = [](const QString& value) {
        return QList<IniFile::Entry>{{"Initialisation", "Auto-Refresh", value}};
    };
    const QList<IniFile::Entry> twoKeys = {{"Initialisation", "Auto-Refresh", "日本"}, {"SQL", "Default", "1"}};
    const struct
    {
        QByteArray before; // null: no file
        QList<IniFile::Entry> writes;
        QByteArray after; // null: refused, and the file is as it was
    } cases[] = {
        {cp1252, refresh("Café"), "; Ma\x92s list \x96 \x80\x81\x8D\r\n[Initialisation]\r\nAuto-Refresh=Caf\xE9\r\n"},
        {"\xEF\xBB\xBF; \xE2\x80\x99\n[Initialisation]\nAuto-Refresh=Yes\n", refresh("Tëst"),
         "\xEF\xBB\xBF; \xE2\x80\x99\n[Initialisation]\nAuto-Refresh=T\xC3\xABst\n"},
        {"; \xE2\x80\x99\n[Initialisation]\nAuto-Refresh=Yes\n", refresh("€"),
         "; \xE2\x80\x99\n[Initialisation]\nAuto-Refresh=\xE2\x82\xAC\n"},
        {cp1252, refresh("日本"),
         "\xEF\xBB\xBF; Ma\xE2\x80\x99s list \xE2\x80\x93 \xE2\x82\xAC\xC2\x81\xC2\x8D\r\n"
         "[Initialisation]\r\nAuto-Refresh=\xE6\x97\xA5\xE6\x9C\xAC\r\n"},
        // In Windows-1252 these two would be read back as the UTF-8 of one "é".
        {"[Initialisation]\r\nAuto-Refresh=\xE9t\xE9\r\n", refresh("Ã©"),
         "\xEF\xBB\xBF[Initialisation]\r\nAuto-Refresh=\xC3\x83\xC2\xA9\r\n"},
        {Utf16(utf16, true) + "\x01", twoKeys, Utf16(utf16After, true) + "\x01"},
        {Utf16(utf16, false) + "\x01", twoKeys, Utf16(utf16After, false) + "\x01"},
        {"; my settings\r\n[Initialisation]\r\nDatabase=x.mdb\r\nauto-refresh = Yes\r\n\r\n[SQL]\r\n1=All\r\n",
         {{"Initialisation", "Auto-Refresh", "No"}, {"SQL", "Default", "1"}, {"Hot-Keys", "1", "Tëst,65,a_b"}},
         "; my settings\r\n[Initialisation]\r\nDatabase=x.mdb\r\nauto-refresh=No\r\n\r\n[SQL]\r\n1=All\r\n"
         "Default=1\r\n\r\n[Hot-Keys]\r\n1=T\xC3\xABst,65,a_b\r\n"},
        {"[Initialisation]\nAuto-Refresh=Yes\r\n; note\n[SQL]\r\n1=All",
         refresh("No") << IniFile::Entry{"SQL", "Default", "1"},
         "[Initialisation]\nAuto-Refresh=No\r\n; note\n[SQL]\r\n1=All\nDefault=1\n"},
        {QByteArray(), refresh("Yes"), "[Initialisation]\nAuto-Refresh=Yes\n"},
        {"[Initialisation]\nAuto-Refresh=Yes\r", refresh("No"), "[Initialisation]\nAuto-Refresh=No\r"},
        // A lone carriage return in a value; a line feed in a key, after an entry fine on its own.
        {cp1252, refresh("\rNo"), QByteArray()},
        {cp1252, refresh("No") << IniFile::Entry{"Hot-Keys", "1\n[SQL]\n1", "x"}, QByteArray()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        setIni(c.before);
        if (c.after.isNull()) {
            QString error;
            EXPECT_FALSE(session.WriteIniStrings(c.writes, &error));
            EXPECT_TRUE(error.contains(QStringLiteral("line break"))) << error.toStdString();
            EXPECT_EQ(ini(), c.before);
            continue;
        }
        for (const IniFile::Entry& e : c.writes)
            ASSERT_TRUE(session.WriteIniString(e.section, e.key, e.value));
        EXPECT_EQ(ini(), c.after);
        for (const IniFile::Entry& e : c.writes)
            EXPECT_EQ(Read(e.section, e.key), e.value);
    }
}

TEST_F(Configuration, WriteLeavesEveryOtherValueAsItReads)
{
    // Files the fuzzer made: a write to [SQL] must not change what any other key reads.
    const QList<QByteArray> files = {
        "[Hot-Keys]\n1=Mono,112,x\r",               // a CR ends the file without a line feed
        "\xEF\xFE[[SQL]\r\n1=A\n[Hot-Keys]\n1=M\r", // and in Windows-1252, with no [SQL] yet
    };
    for (const QByteArray& file : files) {
        setIni(file);
        const QString before = Read("Hot-Keys", "1", QStringLiteral("-"));
        ASSERT_TRUE(session.WriteIniString("SQL", "2", QStringLiteral("café")));
        EXPECT_EQ(Read("Hot-Keys", "1", QStringLiteral("-")), before) << file.toStdString();
        EXPECT_EQ(Read("SQL", "2"), QStringLiteral("café"));
    }
}

TEST_F(Configuration, FailedWriteReportsAndLeavesNoDamage)
{
    session.setIniFile(folder.file(QStringLiteral("no-such-folder/varolin.ini")));
    QString error;
    EXPECT_FALSE(session.WriteIniString("Initialisation", "Auto-Refresh", QStringLiteral("No"), &error));
    EXPECT_FALSE(error.isEmpty());

    // A file that cannot be replaced (a folder stands in its way) is left as it was.
    session.setIniFile(folder.file(QStringLiteral("varolin.ini")));
    folder.writeIni(QStringLiteral("[Initialisation]\nAuto-Refresh=Yes\n"));
    QFile::rename(session.iniFile(), session.iniFile() + QStringLiteral(".keep"));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("varolin.ini")));
    EXPECT_FALSE(session.WriteIniString("Initialisation", "Auto-Refresh", QStringLiteral("No")));
    EXPECT_EQ(folder.readFile(QStringLiteral("varolin.ini.keep")), QByteArray("[Initialisation]\nAuto-Refresh=Yes\n"));
}

TEST_F(Configuration, SelectionsCutAtCommasOutsideQuotesParenthesesAndComments)
{
    // A value loses its leading spaces as it is read; the list ends at a gap; a Default beyond it chooses none.
    folder.writeIni(QStringLiteral("[SQL]\n1=Plain\n2= Spaced , Year = '1974' ,,Title, Artist\n"
                                   "3=Initial,UCase(Left(Artist,1)) = \"A\",Mid(Title, 2, 3),Year\n"
                                   "4=Quoted,Label = 'Polar, Sweden' OR [Artist] = \"Bl,ur\",Artist\n"
                                   "5=Commented,Year > '1975' /* don't, please */,Title\n6=Unclosed,Artist = 'x,Title\n"
                                   "7=Eleven,,a,b,c,d,e,f,g,h,i,j\n9=Never listed\nDefault=8\n"));
    EXPECT_EQ(session.LoadSelections(), -1);
    QStringList loaded;
    for (const SelectionList::Selection& s : session.selections)
        loaded << s.name + QLatin1Char('|') + s.where + QLatin1Char('|') + s.order;
    EXPECT_EQ(loaded, (QStringList{"Plain||", "Spaced | Year = '1974' |Title,  Artist",
                                   "Initial|UCase(Left(Artist,1)) = \"A\"|Mid(Title, 2, 3), Year",
                                   "Quoted|Label = 'Polar, Sweden' OR [Artist] = \"Bl,ur\"|Artist",
                                   "Commented|Year > '1975' /* don't, please */|Title", "Unclosed|Artist = 'x,Title|",
                                   "Eleven||a, b, c, d, e, f, g, h"}));
}

TEST_F(Configuration, DefaultChoosesAListedSelectionOrNone)
{
    QString thousand = QStringLiteral("[SQL]\n");
    for (int i = 1; i <= 1000; ++i)
        thousand += QStringLiteral("%1=Selection %1\n").arg(i);
    const std::pair<const char*, int> cases[] = {{"1000", 999}, {"1", 0}, {"-5", -1}, {"99999", -1}, {"abc", -1}};
    for (const auto& [value, chosen] : cases) {
        folder.writeIni(thousand + QStringLiteral("Default=") + QLatin1String(value));
        EXPECT_EQ(session.LoadSelections(), chosen) << value;
    }
}

// The key strokes a text types, as one comparable text.
QString Typed(const QString& keys)
{
    QString error;
    QString strokes;
    for (const SendKeysParser::Stroke& stroke : SendKeysParser::parse(keys, &error))
        strokes += QStringLiteral("%1/%2/%3;").arg(stroke.key).arg(int(stroke.modifiers)).arg(stroke.text);
    return error.isEmpty() ? strokes : QStringLiteral("unreadable");
}

TEST(SelectionList, TheCurrentYearStandsInTheConditionAndTheOrder)
{
    const QString sql = SelectionList::displayStatement({"This Year", "Year = '~~Year~~'", "Year = '~~Year~~', Artist"},
                                                        "Year = '~~Year~~'");
    const QString year = QString::number(QDate::currentDate().year());
    EXPECT_EQ(sql.count(year), 2) << sql.toStdString();
    EXPECT_FALSE(sql.contains(QStringLiteral("~~Year~~"))) << sql.toStdString();
}

TEST(HotKeySet, WhatIsSavedIsTypedTheSameAfterARestart)
{
    // Any text, for any substitution text, reads back from its entry as it was stored; texts
    // written by earlier versions (spaces as the substitution text) read as before.
    const struct
    {
        const char* subst;
        const char* stored;
        const char* written; // the entry's text, nullptr where only the round trip matters
    } cases[] = {
        {"_", "a b", "a_b"},       {"_", "snake_case", "snake{_}case"}, {"_", "{_}", "{_}"},
        {"~~", "a b", "a~~b"},     {"~~", "a~~b", "a{ENTER}{ENTER}b"},  {"~~", "x~~~y z", nullptr},
        {"ab", "cab ab", nullptr}, {"--", "{(}-{)} - --", nullptr},     {"_", "{TAB}_{ENTER} ", nullptr},
    };
    for (const auto& c : cases) {
        const QString subst = QString::fromUtf8(c.subst);
        const HotKey key{QStringLiteral("K"), 65, QString::fromUtf8(c.stored)};
        const QString entry = HotKeySet::entry(key, subst);
        if (c.written) {
            EXPECT_EQ(entry, QStringLiteral("K,65,") + QString::fromUtf8(c.written)) << c.stored;
        }
        const HotKeySet loaded = HotKeySet::fromEntries({entry}, subst);
        ASSERT_EQ(loaded.count(), 1);
        EXPECT_EQ(Typed(loaded.at(0).text), Typed(key.text)) << c.subst << " " << c.stored;
    }
    // Earlier versions wrote the space of a key's count substituted too.
    EXPECT_EQ(HotKeySet::textFromFile(QStringLiteral("{TAB_3}a_b{_}"), QStringLiteral("_")),
              QStringLiteral("{TAB 3}a b{_}"));
}

} // namespace
