#!/bin/sh
# Writes the XML fixtures: packets from Free Pascal's TBufDataset, and packets
# derived from them by re-encoding or cutting, for the reader's edge cases.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fpc -v0 -FE"$work" "$here/make_fixtures.pas" >/dev/null
"$work/make_fixtures" "$here"

# The same packet in ISO-8859-1 and windows-1251, declared as such.
iconv -f UTF-8 -t ISO-8859-1 "$here/latin1_source.xml" \
  | sed 's/encoding="utf-8"/encoding="ISO-8859-1"/' >"$here/latin1_encoding.xml"
iconv -f UTF-8 -t WINDOWS-1251 "$here/cp1251_source.xml" \
  | sed 's/encoding="utf-8"/encoding="windows-1251"/' >"$here/windows1251_encoding.xml"
# As older writers store it: ANSI bytes and a declaration without an encoding.
iconv -f UTF-8 -t WINDOWS-1252 "$here/latin1_source.xml" \
  | sed 's/<?xml version="1.0" encoding="utf-8"?>/<?xml version="1.0" standalone="yes"?>/' >"$here/ansi_without_encoding.xml"
rm "$here/latin1_source.xml" "$here/cp1251_source.xml"

# A packet cut off in the middle of its rows.
head -c $(($(wc -c <"$here/types.xml") * 3 / 4)) "$here/types.xml" >"$here/truncated_packet.xml"
