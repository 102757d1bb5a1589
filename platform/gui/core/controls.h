// TControl and TWinControl: the base of every visual control.
//
// A control keeps its own state (bounds, caption, font, colour, visibility,
// enabled state, hint, cursor) and pushes it to the Qt widget it owns; Qt's
// input events come back as the control's events (OnClick, OnMouseDown ...).
// Controls work without ever being shown: every property reads back what was
// set, and nothing waits for a window system.
//
// Ownership: the owner (TComponent) destroys the control; a parent destroys
// its child controls first, as the class library did. The Qt widget belongs
// to the control and is deleted with it.
//
// Events raised from Qt run through vx::Guard (qt_app.h): an exception escaping a
// handler goes to Application->HandleException and the program goes on.
//
// String properties by name (Caption, Hint, Text, Items) serve the
// translation file: SetStringProperty / GetStringProperty.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/gui/draw/canvas.h"
#include "platform/gui/base/component_props.h"
#include "platform/gui/draw/graphics.h"
#include "platform/gui/base/gui_types.h"

class QWidget;
class TForm;
class TWinControl;
class TPopupMenu;
class TAction;

namespace vx {
class ControlEventFilter;
}  // namespace vx

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TControl : public TComponent, public vx::StringProperties {
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  // The form the control sits on (a form answers itself), or nullptr.
  virtual TForm* ParentForm() const;
  // True for a button that Enter (VK_RETURN) or Esc (VK_ESCAPE) presses on
  // its form (its Default or Cancel).
  virtual bool IsDialogButtonFor(Word key) const { return false; }

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  virtual int ClientWidth() const { return width_; }
  virtual int ClientHeight() const { return height_; }
  void SetClientWidth(int v);
  void SetClientHeight(int v);
  TRect ClientRect() const { return Rect(0, 0, ClientWidth(), ClientHeight()); }
  // Between the client area's coordinates and the screen's.
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;

  TAlign Align() const { return align_; }
  void SetAlign(TAlign v);

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // True when the control and all its parents are visible.
  bool Showing() const;

  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool v);

  const AnsiString& Caption() const { return caption_; }
  void SetCaption(const AnsiString& v);
  const AnsiString& Hint() const { return hint_; }
  void SetHint(const AnsiString& v);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v);

  TFont* Font() { return font_.get(); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor v);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);

  // While captured, the mouse goes to this control alone (SetCapture).
  bool MouseCapture() const;
  void SetMouseCapture(bool v);

  void Invalidate();
  void Repaint();  // paints at once, also inside a long loop
  void Refresh() { Repaint(); }
  void Update();
  void BringToFront();
  void SendToBack();

  // Runs OnClick, or the linked action (also callable from code, as the
  // class library's Click).
  virtual void Click();

  TAction* Action() const { return action_; }
  void SetAction(TAction* action);
  // Copies the linked action's caption, hint, enabled and visible state.
  virtual void ActionChanged();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;

  bool SetStringProperty(const AnsiString& name, const AnsiString& value) override;
  std::optional<AnsiString> GetStringProperty(const AnsiString& name) const override;

  // The Qt widget (platform/gui internal use).
  QWidget* Widget() const { return widget_; }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Installs the widget this control drives; called once by each subclass
  // constructor. The control takes ownership.
  void SetWidget(QWidget* widget);
  // Mouse events of an inner widget (a form's client area) count as the
  // control's own.
  void ForwardMouseFrom(QWidget* inner);
  virtual void CaptionChanged() {}
  virtual void FontChanged();
  virtual void ColorChanged();
  virtual void Resized();
  virtual void HintChanged();
  // Colour of the control when none was set (clBtnFace for most).
  virtual TColor DefaultColor() const { return clBtnFace; }
  // True for controls whose widget fills its own background.
  virtual bool PaintsBackground() const { return false; }

  // Input dispatch from the widget; each runs the matching event.
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void DblClick();
  // Controls whose widget reports clicks itself (buttons, check boxes)
  // return false, so a mouse release does not click twice.
  virtual bool ClicksOnMouseUp() const { return true; }
  // The mouse left the control.
  virtual void MouseLeave() {}
  // The mouse rested over the control with ShowHint on. A control that
  // shows a hint of its own for that point (client and screen coordinates)
  // returns true; false shows the control's Hint as usual.
  virtual bool ShowOwnHint(TPoint clientPos, TPoint screenPos) { return false; }

  // The widget that gets the control's mouse (a scroll area's viewport).
  QWidget* MouseWidget() const;
  // Called when the parent's font changes and ParentFont is set.
  void ParentFontChanged(const TFont& parentFont);
  void ApplyBoundsToWidget();

  friend class TWinControl;
  friend class vx::ControlEventFilter;

  QWidget* widget_ = nullptr;
  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  bool visible_ = true;
  bool enabled_ = true;
  bool showHint_ = false;
  bool parentFont_ = true;
  bool applyingFont_ = false;
  bool pressed_ = false;
  AnsiString caption_;
  AnsiString hint_;
  std::unique_ptr<TFont> font_;
  TColor color_ = clDefault;
  TCursor cursor_ = crDefault;
  TPopupMenu* popupMenu_ = nullptr;
  TAction* action_ = nullptr;
  std::unique_ptr<vx::ControlEventFilter> filter_;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const;

  virtual void SetFocus();
  bool Focused() const;
  bool CanFocus() const;
  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int v) { tabOrder_ = v; }
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v);

  // Lays out the aligned children inside the client area (top, bottom,
  // left, right, then client), as the class library did.
  void AlignControls();
  void DisableAlign() { ++alignLock_; }
  void EnableAlign();

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  // True when the control takes the key itself (a button its Enter and Esc,
  // a memo its line breaks): the form then does not treat it as a dialog
  // key.
  virtual bool WantsKey(Word key) const { return false; }
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // The widget children are placed in (the form's client area).
  virtual QWidget* ClientWidget() const { return widget_; }
  // Origin of the client area inside the control (below a menu bar ...).
  virtual TPoint ClientOrigin() const { return TPoint{}; }

 protected:
  void FontChanged() override;
  void Resized() override;
  // Key dispatch: returns true when a handler consumed the key.
  virtual bool KeyDown(Word& key, TShiftState shift);
  virtual bool KeyUp(Word& key, TShiftState shift);
  virtual bool KeyPress(char& key);

  friend class TControl;
  friend class vx::ControlEventFilter;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);

  std::vector<TControl*> controls_;
  int tabOrder_ = 0;
  bool tabStop_ = false;
  int alignLock_ = 0;
  bool aligning_ = false;
};

// A control that paints itself on its Canvas in Paint (or OnPaint).
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  // Valid during painting; outside it drawing is ignored and text is
  // measured with the fixed metrics.
  TCanvas* Canvas() { return canvas_.get(); }
  TNotifyEvent OnPaint;

  // Runs Paint on a canvas drawn by the given device (tests, printing).
  void PaintTo(vx::CanvasDevice* device);

 protected:
  // A control that paints on a widget of its own making (a scroll area);
  // that widget calls PaintTo itself.
  TCustomControl(TComponent* AOwner, QWidget* widget);
  virtual void Paint();
  std::unique_ptr<TCanvas> canvas_;
  friend class vx::ControlEventFilter;
};

// A control without focus that paints itself (TPaintBox, TBevel, TImage ...).
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() { return canvas_.get(); }
  void PaintTo(vx::CanvasDevice* device);

 protected:
  virtual void Paint() {}
  std::unique_ptr<TCanvas> canvas_;
  friend class vx::ControlEventFilter;
};
