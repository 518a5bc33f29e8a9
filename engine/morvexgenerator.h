#pragma once

#include <QString>

#include <memory>
#include <vector>

// A number sequence for one column during a run: start + step, start + 2 × step, …
class TMorvexGenerator
{
public:
    TMorvexGenerator(const QString &fieldName, int value, int step);

    QString FieldName() const { return m_fieldName; }
    int Value() const { return m_value; }
    int Step() const { return m_step; }
    // Advances by Step and returns the new value.
    int GetNewValue();

private:
    QString m_fieldName;
    int m_value;
    int m_step;
};

// The generators of a run, owned by the list.
class TMorvexGenerators
{
public:
    TMorvexGenerator *Add(const QString &fieldName, int value, int step);
    void Delete(int index);
    void Clear() { m_items.clear(); }
    int Count() const { return int(m_items.size()); }
    TMorvexGenerator *Items(int index) const;
    void SetItems(int index, std::unique_ptr<TMorvexGenerator> generator);

    // The first generator whose name equals the trimmed name, ignoring case.
    TMorvexGenerator *GenByName(const QString &name) const;
    // The next value of that generator; 0 when there is none.
    int GetNewValue(const QString &name);

private:
    std::vector<std::unique_ptr<TMorvexGenerator>> m_items;
};
