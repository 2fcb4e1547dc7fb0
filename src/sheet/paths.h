// Path and file-name utilities. The separator is '/'; a '/' at position 0
// is the root folder. File names are case-sensitive.
#pragma once

#include <string>
#include <string_view>

namespace vodbc {

struct Sheet;

// The folder that bare names belong to: the current directory as start-up
// left it. Set by the program after it has changed directory at start-up;
// until then (or after it is set to the empty text) the process's current
// directory at the time of the call.
void setDefaultDirectory(std::string_view directory);
std::string defaultDirectory();

// Splits a path into its folder and its name. A path without '/' is a bare
// name (its first 255 characters) in the default directory. Otherwise the
// first 256 characters are split at the last '/': the folder is the text
// before it ("/" when it is the first character), the name the text after
// it (empty when there is none). Returns false (name empty) for an empty
// path.
bool splitPath(std::string_view path, std::string& directory, std::string& name);

// Joins a folder and a name with '/' (none added when the folder already
// ends with one). False, with `path` empty, when the folder is empty or
// longer than 256 characters. The result is not cut.
bool joinPath(std::string_view directory, std::string_view name, std::string& path);

// True when a file (not a directory) of that name exists in its folder.
bool fileExists(std::string_view path);

// Records a file's name and folder in the Sheet: split at the last '/'
// (fileName the text after it, at most 256 characters; directory the text
// before it, at most 255, "/" for the root); without a '/', fileName is the
// path and the directory comes from setSheetDirectory(sheet, false).
void setSheetPath(Sheet& sheet, std::string_view path);

// Writes the current directory (at most 256 characters) into the Sheet's
// directory; when that fails and currentOnly is false, the default directory.
// Returns whether the last attempt succeeded.
bool setSheetDirectory(Sheet& sheet, bool currentOnly);

}  // namespace vodbc
