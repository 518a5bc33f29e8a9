#include "tib_morvex2xml.h"

#include "inifile.h"
#include "xmlfile.h"
#include "xmltag.h"
#include "xmltaglist.h"

namespace {
const QString kSection = QStringLiteral("XML_OPTIONS");
}

TIB_Morvex2XML::TIB_Morvex2XML(QObject *owner) : TIB_Morvex2(owner) {}

TIB_Morvex2XML::~TIB_Morvex2XML() = default;

void TIB_Morvex2XML::BeforeImport()
{
    auto packet = std::make_unique<TXMLFile>();
    packet->SetFileName(FileName());
    packet->Load();
    SetTotalRecCount(packet->GetRowCount());
    m_packet = std::move(packet);
    try {
        TIB_Morvex2::BeforeImport();
    } catch (...) {
        m_packet.reset();
        throw;
    }
}

bool TIB_Morvex2XML::CheckCondition()
{
    return m_row < m_packet->GetRowCount();
}

bool TIB_Morvex2XML::Skip()
{
    return SkipFirstRows() > 0 && m_row < SkipFirstRows();
}

void TIB_Morvex2XML::FillImportRow()
{
    TMorvexRow *row = ImportRow();
    row->ClearValues();
    if (m_packet->GetRowCount() == 0)
        return;
    const TXMLTag *element = m_packet->GetRows()->Items(m_row);
    const bool anyColumn = IsCSVMode() || ImportDestination() == mxdUserDefined;
    // The attributes the columns take, read in one pass over the element.
    QList<int> entries(row->Count(), -1);
    QStringList attributes;
    for (int i = 0; i < row->Count(); ++i) {
        const TMorvexCol *col = row->Items(i);
        const int entry = Map().IndexOfName(col->Name);
        if (entry >= 0 && (anyColumn || col->ColumnIndex >= 0)) {
            entries[i] = int(attributes.size());
            attributes.append(Map().ValueFromIndex(entry));
        }
    }
    const QStringList values = element->AttributeValues(attributes);
    for (int i = 0; i < row->Count(); ++i) {
        TMorvexCol *col = row->Items(i);
        if (entries[i] >= 0)
            row->SetValue(col->Name, values[entries[i]], false);
        DoUserDataFormat(col);
    }
}

void TIB_Morvex2XML::AfterImport()
{
    m_packet.reset();
    TIB_Morvex2::AfterImport();
}

void TIB_Morvex2XML::DoSaveConfiguration(TIniFile &IniFile)
{
    TIB_Morvex2::DoSaveConfiguration(IniFile);
    IniFile.WriteInteger(kSection, QStringLiteral("SkipLines"), SkipFirstRows());
}

void TIB_Morvex2XML::DoLoadConfiguration(TIniFile &IniFile)
{
    TIB_Morvex2::DoLoadConfiguration(IniFile);
    SetSkipFirstRows(IniFile.ReadInteger(kSection, QStringLiteral("SkipLines"), SkipFirstRows()));
}
