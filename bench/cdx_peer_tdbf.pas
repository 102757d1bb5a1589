{ The peer's side of the index benchmark: Free Pascal's TDbf builds an MDX
  tag on YEAR+(0.001*DRAW) over the given table, then seeks 1,000,000 random
  keys of it. Prints "build_ms <n>" and "seek_ms <n> found <n>". }
program cdx_peer_tdbf;
{$mode objfpc}{$H+}
uses SysUtils, DateUtils, db, dbf, dbf_common;
var
  T: TDbf;
  t0: TDateTime;
  i, j, n, found: Integer;
begin
  T := TDbf.Create(nil);
  T.FilePathFull := ExtractFilePath(ExpandFileName(ParamStr(1)));
  T.TableName := ExtractFileName(ParamStr(1));
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
  for i := 1 to 1000000 do
  begin
    j := Random(n);
    if T.SearchKey((1000 + j div 500) + 0.001 * (j mod 500 + 1), stEqual) then
      Inc(found);
  end;
  WriteLn('seek_ms ', MilliSecondsBetween(Now, t0), ' found ', found);
  T.Close;
  T.Free;
end.
