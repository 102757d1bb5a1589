// The program's three kinds of tables and how a new one is made.
//
// All are dBase III tables (version byte 0x03) without memo fields. With n
// numbers per draw:
//
// Draw base and results base ("<name>.dbf" in the program's folder):
//
// | field   | type | length | decimals |
// |---------|------|--------|----------|
// | YEAR    | N    | 9      | 0        |
// | DRAW    | N    | 9      | 0        |
// | P1 … Pn | N    | 15     | 0        |
//
// Tickets base ("<name>.tic" in the program's folder + "tickets\"):
//
// | field   | type | length | decimals |
// |---------|------|--------|----------|
// | YEAR    | N    | 9      | 0        |
// | DRAW    | N    | 9      | 0        |
// | NUM     | N    | 9      | 0        |  ticket number within its draw
// | P1 … Pn | N    | 15     | 0        |
//
// Header: 32 bytes + 32 per field + the 0x0D terminator; record: 1 deleted
// flag + the field lengths (so an empty 6-number draw table is
// 32 + 8*32 + 1 + the 0x1A end mark = 290 bytes).
//
// Draw bases are read in the order of the tag "INDEX" on
// "YEAR+(0.001*DRAW)" in "<name>.cdx" beside the table, unique and
// ascending; the main window builds it when it opens the base.
#pragma once

#include "platform/rtl/cp1251.h"
#include "platform/rtl/stringlist.h"

class TXBaseDataSet;
class TCreateXBaseDataSet;

namespace vx {

// The extension of ticket tables.
extern AnsiString TicketExtension;  // ".tic"
inline constexpr const char* TicketFolderName = "tickets\\";

inline constexpr const char* DrawIndexTag = "INDEX";
inline constexpr const char* DrawIndexKey = "YEAR+(0.001*DRAW)";

// Field lines for the creation component.
void DrawFieldLines(TStrings& lines, int numbers);
void TicketFieldLines(TStrings& lines, int numbers);

// The entered base name reduced to its file part without extension
// ("c:\x\lm.dbf" -> "lm").
AnsiString BaseFileStem(const AnsiString& entered);

// The folder of ticket tables (program folder + "tickets/").
AnsiString TicketFolder();

// Creates an empty table with the given field lines at folder + fileName
// through `table`/`creator` (the creator overwrites); leaves the new table
// open in `table`. False (nothing changed) when the component refused.
bool CreateTable(TXBaseDataSet& table, TCreateXBaseDataSet& creator, const AnsiString& folder,
                 const AnsiString& fileName, const TStrings& lines);

}  // namespace vx
