// TCreateXBaseDataSet: creates a new, empty table from field lines and opens
// it in the data set DBFTable.
//
// A field line is "NAME;T;LEN;DEC": the name (cut to 10 characters), one
// type letter, the length and the number of decimals. Blanks and ';' at the
// end of a line are removed before it is read. A line without every part,
// with an empty name, a type of more than one letter, a length or decimals
// that are not whole numbers, or a name (cut to 10) used by an earlier line
// makes the whole list invalid; nothing is written then.
#pragma once

#include <functional>
#include <memory>

#include "platform/rtl/component.h"
#include "platform/rtl/stringlist.h"

class TXBaseDataSet;

enum TxbDBFTypes { Clipper, DBaseIII, DBaseIV, FoxPro2 };

class TCreateXBaseDataSet : public TComponent {
 public:
  explicit TCreateXBaseDataSet(TComponent* AOwner = nullptr);
  ~TCreateXBaseDataSet() override;

  bool AutoOverwrite = false;
  TxbDBFTypes DBFType = DBaseIII;
  TStringList* CreateFields() { return FCreateFields.get(); }
  void SetCreateFields(TStrings* Value) { FCreateFields->Assign(Value); }
  TXBaseDataSet* DBFTable() const { return FDBFTable; }
  void SetDBFTable(TXBaseDataSet* Value);

  // Creates the file and opens DBFTable; false when the user declined to
  // overwrite or the file could not be written.
  bool Execute();

  // Asked when the file exists and AutoOverwrite is off, with the question
  // text (a warning with OK and Cancel); true = overwrite. The program sets
  // it to its message box; unset, an existing file is kept.
  static std::function<bool(const AnsiString& Question)> ConfirmOverwrite;
  static constexpr const char* OverwriteQuestion = "Table exists.  Do you want to overwrite?";

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  std::unique_ptr<TStringList> FCreateFields;
  TXBaseDataSet* FDBFTable = nullptr;
};
