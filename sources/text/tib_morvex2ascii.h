#pragma once

#include "ib_morvex2.h"
#include "stringlist.h"
#include "textfilereader.h"

#include <QChar>
#include <QFile>
#include <QString>

#include <array>
#include <memory>
#include <vector>

// Imports a text file, one record per source row. With a separator the
// file is delimited text and each line is split into fields, the map naming
// fields by their 1-based number; with a null separator it is fixed-width
// text and the map names each column's "position;length" (position 0-based).
//
// In delimited text a quoted field may hold line breaks: the record then
// continues on the next lines of the file, the breaks kept as they were.
class TIB_Morvex2ASCII : public TIB_Morvex2
{
    Q_OBJECT
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(int SkipFirstRows READ SkipFirstRows WRITE SetSkipFirstRows)
    Q_PROPERTY(QChar Comma READ Comma WRITE SetComma)
    Q_PROPERTY(QChar Quote READ Quote WRITE SetQuote)
    Q_PROPERTY(QString CodePage READ CodePage WRITE SetCodePage)

public:
    // A record whose quoted field is still open after this many characters
    // is reported as a failed row, so that a quote that is never closed
    // cannot swallow the rest of the file.
    static constexpr qsizetype kMaxRecordChars = qsizetype(1) << 20;

    explicit TIB_Morvex2ASCII(QObject *owner = nullptr);
    ~TIB_Morvex2ASCII() override;

    QChar Comma() const { return m_comma; }
    void SetComma(QChar value) { m_comma = value; }
    QChar Quote() const { return m_quote; }
    void SetQuote(QChar value) { m_quote = value; }
    // The code page of the file's bytes; empty: UTF-8, with lines that are
    // not UTF-8 read in the ANSI code page.
    QString CodePage() const { return m_codePage; }
    void SetCodePage(const QString &value) { m_codePage = value; }

    bool HasComma() const { return !m_comma.isNull(); }
    // Fills Columns from one line: its fields, or for fixed-width text one
    // name=text pair per map entry.
    void ReadColumns(const QString &Line, TStringList &Columns) const;

protected:
    bool CheckProperties() override;
    void StartImport() override;
    bool CheckCondition() override;
    bool Skip() override;
    void FillImportRow() override;
    void ChangeCondition() override {}
    void FinishImport() override;
    void DoLoadConfiguration(TIniFile &IniFile) override;
    void DoSaveConfiguration(TIniFile &IniFile) override;

private:
    bool readRecord();
    // The 1-based field a map name takes its value from; 0 when the map
    // entry names no field, -1 when the map has no entry of that name.
    int fieldOf(const QString &name);

    QChar m_comma;
    QChar m_quote = QChar(u'"');
    QString m_codePage;

    std::unique_ptr<QFile> m_file;
    std::unique_ptr<TTextFileReader> m_reader;
    QString m_record;
    QString m_recordError;
    TStringList m_columns;
    // Where each field of a delimited line goes: the column, the 1-based
    // field (0 for none), and whether no other column takes that field.
    struct FieldRoute
    {
        TMorvexCol *target;
        int field;
        bool alone;
    };
    // Works the routes out again when what they depend on has changed; true
    // when the fields can go straight to their columns.
    bool updateRoutes(TMorvexRow &row);
    std::vector<FieldRoute> m_routes;
    // Indexed by field: the only column that takes it, or nullptr; empty
    // when some field or column is shared.
    std::vector<TMorvexCol *> m_fieldTargets;
    // Then the columns that no field goes to.
    std::vector<TMorvexCol *> m_untargeted;
    // What the routes were worked out for.
    std::vector<QString> m_routeNames;
    const TMorvexRow *m_routesFor = nullptr;
    std::array<std::uint64_t, 3> m_routesRevisions{};
    int m_skipped = 0;
    // fieldOf's answers, kept while the map stays as it is.
    TStringListCache<int> m_fields;
};
