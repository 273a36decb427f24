// Times start-up from outside: with --quit-when-shown on the command line the program
// prints "shown" and its CPU time so far in milliseconds on stdout, and quits, as soon as
// its first window has been painted and put on the screen. The start-up benchmark starts
// the program this way.
#pragma once

class QApplication;

namespace morvane {

inline constexpr char kQuitWhenShownOption[] = "--quit-when-shown";
inline constexpr char kShownLine[] = "shown";

// Watches for the first exposed window when the option is among the arguments; returns
// whether it does.
bool InstallQuitWhenShown(QApplication& app);

}  // namespace morvane
