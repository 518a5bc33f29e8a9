#!/usr/bin/python3
# Writes customers.xls with python3-xlwt from the customers of customers.csv:
# the table on the sheet "Kunden" with typed cells (numbers, dates with a
# German date format, text), the notes by customer on a second sheet.
import csv
import datetime
import xlwt

with open('customers.csv', encoding='utf-8', newline='') as f:
    rows = list(csv.reader(f, delimiter=';', quotechar='"'))[1:]

wb = xlwt.Workbook(encoding='utf-8')
born = xlwt.easyxf(num_format_str='DD.MM.YYYY')
money = xlwt.easyxf(num_format_str='#,##0.00')
table = wb.add_sheet('Kunden')
notes = wb.add_sheet('Notizen')
for c, caption in enumerate(['Nr', 'Name', 'Ort', 'Geboren', 'Saldo', 'Aktiv']):
    table.write(0, c, caption)
notes.write(0, 0, 'Nr')
notes.write(0, 1, 'Notiz')
for r, (ident, name, city, birth, balance, active, note) in enumerate(rows, start=1):
    table.write(r, 0, int(ident))
    table.write(r, 1, name)
    table.write(r, 2, city)
    if birth:
        day, month, year = (int(p) for p in birth.split('.'))
        table.write(r, 3, datetime.date(year, month, day), born)
    table.write(r, 4, float(balance.replace('.', '').replace(',', '.')), money)
    table.write(r, 5, active)
    notes.write(r, 0, int(ident))
    if note:
        notes.write(r, 1, note)
wb.save('customers.xls')
