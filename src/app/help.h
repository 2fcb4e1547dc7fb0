// Help: HTML topics in a "help" folder found from the program's own path.
//
// The contents page is named after the program (the text of its file name
// before the first ".", plus ".html": vodbc -> vodbc.html) and each topic is
// "<number>.html" beside it. The folder is looked for beside the program's
// folder (<prefix>/bin/vodbc -> <prefix>/help/), which is how both the build
// tree and a relocated install are laid out, then in <prefix>/share/vodbc/help/
// of a system install.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vodbc {

// Topics the program opens.
inline constexpr int kContentsTopic = 4401;
inline constexpr int kDataSourceTopic = 4402;
inline constexpr int kSelectDataTopic = 4403;
inline constexpr int kWhereBuilderTopic = 4404;
inline constexpr int kSqlEditorTopic = 4405;
inline constexpr int kInsertTableFieldTopic = 4406;

inline constexpr const char* kFindHelpFileTitle = "Please Find and Open help file...";
inline constexpr const char* kUnreadableHelpFileMessage =
    "Help file is unreadable, please choose another.";
inline constexpr const char* kInvalidHelpFileMessage = "Invalid help file, please choose another.";

// Where the contents page may be, in the order tried. A program directly in
// the root folder uses "/help/".
std::vector<std::string> helpFileCandidates(std::string_view programPath);

// The file of one topic: "<number>.html" in the contents page's folder.
std::string helpTopicFile(std::string_view contentsFile, int topic);

// The topic for F1 in a window made from resource `resourceId`: the query
// windows have their own, everything else the contents topic.
int helpTopicForResource(int resourceId);

// The running program's path (from /proc/self/exe), or "" when unknown.
std::string programPath();

// Sets the program path the help is found from; the program sets its own at
// start-up, tests a made-up one.
void setHelpProgramPath(std::string path);

// Shows one topic in the help window. Like the old help engine, nothing is
// reported when the topic cannot be shown.
void showHelpTopic(int topic);

// The "Find..." command: the contents page with its index and the help
// window's search.
void showHelpFinder();

// Hooks help into the toolkit: F1, help events and the standard help
// commands open the help; when the contents page is in neither place, the
// user is asked to find it (once found it is kept for the process).
void installHelpHook();

// Forgets the help file found by the hook (the task window is going).
void closeHelpFile();

}  // namespace vodbc
