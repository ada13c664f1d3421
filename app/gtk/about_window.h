// The modal About window: logo, version, maker and credit lines, the compiler the
// program was built with, and a close button. Not for: the user guide (app/help.h).
#pragma once

#include <string>

namespace kovrex {

// Shows the About window over window `parentWindow` (0 main, 1 strength, 2 hub) and
// returns when it is closed. The logo is the PNG file in [imageStart, imageEnd); no
// bytes or bytes that do not decode leave the window without image. `dutch` != 0
// chooses the Dutch captions, 0 the English ones; both sets are built in, so the
// window does not depend on the linked text set. While it is open the parent is
// insensitive and every other event of the program is taken and dropped, the
// animation timer's ticks included.
void ShowAboutWindow(int parentWindow, const std::string& versionText, const unsigned char* imageStart,
                     const unsigned char* imageEnd, int dutch);

// Puts ShowAboutWindow(main window, the version text, the embedded logo, the linked
// language) into Svc().showAboutWindow. Call after the other services are installed.
void InstallAboutWindowService();

}  // namespace kovrex
