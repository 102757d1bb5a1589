// The desktop around the program: opening an address with the user's own
// program (ShellExecute) and the warning sound (MessageBeep).
//
// Only web and mail addresses open: http, https, ftp and mailto. Anything
// else (a local file, a program, an unknown scheme) is refused, so a text
// taken from a file can never start a program. The opening itself goes
// through a replaceable opener, so tests see what would have opened.
#pragma once

#include <functional>

#include "platform/rtl/cp1251.h"

class TWinControl;

// True when address starts with http://, https://, ftp:// or mailto:
// (without regard to case).
bool IsOpenableAddress(const AnsiString& address);

// The class library's shell call for the verb "open" (or an empty verb):
// returns a value above 32 when the address was handed on, else
// SE_ERR_ACCESSDENIED (5) for a refused address and SE_ERR_NOASSOC (31)
// when nothing could open it.
constexpr int SE_ERR_ACCESSDENIED = 5, SE_ERR_NOASSOC = 31, SW_SHOWNORMAL = 1;
int ShellExecute(TWinControl* window, const AnsiString& verb, const AnsiString& file, const AnsiString& parameters,
                 const AnsiString& directory, int showCommand);

// The warning sound. Each call is counted (vx::BeepCount) so tests can tell
// that a refused key beeped.
bool MessageBeep(unsigned type);

namespace vx {
using AddressOpener = std::function<bool(const AnsiString& address)>;
// Installs an opener (nullptr: the desktop's); returns the previous.
AddressOpener SetAddressOpener(AddressOpener opener);
int BeepCount();
}  // namespace vx
