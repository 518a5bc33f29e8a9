#!/usr/bin/env bash
# Writes the workbooks of the range map and spreadsheet import tests with
# third-party writers: python3-xlwt and gnumeric's ssconvert. Run from
# anywhere; needs python3-xlwt and gnumeric installed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here"

/usr/bin/python3 - <<'PY'
import datetime
import xlwt

wb = xlwt.Workbook(encoding='utf-8')
born = xlwt.easyxf(num_format_str='DD.MM.YYYY')
stamp = xlwt.easyxf(num_format_str='YYYY-MM-DD HH:MM:SS')

# A table with a caption row: text beyond one code page, dates, date-times
# (one at midnight), fractions and booleans; the last customer has no dates.
data = wb.add_sheet('Data')
for c, caption in enumerate(['ID', 'NAME', 'CITY', 'BORN', 'STAMP', 'AMOUNT', 'ACTIVE']):
    data.write(0, c, caption)
customers = [
    (1, 'Jürgen Müller', 'München', datetime.date(1975, 3, 14), datetime.datetime(2024, 2, 29, 13, 45, 10), 1234.56, True),
    (2, 'Zoë Дмитриева', 'Köln', datetime.date(1988, 11, 2), datetime.datetime(1999, 12, 31, 23, 59, 58), -87.1, False),
    (3, "O'Brien, Seán", 'Dublin', datetime.date(1992, 2, 29), datetime.datetime(2000, 1, 1, 6, 0, 0), 0, True),
    (4, 'Åsa Öberg', 'Göteborg', datetime.date(1969, 12, 31), datetime.datetime(2010, 7, 4, 0, 0, 0), 15000, True),
    (5, 'Łukasz Żółć', 'Kraków', None, None, 12.5, False),
]
for r, (ident, name, city, birth, when, amount, active) in enumerate(customers, start=1):
    data.write(r, 0, ident)
    data.write(r, 1, name)
    data.write(r, 2, city)
    if birth:
        data.write(r, 3, birth, born)
    if when:
        data.write(r, 4, when, stamp)
    data.write(r, 5, amount)
    data.write(r, 6, active)

# Sparse cells for open ends: column A holds rows 3..7, column B rows 1..5,
# row 2 columns B..F, row 10 columns B, D and G; G1 is a boolean.
sparse = wb.add_sheet('Sparse')
for r in range(2, 7):
    sparse.write(r, 0, 'a%d' % (r + 1))
for r in range(0, 5):
    sparse.write(r, 1, r + 1)
for c in range(2, 6):
    sparse.write(1, c, '%s2' % 'ABCDEF'[c].lower())
for c in (1, 3, 6):
    sparse.write(9, c, '%s10' % 'ABCDEFG'[c].lower())
sparse.write(0, 6, True)

third = wb.add_sheet('Größe')
third.write(0, 0, 3.25)
third.write(1, 1, 'dritte Seite')
wb.save('map.xls')
PY

# A workbook cut off inside its compound file: it fails to load.
head -c 1536 map.xls > truncated.xls

# The same kind of table as gnumeric writes it.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf 'code,label,price\nA1,Äpfel,1.5\nB2,Birnen,2.25\nC3,Kirschen,10\n' > "$tmp/prices.csv"
ssconvert --export-type=Gnumeric_Excel:excel_biff8 "$tmp/prices.csv" gnumeric_prices.xls >/dev/null 2>&1
