#include "morvexformats.h"

#include "formatsettings.h"
#include "messages.h"

TMorvexFormats::Settings TMorvexFormats::Settings::Current()
{
    return {FormatSettings.DecimalSeparator, FormatSettings.ThousandSeparator,
            FormatSettings.ShortDateFormat,  FormatSettings.LongDateFormat,
            FormatSettings.DateSeparator,    FormatSettings.ShortTimeFormat,
            FormatSettings.LongTimeFormat,   FormatSettings.TimeSeparator};
}

void TMorvexFormats::Settings::MakeCurrent() const
{
    FormatSettings.DecimalSeparator = DecimalSeparator;
    FormatSettings.ThousandSeparator = ThousandSeparator;
    FormatSettings.ShortDateFormat = ShortDateFormat;
    FormatSettings.LongDateFormat = LongDateFormat;
    FormatSettings.DateSeparator = DateSeparator;
    FormatSettings.ShortTimeFormat = ShortTimeFormat;
    FormatSettings.LongTimeFormat = LongTimeFormat;
    FormatSettings.TimeSeparator = TimeSeparator;
}

TMorvexFormats::TMorvexFormats()
    : m_current(Settings::Current())
    , m_saved(m_current)
{
    m_booleanTrue.Add(MorvexText(MXD_BooleanTrue));
    m_booleanFalse.Add(MorvexText(MXD_BooleanFalse));
    m_nullValues.Add(MorvexText(MXD_NullValue));
}

void TMorvexFormats::Assign(const TPersistent &Source)
{
    const auto *other = dynamic_cast<const TMorvexFormats *>(&Source);
    if (!other) {
        TPersistent::Assign(Source);
        return;
    }
    m_current = other->m_current;
    m_booleanTrue.Assign(other->m_booleanTrue);
    m_booleanFalse.Assign(other->m_booleanFalse);
    m_nullValues.Assign(other->m_nullValues);
}

void TMorvexFormats::StoreFormats()
{
    m_saved = Settings::Current();
}

void TMorvexFormats::ApplyParams()
{
    m_current.MakeCurrent();
}

void TMorvexFormats::RestoreFormats()
{
    m_saved.MakeCurrent();
}

bool TMorvexFormats::IsDecimalSeparator() const { return m_current.DecimalSeparator != FormatSettings.DecimalSeparator; }
bool TMorvexFormats::IsThousandSeparator() const { return m_current.ThousandSeparator != FormatSettings.ThousandSeparator; }
bool TMorvexFormats::IsShortDateFormat() const { return m_current.ShortDateFormat != FormatSettings.ShortDateFormat; }
bool TMorvexFormats::IsLongDateFormat() const { return m_current.LongDateFormat != FormatSettings.LongDateFormat; }
bool TMorvexFormats::IsDateSeparator() const { return m_current.DateSeparator != FormatSettings.DateSeparator; }
bool TMorvexFormats::IsShortTimeFormat() const { return m_current.ShortTimeFormat != FormatSettings.ShortTimeFormat; }
bool TMorvexFormats::IsLongTimeFormat() const { return m_current.LongTimeFormat != FormatSettings.LongTimeFormat; }
bool TMorvexFormats::IsTimeSeparator() const { return m_current.TimeSeparator != FormatSettings.TimeSeparator; }
