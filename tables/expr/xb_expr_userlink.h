// The user link of the expression language: the registries through which
// names in an expression text find field variables and extra functions.
//
// A TxbExpUserLink owns every function and field variable registered in it.
// Expression handlers keep a plain pointer to their link: the link must
// outlive every handler parsed against it. A table's link (TxbDBFExpUserLink)
// registers the table's fields and functions; other callers may register
// their own.
//
// Lookups: functions without regard to case; field variables by exact name
// (the scanner upper-cases names), and, when absent and the name holds a
// ".", by the part after the first "." ("ALIAS.FIELD").
#pragma once

#include <memory>
#include <vector>

#include "tables/expr/xb_expr_value.h"

class TxbExpFunction;

// A function an expression may call by name.
class TxbUserDefFunction {
 public:
  explicit TxbUserDefFunction(AnsiString name) : FName(std::move(name)) {}
  virtual ~TxbUserDefFunction() = default;
  TxbUserDefFunction(const TxbUserDefFunction&) = delete;
  TxbUserDefFunction& operator=(const TxbUserDefFunction&) = delete;

  virtual AnsiString Name() const { return FName; }
  // Computes the call's value into out (out.Type the value type). The node
  // gives access to the call's arguments. False: the call failed; the
  // value's type is then 0.
  virtual bool Evaluate(TxbExpFunction& node, vx::ExprValue& out) = 0;

 protected:
  AnsiString FName;
};

// A named value an expression may read (a field of the current record).
class TxbUserDefFieldVar {
 public:
  explicit TxbUserDefFieldVar(AnsiString name) : FName(std::move(name)) {}
  virtual ~TxbUserDefFieldVar() = default;
  TxbUserDefFieldVar(const TxbUserDefFieldVar&) = delete;
  TxbUserDefFieldVar& operator=(const TxbUserDefFieldVar&) = delete;

  virtual AnsiString Name() const { return FName; }
  virtual int Length() const { return 0; }
  virtual int Decimals() const { return 0; }
  // Reads the value into out; false when it cannot be read.
  virtual bool Value(vx::ExprValue& out) = 0;

 protected:
  AnsiString FName;
};

// Owning registry of functions.
class TxbFunctionReg {
 public:
  void Add(std::unique_ptr<TxbUserDefFunction> function);
  // Without regard to case; nullptr when absent.
  TxbUserDefFunction* Find(const AnsiString& name) const;
  int Count() const { return static_cast<int>(items_.size()); }
  TxbUserDefFunction* At(int i) const { return items_[static_cast<std::size_t>(i)].get(); }

 private:
  std::vector<std::unique_ptr<TxbUserDefFunction>> items_;
};

// Owning registry of field variables.
class TxbFieldVarReg {
 public:
  void Add(std::unique_ptr<TxbUserDefFieldVar> variable);
  // Exact name; nullptr when absent.
  TxbUserDefFieldVar* Find(const AnsiString& name) const;
  int Count() const { return static_cast<int>(items_.size()); }
  TxbUserDefFieldVar* At(int i) const { return items_[static_cast<std::size_t>(i)].get(); }

 private:
  std::vector<std::unique_ptr<TxbUserDefFieldVar>> items_;
};

class TxbExpUserLink {
 public:
  TxbExpUserLink() = default;
  virtual ~TxbExpUserLink() = default;
  TxbExpUserLink(const TxbExpUserLink&) = delete;
  TxbExpUserLink& operator=(const TxbExpUserLink&) = delete;

  // Slot 0: a registered function by name.
  virtual TxbUserDefFunction* FindFunction(const AnsiString& name) const;
  // Slot 1: a field variable by name (see the lookup rules above).
  virtual TxbUserDefFieldVar* FindFieldVar(const AnsiString& name) const;
  // Slot 2: called for a name no registry knows. The base raises
  // "There is no function for %s"; a descendant may supply a function
  // (it stays owned by the link).
  virtual TxbUserDefFunction* UnknownFunction(const AnsiString& name);

  void RegisterFunction(std::unique_ptr<TxbUserDefFunction> function);
  void RegisterFieldVar(std::unique_ptr<TxbUserDefFieldVar> variable);

  // Reads a field variable's value; false when there is none.
  bool GetFieldValue(const AnsiString& name, vx::ExprValue& out) const;

  // Width STR uses when the call gives none.
  int DefaultWidth = 10;

  TxbFunctionReg Functions;
  TxbFieldVarReg FieldVars;
};
