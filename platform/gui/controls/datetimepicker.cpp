#include "platform/gui/controls/datetimepicker.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QSignalBlocker>
#include <cmath>

#include "platform/gui/base/qt_app.h"
#include "platform/gui/draw/qt_bridge.h"

namespace {

// 1899-12-30 is day 0 of a TDateTime.
const QDate kDayZero(1899, 12, 30);

QDateTime ToQDateTime(TDateTime v) {
  const double day = std::floor(v);
  const long long ms = std::llround((v - day) * MSecsPerDay);
  return QDateTime(kDayZero.addDays(static_cast<qint64>(day)), QTime(0, 0).addMSecs(static_cast<int>(ms)));
}

TDateTime FromQDateTime(const QDateTime& d) {
  return static_cast<double>(kDayZero.daysTo(d.date())) + d.time().msecsSinceStartOfDay() / MSecsPerDay;
}

// A class-library date or time format ("dd.mm.yyyy", "hh:nn:ss") as Qt's.
QString ToQtFormat(const AnsiString& format, bool time) {
  QString out;
  for (char c : format) {
    const char lower = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (c == '/') out += QChar(FormatSettings.DateSeparator);
    else if (c == ':') out += QChar(FormatSettings.TimeSeparator);
    else if (lower == 'm') out += time ? 'm' : 'M';
    else if (lower == 'n') out += 'm';
    else if (lower == 'd' || lower == 'y' || lower == 'h' || lower == 's') out += QChar(lower);
    else out += QChar(c);
  }
  return out;
}

}  // namespace

TDateTimePicker::TDateTimePicker(TComponent* AOwner, TWinControl* AParent) : TWinControl(AOwner) {
  edit_ = new QDateTimeEdit;
  QObject::connect(edit_, &QDateTimeEdit::dateTimeChanged, [this](const QDateTime&) { vx::Guard([&] { Edited(); }); });
  width_ = 186;
  height_ = 21;
  tabStop_ = true;
  value_ = ::Date();
  SetWidget(edit_);
  ApplyKind();
  if (AParent) SetParent(AParent);
}

void TDateTimePicker::ApplyKind() {
  const QSignalBlocker block(edit_);
  edit_->setDisplayFormat(kind_ == dtkDate ? ToQtFormat(FormatSettings.ShortDateFormat, false)
                                           : ToQtFormat(FormatSettings.LongTimeFormat, true));
  edit_->setCalendarPopup(kind_ == dtkDate && dateMode_ == dmComboBox);
  if (QCalendarWidget* calendar = edit_->calendarWidget()) {
    QObject::disconnect(calendar, &QCalendarWidget::activated, nullptr, nullptr);
    QObject::connect(calendar, &QCalendarWidget::activated, [this](const QDate&) {
      vx::Guard([&] {
        if (OnCloseUp) OnCloseUp(this);
      });
    });
  }
  Push();
}

void TDateTimePicker::Push() {
  pushing_ = true;
  edit_->setDateTime(ToQDateTime(value_));
  pushing_ = false;
}

void TDateTimePicker::Edited() {
  if (pushing_) return;
  const TDateTime v = FromQDateTime(edit_->dateTime());
  if (v == value_) return;
  value_ = v;
  if (OnChange) OnChange(this);
}

void TDateTimePicker::SetDateTime(TDateTime v) {
  if (v == value_) return;
  value_ = v;
  Push();
  if (OnChange) OnChange(this);
}

TDateTime TDateTimePicker::Date() const { return std::floor(value_); }
void TDateTimePicker::SetDate(TDateTime v) { SetDateTime(std::floor(v) + (value_ - std::floor(value_))); }
TDateTime TDateTimePicker::Time() const {
  return std::round((value_ - std::floor(value_)) * MSecsPerDay) / MSecsPerDay;  // to the millisecond
}
void TDateTimePicker::SetTime(TDateTime v) { SetDateTime(std::floor(value_) + (v - std::floor(v))); }

void TDateTimePicker::SetKind(TDateTimeKind v) {
  kind_ = v;
  ApplyKind();
}

void TDateTimePicker::SetDateMode(TDTDateMode v) {
  dateMode_ = v;
  ApplyKind();
}

bool TDateTimePicker::DroppedDown() const {
  const QCalendarWidget* calendar = edit_->calendarWidget();
  return edit_->calendarPopup() && calendar && calendar->isVisible();
}

void TDateTimePicker::SetDroppedDown(bool v) {
  if (!edit_->calendarPopup() || v == DroppedDown()) return;
  QWidget* popup = edit_->calendarWidget()->window();
  if (v) popup->show();
  else {
    popup->hide();
    if (OnCloseUp) OnCloseUp(this);
  }
}
