// From the program's file names to the names the Linux kernel is given.
//
// The program names files the way the original platform did: in code page
// 1251, with `\` or `/` between folders, and without regard to case. Linux
// names are bytes (UTF-8 by convention) and case-sensitive. ResolvePath
// bridges the two, and every file operation of platform/os goes through it:
//
//  - `\` and `/` both separate components; "." and ".." and empty components
//    (a doubled or trailing separator) are kept as they are.
//  - Each component is turned into its native spelling: the UTF-8 form of the
//    CP1251 text (bytes below 0x80 are unchanged, so ASCII names stay as
//    they are). When no entry of that spelling exists, the raw CP1251 bytes are
//    tried, then the folder is scanned for an entry whose name equals the
//    component without regard to case (CP1251 case rules, Cyrillic included;
//    an entry's name is read back with NativeToAnsi). The exact spelling wins
//    over other matches; among several case-insensitive matches, the first in
//    byte order wins, so the answer does not depend on directory order.
//  - From the first component that matches nothing on, the rest of the path
//    is kept as spelled (in UTF-8): a new file is created with the caller's
//    spelling, inside the existing folders found above.
//
// The resolution itself is the runtime's (vx::NativeFileName in
// platform/rtl/filebytes.h), so the runtime's own file helpers and this layer
// agree on every name. It is read-only and never fails; whether the result
// exists is reported in `missing`. Relative paths stay relative (to the
// current folder of the process).
#pragma once

#include <string>
#include <string_view>

namespace vx {

struct ResolvedPath {
  std::string native;  // the path to hand to the kernel
  // 0 = the name exists; 1 = only the last component is missing (its
  // folder exists); 2 = a folder on the way is missing or is not a folder.
  int missing = 0;
};

ResolvedPath ResolvePath(std::string_view ansiPath);

// The program's text for a native name (vx::AnsiFileName): UTF-8 that code
// page 1251 can hold becomes CP1251; anything else (invalid UTF-8, or
// characters outside the code page) is returned unchanged, so that the bytes
// still name the file when they come back through ResolvePath.
std::string NativeToAnsi(std::string_view native);

}  // namespace vx
