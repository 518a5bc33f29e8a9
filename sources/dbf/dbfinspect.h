#pragma once

class QIODevice;
class TDBFRead;

// Reads the whole table and writes it to out as JSON lines: first the header,
//   {"version":131,"records":2,"fields":[{"name":"NAME","type":"C","length":20,"decimals":0}],"memo":"dbt"}
// then one line per record,
//   {"record":1,"deleted":false,"values":{"NAME":"Alice               "}}
// with every value as GetData gives it. A table without fields gets no record
// lines. A read error propagates after the lines before it were written.
void WriteDBFInspection(TDBFRead &reader, QIODevice *out);
