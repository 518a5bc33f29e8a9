// Configuration files of the import components: the base sections.
#include "ib_morvex2.h"

#include "inifile.h"
#include "strutils.h"

namespace {

const QString kBase = QStringLiteral("BASE");
const QString kMap = QStringLiteral("MAP");
const QString kBaseFormats = QStringLiteral("BASE_FORMATS");
const QString kBooleanTrue = QStringLiteral("BOOLEAN_TRUE");
const QString kBooleanFalse = QStringLiteral("BOOLEAN_FALSE");
const QString kNullValues = QStringLiteral("NULL_VALUES");
const QString kKeyColumns = QStringLiteral("KeyColumns");
const QString kDataFormats = QStringLiteral("DATA_FORMATS_");

// A list section holds one key per line, each with an empty value.
void writeList(TIniFile &ini, const QString &section, const TStringList &list)
{
    ini.EraseSection(section);
    for (int i = 0; i < list.Count(); ++i)
        ini.WriteString(section, list[i], QString());
}

void readList(const TIniFile &ini, const QString &section, TStringList &list)
{
    list.Clear();
    ini.ReadSection(section, list);
}

// A separator takes the first character of its value; an empty value keeps
// the current one.
QChar readSeparator(const TIniFile &ini, const QString &key, QChar current)
{
    const QString value = ini.ReadString(kBaseFormats, key, QString());
    return value.isEmpty() ? current : value.at(0);
}

// The one character other than "/" that separates the fields of a date
// format such as "dd.mm.yyyy", or null when there is none or more than one.
QChar literalDateSeparator(const QString &format)
{
    QChar found;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'"' || c == u'\'')
            quoted = !quoted;
        if (quoted || c.isLetterOrNumber() || c == u'/' || c == u'"' || c == u'\'' || c.isSpace())
            continue;
        if (!found.isNull() && found != c)
            return QChar();
        found = c;
    }
    return found;
}

// Enumerations are stored by ordinal. An ordinal outside the enumeration
// reads as the default, like any other value that is not a valid number, so
// a damaged file can never select a mode or destination that does not exist.
template<class E>
E readEnum(const TIniFile &ini, const QString &section, const QString &key, E last)
{
    const int value = ini.ReadInteger(section, key, 0);
    return value >= 0 && value <= int(last) ? E(value) : E(0);
}

} // namespace

void TIB_Morvex2::SaveConfiguration(const QString &FileName)
{
    if (Trim(FileName).isEmpty())
        return;
    TIniFile ini(FileName);
    DoSaveConfiguration(ini);
    ini.UpdateFile();
}

void TIB_Morvex2::LoadConfiguration(const QString &FileName)
{
    if (!FileExists(FileName))
        return;
    TIniFile ini(FileName);
    DoLoadConfiguration(ini);
}

void TIB_Morvex2::ClearIniFile(TIniFile &IniFile)
{
    TStringList sections;
    IniFile.ReadSections(sections);
    for (int i = 0; i < sections.Count(); ++i)
        IniFile.EraseSection(sections[i]);
}

