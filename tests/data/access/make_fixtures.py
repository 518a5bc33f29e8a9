#!/usr/bin/env python3
"""Makes the derived Access fixtures from the databases beside this script.

V2000-test.mdb, V2000-numeric.mdb and V2003-empty.mdb are Microsoft Access
files (MIT licence, see LICENSE). blank-name.mdb is V2000-numeric.mdb with its
one table renamed from "test" to "My T" in the MSysObjects row that names it
(the name is stored as UTF-16LE on catalog page 14; the index page keeps the
old key, which mdbtools does not read). A name of the same length keeps every
length and offset of the row.

damaged-catalog.mdb is V2000-numeric.mdb with 36 bytes overwritten at random
places (one of many randomly damaged copies tried); mdbtools crashes reading
its catalog, which the reader must survive.

Check the result with: mdb-tables -1 blank-name.mdb; mdb-export blank-name.mdb "My T"
"""
import pathlib

here = pathlib.Path(__file__).resolve().parent
data = bytearray((here / "V2000-numeric.mdb").read_bytes())
PAGE = 4096
old, new = "test".encode("utf-16-le"), "My T".encode("utf-16-le")
at = data.find(old, 14 * PAGE, 15 * PAGE)
assert at >= 0, "catalog row of table 'test' not found on page 14"
data[at:at + len(old)] = new
(here / "blank-name.mdb").write_bytes(bytes(data))

data = bytearray((here / "V2000-numeric.mdb").read_bytes())
DAMAGE = [
    (4982, 0xFF),
    (7448, 0x18),
    (15621, 0xA9),
    (17067, 0xD1),
    (30875, 0xDA),
    (37722, 0xFE),
    (41852, 0xB4),
    (42489, 0xB4),
    (43393, 0x9F),
    (43420, 0x5E),
    (46545, 0x7C),
    (50982, 0x14),
    (53171, 0xCD),
    (53845, 0xE7),
    (53991, 0xE3),
    (55150, 0xED),
    (55303, 0xC4),
    (58872, 0x8F),
    (61196, 0xC1),
    (63480, 0x05),
    (69354, 0xCB),
    (71918, 0xDC),
    (72941, 0x75),
    (74465, 0x9B),
    (74678, 0xDF),
    (80325, 0x76),
    (80882, 0x3C),
    (82047, 0xB3),
    (89057, 0xA4),
    (92763, 0x22),
    (94882, 0xEA),
    (109340, 0x4A),
    (118490, 0x38),
    (120914, 0x05),
    (129763, 0xA6),
    (130284, 0x4C),
]
for offset, value in DAMAGE:
    data[offset] = value
(here / "damaged-catalog.mdb").write_bytes(bytes(data))
