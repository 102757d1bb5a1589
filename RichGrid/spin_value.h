// The value of a spin editor, without any widget: its text, its kind
// (integer, float, date, time, hexadecimal), bounds, steps and the rules for
// typed characters. The spin edit controls keep their text here and only
// wire keys and buttons to it.
//
// Getters read the text (a text that does not convert gives the fall-back
// of its kind: MinValue for integers and, as the editors always did, for
// floats too; MinDateValue for dates; 0 for times). Setters clamp to the
// bounds (equal bounds mean none) and write the text.
//
// Two families share this model: the stand-alone editors (all bounds 0, a
// hexadecimal kind) and the grid's editors (bounds 0..100, the thousand
// separator typed in a float becomes the decimal separator).
#pragma once

#include "platform/rtl/dateutils.h"

enum TRichSpinType { sptNormal, sptFloat, sptDate, sptTime, sptHex };
using TRsgSpinType = TRichSpinType;  // the grid's family has no sptHex

enum class TSpinFamily { Rich, Rsg };

class TSpinValueModel {
 public:
  explicit TSpinValueModel(TSpinFamily family);

  TSpinFamily Family() const { return family_; }
  const AnsiString& Text() const { return text_; }
  void SetText(const AnsiString& v) { text_ = v; }

  TRichSpinType SpinType() const { return type_; }
  // Re-writes the current value in the new kind's form.
  void SetSpinType(TRichSpinType v);
  int Precision() const { return precision_; }
  void SetPrecision(int v);

  int Value() const;
  void SetValue(int v);
  double FloatValue() const;
  void SetFloatValue(double v);
  TDateTime DateValue() const;
  void SetDateValue(TDateTime v);
  TDateTime TimeValue() const;
  void SetTimeValue(TDateTime v);
  int HexValue() const;
  void SetHexValue(int v);

  int MinValue = 0, MaxValue = 0;
  double MinFloatValue = 0, MaxFloatValue = 0;
  TDateTime MinDateValue = 0, MaxDateValue = 0;
  int Increment = 1;
  double IncrementFloat = 0;
  bool EditorEnabled = true;

  // One step up (+1) or down (-1). Dates and times step the field the caret
  // (0-based) stands in: day, month or year (in the order of the short date
  // format; a month or year step keeps the day within the target month),
  // hour, minute or second (wrapping at midnight).
  void Step(int direction, int caret);
  // On leaving the editor: the value clamped again, the text re-written
  // when the clamping changed it.
  void Reclamp();

  // Whether a typed character may go in at the caret with the given
  // selection; `key` may be changed (the grid family turns a thousand
  // separator in a float into the decimal separator). Control characters
  // (below 32) are Backspace, Escape and the like.
  bool IsValidChar(char& key, int selStart, int selLength) const;

 private:
  void StepDate(int direction, int caret);
  void StepTime(int direction, int caret);

  TSpinFamily family_;
  TRichSpinType type_ = sptNormal;
  int precision_ = 0;
  AnsiString text_ = "0";
  TDateTime dateValue_ = 0;  // kept apart from the text for dates and times
};
