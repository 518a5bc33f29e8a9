#include "tib_morvex2ascii.h"

#include "csvstringtostrings.h"
#include "inifile.h"
#include "messages.h"
#include "morvexerror.h"
#include "strutils.h"
#include "sysutils.h"

namespace {

const QString kSection = QStringLiteral("ASCII_OPTIONS");

bool isInteger(const QString &text)
{
    int value = 0;
    return TryStrToInt(text, value);
}

// "position;length" of a fixed-width map entry; a part that is not a
// number counts as 0.
void parsePositionLength(const QString &source, int &position, int &length)
{
    const qsizetype semicolon = source.indexOf(u';');
    position = StrToIntDef(source.left(semicolon < 0 ? source.size() : semicolon), 0);
    length = semicolon < 0 ? 0 : StrToIntDef(source.mid(semicolon + 1), 0);
}

// A character below code 33 is written as "#" and its decimal code.
QString charToIni(QChar c)
{
    return c.unicode() < 33 ? QStringLiteral("#%1").arg(c.unicode()) : QString(c);
}

QChar charFromIni(const QString &value, QChar current)
{
    if (value.isEmpty())
        return current;
    if (value.size() == 1)
        return value.at(0);
    if (value.startsWith(u'#')) {
        int code = 0;
        if (!TryStrToInt(value.mid(1), code) || code < 0 || code > 0xFFFF)
            code = 0;
        return QChar(char16_t(code));
    }
    return current;
}

} // namespace

TIB_Morvex2ASCII::TIB_Morvex2ASCII(QObject *owner)
    : TIB_Morvex2(owner), m_comma(GetListSeparator())
{
}

TIB_Morvex2ASCII::~TIB_Morvex2ASCII() = default;

bool TIB_Morvex2ASCII::CheckProperties()
{
    const bool result = TIB_Morvex2::CheckProperties();
    for (int i = 0; i < Map().Count(); ++i) {
        const QString source = Map().ValueFromIndex(i);
        bool valid;
        if (HasComma()) {
            valid = isInteger(source);
        } else {
            const qsizetype semicolon = source.indexOf(u';');
            valid = semicolon >= 0 && isInteger(source.left(semicolon)) && isInteger(source.mid(semicolon + 1));
        }
        if (!valid)
            throw EMorvexError(MorvexText(MXE_MapMissing));
    }
    return result;
}

void TIB_Morvex2ASCII::ReadColumns(const QString &Line, TStringList &Columns) const
{
    if (HasComma()) {
        CSVStringToStrings(Line, m_quote, m_comma, Columns);
        return;
    }
    Columns.Clear();
    for (int i = 0; i < Map().Count(); ++i) {
        int position = 0;
        int length = 0;
        parsePositionLength(Map().ValueFromIndex(i), position, length);
        if (position < 0 || length <= 0 || position >= Line.size())
            continue;
        const QString text = Line.mid(position, length);
        if (!text.isEmpty())
            Columns.Add(Map().Names(i) + u'=' + text);
    }
}

void TIB_Morvex2ASCII::StartImport()
{
    auto file = std::make_unique<QFile>(FileName());
    if (!file->open(QIODevice::ReadOnly))
        throw Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(FileName(), file->errorString()));
    m_reader = std::make_unique<TTextFileReader>(file.get(), m_codePage);
    m_file = std::move(file);
    m_columns.Clear();
    m_routesFor = nullptr;
    m_skipped = 0;
}

// Reads the next record: one line, or in delimited text with quoting as
// many lines as a quoted field with line breaks spans.
bool TIB_Morvex2ASCII::readRecord()
{
    QString terminator;
    m_recordError.clear();
    if (!m_reader->ReadLine(m_record, terminator))
        return false;
    if (!HasComma() || m_quote.isNull())
        return true;
    const qint64 firstLine = m_reader->LineNumber();
    QString line;
    while (CSVLineEndsInQuote(m_record, m_quote, m_comma)) {
        if (m_record.size() > kMaxRecordChars) {
            m_recordError = MorvexFormat(MXE_QuoteNotClosed, {QString::number(firstLine), QString::number(kMaxRecordChars >> 20)});
            break;
        }
        const QString lineEnd = terminator;
        if (!m_reader->ReadLine(line, terminator))
            break;
        m_record += lineEnd + line;
    }
    return true;
}

bool TIB_Morvex2ASCII::CheckCondition()
{
    return readRecord();
}

bool TIB_Morvex2ASCII::Skip()
{
    if (m_skipped < SkipFirstRows()) {
        ++m_skipped;
        return true;
    }
    if (!m_recordError.isEmpty())
        return ImportDestination() == mxdUserDefined && !IsCSVMode();
    return TrimmedView(m_record).isEmpty();
}

