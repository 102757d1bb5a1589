#include "app/bases/base_tables.h"

#include "platform/os/program_folder.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"
#include "tables/dataset/tcreatexbasedataset.h"
#include "tables/dataset/txbasedataset.h"

namespace vx {

AnsiString TicketExtension = ".tic";

namespace {

void NumberLines(TStrings& lines, int numbers) {
  for (int i = 1; i <= numbers; ++i) lines.Add("P" + IntToStr(i) + ";N;15;0");
}

}  // namespace

void DrawFieldLines(TStrings& lines, int numbers) {
  lines.Clear();
  lines.Add("YEAR;N;9;0");
  lines.Add("DRAW;N;9;0");
  NumberLines(lines, numbers);
}

void TicketFieldLines(TStrings& lines, int numbers) {
  lines.Clear();
  lines.Add("YEAR;N;9;0");
  lines.Add("DRAW;N;9;0");
  lines.Add("NUM;N;9;0");
  NumberLines(lines, numbers);
}

AnsiString BaseFileStem(const AnsiString& entered) { return ChangeFileExt(ExtractFileName(entered), ""); }

AnsiString TicketFolder() { return ProgramFolder() + "tickets/"; }

bool CreateTable(TXBaseDataSet& table, TCreateXBaseDataSet& creator, const AnsiString& folder,
                 const AnsiString& fileName, const TStrings& lines) {
  table.Close();
  creator.SetDBFTable(&table);
  creator.DBFType = DBaseIII;
  creator.AutoOverwrite = true;
  creator.CreateFields()->Clear();
  creator.CreateFields()->AddStrings(lines);
  table.IndexFiles()->Clear();
  table.SetIndexName("");
  table.SetDatabaseName(folder);
  table.SetTableName(fileName);
  return creator.Execute();
}

}  // namespace vx
