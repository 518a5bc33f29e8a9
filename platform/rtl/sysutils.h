#pragma once

#include <QString>

#include <cstdint>

// Days since 30 December 1899; the fraction is the time of day.
using TDateTime = double;

// Fixed-point money value in units of 0.0001.
struct Currency
{
    int64_t Value = 0;
};

QString IntToStr(int value);
QString IntToStr(int64_t value);
bool TryStrToInt(const QString &text, int &value);
bool TryStrToInt64(const QString &text, int64_t &value);
int StrToInt(const QString &text);
int StrToIntDef(const QString &text, int defaultValue);

bool IsLeapYear(int year);
bool TryEncodeDate(int year, int month, int day, TDateTime &date);
TDateTime EncodeDate(int year, int month, int day);
void DecodeDate(TDateTime date, int &year, int &month, int &day);
bool IsValidDate(int year, int month, int day);

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime &time);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
void DecodeTime(TDateTime time, int &hour, int &minute, int &second, int &msec);
// Both halves at once, the time rounded to the millisecond; dayOfWeek counts from Sunday = 0.
// False, with every field 0, for values outside the years 1 to 9999.
bool DecodeDateTime(TDateTime value, int &year, int &month, int &day, int &hour, int &minute,
                    int &second, int &msec, int &dayOfWeek);

TDateTime Now();
TDateTime Date();
TDateTime Time();
