#pragma once

#include "xlscommon.h"

#include <QByteArrayView>
#include <QVariant>

#include <vector>

class TbiffCell;
class TxlsWorkSheet;

// One entry of the BIFF8 built-in function table: the low byte of Args is
// the argument count of a fixed-argument function, the high byte the
// largest count; Name is the function's name in upper case.
struct TXLS_FUNCTION
{
    uint16_t Args;
    const char *Name;
};
using TXLS_FUNCTIONS = TXLS_FUNCTION[368];
extern const TXLS_FUNCTIONS XLS_FUNCTIONS;

enum TXLS_FUNCTION_ID {
    fidCount, fidIf, fidIsNa, fidIsError, fidSum, fidAverage, fidMin, fidMax, fidRow, fidColumn, fidNA, fidNPV,
    fidSTDEV, fidDollar, fidFixed, fidSin, fidCos, fidTan, fidATan, fidPI, fidSqrt, fidExp, fidLN, fidLog10,
    fidAbs, fidInt
};

// The calculator's value stack: variant slots that grow in steps.
class TxlsStack
{
public:
    int Count() const { return int(m_slots.size()); }
    void Append(const QVariant &value) { m_slots.push_back(value); }
    QVariant Read(int i) const { return m_slots[size_t(i)]; }
    void Write(int i, const QVariant &value) { m_slots[size_t(i)] = value; }
    void Free(int i) { m_slots[size_t(i)] = QVariant(); }
    void Clear() { m_slots.clear(); }
    void Grow(int n)
    {
        if (n > Count())
            m_slots.resize(size_t(n));
    }

private:
    std::vector<QVariant> m_slots;
};

// Evaluates the token bytes of a formula cell on a stack of variants.
class TxlsCalculator
{
public:
    explicit TxlsCalculator(TbiffCell *cell);

    void Push(const QVariant &value);
    QVariant Pop();
    QVariant Peek() const;
    int Top() const { return m_top; }
    QVariant Evaluate(QByteArrayView tokens);

private:
    void Binary(uint8_t token);
    void VarFunction(int function, int count);
    void OtherFunction(int function, int count);
    QVariant Aggregate(int function);
    QVariant CellNumber(int row, int col) const;
    void Require(int values) const;

    TxlsStack m_stack;
    int m_top = -1;
    // Where the formula stands, taken from its cell when the calculator is
    // made: looking up other cells may reuse the object the cell was read into.
    TxlsWorkSheet *m_sheet;
    int m_row;
    int m_col;
};

// The value of a formula from its token bytes; Null when nothing was
// computed. Errors raise ExlsFileError.
QVariant CalculateFormula(TbiffCell *cell, QByteArrayView tokens, int length);