void TIB_Morvex2::DoSaveConfiguration(TIniFile &IniFile)
{
    IniFile.WriteString(kBase, QStringLiteral("FileName"), m_fileName);

    IniFile.EraseSection(kMap);
    for (int i = 0; i < m_map.Count(); ++i)
        IniFile.WriteString(kMap, m_map.Names(i), m_map.ValueFromIndex(i));

    IniFile.WriteString(kBaseFormats, QStringLiteral("DecimalSeparator"), QString(m_formats.DecimalSeparator()));
    IniFile.WriteString(kBaseFormats, QStringLiteral("ThousandSeparator"), QString(m_formats.ThousandSeparator()));
    IniFile.WriteString(kBaseFormats, QStringLiteral("ShortDateFormat"), m_formats.ShortDateFormat());
    IniFile.WriteString(kBaseFormats, QStringLiteral("LongDateFormat"), m_formats.LongDateFormat());
    IniFile.WriteString(kBaseFormats, QStringLiteral("ShortTimeFormat"), m_formats.ShortTimeFormat());
    IniFile.WriteString(kBaseFormats, QStringLiteral("LongTimeFormat"), m_formats.LongTimeFormat());

    writeList(IniFile, kBooleanTrue, m_formats.BooleanTrue());
    writeList(IniFile, kBooleanFalse, m_formats.BooleanFalse());
    writeList(IniFile, kNullValues, m_formats.NullValues());

    for (int i = 0; i < m_fieldFormats.Count(); ++i) {
        const TMorvexFieldFormat *format = m_fieldFormats.Items(i);
        if (Trim(format->FieldName()).isEmpty())
            continue;
        const QString section = kDataFormats + format->FieldName();
        IniFile.WriteInteger(section, QStringLiteral("GeneratorValue"), format->GeneratorValue());
        IniFile.WriteInteger(section, QStringLiteral("GeneratorStep"), format->GeneratorStep());
        IniFile.WriteString(section, QStringLiteral("ConstantValue"), format->ConstantValue());
        IniFile.WriteString(section, QStringLiteral("NullValue"), format->NullValue());
        IniFile.WriteString(section, QStringLiteral("DefaultValue"), format->DefaultValue());
        IniFile.WriteString(section, QStringLiteral("LeftQuote"), format->LeftQuote());
        IniFile.WriteString(section, QStringLiteral("RightQuote"), format->RightQuote());
        IniFile.WriteInteger(section, QStringLiteral("QuoteAction"), int(format->QuoteAction()));
        IniFile.WriteInteger(section, QStringLiteral("CharCase"), int(format->CharCase()));
        IniFile.WriteInteger(section, QStringLiteral("CharSet"), int(format->CharSet()));
    }

    IniFile.WriteBool(kBase, QStringLiteral("CommitAfterDone"), m_commitAfterDone);
    IniFile.WriteInteger(kBase, QStringLiteral("CommitRecCount"), m_commitRecCount);
    IniFile.WriteInteger(kBase, QStringLiteral("ImportRecCount"), m_importRecCount);
    IniFile.WriteBool(kBase, QStringLiteral("EnableErrorLog"), m_errorLog);
    IniFile.WriteString(kBase, QStringLiteral("ErrorLogFileName"), m_errorLogFileName);
    IniFile.WriteBool(kBase, QStringLiteral("RewriteErrorLogFile"), m_rewriteErrorLogFile);
    IniFile.WriteBool(kBase, QStringLiteral("ShowErrorLog"), m_showErrorLog);
    IniFile.WriteInteger(kBase, QStringLiteral("ImportDestination"), int(m_importDestination));
    IniFile.WriteInteger(kBase, QStringLiteral("ImportMode"), int(m_importMode));

    writeList(IniFile, kKeyColumns, m_keyColumns);

    IniFile.WriteInteger(kBase, QStringLiteral("GridCaptionRow"), m_gridCaptionRow);
    IniFile.WriteInteger(kBase, QStringLiteral("GridStartRow"), m_gridStartRow);
}

