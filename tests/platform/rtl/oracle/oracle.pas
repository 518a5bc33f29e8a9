program oracle;
{$mode objfpc}{$H+}
uses SysUtils;
var
  line, cmd, arg, a1, a2: string;
  p: integer;
  d: double;
  c: currency;
  dt: TDateTime;
  cbits: int64;
  ok: boolean;

function Bits(x: double): string;
begin
  Result := IntToHex(PInt64(@x)^, 16);
end;

function DecodeAll(x: TDateTime): string;
var y, m, dd, h, n, s, ms: word;
begin
  DecodeDate(x, y, m, dd);
  DecodeTime(x, h, n, s, ms);
  Result := Format('%.4d-%.2d-%.2d %.2d:%.2d:%.2d.%.3d', [y, m, dd, h, n, s, ms]);
end;

function HexToDouble(const h: string): double;
var b: int64;
begin
  b := int64(StrToQWord('$' + h));
  Result := PDouble(@b)^;
end;

begin
  while not eof do
  begin
    readln(line);
    p := Pos('|', line);
    cmd := Copy(line, 1, p - 1);
    arg := Copy(line, p + 1, MaxInt);
    try
      case cmd of
        'dec': DefaultFormatSettings.DecimalSeparator := arg[1];
        'thou': DefaultFormatSettings.ThousandSeparator := arg[1];
        'dsep': DefaultFormatSettings.DateSeparator := arg[1];
        'tsep': DefaultFormatSettings.TimeSeparator := arg[1];
        'sdf': DefaultFormatSettings.ShortDateFormat := arg;
        'ldf': DefaultFormatSettings.LongDateFormat := arg;
        'stf': DefaultFormatSettings.ShortTimeFormat := arg;
        'ltf': DefaultFormatSettings.LongTimeFormat := arg;
        'am': DefaultFormatSettings.TimeAMString := arg;
        'pm': DefaultFormatSettings.TimePMString := arg;
        'show': writeln(DefaultFormatSettings.DecimalSeparator, ' ', DefaultFormatSettings.ThousandSeparator, ' ',
                  DefaultFormatSettings.DateSeparator, ' ', DefaultFormatSettings.TimeSeparator, ' [',
                  DefaultFormatSettings.ShortDateFormat, '] [', DefaultFormatSettings.LongDateFormat, '] [',
                  DefaultFormatSettings.ShortTimeFormat, '] [', DefaultFormatSettings.LongTimeFormat, '] ',
                  DefaultFormatSettings.TimeAMString, ' ', DefaultFormatSettings.TimePMString, ' ',
                  DefaultFormatSettings.LongMonthNames[1], ' ', DefaultFormatSettings.ShortDayNames[1], ' ', TwoDigitYearCenturyWindow);
        'strtofloat': begin d := StrToFloat(arg); writeln('OK ', Bits(d), ' ', FloatToStrF(d, ffGeneral, 17, 0)); end;
        'trystrtofloat': begin ok := TryStrToFloat(arg, d); if ok then writeln('OK ', Bits(d)) else writeln('FALSE'); end;
        'floattostr': writeln('[', FloatToStr(HexToDouble(arg)), ']');
        'strtocurr': begin c := StrToCurr(arg); writeln('OK ', PInt64(@c)^); end;
        'curr': begin cbits := StrToInt64(arg); c := PCurrency(@cbits)^; writeln('[', CurrToStr(c), ']'); end;
        'strtodate': begin dt := StrToDate(arg); writeln('OK ', Bits(dt), ' ', DecodeAll(dt), ' ', FloatToStr(dt)); end;
        'strtotime': begin dt := StrToTime(arg); writeln('OK ', Bits(dt), ' ', DecodeAll(dt), ' ', FloatToStr(dt)); end;
        'strtodatetime': begin dt := StrToDateTime(arg); writeln('OK ', Bits(dt), ' ', DecodeAll(dt), ' ', FloatToStr(dt)); end;
        'datetostr': writeln('[', DateToStr(HexToDouble(arg)), ']');
        'timetostr': writeln('[', TimeToStr(HexToDouble(arg)), ']');
        'datetimetostr': writeln('[', DateTimeToStr(HexToDouble(arg)), ']');
        'fmt': begin
                 p := Pos('|', arg); a1 := Copy(arg, 1, p - 1); a2 := Copy(arg, p + 1, MaxInt);
                 writeln('[', FormatDateTime(a2, HexToDouble(a1)), ']');
               end;
        'decode': writeln(DecodeAll(HexToDouble(arg)));
      else
        writeln('?? ', cmd);
      end;
    except
      on E: Exception do writeln('ERR ', E.ClassName, ' ', E.Message);
    end;
  end;
end.
