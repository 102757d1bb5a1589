// TxbDBFExpUserLink: the expression language's view of one open table.
//
// The link registers, in this order: the generic function (a stand-in for
// functions the table itself may offer), the seven table functions RECNO,
// DELETED, BOF, EOF, TYPE, LEN, FIELDNO, and one field variable per field,
// named like the field. Field variables read the table's current record
// buffer on every evaluation:
//
// | field type | value                                   | value type |
// |------------|-----------------------------------------|------------|
// | C          | the raw text, full length               | 3 text     |
// | N, F       | the number (field access GetNumber)     | 4 number   |
// | D          | the day number (0 for a blank date)     | 6 date     |
// | L          | true for one of the true letters        | 8 boolean  |
// | M          | the text of the memo entry ("" if none) | 3 text     |
// | any other  | the raw text                            | 9 other    |
//
// The built-in LEN is found before the table's LEN, so a call of LEN by name
// always means the built-in one.
//
// A name no registry knows is offered to the table: ExternalFunction("FIND",
// NAME) other than -1 registers a generic function of that name, which
// evaluates through ExternalFunction("PARSE", NAME, letter, &exchange) with a
// TxbExternalCall as the exchange object; the answer's letter picks the
// result: "C" Text (up to a zero byte), "D" Day, "F"/"N" Number, "L" true
// when Text starts with a true letter; -1 or another letter fails (type 0).
//
// Ownership: the table owns its link (XBO_dBaseDBF::ExpressionLink); the
// link holds a plain pointer back to the table. Handlers parsed against the
// link must be freed before the table.
#pragma once

#include "tables/dbf/xb_fields.h"
#include "tables/expr/xb_expr_handler.h"
#include "tables/expr/xb_expr_userlink.h"

// The exchange object of ExternalFunction("PARSE", ...).
struct TxbExternalCall {
  TxbExpFunction* Node = nullptr;  // the call; the table may evaluate its arguments
  AnsiString Text;                 // answer for "C" and "L"
  double Number = 0;               // answer for "F" and "N"
  std::int32_t Day = 0;            // answer for "D"
};

class TxbDBFExpUserLink : public TxbExpUserLink, public XBTableLinkBase {
 public:
  explicit TxbDBFExpUserLink(XBO_dBaseFld* table);

  // Asks the table (ExternalFunction "FIND"); raises "There is no function
  // for %s" when it has none.
  TxbUserDefFunction* UnknownFunction(const AnsiString& name) override;

  XBO_dBaseFld* Table() const { return FTable; }

 private:
  XBO_dBaseFld* FTable;
};

// A field of the table as a variable.
class TxblDBFFieldVars : public TxbUserDefFieldVar {
 public:
  TxblDBFFieldVars(XBO_dBaseFld* table, int fieldNumber);
  int Length() const override { return FLength; }
  int Decimals() const override { return FDecimals; }
  bool Value(vx::ExprValue& out) override;
  XBO_dBaseFld* Table() const { return FTable; }
  int FieldNumber() const { return FFieldNumber; }
  char Type() const { return FType; }

 private:
  XBO_dBaseFld* FTable;
  int FFieldNumber;
  int FLength;
  int FDecimals;
  char FType;
};

// Whether field variables of this type give their raw text as type 9
// (every type but C, N, F, D, L and M).
bool xbFieldGivenRaw(char type);
// Whether a compiled expression reads a field of the table that is given
// raw.
bool xbReadsRawFields(const TxbExpHandler& expression, const XBO_dBaseFld& table);

// The table's link, created and attached on first use.
TxbDBFExpUserLink& xbTableExpLink(XBO_dBaseFld& table);
