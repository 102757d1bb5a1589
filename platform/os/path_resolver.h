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
//    CP1251 text (bytes below 0x80 are unchanged, so ASCII names stay as they
//    are). When no entry of that spelling exists, the raw CP1251 bytes are
//    tried, then the folder is scanned for an entry whose name equals the
//    component without regard to case (CP1251 case rules, Cyrillic included;
//    an entry's name is read back with NativeToAnsi). The exact spelling wins
//    over other matches; among several case-insensitive matches, the first in
//    byte order wins, so the answer does not depend on directory order.
//  - From the first component that matches nothing on, the rest of the path
//    is kept as spelled (in UTF-8): a new file is created with the caller's
//    spelling, inside the existing folders found above.
//
// Resolution is read-only and never fails; whether the result exists is
// reported in `missing`. Relative paths stay relative (to the current
// folder of the process).
#pragma once

#include <string>
#include <string_view>

namespace vx {

struct ResolvedPath {
    std::string native;  // the path to hand to the kernel
    // Number of trailing components that do not exist: 0 = the whole path
    // exists; 1 = only the last component is missing (its folder exists);
    // more = a folder on the way is missing (or is not a folder).
    int missing = 0;
};

ResolvedPath ResolvePath(std::string_view ansiPath);

// The program's text for a native name: UTF-8 that code page 1251 can hold
// becomes CP1251; anything else (invalid UTF-8, or characters outside the
// code page) is returned unchanged, so that the bytes still name the file
// when they come back through ResolvePath.
std::string NativeToAnsi(std::string_view native);

// The UTF-8 form of a CP1251 text (every byte has a code point, so this
// never fails).
std::string AnsiToUtf8(std::string_view ansi);

// CP1251 case-insensitive equality, used for names (ASCII and Cyrillic
// letters fold to upper case).
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace vx
