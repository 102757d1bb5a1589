// Field and index definitions of a data set.
//
// TFieldDefs describes the columns the record source offers (filled by its
// InternalInitFieldDefs); the data set creates its default fields from it.
// TIndexDefs describes the indexes of a record source (filled by its
// UpdateIndexDefs). Both own their items and keep an Updated flag: Update()
// asks the data set again only when the definitions are out of date.
#pragma once

#include <memory>
#include <vector>

#include "platform/db/db_types.h"
#include "platform/rtl/sysutils.h"

class TDataSet;
class TField;
class TComponent;

class TFieldDef {
 public:
  TFieldDef(const AnsiString& Name, TFieldType DataType, int Size, bool Required, int FieldNo)
      : FName(Name), FDataType(DataType), FSize(Size), FRequired(Required), FFieldNo(FieldNo) {}

  const AnsiString& Name() const { return FName; }
  TFieldType DataType() const { return FDataType; }
  int Size() const { return FSize; }
  bool Required() const { return FRequired; }
  int FieldNo() const { return FFieldNo; }
  // A field of the definition's class, named after it, for DataSet.
  TField* CreateField(TComponent* Owner, TDataSet* DataSet) const;

 private:
  AnsiString FName;
  TFieldType FDataType;
  int FSize;
  bool FRequired;
  int FFieldNo;
};

class TFieldDefs {
 public:
  explicit TFieldDefs(TDataSet* DataSet) : FDataSet(DataSet) {}

  int Count() const { return static_cast<int>(FItems.size()); }
  const TFieldDef& Items(int Index) const;
  const TFieldDef& operator[](int Index) const { return Items(Index); }
  // FieldNo 0 numbers the definition after the last one.
  void Add(const AnsiString& Name, TFieldType DataType, int Size = 0, bool Required = false, int FieldNo = 0);
  void Clear() { FItems.clear(); }
  int IndexOf(const AnsiString& Name) const;
  const TFieldDef* Find(const AnsiString& Name) const;
  bool Updated() const { return FUpdated; }
  void SetUpdated(bool Value) { FUpdated = Value; }
  // Reads the definitions from the data set when they are out of date.
  void Update();

 private:
  TDataSet* FDataSet;
  std::vector<TFieldDef> FItems;
  bool FUpdated = false;
};

class TIndexDef {
 public:
  TIndexDef(const AnsiString& Name, const AnsiString& Fields, TIndexOptions Options)
      : FName(Name), FFields(Fields), FOptions(Options) {}

  const AnsiString& Name() const { return FName; }
  // Key fields separated by ';' (or the key expression).
  const AnsiString& Fields() const { return FFields; }
  TIndexOptions Options() const { return FOptions; }

 private:
  AnsiString FName;
  AnsiString FFields;
  TIndexOptions FOptions;
};

class TIndexDefs {
 public:
  explicit TIndexDefs(TDataSet* DataSet) : FDataSet(DataSet) {}

  int Count() const { return static_cast<int>(FItems.size()); }
  const TIndexDef& Items(int Index) const;
  const TIndexDef& operator[](int Index) const { return Items(Index); }
  void Add(const AnsiString& Name, const AnsiString& Fields, TIndexOptions Options);
  void Clear() { FItems.clear(); }
  int IndexOf(const AnsiString& Name) const;
  const TIndexDef* Find(const AnsiString& Name) const;
  bool Updated() const { return FUpdated; }
  void SetUpdated(bool Value) { FUpdated = Value; }
  // Asks the data set (UpdateIndexDefs) when out of date.
  void Update();

 private:
  TDataSet* FDataSet;
  std::vector<TIndexDef> FItems;
  bool FUpdated = false;
};
