#include "platform/gui/controls/spin.h"

#include <QAbstractSpinBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <climits>

#include "platform/gui/base/qt_app.h"
#include "platform/gui/draw/qt_bridge.h"
#include "platform/rtl/sysutils.h"

namespace vx {

// A spin box whose text is free (digits and signs), so that the control,
// not Qt, decides what the text means.
class SpinWidget : public QAbstractSpinBox {
 public:
  explicit SpinWidget(TSpinEdit* owner) : owner_(owner) {
    QObject::connect(lineEdit(), &QLineEdit::textEdited,
                     [this](const QString& t) { Guard([&] { owner_->TextTyped(FromQString(t)); }); });
  }
  void stepBy(int steps) override {
    Guard([&] { owner_->Step(steps); });
  }
  QValidator::State validate(QString& input, int&) const override {
    for (QChar c : input)
      if (!c.isDigit() && c != QLatin1Char('-') && c != QLatin1Char('+')) return QValidator::Invalid;
    return QValidator::Acceptable;
  }
  void fixup(QString&) const override {}
  void focusOutEvent(QFocusEvent* event) override {
    QAbstractSpinBox::focusOutEvent(event);
    Guard([&] { owner_->ShowValue(); });
  }
  void SetShownText(const QString& t) {
    const QSignalBlocker block(lineEdit());
    lineEdit()->setText(t);
  }

 protected:
  StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

 private:
  TSpinEdit* owner_;
};

}  // namespace vx

TSpinEdit::TSpinEdit(TComponent* AOwner, TWinControl* AParent) : TWinControl(AOwner) {
  spin_ = new vx::SpinWidget(this);
  spin_->SetShownText(vx::ToQString(text_));
  width_ = 121;
  height_ = 22;
  tabStop_ = true;
  SetWidget(spin_);
  if (AParent) SetParent(AParent);
}

int TSpinEdit::CheckValue(int v) const {
  if (maxValue_ == minValue_) return v;
  if (v < minValue_) return minValue_;
  if (v > maxValue_) return maxValue_;
  return v;
}

namespace {

// A sign and digits stand for a whole number however long they are: one
// beyond the int range reads as its nearer end.
bool SaturatedInteger(const AnsiString& text, int& value) {
  const AnsiString t = Trim(text);
  const bool negative = !t.empty() && t[0] == '-';
  const std::size_t first = !t.empty() && (t[0] == '-' || t[0] == '+') ? 1 : 0;
  if (first >= t.size()) return false;
  for (std::size_t i = first; i < t.size(); ++i)
    if (t[i] < '0' || t[i] > '9') return false;
  value = negative ? INT_MIN : INT_MAX;
  return true;
}

}  // namespace

int TSpinEdit::Value() const {
  int v;
  if (!TryStrToInt(text_, v) && !SaturatedInteger(text_, v)) v = minValue_;
  return CheckValue(v);
}

void TSpinEdit::ShowValue() {
  const AnsiString shown = IntToStr(Value());
  if (shown != text_) SetText(shown);
}

void TSpinEdit::SetValue(int v) { SetText(IntToStr(CheckValue(v))); }

void TSpinEdit::SetText(const AnsiString& v) {
  if (v == text_) return;
  text_ = v;
  spin_->SetShownText(vx::ToQString(text_));
  if (OnChange) OnChange(this);
}

void TSpinEdit::TextTyped(const AnsiString& text) {
  if (text == text_) return;
  text_ = text;
  if (OnChange) OnChange(this);
}

void TSpinEdit::Step(int steps) {
  if (!enabled_) return;
  const long long next = static_cast<long long>(Value()) + static_cast<long long>(steps) * increment_;
  const int bounded = static_cast<int>(std::clamp<long long>(next, INT_MIN, INT_MAX));
  SetValue(bounded);
}

void TSpinEdit::SetEditorEnabled(bool v) {
  editorEnabled_ = v;
  spin_->setReadOnly(!v);
}

bool TSpinEdit::SetStringProperty(const AnsiString& name, const AnsiString& value) {
  if (vx::SamePropertyName(name, "Text")) {
    SetText(value);
    return true;
  }
  return TWinControl::SetStringProperty(name, value);
}

std::optional<AnsiString> TSpinEdit::GetStringProperty(const AnsiString& name) const {
  if (vx::SamePropertyName(name, "Text")) return text_;
  return TWinControl::GetStringProperty(name);
}
