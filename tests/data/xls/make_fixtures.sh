#!/usr/bin/env bash
# Writes the workbook fixtures of the spreadsheet reader with third-party
# writers: python3-xlwt (BIFF8) and gnumeric's ssconvert. Run from anywhere;
# needs python3-xlwt and gnumeric installed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here"

/usr/bin/python3 - <<'PY'
import datetime
import xlwt

wb = xlwt.Workbook(encoding='utf-8')
plain = xlwt.easyxf()
ws = wb.add_sheet('Numbers and text')
# RK in all four forms, then NUMBER records.
values = [1, -7, 536870911, -536870912, 1.25, -0.75, 12.34, -5.01, 0.1, 3.14159265358979, 1e20, -2.5e-8, 123456789012]
for i, v in enumerate(values):
    ws.write(i, 0, v)
ws.write(0, 1, 'plain ascii')
ws.write(1, 1, 'Grüße aus Köln')             # 8-bit characters
ws.write(2, 1, 'Ελληνικά και русский')       # 16-bit characters
ws.write(3, 1, 'x' * 8300)                   # spans CONTINUE records
ws.write(4, 1, 'ab' * 1000 + 'Ω' + 'cd' * 1000)
ws.write(5, 1, True)
ws.write(6, 1, False)
ws.row(7).set_cell_error(1, '#DIV/0!')
ws.row(8).set_cell_error(1, 0x2A)
ws.write_rich_text(9, 1, ['rich ', ('bold', xlwt.easyfont('bold true')), ' text'])
ws.write(10, 1, 'plain ascii')               # the same shared string again
ws.write(11, 1, '')                          # an empty string is a blank
ws.write(12, 1, '', plain)
ws.write(12, 2, '', plain)
ws.write(12, 3, '', plain)                   # MULBLANK run

dates = wb.add_sheet('Dates ä')
builtin = xlwt.easyxf(num_format_str='M/D/YY')
custom = xlwt.easyxf(num_format_str='YYYY-MM-DD HH:MM:SS')
timefmt = xlwt.easyxf(num_format_str='h:mm:ss')
duration = xlwt.easyxf(num_format_str='[h]:mm:ss')
percent = xlwt.easyxf(num_format_str='0.00%')
dates.write(0, 0, datetime.date(2024, 2, 29), builtin)
dates.write(1, 0, datetime.datetime(1999, 12, 31, 23, 59, 58), custom)  # NUMBER record
dates.write(2, 0, datetime.time(12, 30, 0), timefmt)
dates.write(3, 0, 1.5, duration)
dates.write(4, 0, 0.125, percent)
dates.write(5, 0, 2, builtin)
dates.write(6, 0, datetime.datetime(2000, 1, 1, 6, 0, 0), custom)

far = wb.add_sheet('Far')
far.write(200, 100, 'far away')
far.write(300, 255, 42)
wb.save('xlwt_values.xls')

wb = xlwt.Workbook()
wb.dates_1904 = True
ws = wb.add_sheet('Mac')
ws.write(0, 0, datetime.date(2024, 2, 29), xlwt.easyxf(num_format_str='M/D/YY'))
ws.write(1, 0, 7)
wb.save('xlwt_1904.xls')
PY

# Gnumeric writes cached formula results (with STRING records for text
# results), MULRK runs and BIFF8 with its own record layout.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cell() { printf '<gnm:Cell Row="%s" Col="%s"%s>%s</gnm:Cell>\n' "$@"; }
{
  echo '<?xml version="1.0" encoding="UTF-8"?>'
  echo '<gnm:Workbook xmlns:gnm="http://www.gnumeric.org/v10.dtd"><gnm:SheetNameIndex><gnm:SheetName>Formulas</gnm:SheetName><gnm:SheetName>Zweite Seite</gnm:SheetName></gnm:SheetNameIndex><gnm:Sheets>'
  echo '<gnm:Sheet><gnm:Name>Formulas</gnm:Name><gnm:MaxCol>-1</gnm:MaxCol><gnm:MaxRow>-1</gnm:MaxRow><gnm:Cells>'
  cell 0 0 ' ValueType="40"' 1
  cell 0 1 ' ValueType="40"' 2
  cell 0 2 ' ValueType="40"' 3
  cell 0 3 ' ValueType="40"' 4.5
  cell 0 4 ' ValueType="60"' 'text'
  cell 0 5 '' '=A1+B1'
  cell 0 6 '' '=E1&amp;"!"'
  cell 0 7 '' '=A1&gt;B1'
  cell 0 8 '' '=1/0'
  cell 0 9 '' '=SUM(A1:D1)'
  cell 1 0 ' ValueType="40"' 10.5
  cell 1 1 ' ValueType="40"' -3
  cell 1 2 ' ValueType="40"' 0.01
  cell 1 3 ' ValueType="40"' 1000000
  cell 1 4 ' ValueType="60"' 'Größe'
  cell 1 5 '' '=A2/4'
  cell 1 6 '' '=E2'
  cell 1 7 '' '=TRUE()'
  cell 1 8 '' '=NA()'
  cell 1 9 '' '=IF(A2&gt;1,"big","small")'
  cell 2 0 ' ValueType="40"' 7
  cell 2 1 ' ValueType="40"' 8
  cell 2 2 ' ValueType="40"' 9
  cell 2 3 ' ValueType="40"' 10
  echo '</gnm:Cells></gnm:Sheet>'
  echo '<gnm:Sheet><gnm:Name>Zweite Seite</gnm:Name><gnm:MaxCol>-1</gnm:MaxCol><gnm:MaxRow>-1</gnm:MaxRow><gnm:Cells>'
  cell 4 2 ' ValueType="40"' 0.5
  cell 4 3 ' ValueType="40"' -1234.5678
  cell 5 2 ' ValueType="60"' 'unten'
  echo '</gnm:Cells></gnm:Sheet>'
  echo '</gnm:Sheets></gnm:Workbook>'
} > "$tmp/values.gnumeric"
ssconvert --export-type=Gnumeric_Excel:excel_biff8 "$tmp/values.gnumeric" gnumeric_values.xls >/dev/null 2>&1

# What python3-xlrd reads from each fixture, one line per sheet and per
# position of its used range: the oracle of the reader's tests.
/usr/bin/python3 - <<'PY'
import json
import glob
import xlrd

for name in sorted(glob.glob('*.xls')):
    book = xlrd.open_workbook(name, formatting_info=True)
    with open(name[:-4] + '.expected', 'w', encoding='utf-8') as out:
        out.write('datemode\t%d\n' % book.datemode)
        for si, sheet in enumerate(book.sheets()):
            out.write('sheet\t%d\t%s\t%d\t%d\n' % (si, json.dumps(sheet.name), sheet.nrows, sheet.ncols))
            for r in range(sheet.nrows):
                for c in range(sheet.ncols):
                    cell = sheet.cell(r, c)
                    kind = ['empty', 'text', 'number', 'date', 'bool', 'error', 'blank'][cell.ctype]
                    if kind == 'empty':
                        continue
                    if kind == 'error':
                        value = json.dumps(xlrd.error_text_from_code[cell.value])
                    elif kind == 'text':
                        value = json.dumps(cell.value, ensure_ascii=True)
                    elif kind in ('number', 'date'):
                        value = repr(float(cell.value))
                    elif kind == 'bool':
                        value = str(int(cell.value))
                    else:
                        value = ''
                    out.write('%d\t%d\t%d\t%s\t%s\n' % (si, r, c, kind, value))
PY
