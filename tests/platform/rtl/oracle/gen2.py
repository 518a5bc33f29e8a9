from gen import *
import datetime
out = []
CY = 2026
D = [('MonthDayYear', 'Us', 'm/d/yyyy', '/', '12/31/2023'), ('SingleDigits', 'Us', 'm/d/yyyy', '/', '1/2/2023'),
     ('LeapDay', 'Us', 'm/d/yyyy', '/', '2/29/2024'), ('NoLeapDay', 'Us', 'm/d/yyyy', '/', '2/29/2023'),
     ('CenturyNotLeap', 'Us', 'm/d/yyyy', '/', '2/29/1900'), ('FourHundredLeap', 'Us', 'm/d/yyyy', '/', '2/29/2000'),
     ('ThirtyFirstOfFebruary', 'Us', 'm/d/yyyy', '/', '2/31/2023'), ('MonthThirteen', 'Us', 'm/d/yyyy', '/', '13/1/2023'),
     ('MonthZero', 'Us', 'm/d/yyyy', '/', '0/1/2023'), ('DayZero', 'Us', 'm/d/yyyy', '/', '1/0/2023'),
     ('ThreeDigitYearIsLiteral', 'Us', 'm/d/yyyy', '/', '1/2/099'), ('FourDigitSmallYear', 'Us', 'm/d/yyyy', '/', '1/2/0099'),
     ('YearHundred', 'Us', 'm/d/yyyy', '/', '1/2/100'), ('LastYear', 'Us', 'm/d/yyyy', '/', '12/31/9999'),
     ('YearTenThousand', 'Us', 'm/d/yyyy', '/', '1/2/10000'), ('DayZeroOfTheEpoch', 'Us', 'm/d/yyyy', '/', '12/30/1899'),
     ('BeforeTheEpoch', 'Us', 'm/d/yyyy', '/', '12/29/1899'), ('FirstDay', 'Us', 'm/d/yyyy', '/', '1/1/0001'),
     ('YearZero', 'Us', 'm/d/yyyy', '/', '1/2/000'),
     ('Empty', 'Us', 'm/d/yyyy', '/', ''), ('Blank', 'Us', 'm/d/yyyy', '/', ' '), ('LoneSeparator', 'Us', 'm/d/yyyy', '/', '/'),
     ('EmptyDay', 'Us', 'm/d/yyyy', '/', '1//2023'), ('LeadingSeparator', 'Us', 'm/d/yyyy', '/', '/1/2'),
     ('FourFields', 'Us', 'm/d/yyyy', '/', '1/2/2023/5'), ('BlanksAround', 'Us', 'm/d/yyyy', '/', ' 1/2/2023 '),
     ('BlankBeforeSeparator', 'Us', 'm/d/yyyy', '/', '1 /2/2023'), ('BlankAfterSeparator', 'Us', 'm/d/yyyy', '/', '1/ 2/2023'),
     ('OtherSeparator', 'Us', 'm/d/yyyy', '/', '1-2-2023'), ('Letters', 'Us', 'm/d/yyyy', '/', 'a/b/c'),
     ('TrailingGarbage', 'Us', 'm/d/yyyy', '/', '1/2/2023x'), ('LeadingZeros', 'Us', 'm/d/yyyy', '/', '001/002/2023'),
     ('NegativeYear', 'Us', 'm/d/yyyy', '/', '1/2/-5'), ('SignedMonth', 'Us', 'm/d/yyyy', '/', '+1/2/2023'),
     ('FiveDigitYear', 'Us', 'm/d/yyyy', '/', '1/2/20233'), ('FiveDigitYearWithZero', 'Us', 'm/d/yyyy', '/', '1/2/02023'),
     ('HugeNumber', 'Us', 'm/d/yyyy', '/', '99999999999/1/2023'), ('TimeNotAllowed', 'Us', 'm/d/yyyy', '/', '1/2/2023 12:00'),
     ('DayMonthYearDots', 'De', 'dd.mm.yyyy', '.', '31.12.2023'), ('DotsSingleDigits', 'De', 'dd.mm.yyyy', '.', '1.2.2023'),
     ('DotsThirtiethOfFebruary', 'De', 'dd.mm.yyyy', '.', '30.02.2023'), ('DotsThirtyFirstOfApril', 'De', 'dd.mm.yyyy', '.', '31.04.2023'),
     ('DotsBlanks', 'De', 'dd.mm.yyyy', '.', '1. 2. 2023'), ('DotsSlashRejected', 'De', 'dd.mm.yyyy', '.', '1/2/2023'),
     ('DotsNewYearsEveBeforeEpoch', 'De', 'dd.mm.yyyy', '.', '31.12.1899'),
     ('YearMonthDayDashes', 'Us', 'yyyy-mm-dd', '-', '2023-12-31'), ('YearMonthDaySingle', 'Us', 'yyyy-mm-dd', '-', '2023-1-2'),
     ('YearMonthDayInvalid', 'Us', 'yyyy-mm-dd', '-', '2023-02-30'), ('YearMonthDayFirst', 'Us', 'yyyy-mm-dd', '-', '0001-01-01'),
     ('YearMonthDayLast', 'Us', 'yyyy-mm-dd', '-', '9999-12-31'), ('ShortYearFormatLongYear', 'Us', 'yy/mm/dd', '/', '2023/12/31'),
     ('OrderFromLetters', 'Us', 'mm-dd-yyyy', '/', '12/31/2023'), ('MonthNameFormatNumbers', 'Us', 'dd-mmm-yyyy', '-', '31-12-2023'),
     ('MonthNamesNotParsed', 'Us', 'dd-mmm-yyyy', '-', '31-Dec-2023'), ('BlankSeparator', 'Us', 'm d yyyy', ' ', '12 31 2023'),
     ('BlankSeparatorTwice', 'Us', 'm d yyyy', ' ', '12  31 2023'), ('FormatWithoutSeparators', 'De', 'ddmmyyyy', '.', '31.12.2023'),
     ('EmptyFormat', 'Us', '', '/', '12/31/2023')]
