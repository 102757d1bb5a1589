{ The peer's side of the index and engine speed benchmarks: Free Pascal's
  TDbf builds an MDX tag on YEAR+(0.001*DRAW) over the given table, then
  seeks random keys of it (1,000,000, or the count given second; each seek
  positions on the record). Prints "build_ms <n>" and
  "seek_ms <n> seek_us <per seek> found <n>". }
program cdx_peer_tdbf;
{$mode objfpc}{$H+}
uses SysUtils, DateUtils, db, dbf, dbf_common;
var
  T: TDbf;
  t0: TDateTime;
  i, j, n, seeks, found: Integer;
  ms: Int64;
begin
  T := TDbf.Create(nil);
  T.FilePathFull := ExtractFilePath(ExpandFileName(ParamStr(1)));
  T.TableName := ExtractFileName(ParamStr(1));
  seeks := 1000000;
  if ParamCount >= 2 then
    seeks := StrToInt(ParamStr(2));
  T.Exclusive := True;
  T.Open;
  n := T.RecordCount;
  t0 := Now;
  T.AddIndex('INDEX', 'YEAR+(0.001*DRAW)', [ixExpression, ixUnique]);
  WriteLn('build_ms ', MilliSecondsBetween(Now, t0));
  T.IndexName := 'INDEX';
  RandSeed := 1;
  found := 0;
  t0 := Now;
  for i := 1 to seeks do
  begin
    j := Random(n);
    if T.SearchKey((1000 + j div 500) + 0.001 * (j mod 500 + 1), stEqual) then
      Inc(found);
  end;
  ms := MilliSecondsBetween(Now, t0);
  WriteLn('seek_ms ', ms, ' seek_us ', FormatFloat('0.000', ms * 1000.0 / seeks), ' found ', found);
  T.Close;
  T.Free;
end.
