// The desktop around the program: opening an address with the user's own
// program (ShellExecute), opening one of the program's own documents
// (ShellOpenDocument) and the warning sound (MessageBeep).
//
// ShellExecute opens only web and mail addresses: http, https, ftp and
// mailto. Anything else (a local file, a program, an unknown scheme) is
// refused, so a text taken from a file can never start a program. Local
// files open only through ShellOpenDocument, which the program calls with
// names of its own. The opening itself goes through a replaceable opener,
// so tests see what would have opened.
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
constexpr int SE_ERR_FNF = 2, SE_ERR_ACCESSDENIED = 5, SE_ERR_NOASSOC = 31, SW_SHOWNORMAL = 1;
int ShellExecute(TWinControl* window, const AnsiString& verb, const AnsiString& file, const AnsiString& parameters,
                 const AnsiString& directory, int showCommand);

// Opens a document file of the program (a help text) with the desktop's
// program for its type, as the shell's "open" verb does; a relative name
// is taken from the current folder. As the shell does, it tells the user
// itself (a message) when the file does not exist or nothing could open
// it, and returns SE_ERR_FNF or SE_ERR_NOASSOC; above 32 when the file was
// handed on. The opener sees the file's full name.
int ShellOpenDocument(TWinControl* window, const AnsiString& file);

// The warning sound. Each call is counted (vx::BeepCount) so tests can tell
// that a refused key beeped.
bool MessageBeep(unsigned type);

namespace vx {
// Gets a web or mail address, or the full name of a local document.
using AddressOpener = std::function<bool(const AnsiString& address)>;
// Installs an opener (nullptr: the desktop's); returns the previous.
AddressOpener SetAddressOpener(AddressOpener opener);
int BeepCount();
}  // namespace vx
