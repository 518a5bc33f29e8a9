#!/usr/bin/python3
"""Writes the python3-dbf fixtures of the DBF reader tests, and the damaged
tables made from them. Run from this folder: /usr/bin/python3 make_fixtures.py
(needs the Debian package python3-dbf)."""
import datetime
import os
import shutil
import struct
import warnings

warnings.simplefilter('ignore')
import dbf  # noqa: E402

SPEC = 'name C(20); born D; amount N(10,2); active L; notes M'


def rows(text):
    return [
        (text, datetime.date(2024, 2, 29), 12.5, True, 'short memo'),
        ('Bob', None, -3.25, False, 'y' * 700),
        ('Del', datetime.date(1999, 12, 31), 0, None, ''),
        # 511 bytes: the terminator pair straddles two blocks, and a memo follows.
        ('Edge', datetime.date(2000, 1, 1), 1, True, 'e' * 511),
        ('Tail', datetime.date(2000, 1, 2), 2, False, 'after edge'),
    ]


def write(name, dbf_type, codepage, text):
    table = dbf.Table(name, SPEC, dbf_type=dbf_type, codepage=codepage)
    table.open(dbf.READ_WRITE)
    for row in rows(text):
        table.append(row)
    dbf.delete(table[2])
    table.close()


write('py_db3', 'db3', 'cp1252', 'Zo\u00eb')
write('py_fp', 'fp', 'cp1252', 'Zo\u00eb')
write('py_vfp', 'vfp', 'cp1252', 'Zo\u00eb')

# Cyrillic tables; the memo holds the letter that is 0x8D in cp866.
for name, codepage in (('py_cp866', 'cp866'), ('py_cp1251', 'cp1251')):
    table = dbf.Table(name, 'name C(20); notes M', dbf_type='db3', codepage=codepage)
    table.open(dbf.READ_WRITE)
    table.append(('\u041f\u0440\u0438\u0432\u0435\u0442', '\u041d\u043e\u0432\u044b\u0439 \u0413\u041e\u0420\u041e\u0414'))
    table.close()


def read(name):
    with open(name, 'rb') as f:
        return f.read()


def save(name, data):
    with open(name, 'wb') as f:
        f.write(data)


table = read('py_db3.dbf')
header_length = struct.unpack_from('<H', table, 8)[0]
record_length = struct.unpack_from('<H', table, 10)[0]

# The last record cut off in its middle.
save('truncated_record.dbf', table[:header_length + 4 * record_length + 5])
# Only part of the 32-byte header.
save('truncated_header.dbf', table[:20])
# A header length far past the end of the file, with the records it claims.
save('header_past_end.dbf', table[:8] + struct.pack('<H', 0xFFE1) + table[10:])
# A record count far beyond what the file holds.
save('count_past_end.dbf', table[:4] + struct.pack('<I', 0x7FFFFFFF) + table[8:])
# Record length 0 in the header; the records are still read by their fields.
save('record_length_zero.dbf', table[:10] + struct.pack('<H', 0) + table[12:])

# A memo pointer beyond the end of the memo file, in both memo kinds.
for kind, ext in (('db3', 'dbt'), ('fp', 'fpt')):
    data = bytearray(read('py_%s.dbf' % kind))
    first_memo = struct.unpack_from('<H', data, 8)[0] + 1 + 20 + 8 + 10 + 1
    data[first_memo:first_memo + 10] = b'    999999'
    save('memo_past_end_%s.dbf' % ext, bytes(data))
    shutil.copyfile('py_%s.%s' % (kind, ext), 'memo_past_end_%s.%s' % (ext, ext))

# An .fpt memo file that gives a block size of 0.
memo = bytearray(read('py_fp.fpt'))
memo[6:8] = b'\x00\x00'
shutil.copyfile('py_fp.dbf', 'fpt_block_size_zero.dbf')
save('fpt_block_size_zero.fpt', bytes(memo))

# A dBase III memo without its 0x1A 0x1A terminator: it runs to the end of the file.
memo = bytearray(read('py_db3.dbt'))
memo = memo.replace(b'\x1a', b' ')
shutil.copyfile('py_db3.dbf', 'dbt_no_terminator.dbf')
save('dbt_no_terminator.dbt', bytes(memo))

# A table whose memo file is missing.
shutil.copyfile('py_db3.dbf', 'memo_missing.dbf')
