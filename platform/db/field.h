// TField: one column of a data set, and TFields, the data set's list of them.
//
// A field holds no value of its own: GetData / SetData ask its data set for
// the value in the field's native buffer format (see field_types.h), in the
// record buffer of the data set's current state. Typed access (AsString,
// AsInteger, Value ...) converts from and to that format in the descendants.
//
// A field belongs to at most one data set (SetDataSet adds it to the data
// set's Fields list, only while the data set is closed). The component that
// owns the field frees it; a freed field leaves its data set's list.
#pragma once

#include <functional>
#include <vector>

#include "platform/db/db_error.h"
#include "platform/db/db_types.h"
#include "platform/db/variant.h"
#include "platform/rtl/classes.h"

class TDataSet;
class TField;

using TFieldNotifyEvent = std::function<void(TField* Sender)>;
using TFieldGetTextEvent = std::function<void(TField* Sender, AnsiString& Text, bool DisplayText)>;
using TFieldSetTextEvent = std::function<void(TField* Sender, const AnsiString& Text)>;

class TField : public TComponent {
 public:
  explicit TField(TComponent* AOwner = nullptr);
  ~TField() override;

  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);

  const AnsiString& FieldName() const { return FFieldName; }
  void SetFieldName(const AnsiString& Value);
  // 1-based number of the column in the record source; 0 or below for
  // calculated and lookup fields. Set when the data set binds its fields.
  int FieldNo() const { return FFieldNo; }
  void SetFieldNo(int Value) { FFieldNo = Value; }
  TFieldKind FieldKind() const { return FFieldKind; }
  void SetFieldKind(TFieldKind Value);
  bool Calculated() const { return FFieldKind == fkCalculated; }
  bool Lookup() const { return FFieldKind == fkLookup; }
  TFieldType DataType() const { return FDataType; }
  int Size() const { return FSize; }
  virtual void SetSize(int Value);
  // Bytes of the native buffer format.
  virtual int DataSize() const { return 0; }
  // Offset of a calculated field's has-value byte in the calculated area.
  int Offset() const { return FOffset; }
  void SetOffset(int Value) { FOffset = Value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool Required() const { return FRequired; }
  void SetRequired(bool Value) { FRequired = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  const AnsiString& DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
  void SetDisplayLabel(const AnsiString& Value) { FDisplayLabel = Value; }
  const AnsiString& DisplayName() const { return DisplayLabel(); }
  int DisplayWidth() const { return FDisplayWidth > 0 ? FDisplayWidth : DefaultDisplayWidth(); }
  void SetDisplayWidth(int Value) { FDisplayWidth = Value; }
  bool Transliterate() const { return FTransliterate; }
  void SetTransliterate(bool Value) { FTransliterate = Value; }
  // Position in the data set's field list.
  int Index() const;
  bool IsIndexField() const;
  bool CanModify() const;

  // Lookup fields: the value of LookupResultField in LookupDataSet's record
  // whose LookupKeyFields equal this data set's KeyFields.
  TDataSet* LookupDataSet() const { return FLookupDataSet; }
  void SetLookupDataSet(TDataSet* Value) { FLookupDataSet = Value; }
  const AnsiString& KeyFields() const { return FKeyFields; }
  void SetKeyFields(const AnsiString& Value) { FKeyFields = Value; }
  const AnsiString& LookupKeyFields() const { return FLookupKeyFields; }
  void SetLookupKeyFields(const AnsiString& Value) { FLookupKeyFields = Value; }
  const AnsiString& LookupResultField() const { return FLookupResultField; }
  void SetLookupResultField(const AnsiString& Value) { FLookupResultField = Value; }

  // --- Value access ----------------------------------------------------
  // Native-format read; false when the field is null. Buffer may be null.
  bool GetData(void* Buffer);
  // Native-format write; null clears the field.
  void SetData(const void* Buffer);
  // Runs OnValidate; while it runs, GetData returns the value being set.
  void Validate(const void* Buffer);
  bool IsNull();
  virtual void Clear() { SetData(nullptr); }

  virtual Variant Value();
  virtual void SetValue(const Variant& Value);
  AnsiString AsString() { return GetAsString(); }
  void SetAsString(const AnsiString& Value) { SetAsStringValue(Value); }
  int AsInteger() { return GetAsInteger(); }
  void SetAsInteger(int Value) { SetAsIntegerValue(Value); }
  double AsFloat() { return GetAsFloat(); }
  void SetAsFloat(double Value) { SetAsFloatValue(Value); }
  bool AsBoolean() { return GetAsBoolean(); }
  void SetAsBoolean(bool Value) { SetAsBooleanValue(Value); }
  TDateTime AsDateTime() { return GetAsDateTime(); }
  void SetAsDateTime(TDateTime Value) { SetAsDateTimeValue(Value); }
  // Editing text (OnGetText with DisplayText false) and display text.
  AnsiString Text();
  void SetText(const AnsiString& Value);
  AnsiString DisplayText();

  // Fires OnChange (the data set calls it after a field change).
  virtual void Change();

  TFieldNotifyEvent OnChange;
  TFieldNotifyEvent OnValidate;
  TFieldGetTextEvent OnGetText;
  TFieldSetTextEvent OnSetText;

 protected:
  void SetDataType(TFieldType Value) { FDataType = Value; }
  virtual int DefaultDisplayWidth() const { return 10; }
  virtual AnsiString GetAsString();
  virtual void SetAsStringValue(const AnsiString& Value);
  virtual int GetAsInteger();
  virtual void SetAsIntegerValue(int Value);
  virtual double GetAsFloat();
  virtual void SetAsFloatValue(double Value);
  virtual bool GetAsBoolean();
  virtual void SetAsBooleanValue(bool Value);
  virtual TDateTime GetAsDateTime();
  virtual void SetAsDateTimeValue(TDateTime Value);
  // Text for display (DisplayText true) or editing; default AsString.
  virtual void GetText(AnsiString& Text, bool DisplayText);
  virtual void SetTextValue(const AnsiString& Value) { SetAsStringValue(Value); }
  [[noreturn]] void AccessError(const char* TypeName) const;
  [[noreturn]] void ConvertError(const char* Message, const AnsiString& Text) const;

 private:
  friend class TDataSet;
  friend class TFields;
  TDataSet* FDataSet = nullptr;
  AnsiString FFieldName;
  AnsiString FDisplayLabel;
  int FFieldNo = 0;
  TFieldKind FFieldKind = fkData;
  TFieldType FDataType = ftUnknown;
  int FSize = 0;
  int FOffset = 0;
  int FDisplayWidth = 0;
  bool FReadOnly = false;
  bool FRequired = false;
  bool FVisible = true;
  bool FTransliterate = false;
  bool FValidating = false;
  const void* FValueBuffer = nullptr;
  TDataSet* FLookupDataSet = nullptr;
  AnsiString FKeyFields, FLookupKeyFields, FLookupResultField;
};

// The fields of one data set in column order. It does not own the fields.
class TFields {
 public:
  explicit TFields(TDataSet* DataSet) : FDataSet(DataSet) {}

  int Count() const { return static_cast<int>(FList.size()); }
  // Raises "Field index out of range" outside 0..Count-1.
  TField* Fields(int Index) const;
  TField* operator[](int Index) const { return Fields(Index); }
  TField* FindField(const AnsiString& FieldName) const;
  TField* FieldByName(const AnsiString& FieldName) const;
  int IndexOf(const TField* Field) const;
  void Add(TField* Field);
  void Remove(TField* Field);
  void Clear() { FList.clear(); }
  TDataSet* DataSet() const { return FDataSet; }
  std::vector<TField*>::const_iterator begin() const { return FList.begin(); }
  std::vector<TField*>::const_iterator end() const { return FList.end(); }

 private:
  TDataSet* FDataSet;
  std::vector<TField*> FList;
};
