from gen import *
t = 45291 + (13*3600+4*60+5+0.006)/86400   # Sun 31 Dec 2023 13:04:05.006
m = 44931 + (9*3600+7*60+3+0.045)/86400    # Thu 5 Jan 2023 09:07:03.045
SETS['DeAmPm'] = SETS['De'] + [('am','vorm.'),('pm','nachm.')]
F = [('Day', 'd'), ('DayPadded', 'dd'), ('ShortDayName', 'ddd'), ('LongDayName', 'dddd'), ('ShortDate', 'ddddd'), ('LongDate', 'dddddd'),
     ('SevenDs', 'ddddddd'), ('Month', 'm'), ('MonthPadded', 'mm'), ('ShortMonthName', 'mmm'), ('LongMonthName', 'mmmm'), ('FiveMs', 'mmmmm'),
     ('OneY', 'y'), ('TwoYs', 'yy'), ('ThreeYs', 'yyy'), ('FourYs', 'yyyy'), ('Hour', 'h'), ('HourPadded', 'hh'), ('ThreeHs', 'hhh'),
     ('Minute', 'n'), ('MinutePadded', 'nn'), ('Second', 's'), ('SecondPadded', 'ss'), ('Millisecond', 'z'), ('TwoZs', 'zz'), ('MillisecondPadded', 'zzz'),
     ('ShortTime', 't'), ('LongTime', 'tt'), ('BothTimes', 'tt t'), ('AmPmLower', 'am/pm'), ('AmPmUpper', 'AM/PM'), ('AmPmMixed', 'Am/Pm'),
     ('APLower', 'a/p'), ('APUpper', 'A/P'), ('AmPmFromSettings', 'ampm'), ('DateAndTime', 'c'), ('TwoCs', 'cc'), ('DateSeparator', '/'),
     ('TimeSeparator', ':'), ('DoubleQuoted', '"quoted d"'), ('SingleQuoted', "'single m'"), ('Unclosed', '"unclosed'), ('EmptyQuotes', '""'),
     ('MinuteAfterHour', 'h:m'), ('MinutesAfterHour', 'h:mm'), ('HourMinuteSecond', 'hh:mm:ss'), ('MinuteAfterQuoted', 'hh"x"mm'),
     ('BlankEndsTheHour', 'h mm'), ('MonthBeforeSecond', 'mm:ss'), ('MonthAfterMinute', 'hh:nn mm'), ('MinuteAfterSlash', 'h/m'),
     ('MinuteAfterOtherChar', 'h.m'), ('MinuteAfterAmPm', 'hAMPMm'), ('MonthAfterMillisecond', 'hzm'), ('MonthAfterDay', 'hdm'),
     ('TwelveHourClock', 'hh:mm am/pm'), ('TwelveHourUnpadded', 'h a/p'), ('TwelveHourSettings', 'h ampm'),
     ('Timestamp', 'dd/mm/yyyy hh:nn:ss.zzz'), ('UpperCaseLetters', 'D/M/YY H:N:S'), ('MonthNameAndYear', 'dd-mmm-yy'),
     ('TBetweenDateAndTime', 'yyyy-mm-ddThh:nn:ss'), ('NoSeparators', 'hhmm'), ('LiteralPunctuation', 'dd. mmmm yyyy'), ('Blank', ' ')]
rows = []
for s in ('Us', 'DeAmPm'):
    for v, vn in ((t, 'Afternoon'), (m, 'Morning')):
        r = run(SETS[s] + [('fmt', h(v) + '|' + f) for _, f in F])
        for (name, f), (c, o) in zip(F, r):
            rows.append('    {"%s%s%s", k%s, %s, %s, %s},' % (s, vn, name, s if s == 'Us' else 'DeAmPm', 'kAfternoon' if v == t else 'kMorning', q(f), q(o[1:-1])))
open('gen3.txt', 'w').write('FORMAT\n' + '\n'.join(rows))
