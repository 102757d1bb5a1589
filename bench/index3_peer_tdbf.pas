{ The peer's side of the NTX/NDX/MDX benchmark: Free Pascal's TDbf builds a
  unique tag on YEAR+(0.001*DRAW) over the given table, as an MDX tag or as
  an NDX file (second argument "mdx" or "ndx"), then seeks 1,000,000 random
  keys of it. Prints "build_ms <n>" and "seek_ms <n> found <n>". }
program index3_peer_tdbf;
{$mode objfpc}{$H+}
uses SysUtils, DateUtils, db, dbf, dbf_common;
var
  T: TDbf;
  t0: TDateTime;
  i, j, n, found: Integer;
  IndexName: string;
begin
  T := TDbf.Create(nil);
  T.FilePathFull := ExtractFilePath(ExpandFileName(ParamStr(1)));
  T.TableName := ExtractFileName(ParamStr(1));
  T.Exclusive := True;
  T.Open;
  n := T.RecordCount;
  if ParamStr(2) = 'ndx' then IndexName := 'draws3.ndx' else IndexName := 'INDEX';
  t0 := Now;
  T.AddIndex(IndexName, 'YEAR+(0.001*DRAW)', [ixExpression, ixUnique]);
  WriteLn('build_ms ', MilliSecondsBetween(Now, t0));
  T.IndexName := IndexName;
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
end.
