#include "exception.h"
#include "inifile.h"
#include "stringlist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

static QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

static void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(IniFileTest, ParsesCommentsBlankLinesGarbageAndDuplicates)
{
    const TIniFile ini = TIniFile::FromBytes(
        "orphan=1\n"
        "; comment=1\n"
        "[ Main ]\n"
        "\n"
        "# also=comment\n"
        "no equals sign\n"
        "  Key With Spaces  =  padded value \t\n"
        "dup=first\n"
        "DUP=second\n"
        "[main]\n"
        "later=yes\n");
    TStringList sections;
    ini.ReadSections(sections);
    ASSERT_EQ(sections.Count(), 1);
    EXPECT_EQ(sections[0], u"Main"_s);
    EXPECT_EQ(ini.ReadString(u"MAIN"_s, u"key with spaces"_s, {}), u"padded value"_s);
    EXPECT_EQ(ini.ReadString(u"Main"_s, u"dup"_s, {}), u"first"_s);
    EXPECT_EQ(ini.ReadString(u"Main"_s, u"later"_s, {}), u"yes"_s);
    EXPECT_FALSE(ini.ValueExists(u"Main"_s, u"comment"_s));
    EXPECT_FALSE(ini.ValueExists(u"Main"_s, u"orphan"_s));

    TStringList values;
    ini.ReadSectionValues(u"main"_s, values);
    EXPECT_EQ(values.Text(), u"Key With Spaces=padded value\ndup=first\nlater=yes\n"_s);
}

TEST(IniFileTest, LineEndsBomAndNonUtf8Bytes)
{
    const TIniFile crlf = TIniFile::FromBytes("\xEF\xBB\xBF[S]\r\na=1\r\nb=2\r\n");
    const TIniFile lf = TIniFile::FromBytes("[S]\na=1\nb=2");
    const TIniFile cr = TIniFile::FromBytes("[S]\ra=1\rb=2\r");
    for (const TIniFile *ini : {&crlf, &lf, &cr}) {
        EXPECT_TRUE(ini->SectionExists(u"s"_s));
        EXPECT_EQ(ini->ReadString(u"S"_s, u"b"_s, {}), u"2"_s);
    }
    const TIniFile latin = TIniFile::FromBytes("[S]\nname=Caf\xE9\n");
    EXPECT_EQ(latin.ReadString(u"S"_s, u"name"_s, {}), u"Caf\u00E9"_s);
}

TEST(IniFileTest, OverlongLineIsSkipped)
{
    QByteArray content("[S]\nlong=");
    content.append(QByteArray(2 * 1024 * 1024, 'x'));
    content.append("\nshort=1\n");
    const TIniFile ini = TIniFile::FromBytes(content);
    EXPECT_FALSE(ini.ValueExists(u"S"_s, u"long"_s));
    EXPECT_EQ(ini.ReadInteger(u"S"_s, u"short"_s, 0), 1);
}

TEST(IniFileTest, IntegerAndBoolReadsFallBackToDefault)
{
    const TIniFile ini = TIniFile::FromBytes(
        "[N]\ndec=-12\ndollar=$1F\nhex=0x10\ntext=12abc\nempty=\nbig=99999999999\nzero=0\nseven=7\n");
    EXPECT_EQ(ini.ReadInteger(u"N"_s, u"dec"_s, 5), -12);
    EXPECT_EQ(ini.ReadInteger(u"N"_s, u"dollar"_s, 5), 31);
    EXPECT_EQ(ini.ReadInteger(u"N"_s, u"hex"_s, 5), 16);
    EXPECT_EQ(ini.ReadInteger(u"N"_s, u"text"_s, 5), 5);
    EXPECT_EQ(ini.ReadInteger(u"N"_s, u"empty"_s, 5), 5);
    EXPECT_EQ(ini.ReadInteger(u"N"_s, u"big"_s, 5), 5);
    EXPECT_EQ(ini.ReadInteger(u"N"_s, u"missing"_s, 5), 5);
    EXPECT_FALSE(ini.ReadBool(u"N"_s, u"zero"_s, true));
    EXPECT_TRUE(ini.ReadBool(u"N"_s, u"seven"_s, false));
    EXPECT_TRUE(ini.ReadBool(u"N"_s, u"text"_s, true));
    EXPECT_FALSE(ini.ReadBool(u"N"_s, u"missing"_s, false));
}