void TIB_Morvex2ASCII::FillImportRow()
{
    TMorvexRow *row = ImportRow();
    if (m_recordError.isEmpty() && HasComma() && updateRoutes(*row)) {
        // Every field goes to one column at most, and every column takes one
        // field at most: each field is written straight into its column's
        // value, over storage the value kept from the row before. Columns
        // that take no field, or a field the line does not have, are emptied.
        for (TMorvexCol *col : m_untargeted)
            col->ClearValue();
        size_t field = 0;
        CSVSplitLine(m_record, m_quote, m_comma, [&](QStringView text) {
            ++field;
            if (field >= m_fieldTargets.size() || !m_fieldTargets[field])
                return;
            AssignReusingStorage(m_fieldTargets[field]->Value, TrimmedView(text));
        });
        for (++field; field < m_fieldTargets.size(); ++field) {
            if (m_fieldTargets[field])
                m_fieldTargets[field]->ClearValue();
        }
        for (int i = 0; i < row->Count(); ++i)
            DoUserDataFormat(row->Items(i));
        return;
    }
    row->ClearValues();
    if (!m_recordError.isEmpty()) {
        SetRowError(m_recordError);
        return;
    }
    ReadColumns(m_record, m_columns);
    if (!HasComma()) {
        for (int i = 0; i < row->Count(); ++i) {
            const TMorvexCol *col = row->Items(i);
            if (fieldOf(col->Name) >= 0)
                row->SetValue(col->Name, m_columns.Values(col->Name), false);
        }
    } else {
        static const QString noText;
        for (const FieldRoute &route : m_routes) {
            QString &value = route.target->Value;
            if (route.field == 0 || route.field > m_columns.Count()) {
                value = noText;
            } else if (route.alone) {
                // The field changes places with the column's previous value:
                // the list gets storage back that the next line is split
                // into, and no string is copied or shared.
                m_columns.SwapString(route.field - 1, value);
                if (const QStringView trimmed = TrimmedView(value); trimmed.size() != value.size())
                    value = trimmed.toString();
            } else {
                const QString &text = m_columns[route.field - 1];
                const QStringView trimmed = TrimmedView(text);
                value = trimmed.size() == text.size() ? text : trimmed.toString();
            }
        }
    }
    for (int i = 0; i < row->Count(); ++i)
        DoUserDataFormat(row->Items(i));
}

// The routes hold for the map, the row and its name index as they are, and
// for each column's name: a handler may change any of them during a run.
bool TIB_Morvex2ASCII::updateRoutes(TMorvexRow &row)
{
    const std::array<std::uint64_t, 3> revisions{Map().Revision(), row.Revision(), row.NameIndex().Revision()};
    bool valid = m_routesFor == &row && m_routesRevisions == revisions && m_routeNames.size() == size_t(row.Count());
    for (qsizetype i = 0; valid && i < qsizetype(m_routeNames.size()); ++i) {
        const QString &name = row.Items(int(i))->Name;
        const QString &known = m_routeNames[size_t(i)];
        valid = (name.constData() == known.constData() && name.size() == known.size()) || name == known;
    }
    if (valid)
        return !m_fieldTargets.empty();
    m_routes.clear();
    m_routeNames.clear();
    std::vector<int> uses;
    for (int i = 0; i < row.Count(); ++i) {
        const QString &name = row.Items(i)->Name;
        m_routeNames.push_back(name);
        const int field = fieldOf(name);
        const int position = row.PositionOf(name);
        if (field < 0 || position < 0 || position >= row.Count())
            continue;
        m_routes.push_back(FieldRoute{row.Items(position), field, false});
        if (size_t(field) >= uses.size())
            uses.resize(size_t(field) + 1);
        ++uses[size_t(field)];
    }
    // A field that several columns take is shared with each of them.
    for (FieldRoute &route : m_routes)
        route.alone = route.field >= 1 && uses[size_t(route.field)] == 1;
    // When no field goes to two columns and no column takes two fields, the
    // fields can go straight to their columns: the column of each field.
    m_fieldTargets.assign(uses.size(), nullptr);
    std::vector<const TMorvexCol *> targets;
    for (const FieldRoute &route : m_routes) {
        const bool shared = route.field >= 1 && !route.alone;
        if (shared || std::find(targets.begin(), targets.end(), route.target) != targets.end()) {
            m_fieldTargets.clear();
            break;
        }
        targets.push_back(route.target);
        if (route.field >= 1)
            m_fieldTargets[size_t(route.field)] = route.target;
    }
    m_routesFor = &row;
    m_routesRevisions = revisions;
    m_untargeted.clear();
    for (int i = 0; i < row.Count() && !m_fieldTargets.empty(); ++i) {
        if (std::find(m_fieldTargets.begin(), m_fieldTargets.end(), row.Items(i)) == m_fieldTargets.end())
            m_untargeted.push_back(row.Items(i));
    }
    return !m_fieldTargets.empty();
}

int TIB_Morvex2ASCII::fieldOf(const QString &name)
{
    return m_fields.Get(Map(), name, [this](const QString &key) {
        const int entry = Map().IndexOfName(key);
        if (entry < 0)
            return -1;
        int field = 0;
        return TryStrToInt(Map().ValueFromIndex(entry), field) && field >= 1 ? field : 0;
    });
}

void TIB_Morvex2ASCII::FinishImport()
{
    TIB_Morvex2::FinishImport();
    m_columns.Clear();
    m_reader.reset();
    m_file.reset();
}

void TIB_Morvex2ASCII::DoSaveConfiguration(TIniFile &IniFile)
{
    TIB_Morvex2::DoSaveConfiguration(IniFile);
    IniFile.WriteInteger(kSection, QStringLiteral("SkipLines"), SkipFirstRows());
    IniFile.WriteString(kSection, QStringLiteral("Comma"), charToIni(m_comma));
    IniFile.WriteString(kSection, QStringLiteral("Quote"), charToIni(m_quote));
    IniFile.WriteString(kSection, QStringLiteral("CodePage"), m_codePage);
}

void TIB_Morvex2ASCII::DoLoadConfiguration(TIniFile &IniFile)
{
    TIB_Morvex2::DoLoadConfiguration(IniFile);
    SetSkipFirstRows(IniFile.ReadInteger(kSection, QStringLiteral("SkipLines"), SkipFirstRows()));
    m_comma = charFromIni(IniFile.ReadString(kSection, QStringLiteral("Comma"), QString()), m_comma);
    m_quote = charFromIni(IniFile.ReadString(kSection, QStringLiteral("Quote"), QString()), m_quote);
    m_codePage = IniFile.ReadString(kSection, QStringLiteral("CodePage"), m_codePage);
}
