// The program's own command line: the switches "/d=", "/c" and "/w=", an
// ignored first argument and the retrieval file to rerun.
//
// The statistics package that starts vodbc hands it one command-line string,
// and its scripts depend on exactly how that string is taken apart, odd
// corners included (a quoted second argument is only recognised when its
// quote directly follows the first argument's terminator; an unknown switch
// stays in the line and may be taken for an argument). So the parser is a
// pure function over that one string, and on Linux the string is rebuilt from
// argv by rebuildCommandLine().
//
// Because every absolute path on Linux starts with "/", a switch is only
// recognised as a whole word: "/c" as a token of its own, "/d=" and "/w=" at
// the start of a token (the start of the line or behind a blank).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vodbc {

// Longest directory or retrieval-file path taken from the command line, in
// characters; longer values are cut.
inline constexpr std::size_t kCommandLinePathChars = 256;

// Size of the task window when "/w=" does not give it.
inline constexpr int kDefaultTaskWidth = 250;
inline constexpr int kDefaultTaskHeight = 100;

struct CommandLine {
  // "/d=": the start directory, cut to 256 characters. Empty when the
  // switch is absent or its value is empty; an empty value changes nothing.
  std::string startDirectory;
  // "/c": end the program after the start-up run has written its worksheet.
  bool closeAfterRun = false;
  // "/w=": the task window's placement. Absent values are empty; width and
  // height then take 250 and 100, top and left the default placement.
  bool hasWindowSwitch = false;
  std::optional<int> top, left, width, height;
  // The retrieval file to rerun at start-up; empty when none was named.
  std::string startRetrievalFile;
  // What is left of the line once the switches are cut out.
  std::string tail;
};

// Takes one command line apart. Never fails: what it does not recognise
// stays in the tail.
CommandLine parseCommandLine(std::string_view line);

// The command line of a Linux start: "vodbc", then every argument of argv
// (from argv[1]), each one that is empty or holds a blank put in double
// quotes, joined by single blanks. So that what a shell passes reads as the
// user meant it, also where paths hold blanks:
// - an argument starting with "/d=" that holds a blank becomes /d="VALUE"
//   (quotes the user typed around VALUE dropped);
// - the switches ("/c", "/d=...", "/w=...") come after the positional
//   arguments, in their order: cut out of the line they leave blanks, behind
//   which a quoted argument would no longer be read as quoted;
// - a quoted argument directly follows a quoted one before it, with no
//   blank between (vodbc "x y" "/my files/q.idb" names that file).
std::string rebuildCommandLine(int argc, const char* const* argv);

// A rectangle in screen coordinates.
struct TaskWindowPlacement {
  int top = 0, left = 0, width = kDefaultTaskWidth, height = kDefaultTaskHeight;
};

// Where the task window goes on a screen of the given size: the "/w=" values
// where given; otherwise one fifth of the free screen space, computed for the
// default size (a negative free space gives a negative position, as the
// signed division does).
TaskWindowPlacement placeTaskWindow(const CommandLine& cl, int screenWidth, int screenHeight);

}  // namespace vodbc
