#!/usr/bin/python3
# Writes customers.dbf and its memo file customers.dbt (dBase III, code page
# 1252) with python3-dbf: three more customers, one of them deleted.
import dbf

table = dbf.Table('customers.dbf', 'ID N(6,0); NAME C(40); CITY C(30); BORN D; BALANCE N(12,2); ACTIVE L; NOTE M',
                  dbf_type='db3', codepage='cp1252')
table.open(dbf.READ_WRITE)
table.append((9, 'Søren Kierkegård', 'København', dbf.Date(1985, 5, 5), 99.9, True, 'Memo über mehrere\r\nZeilen'))
table.append((10, 'Gelöscht', 'Nirgendwo', None, 0, False, ''))
table.append((11, 'Chloé Dubois', 'Lyon', dbf.Date(2000, 1, 31), 1500.25, True, 'x' * 700))
dbf.delete(table[1])
table.close()
