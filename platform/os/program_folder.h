// The program's folder and the folder that stands in for the Windows folder.
//
// ProgramFolder() is the folder of the running executable (read from
// /proc/self/exe), in the program's code page (NativeToAnsi), always ending
// with "/". Settings, draw bases and language files live there. A test may
// point it elsewhere with SetProgramFolder; an empty text restores the
// executable's folder. A folder set without a final separator gets "/".
//
// WindowsDirectory() is where the table engine looks for its alias file
// "xbase.cfg". Linux has no Windows folder; it is the program's folder
// unless set, and it is returned without a final separator (as the original
// platform returned it). SetWindowsDirectory("") goes back to the default.
//
// Both are process-wide and meant to be set once, at start-up or in a test's
// set-up; they are not synchronised against concurrent setting.
#pragma once

#include <string>
#include <string_view>

namespace vx {

std::string ProgramFolder();
void SetProgramFolder(std::string_view folder);

std::string WindowsDirectory();
void SetWindowsDirectory(std::string_view folder);

}  // namespace vx
