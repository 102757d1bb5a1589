{ Drives Free Pascal's TDbf for the index interop test.
    make DIR CSV none|index   creates DIR/draws.dbf from CSV lines "year,draw,name";
                              with "index" also the tags YD, NAMED (descending) and
                              NAMEU (unique) in draws.mdx and the files yd.ndx, nm.ndx
    list DIR FILE TAG num|chr walks TAG (FILE "-" for the production MDX, else an
                              NDX opened first) printing each physical record number,
                              then seeks every key and prints "SEEK ok" or the
                              first record whose key was not found }
program index3_tdbf;
{$mode objfpc}{$H+}
uses SysUtils, Classes, Variants, db, dbf, dbf_common;

var
  Tb: TDbf;

procedure OpenTable(const Dir: string; Create: Boolean);
begin
  Tb := TDbf.Create(nil);
  Tb.FilePathFull := IncludeTrailingPathDelimiter(Dir);
  Tb.TableLevel := 4;
  Tb.TableName := 'draws.dbf';
  if Create then
  begin
    Tb.Exclusive := True;
    Tb.FieldDefs.Add('YEAR', ftFloat);
    Tb.FieldDefs.Add('DRAW', ftFloat);
    Tb.FieldDefs.Add('NAME', ftString, 10);
    Tb.CreateTable;
  end;
  Tb.Open;
end;

procedure Make(const Dir, Csv, Mode: string);
var
  Lines, Parts: TStringList;
  I: Integer;
begin
  OpenTable(Dir, True);
  Lines := TStringList.Create;
  Parts := TStringList.Create;
  Parts.StrictDelimiter := True;
  Lines.LoadFromFile(Csv);
  for I := 0 to Lines.Count - 1 do
  begin
    Parts.CommaText := Lines[I];
    if Parts.Count < 3 then Continue;
    Tb.Append;
    Tb.FieldByName('YEAR').AsFloat := StrToFloat(Parts[0]);
    Tb.FieldByName('DRAW').AsFloat := StrToFloat(Parts[1]);
    Tb.FieldByName('NAME').AsString := Parts[2];
    Tb.Post;
  end;
  if Mode = 'index' then
  begin
    Tb.AddIndex('YD', 'YEAR+(0.001*DRAW)', []);
    Tb.AddIndex('NAMED', 'NAME', [ixDescending]);
    Tb.AddIndex('NAMEU', 'NAME', [ixUnique]);
    Tb.AddIndex('yd.ndx', 'YEAR+(0.001*DRAW)', []);
    Tb.AddIndex('nm.ndx', 'NAME', []);
  end;
  Tb.Close;
end;

function KeyOf(const Kind: string): Variant;
begin
  if Kind = 'num' then
    Result := Tb.FieldByName('YEAR').AsFloat + 0.001 * Tb.FieldByName('DRAW').AsFloat
  else
    Result := Tb.FieldByName('NAME').AsString;
end;

procedure List(const Dir, IndexFile, Tag, Kind: string);
var
  Recs: array of Integer;
  Keys: array of Variant;
  I, N: Integer;
begin
  OpenTable(Dir, False);
  if IndexFile <> '-' then Tb.OpenIndexFile(IndexFile);
  Tb.IndexName := Tag;
  N := 0;
  SetLength(Recs, 0);
  SetLength(Keys, 0);
  Tb.First;
  while not Tb.EOF do
  begin
    WriteLn(Tb.PhysicalRecNo);
    SetLength(Recs, N + 1);
    SetLength(Keys, N + 1);
    Recs[N] := Tb.PhysicalRecNo;
    Keys[N] := KeyOf(Kind);
    Inc(N);
    Tb.Next;
  end;
  for I := 0 to N - 1 do
    if not Tb.SearchKey(Keys[I], stEqual) then
    begin
      WriteLn('SEEK failed at ', Recs[I]);
      Tb.Close;
      Exit;
    end;
  WriteLn('SEEK ok');
  Tb.Close;
end;

begin
  DefaultFormatSettings.DecimalSeparator := '.';
  if (ParamCount = 4) and (ParamStr(1) = 'make') then
    Make(ParamStr(2), ParamStr(3), ParamStr(4))
  else if (ParamCount = 5) and (ParamStr(1) = 'list') then
    List(ParamStr(2), ParamStr(3), ParamStr(4), ParamStr(5))
  else
  begin
    WriteLn('usage: index3_tdbf make DIR CSV none|index | list DIR FILE TAG num|chr');
    Halt(2);
  end;
end.
