{ Writes the Free Pascal TDbf fixtures of the DBF reader tests: one table per
  table level (3 dBase III, 4 dBase IV, 7 dBase VII, 25 FoxPro) with text,
  date, numeric, logical and memo fields, an empty date, a memo longer than
  one block and a record deleted after writing.
  Built and run by make_fixtures.sh. }
program make_tdbf_fixtures;

{$mode objfpc}{$H+}

uses
  SysUtils, DB, dbf;

procedure WriteTable(Level: Integer);
var
  Table: TDbf;
begin
  Table := TDbf.Create(nil);
  try
    Table.FilePath := ExtractFilePath(ParamStr(0));
    Table.TableName := 'tdbf_level' + IntToStr(Level) + '.dbf';
    Table.TableLevel := Level;
    Table.FieldDefs.Add('NAME', ftString, 20);
    Table.FieldDefs.Add('BORN', ftDate);
    Table.FieldDefs.Add('AMOUNT', ftFloat);
    Table.FieldDefs.Add('ACTIVE', ftBoolean);
    Table.FieldDefs.Add('NOTES', ftMemo);
    Table.CreateTable;
    Table.Open;

    Table.Append;
    Table.FieldByName('NAME').AsString := 'Alice';
    Table.FieldByName('BORN').AsDateTime := EncodeDate(1990, 5, 17);
    Table.FieldByName('AMOUNT').AsFloat := 12.5;
    Table.FieldByName('ACTIVE').AsBoolean := True;
    Table.FieldByName('NOTES').AsString := 'short memo';
    Table.Post;

    Table.Append;
    Table.FieldByName('NAME').AsString := 'Bob';
    Table.FieldByName('AMOUNT').AsFloat := -0.75;
    Table.FieldByName('ACTIVE').AsBoolean := False;
    Table.FieldByName('NOTES').AsString := StringOfChar('x', 700);
    Table.Post;

    Table.Append;
    Table.FieldByName('NAME').AsString := 'Gone';
    Table.FieldByName('BORN').AsDateTime := EncodeDate(2001, 1, 31);
    Table.Post;

    Table.Append;
    Table.FieldByName('NAME').AsString := 'Carol';
    Table.FieldByName('BORN').AsDateTime := EncodeDate(2024, 2, 29);
    Table.FieldByName('AMOUNT').AsFloat := 1000;
    Table.Post;

    Table.First;
    Table.Next;
    Table.Next;
    Table.Delete;
    Table.Close;
  finally
    Table.Free;
  end;
end;

var
  Level: Integer;
begin
  for Level in [3, 4, 7, 25] do
    WriteTable(Level);
end.
