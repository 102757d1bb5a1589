// TDateTimePicker: a date or a time with a drop-down calendar (date kind,
// combo-box mode) or up-down arrows.
//
// Date and Time are the class library's date-times (dateutils.h): Date
// keeps the time part of the value, Time the date part. Setting either from
// code fires OnChange when the value changes, as picking does; OnCloseUp
// fires when the calendar closes. The shown format follows ShortDateFormat
// and LongTimeFormat of the format settings at the time the kind is set.
#pragma once

#include "platform/gui/core/controls.h"
#include "platform/rtl/dateutils.h"

class QDateTimeEdit;

enum TDateTimeKind { dtkDate, dtkTime };
enum TDTDateMode { dmComboBox, dmUpDown };

class TDateTimePicker : public TWinControl {
 public:
  explicit TDateTimePicker(TComponent* AOwner, TWinControl* AParent = nullptr);

  TDateTime DateTime() const { return value_; }
  void SetDateTime(TDateTime v);
  // The date part (the time part stays).
  TDateTime Date() const;
  void SetDate(TDateTime v);
  // The time part (the date part stays).
  TDateTime Time() const;
  void SetTime(TDateTime v);
  TDateTimeKind Kind() const { return kind_; }
  void SetKind(TDateTimeKind v);
  TDTDateMode DateMode() const { return dateMode_; }
  void SetDateMode(TDTDateMode v);
  // Whether the calendar is open; setting it opens or closes it.
  bool DroppedDown() const;
  void SetDroppedDown(bool v);

  TNotifyEvent OnChange;
  TNotifyEvent OnCloseUp;

 protected:
  TColor DefaultColor() const override { return clWindow; }

 private:
  void Push();
  void Edited();
  void ApplyKind();
  QDateTimeEdit* edit_;
  TDateTime value_ = 0;
  TDateTimeKind kind_ = dtkDate;
  TDTDateMode dateMode_ = dmComboBox;
  bool pushing_ = false;
};