TEST(IniFileTest, WriteEraseAndRoundTripThroughFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(u"config.ini"_s);
    writeFile(path, "; kept out\n[First]\nA=1\n[Second]\nB=2\n");
    {
        TIniFile ini(path);
        EXPECT_EQ(ini.FileName(), path);
        ini.WriteString(u"first"_s, u"a"_s, u"  changed "_s);
        ini.WriteInteger(u"First"_s, u"N"_s, -3);
        ini.WriteBool(u"Third"_s, u"Flag"_s, true);
        ini.EraseSection(u"SECOND"_s);
        ini.DeleteKey(u"Missing"_s, u"x"_s);
        EXPECT_FALSE(ini.SectionExists(u"Second"_s));
    } // flushed by the destructor
    EXPECT_EQ(readFile(path), QByteArray("[First]\r\nA=changed\r\nN=-3\r\n\r\n[Third]\r\nFlag=1\r\n"));

    TIniFile again(path);
    TStringList keys;
    again.ReadSection(u"first"_s, keys);
    EXPECT_EQ(keys.Text(), u"A\nN\n"_s);
    EXPECT_TRUE(again.ReadBool(u"third"_s, u"flag"_s, false));
}

TEST(IniFileTest, NamesTheFileFormatCannotHoldAreRefused)
{
    TIniFile ini = TIniFile::FromBytes({});
    EXPECT_THROW(ini.WriteString(u"S"_s, u"a=b"_s, u"v"_s), Exception);
    EXPECT_THROW(ini.WriteString(u"S]"_s, u"k"_s, u"v"_s), Exception);
    EXPECT_THROW(ini.WriteString(u"S"_s, u"k"_s, u"two\nlines"_s), Exception);
    EXPECT_THROW(ini.WriteString(u"S"_s, u"  "_s, u"v"_s), Exception);
    EXPECT_FALSE(ini.SectionExists(u"S"_s));
}

TEST(IniFileTest, WriteIntoMissingDirectoryRaisesNamingTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        TIniFile ini(dir.filePath(u"no/such/dir/config.ini"_s));
        ini.WriteString(u"S"_s, u"k"_s, u"v"_s);
        try {
            ini.UpdateFile();
            FAIL() << "no exception";
        } catch (const Exception &e) {
            EXPECT_TRUE(e.Message().contains(u"no/such/dir/config.ini"_s)) << e.what();
        }
    } // the destructor retries, logs and does not throw
}

TEST(IniFileTest, UnwritableDirectoryKeepsThePreviousFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(u"kept.ini"_s);
    writeFile(path, "[S]\nk=old\n");
    TIniFile ini(path);
    ini.WriteString(u"S"_s, u"k"_s, u"new"_s);
    // Without write permission on the directory the temporary file cannot be created.
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool modesIgnored = QFile(dir.filePath(u"probe"_s)).open(QIODevice::WriteOnly);
    if (!modesIgnored) {
        EXPECT_THROW(ini.UpdateFile(), Exception);
        EXPECT_EQ(readFile(path), QByteArray("[S]\nk=old\n"));
    }
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (modesIgnored)
        GTEST_SKIP() << "file modes do not apply to this user";
}

TEST(IniFileTest, PathThatIsADirectoryRaisesAndIsLeftAlone)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString target = dir.filePath(u"config.ini"_s);
    ASSERT_TRUE(QDir().mkdir(target));
    writeFile(target + u"/inside.txt"_s, "keep");
    EXPECT_THROW({
        TIniFile ini(target);
        ini.WriteString(u"S"_s, u"k"_s, u"v"_s);
        ini.UpdateFile();
    }, Exception);
    EXPECT_TRUE(QFileInfo(target).isDir());
    EXPECT_EQ(readFile(target + u"/inside.txt"_s), QByteArray("keep"));
}
