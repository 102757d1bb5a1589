#include "tables/base/xb_errors.h"

#include <string>

namespace {

const ErrListRec kErrorList[] = {
    {2, "File not found"},
    {3, "Path not found"},
    {4, "Too many open files"},
    {5, "File access denied"},
    {12, "Invalid file access code"},
    {15, "Invalid drive number"},
    {32, "File access denied"},
    {33, "Record locked by another user"},
    {100, "Disk read error"},
    {101, "Disk write error"},
    {102, "File not assigned"},
    {103, "File not open"},
    {104, "File not open for input"},
    {105, "File not open for output"},
    {106, "Invalid numeric format"},
    {150, "Disk is write-protected"},
    {152, "Drive not ready"},
    {162, "Hardware failure"},
    {183, "File already exists"},
    {1001, "dBase DBF file header invalid"},
    {1002, "dBase record request beyond EOF"},
    {1003, "dBase field name is invalid"},
    {1004, "dBase field is of incorrect type"},
    {1005, "dBase memo record has format error"},
    {1006, "Formula expression cannot be translated"},
    {1011, "Number too large to fit in field"},
    {1269, ""},
    {1270, ""},
    {1271, ""},
};

}  // namespace

const ErrListRec* xbErrorList() { return kErrorList; }

int xbErrorListCount() { return static_cast<int>(sizeof kErrorList / sizeof kErrorList[0]); }

TxbErrorHook xbErrorHook = xbDefaultErrorRoutine;

void xbEngineError(std::int32_t code, std::int32_t subCode, const AnsiString& name) {
  if (xbErrorHook) xbErrorHook(code, subCode, name);
  else xbDefaultErrorRoutine(code, subCode, name);
}

AnsiString xbErrorMessage(std::int32_t code, std::int32_t subCode, const AnsiString& name) {
  if (subCode < 0 && subCode != xbNoSubCode && code <= 255) {
    // The caller asked for a run-time error; the program keeps running and
    // gets an exception that names it instead.
    AnsiString text = "Runtime error " + std::to_string(code);
    if (!name.empty()) text += " - " + name;
    return text;
  }
  for (const ErrListRec& rec : kErrorList)
    if (rec.code == code) return AnsiString(rec.text) + " - " + name;
  AnsiString text = "XBase Error " + std::to_string(code);
  if (subCode != xbNoSubCode) text += ", SubCode " + std::to_string(subCode);
  text += ".\r";
  if (!name.empty()) text += " " + name + ">" + std::to_string(subCode);
  return text;
}

void xbDefaultErrorRoutine(std::int32_t code, std::int32_t subCode, const AnsiString& name) {
  throw EXBaseError(xbErrorMessage(code, subCode, name));
}