rows = []
for name, s, f, sep, t in D:
    o = run(SETS[s] + [('sdf', f), ('dsep', sep), ('strtodate', t)])[0][1]
    if o.startswith('OK'):
        y, mo, d = o.split()[2].split('-')
        rows.append('    {"%s", k%s, %s, u\'%s\', %s, true, %d, %d, %d},' % (name, s, q(f), sep, q(t), int(y), int(mo), int(d)))
    else:
        rows.append('    {"%s", k%s, %s, u\'%s\', %s, false, 0, 0, 0},' % (name, s, q(f), sep, q(t)))
out.append('STRTODATE\n' + '\n'.join(rows))
# missing year
D = [('MonthDay', 'Us', 'm/d/yyyy', '/', '12/31'), ('MonthDayClosingSeparator', 'Us', 'm/d/yyyy', '/', '1/2/'),
     ('DayMonthDots', 'De', 'dd.mm.yyyy', '.', '1.2.'), ('DayMonthNoClosingDot', 'De', 'dd.mm.yyyy', '.', '1.2'),
     ('YearFirstFormat', 'Us', 'yyyy-mm-dd', '-', '12-31'), ('ShortYearFirstFormat', 'Us', 'yy/mm/dd', '/', '12/31')]
rows = []
for name, s, f, sep, t in D:
    o = run(SETS[s] + [('sdf', f), ('dsep', sep), ('strtodate', t)])[0][1]
    y, mo, d = o.split()[2].split('-'); assert int(y) == CY
    rows.append('    {"%s", k%s, %s, u\'%s\', %s, %d, %d},' % (name, s, q(f), sep, q(t), int(mo), int(d)))
out.append('MISSINGYEAR\n' + '\n'.join(rows))
# times
T = [('HoursMinutes', 'Us', ':', '12:34'), ('Seconds', 'Us', ':', '12:34:56'), ('Milliseconds', 'Us', ':', '12:34:56.789'),
     ('LastMillisecond', 'Us', ':', '23:59:59.999'), ('Midnight', 'Us', ':', '0:0'), ('MidnightPadded', 'Us', ':', '00:00:00'),
     ('HourOnly', 'Us', ':', '12'), ('PmAfter', 'Us', ':', '1:00 PM'), ('PmNoBlank', 'Us', ':', '1:00PM'), ('PmLowerCase', 'Us', ':', '1:00 pm'),
     ('PmBefore', 'Us', ':', 'PM 1:00'), ('HourAndPm', 'Us', ':', '1 PM'), ('TwelvePmIsNoon', 'Us', ':', '12:00 PM'),
     ('TwelveAmIsMidnight', 'Us', ':', '12:34 AM'), ('SecondsAndPm', 'Us', ':', '1:00:00 PM'), ('BlanksAroundFields', 'Us', ':', '1 : 00'),
     ('FourMillisecondDigits', 'Us', ':', '12:34:56.7891'), ('CommaNotTheDecimal', 'Us', ':', '12:34:56,789'), ('EmptyMilliseconds', 'Us', ':', '12:34:56.'),
     ('Hour24', 'Us', ':', '24:00'), ('Minute60', 'Us', ':', '23:60'), ('Second60', 'Us', ':', '23:59:60'), ('TrailingSeparator', 'Us', ':', '12:'),
     ('LeadingSeparator', 'Us', ':', ':30'), ('FourFields', 'Us', ':', '1:2:3:4'), ('ThirteenPm', 'Us', ':', '13:00 PM'), ('ZeroAm', 'Us', ':', '0:30 AM'),
     ('LonePm', 'Us', ':', 'PM'), ('UnknownMarker', 'Us', ':', '1:00 XM'), ('LoneLetterMarker', 'Us', ':', '1:00 P'), ('Empty', 'Us', ':', ''),
     ('DecimalHours', 'Us', ':', '1.5'),
     ('DotSeparatorCommaDecimal', 'De', '.', '12.34.56,789'), ('DotSeparatorRejectsColon', 'De', '.', '12:34'),
     ('CommaDecimalMilliseconds', 'De', ':', '12:34:56,789'), ('CommaDecimalRejectsPoint', 'De', ':', '12:34:56.789')]
