#include "platform/db/db_error.h"

#include "platform/rtl/classes.h"

void DatabaseError(const AnsiString& message, const TComponent* component) {
  if (component != nullptr && !component->Name().empty()) throw EDatabaseError(component->Name() + ": " + message);
  throw EDatabaseError(message);
}

void DatabaseErrorFmt(std::string_view message, std::initializer_list<TFormatArg> args, const TComponent* component) {
  DatabaseError(Format(message, args), component);
}
