// The task window: the program's only top-level window, its start-up and
// its menu commands.
#pragma once

#include <string>

#include "toolkit/toolkit.h"

namespace vodbc {

// Menu and key tags of the task window.
enum MenuTag : int {
  kMenuDatabase = 1001,
  kMenuExitBar = 1002,
  kMenuRerunSaved = 1003,
  kMenuAbout = 1004,
  kMenuExit = 1006,
  kMenuContents = 1008,
  kMenuFind = 1009,
};

inline constexpr const char* kTaskTitle = "Velora ODBC Query";
inline constexpr int kAboutDialog = 107;
inline constexpr const char* kCantOpenDialogMessage = "Can't open dialog";
inline constexpr const char* kAuthorLine = "vodbc developers";
inline constexpr const char* kMakerLine = "Made for Velora users on Linux";

// The task window's events: Create starts the program (help hook, command
// line, placement, worksheet defaults, then the start-up rerun or
// "Database..."); the others are the menu, the close box and the desktop's
// quit request.
void taskEventHandler(toolkit::Window window, const toolkit::Event& event);

// Carries out a menu command; tags outside 1001..1009 are ignored.
void menuCommandHandler(toolkit::Window window, int tag);

// The About box's events.
void aboutBoxHandler(toolkit::Window window, const toolkit::Event& event);

// The program's icon (resources/icons/vodbc.svg) as SVG text.
std::string programIcon();

}  // namespace vodbc
