#!/usr/bin/env python3
"""Makes the derived Access fixtures from the databases beside this script.

V2000-test.mdb, V2000-numeric.mdb and V2003-empty.mdb are Microsoft Access
files (MIT licence, see LICENSE). blank-name.mdb is V2000-numeric.mdb with its
one table renamed from "test" to "My T" in the MSysObjects row that names it
(the name is stored as UTF-16LE on catalog page 14; the index page keeps the
old key, which mdbtools does not read). A name of the same length keeps every
length and offset of the row.

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