rows = []
for name, s, ts, t in T:
    o = run(SETS[s] + [('tsep', ts), ('strtotime', t)])[0][1]
    if o.startswith('OK'):
        hh, rest = o.split()[3].split(':', 1); nn, ss = rest.split(':'); ss, ms = ss.split('.')
        rows.append('    {"%s", k%s, u\'%s\', %s, true, %d, %d, %d, %d},' % (name, s, ts, q(t), int(hh), int(nn), int(ss), int(ms)))
    else:
        rows.append('    {"%s", k%s, u\'%s\', %s, false, 0, 0, 0, 0},' % (name, s, ts, q(t)))
out.append('STRTOTIME\n' + '\n'.join(rows))
# AM/PM settings
# date times
DT = [('DateAndTime', 'Us', '12/31/2023 12:34:56'), ('DateOnly', 'Us', '12/31/2023'), ('TimeOnly', 'Us', '12:34'),
      ('WithPm', 'Us', '12/31/2023 1:00 PM'), ('BeforeEpochCountsAway', 'Us', '12/29/1899 06:00'), ('NoonBeforeEpoch', 'Us', '12/29/1899 12:00'),
      ('TwoDaysBeforeEpoch', 'Us', '12/28/1899 18:00'), ('FirstDayLastMillisecond', 'Us', '1/1/0001 23:59:59.999'),
      ('TwoBlanks', 'Us', '12/31/2023  12:34'), ('BlanksAround', 'Us', ' 12/31/2023 12:34 '), ('HourOnlyTime', 'Us', '12/31/2023 12'),
      ('Milliseconds', 'Us', '12/31/2023 12:34:56.789'), ('LeapDayLastMillisecond', 'Us', '2/29/2024 23:59:59.999'),
      ('MarkerBeforeTime', 'Us', '12/31/2023 PM 1:00'),
      ('BadTime', 'Us', '12/31/2023 x'), ('Hour25', 'Us', '12/31/2023 25:00'), ('BadDate', 'Us', '2/30/2023 12:00'),
      ('IsoT', 'Us', '12/31/2023T12:34'), ('Empty', 'Us', ''), ('TimeFirst', 'Us', '12:34 12/31/2023'), ('MarkerOnly', 'Us', '12/31/2023 PM'),
      ('TrailingGarbage', 'Us', '12/31/2023 1:00 PM x'),
      ('DotsDateAndTime', 'De', '31.12.2023 12:34:56'), ('DotsTwoDigitYearPm', 'De', '31.12.23 1:00 PM'), ('DotsBeforeEpoch', 'De', '29.12.1899 06:00'),
      ('DotsCommaMilliseconds', 'De', '31.12.2023 12:34:56,789')]
rows = []
for name, s, t in DT:
    o = run(SETS[s] + [('strtodatetime', t)])[0][1]
    if o.startswith('OK'): rows.append('    {"%s", k%s, %s, true, %s},' % (name, s, q(t), num(fromh(o.split()[1]))))
    else: rows.append('    {"%s", k%s, %s, false, 0},' % (name, s, q(t)))
out.append('STRTODATETIME\n' + '\n'.join(rows))
# to str
def dt(y, mo, d, hh=0, nn=0, ss=0, ms=0):
    days = (datetime.date(y, mo, d) - datetime.date(1899, 12, 30)).days
    t = (hh*3600000 + nn*60000 + ss*1000 + ms) / 86400000
    return days - t if days < 0 else days + t
V = [('Epoch', 0.0), ('DateOnly', 45291.0), ('Afternoon', dt(2023,12,31,13,4,5,6)), ('BeforeEpoch', -1.25), ('NegativeHalf', -0.5),
     ('Noon', 0.5), ('LeapDayLastMillisecond', dt(2024,2,29,23,59,59,999)), ('LastDay', 2958465.0), ('FirstDay', -693593.0),
     ('Evening', 36526.75), ('RoundsToMidnight', 1e-9), ('RoundsIntoNextDay', 45291.99999999999), ('OneMillisecond', 0.0000000058)]
rows = []
for s in ('Us', 'De'):
    for name, v in V:
        r = run(SETS[s] + [('datetostr', h(v)), ('timetostr', h(v)), ('datetimetostr', h(v))])
        rows.append('    {"%s%s", k%s, %s, %s, %s, %s},' % (s, name, s, num(v), q(r[0][1][1:-1]), q(r[1][1][1:-1]), q(r[2][1][1:-1])))
out.append('TOSTR\n' + '\n'.join(rows))
open('gen2.txt', 'w').write('\n\n'.join(out))
