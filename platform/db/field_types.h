// The field classes and their native buffer formats.
//
// The record source reads and writes these formats in GetFieldData /
// SetFieldData; they are fixed (host byte order):
//
// | class            | DataSize | native value                                        |
// |------------------|----------|-----------------------------------------------------|
// | TStringField     | Size + 1 | bytes, zero-terminated (text as the source holds it) |
// | TSmallintField   | 2        | int16                                               |
// | TIntegerField    | 4        | int32                                               |
// | TFloatField      | 8        | double                                              |
// | TBooleanField    | 2        | int16, non-zero = true                              |
// | TDateField       | 4        | int32 days, 0001-01-01 = 1 (TDateTime + 693594)     |
// | TDateTimeField   | 8        | double milliseconds: days (as above) * 86400000 + ms |
// | TBlobField, TMemoField | 0  | none: contents through CreateBlobStream            |
//
// Blob contents: AsString reads a bmRead stream whole; setting AsString
// writes the text into a bmWrite stream (which must start empty or cut
// itself after what was written); Clear calls SetSize(0) on a bmWrite
// stream. IsNull still asks GetFieldData with a null buffer.
//
// A string field with Transliterate on (the default) passes its text through
// DataSet->Translate: OEM to ANSI when read, ANSI to OEM when written.
// Text conversions follow FormatSettings; bad text raises EDatabaseError
// ("'x' is not a valid integer value" ...) and leaves the field unchanged.
#pragma once

#include "platform/db/field.h"

class TStringField : public TField {
 public:
  explicit TStringField(TComponent* AOwner = nullptr);
  int DataSize() const override { return Size() + 1; }
  Variant Value() override;
  // Reads the text; false when null.
  bool GetValue(AnsiString& Value);

 protected:
  int DefaultDisplayWidth() const override { return Size(); }
  AnsiString GetAsString() override;
  void SetAsStringValue(const AnsiString& Value) override;
  int GetAsInteger() override;
  void SetAsIntegerValue(int Value) override;
  double GetAsFloat() override;
  void SetAsFloatValue(double Value) override;
  bool GetAsBoolean() override;
  void SetAsBooleanValue(bool Value) override;
  TDateTime GetAsDateTime() override;
  void SetAsDateTimeValue(TDateTime Value) override;
};

// Common base of the integer fields: optional range check (MinValue and
// MaxValue both 0 = no check).
class TIntegerField : public TField {
 public:
  explicit TIntegerField(TComponent* AOwner = nullptr);
  int DataSize() const override { return 4; }
  Variant Value() override;
  int MinValue() const { return FMinValue; }
  void SetMinValue(int Value) { FMinValue = Value; }
  int MaxValue() const { return FMaxValue; }
  void SetMaxValue(int Value) { FMaxValue = Value; }
  bool GetValue(int& Value);

 protected:
  AnsiString GetAsString() override;
  void SetAsStringValue(const AnsiString& Value) override;
  int GetAsInteger() override;
  void SetAsIntegerValue(int Value) override;
  double GetAsFloat() override;
  void SetAsFloatValue(double Value) override;
  bool GetAsBoolean() override { return GetAsInteger() != 0; }
  void SetAsBooleanValue(bool Value) override { SetAsIntegerValue(Value ? 1 : 0); }
  void CheckRange(long long Value, long long Min, long long Max);
  int FMinValue = 0;
  int FMaxValue = 0;
};

class TSmallintField : public TIntegerField {
 public:
  explicit TSmallintField(TComponent* AOwner = nullptr);
  int DataSize() const override { return 2; }
};

class TFloatField : public TField {
 public:
  explicit TFloatField(TComponent* AOwner = nullptr);
  int DataSize() const override { return 8; }
  Variant Value() override;
  int Precision() const { return FPrecision; }
  void SetPrecision(int Value) { FPrecision = Value < 2 ? 2 : Value > 15 ? 15 : Value; }
  double MinValue() const { return FMinValue; }
  void SetMinValue(double Value) { FMinValue = Value; }
  double MaxValue() const { return FMaxValue; }
  void SetMaxValue(double Value) { FMaxValue = Value; }
  bool GetValue(double& Value);

 protected:
  AnsiString GetAsString() override;
  void SetAsStringValue(const AnsiString& Value) override;
  int GetAsInteger() override;
  void SetAsIntegerValue(int Value) override { SetAsFloatValue(Value); }
  double GetAsFloat() override;
  void SetAsFloatValue(double Value) override;

 private:
  int FPrecision = 15;
  double FMinValue = 0;
  double FMaxValue = 0;
};

class TBooleanField : public TField {
 public:
  explicit TBooleanField(TComponent* AOwner = nullptr);
  int DataSize() const override { return 2; }
  Variant Value() override;
  // "True;False": the texts for true and false.
  const AnsiString& DisplayValues() const { return FDisplayValues; }
  void SetDisplayValues(const AnsiString& Value);
  bool GetValue(bool& Value);

 protected:
  AnsiString GetAsString() override;
  void SetAsStringValue(const AnsiString& Value) override;
  bool GetAsBoolean() override;
  void SetAsBooleanValue(bool Value) override;
  int GetAsInteger() override { return GetAsBoolean() ? 1 : 0; }
  void SetAsIntegerValue(int Value) override { SetAsBooleanValue(Value != 0); }

 private:
  AnsiString FDisplayValues;
  AnsiString FTrueText = "True";
  AnsiString FFalseText = "False";
};

// Date and date-time fields share the TDateTime conversions; the native
// format differs (see the table above).
class TDateTimeField : public TField {
 public:
  explicit TDateTimeField(TComponent* AOwner = nullptr);
  int DataSize() const override { return 8; }
  Variant Value() override;
  // Format for display; empty = the short date (and time) format.
  const AnsiString& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const AnsiString& Value) { FDisplayFormat = Value; }
  bool GetValue(TDateTime& Value);

 protected:
  AnsiString GetAsString() override;
  void SetAsStringValue(const AnsiString& Value) override;
  TDateTime GetAsDateTime() override;
  void SetAsDateTimeValue(TDateTime Value) override;
  double GetAsFloat() override { return GetAsDateTime(); }
  void SetAsFloatValue(double Value) override { SetAsDateTimeValue(Value); }
  void GetText(AnsiString& Text, bool DisplayText) override;

 private:
  AnsiString FDisplayFormat;
};

class TDateField : public TDateTimeField {
 public:
  explicit TDateField(TComponent* AOwner = nullptr);
  int DataSize() const override { return 4; }
};

class TBlobField : public TField {
 public:
  explicit TBlobField(TComponent* AOwner = nullptr);
  int DataSize() const override { return 0; }
  Variant Value() override;
  void Clear() override;
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream);

 protected:
  AnsiString GetAsString() override;
  void SetAsStringValue(const AnsiString& Value) override;
  void GetText(AnsiString& Text, bool DisplayText) override;
};

class TMemoField : public TBlobField {
 public:
  explicit TMemoField(TComponent* AOwner = nullptr);

 protected:
  void GetText(AnsiString& Text, bool DisplayText) override;
};

// Field class for a data type; nullptr for types without one.
TField* CreateFieldOfType(TFieldType DataType, TComponent* Owner);
const char* FieldTypeName(TFieldType DataType);

namespace vx::dbformat {
// Days between 0001-01-01 (native day 1) and the TDateTime epoch.
inline constexpr int DateDelta = 693594;
inline constexpr double MSecsPerDay = 86400000.0;
}  // namespace vx::dbformat
