#include "qtprinters.h"
#include "sqltext_p.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct RewriteCase
{
    const char *name;
    QString sql;
    QString expected; // empty: the statement cannot take extra columns
};

class AddSelectColumnsTest : public ::testing::TestWithParam<RewriteCase>
{
};

TEST_P(AddSelectColumnsTest, AddsQualifiedColumnsBeforeTheTopLevelFrom)
{
    const RewriteCase &c = GetParam();
    const std::optional<QString> result = ibo::AddSelectColumns(c.sql, {u"RDB$DB_KEY"_s, u"\"ID\""_s});
    if (c.expected.isEmpty())
        EXPECT_FALSE(result.has_value()) << result.value_or(QString()).toStdString();
    else
        EXPECT_EQ(result.value_or(QString()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, AddSelectColumnsTest,
    ::testing::Values(
        RewriteCase{"Star", u"SELECT * FROM T"_s, u"SELECT T.* , T.RDB$DB_KEY, T.\"ID\" FROM T"_s},
        RewriteCase{"Alias", u"select a, b from T x where a = 1"_s,
                    u"select a, b , x.RDB$DB_KEY, x.\"ID\" from T x where a = 1"_s},
        RewriteCase{"AsAlias", u"SELECT * FROM T AS \"y\" ORDER BY 1"_s,
                    u"SELECT \"y\".* , \"y\".RDB$DB_KEY, \"y\".\"ID\" FROM T AS \"y\" ORDER BY 1"_s},
        RewriteCase{"ClauseIsNoAlias", u"SELECT A FROM T WHERE A > 0"_s,
                    u"SELECT A , T.RDB$DB_KEY, T.\"ID\" FROM T WHERE A > 0"_s},
        RewriteCase{"FirstSkipDistinct", u"SELECT FIRST 10 SKIP (2 + 3) DISTINCT * FROM \"My Table\""_s,
                    u"SELECT FIRST 10 SKIP (2 + 3) DISTINCT \"My Table\".* , \"My Table\".RDB$DB_KEY, \"My Table\".\"ID\" FROM \"My Table\""_s},
        RewriteCase{"FromInsideSubqueryStringAndComment",
                    u"SELECT (SELECT MAX(X) FROM U), 'from' /* from */ -- from\n FROM T"_s,
                    u"SELECT (SELECT MAX(X) FROM U), 'from' /* from */ -- from\n , T.RDB$DB_KEY, T.\"ID\" FROM T"_s},
        RewriteCase{"CommonTableExpression", u"WITH C AS (SELECT * FROM T) SELECT * FROM C"_s, QString()},
        RewriteCase{"NoFrom", u"SELECT 1"_s, QString()},
        RewriteCase{"DerivedTable", u"SELECT * FROM (SELECT * FROM T)"_s, QString()}),
    [](const ::testing::TestParamInfo<RewriteCase> &info) { return std::string(info.param.name); });

} // namespace
