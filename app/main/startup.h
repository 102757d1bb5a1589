// The program entry: the application object, its title and the windows
// created at start-up, in this order (the first is the main window):
// FormMain, frmProbability, frmType5, frmOptions, frmNewBase, frmVisual,
// frmSetNumbers, frmNewTickBase, frmRowNum, frmShowBase, frmNewResBase,
// frmLang. The main window's OnCreate therefore runs before any other
// window exists; frmLang, created last, applies the language file to all.
#pragma once

namespace vx {

// Initialises the application (title "Vexamund", Qt's Russian texts for
// its standard dialogs, the overwrite question of new tables) and creates
// the start-up windows.
void CreateStartupForms();
// The whole program: start-up windows, then the message loop until the
// main window closes. Returns the exit code.
int RunVexamund();
// Destroys the application's windows, newest first (what the end of the
// message loop does; tests call it after closing the main window).
void DestroyApplicationForms();

}  // namespace vx
