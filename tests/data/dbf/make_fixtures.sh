#!/usr/bin/env bash
# Rebuilds every fixture of the DBF reader tests in this folder: the Free Pascal
# TDbf tables (fpc 3.2.2 with fcl-db) and the python3-dbf tables with the
# damaged copies made from them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

units=$(dirname "$(find /usr/lib -path '*fcl-db/dbf.ppu' | head -n 1)")
cp "$here/make_tdbf_fixtures.pas" "$work/"
fpc -Fu"$units" -FE"$work" "$work/make_tdbf_fixtures.pas" >/dev/null
"$work/make_tdbf_fixtures"
cp "$work"/tdbf_level*.dbf "$work"/tdbf_level*.dbt "$work"/tdbf_level*.fpt "$here/"

cd "$here"
/usr/bin/python3 make_fixtures.py
