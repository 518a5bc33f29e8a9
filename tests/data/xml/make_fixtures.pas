{ Writes the XML data packets the reader is tested with, through Free
  Pascal's TBufDataset (fcl-db) and its XML data-packet format. }
program make_fixtures;

{$mode objfpc}{$H+}
{$codepage utf8}

uses
  cwstring, SysUtils, Classes, DB, BufDataset, XMLDatapacketReader;

function NewDataset: TBufDataset;
begin
  Result := TBufDataset.Create(nil);
  Result.FieldDefs.Add('NAME', ftString, 60);
  Result.FieldDefs.Add('QTY', ftInteger);
  Result.FieldDefs.Add('PRICE', ftFloat);
  Result.FieldDefs.Add('BORN', ftDate);
  Result.FieldDefs.Add('STAMP', ftDateTime);
  Result.FieldDefs.Add('OK', ftBoolean);
  Result.FieldDefs.Add('NOTE', ftMemo);
  Result.FieldDefs.Add('PIC', ftBlob);
  Result.CreateDataset;
end;

procedure AddRow(D: TBufDataset; const Name: UTF8String; Qty: Integer; Price: Double;
  Born, Stamp: TDateTime; Ok: Boolean; const Note, Pic: AnsiString);
begin
  D.Append;
  D.FieldByName('NAME').AsString := Name;
  D.FieldByName('QTY').AsInteger := Qty;
  D.FieldByName('PRICE').AsFloat := Price;
  D.FieldByName('BORN').AsDateTime := Born;
  D.FieldByName('STAMP').AsDateTime := Stamp;
  D.FieldByName('OK').AsBoolean := Ok;
  D.FieldByName('NOTE').AsString := Note;
  D.FieldByName('PIC').AsString := Pic;
  D.Post;
end;

procedure AddNameOnly(D: TBufDataset; const Name: UTF8String);
begin
  D.Append;
  D.FieldByName('NAME').AsString := Name;
  D.Post;
end;

var
  D: TBufDataset;
  Dir: string;
begin
  { Strings are UTF-8 throughout, whatever the locale. }
  DefaultSystemCodePage := CP_UTF8;
  Dir := IncludeTrailingPathDelimiter(ParamStr(1));
  { Fixed formats, so that the packets do not depend on the machine. }
  DefaultFormatSettings.ShortDateFormat := 'yyyy-mm-dd';
  DefaultFormatSettings.DateSeparator := '-';
  DefaultFormatSettings.LongTimeFormat := 'hh:nn:ss';
  DefaultFormatSettings.DecimalSeparator := '.';

  { Every kind of field, escaping, non-ASCII text and NULLs. }
  D := NewDataset;
  AddRow(D, 'Café & <Bar> "Q" ''A''', -42, 3.25, EncodeDate(1999, 12, 31),
    EncodeDate(2024, 2, 29) + EncodeTime(13, 45, 7, 0), True,
    'line1'#13#10'line2'#9'tab', #0#1#2'xyz');
  AddRow(D, 'Привет, 日本 €', 2147483647, -1.5E-7, EncodeDate(1900, 1, 1),
    EncodeDate(1970, 1, 1), False, 'a > b && c < d', 'abc');
  D.Append;
  D.FieldByName('QTY').AsInteger := 0;
  D.Post;
  D.SaveToFile(Dir + 'types.xml', dfXML);
  D.Free;

  { A table without rows. }
  D := NewDataset;
  D.SaveToFile(Dir + 'empty.xml', dfXML);
  D.Free;

  { Text of one code page each, re-encoded by the script. }
  D := NewDataset;
  AddNameOnly(D, 'Ærø Çà Ñoño ÿ');
  D.SaveToFile(Dir + 'latin1_source.xml', dfXML);
  D.Free;

  D := NewDataset;
  AddNameOnly(D, 'Съешь же ещё этих булок');
  D.SaveToFile(Dir + 'cp1251_source.xml', dfXML);
  D.Free;
end.