void TIB_Morvex2::DoLoadConfiguration(TIniFile &IniFile)
{
    SetFileName(IniFile.ReadString(kBase, QStringLiteral("FileName"), m_fileName));

    m_map.Clear();
    TStringList mapKeys;
    IniFile.ReadSection(kMap, mapKeys);
    for (int i = 0; i < mapKeys.Count(); ++i)
        m_map.SetValues(mapKeys[i], IniFile.ReadString(kMap, mapKeys[i], QString()));

    m_formats.SetDecimalSeparator(readSeparator(IniFile, QStringLiteral("DecimalSeparator"), m_formats.DecimalSeparator()));
    m_formats.SetThousandSeparator(readSeparator(IniFile, QStringLiteral("ThousandSeparator"), m_formats.ThousandSeparator()));
    m_formats.SetShortDateFormat(IniFile.ReadString(kBaseFormats, QStringLiteral("ShortDateFormat"), m_formats.ShortDateFormat()));
    // The file does not hold the date separator, so the dates of a file
    // written with "dd.mm.yyyy" would not parse on a machine whose separator
    // is "/": a literal separator of the date format is taken as the date
    // separator ("/" in a format stands for the separator itself).
    if (const QChar separator = literalDateSeparator(m_formats.ShortDateFormat()); !separator.isNull())
        m_formats.SetDateSeparator(separator);
    m_formats.SetLongDateFormat(IniFile.ReadString(kBaseFormats, QStringLiteral("LongDateFormat"), m_formats.LongDateFormat()));
    m_formats.SetShortTimeFormat(IniFile.ReadString(kBaseFormats, QStringLiteral("ShortTimeFormat"), m_formats.ShortTimeFormat()));
    m_formats.SetLongTimeFormat(IniFile.ReadString(kBaseFormats, QStringLiteral("LongTimeFormat"), m_formats.LongTimeFormat()));

    readList(IniFile, kBooleanTrue, m_formats.BooleanTrue());
    readList(IniFile, kBooleanFalse, m_formats.BooleanFalse());
    readList(IniFile, kNullValues, m_formats.NullValues());

    m_fieldFormats.Clear();
    const int columns = DestinationColCount();
    for (int i = 0; i < columns; ++i) {
        const QString name = DestinationColName(i);
        const QString section = kDataFormats + name;
        TStringList keys;
        IniFile.ReadSection(section, keys);
        if (keys.Count() == 0)
            continue;
        TMorvexFieldFormat *format = m_fieldFormats.Add();
        format->SetFieldName(name);
        format->SetGeneratorValue(IniFile.ReadInteger(section, QStringLiteral("GeneratorValue"), 0));
        format->SetGeneratorStep(IniFile.ReadInteger(section, QStringLiteral("GeneratorStep"), 0));
        format->SetConstantValue(IniFile.ReadString(section, QStringLiteral("ConstantValue"), QString()));
        format->SetNullValue(IniFile.ReadString(section, QStringLiteral("NullValue"), QString()));
        format->SetDefaultValue(IniFile.ReadString(section, QStringLiteral("DefaultValue"), QString()));
        format->SetLeftQuote(IniFile.ReadString(section, QStringLiteral("LeftQuote"), QString()));
        format->SetRightQuote(IniFile.ReadString(section, QStringLiteral("RightQuote"), QString()));
        format->SetQuoteAction(readEnum(IniFile, section, QStringLiteral("QuoteAction"), qaRemove));
        format->SetCharCase(readEnum(IniFile, section, QStringLiteral("CharCase"), iccUpperFirstWord));
        format->SetCharSet(readEnum(IniFile, section, QStringLiteral("CharSet"), icsOem));
    }

    m_commitAfterDone = IniFile.ReadBool(kBase, QStringLiteral("CommitAfterDone"), m_commitAfterDone);
    m_commitRecCount = IniFile.ReadInteger(kBase, QStringLiteral("CommitRecCount"), m_commitRecCount);
    m_importRecCount = IniFile.ReadInteger(kBase, QStringLiteral("ImportRecCount"), m_importRecCount);
    m_errorLog = IniFile.ReadBool(kBase, QStringLiteral("EnableErrorLog"), m_errorLog);
    m_errorLogFileName = IniFile.ReadString(kBase, QStringLiteral("ErrorLogFileName"), m_errorLogFileName);
    m_rewriteErrorLogFile = IniFile.ReadBool(kBase, QStringLiteral("RewriteErrorLogFile"), m_rewriteErrorLogFile);
    m_showErrorLog = IniFile.ReadBool(kBase, QStringLiteral("ShowErrorLog"), m_showErrorLog);
    m_importDestination = readEnum(IniFile, kBase, QStringLiteral("ImportDestination"), mxdUserDefined);
    m_importMode = readEnum(IniFile, kBase, QStringLiteral("ImportMode"), mxmDeleteOrInsert);

    readList(IniFile, kKeyColumns, m_keyColumns);

    m_gridCaptionRow = IniFile.ReadInteger(kBase, QStringLiteral("GridCaptionRow"), -1);
    m_gridStartRow = IniFile.ReadInteger(kBase, QStringLiteral("GridStartRow"), -1);
}
