#include "morvexgenerator.h"

#include "exception.h"
#include "strutils.h"

TMorvexGenerator::TMorvexGenerator(const QString &fieldName, int value, int step)
    : m_fieldName(Trim(fieldName)), m_value(value), m_step(step)
{
}

int TMorvexGenerator::GetNewValue()
{
    // Wraps around like the 32-bit column it feeds would, without overflow.
    m_value = int(uint32_t(m_value) + uint32_t(m_step));
    return m_value;
}

TMorvexGenerator *TMorvexGenerators::Add(const QString &fieldName, int value, int step)
{
    m_items.push_back(std::make_unique<TMorvexGenerator>(fieldName, value, step));
    return m_items.back().get();
}

static void checkIndex(int index, int count)
{
    if (index < 0 || index >= count)
        throw Exception(QStringLiteral("List index (%1) out of bounds").arg(index));
}

void TMorvexGenerators::Delete(int index)
{
    checkIndex(index, Count());
    m_items.erase(m_items.begin() + index);
}

TMorvexGenerator *TMorvexGenerators::Items(int index) const
{
    checkIndex(index, Count());
    return m_items[size_t(index)].get();
}

void TMorvexGenerators::SetItems(int index, std::unique_ptr<TMorvexGenerator> generator)
{
    checkIndex(index, Count());
    m_items[size_t(index)] = std::move(generator);
}

TMorvexGenerator *TMorvexGenerators::GenByName(const QString &name) const
{
    const QString trimmed = Trim(name);
    for (const auto &generator : m_items) {
        if (AnsiSameText(generator->FieldName(), trimmed))
            return generator.get();
    }
    return nullptr;
}

int TMorvexGenerators::GetNewValue(const QString &name)
{
    TMorvexGenerator *generator = GenByName(name);
    return generator ? generator->GetNewValue() : 0;
}
