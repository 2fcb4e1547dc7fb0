#include "app/help.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "toolkit/toolkit.h"

namespace vodbc {
namespace {

// The standard help commands of the toolkit's key table.
constexpr int kFirstHelpCommand = 32450;
constexpr int kLastHelpCommand = 32462;

std::string& programPathSetting() {
  static std::string path = programPath();
  return path;
}

// The help file the hook found or the user chose; empty while none is open.
std::string& hookHelpFile() {
  static std::string file;
  return file;
}

std::string joined(const std::string& folder, std::string_view rest) {
  if (!folder.empty() && folder.back() == '/') return folder + std::string(rest);
  return folder + "/" + std::string(rest);
}

bool readable(const std::string& path) { return ::access(path.c_str(), R_OK) == 0; }

bool isHelpPage(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) || !readable(path)) return false;
  std::string_view p = path;
  return p.ends_with(".html") || p.ends_with(".htm");
}

// The contents page by the sibling rule, whether or not it exists.
std::string contentsFile() {
  std::vector<std::string> candidates = helpFileCandidates(programPathSetting());
  for (const std::string& candidate : candidates) {
    if (isHelpPage(candidate)) return candidate;
  }
  return candidates.front();
}

void showTopicFrom(const std::string& contents, int topic) {
  if (topic == 0) {
    toolkit::showHelpWindow(contents, 0, contents);
  } else {
    toolkit::showHelpWindow(helpTopicFile(contents, topic), topic, contents);
  }
}

// Finds the help file for the hook: by the sibling rule, else by asking.
void openHelpFile() {
  std::string& file = hookHelpFile();
  if (!file.empty()) return;
  for (const std::string& candidate : helpFileCandidates(programPathSetting())) {
    if (isHelpPage(candidate)) {
      file = candidate;
      return;
    }
  }
  // The dialog keeps the user's last choice from one attempt to the next.
  toolkit::FileSpec spec{toolkit::defaultDirectory(), "", "vodbc"};
  while (file.empty()) {
    if (toolkit::openFileDialog(spec, kFindHelpFileTitle) != toolkit::FileDialogResult::Ok) {
      return;
    }
    std::string chosen = joined(spec.directory, spec.name);
    std::error_code ec;
    if (!readable(chosen)) {
      toolkit::postError(kUnreadableHelpFileMessage);
    } else if (std::filesystem::is_directory(chosen, ec)) {
      toolkit::postError(kInvalidHelpFileMessage);
    } else if (!isHelpPage(chosen)) {
      toolkit::postNote(kInvalidHelpFileMessage);
    } else {
      file = chosen;
    }
  }
}

bool isHelpRequest(const toolkit::Event& event) {
  if (event.type == toolkit::EventType::Help) return true;
  return event.type == toolkit::EventType::Command && event.tag >= kFirstHelpCommand &&
         event.tag <= kLastHelpCommand;
}

// Shows what a help request asks for; true when it was shown.
bool processHelpEvent(toolkit::Window window, const toolkit::Event& event) {
  if (!isHelpRequest(event)) return false;
  if (event.type == toolkit::EventType::Help) {
    showTopicFrom(hookHelpFile(), helpTopicForResource(toolkit::windowResourceId(window)));
  } else {
    showTopicFrom(hookHelpFile(), 0);
  }
  return true;
}

}  // namespace

void setHelpProgramPath(std::string path) { programPathSetting() = std::move(path); }

void showHelpTopic(int topic) { showTopicFrom(contentsFile(), topic); }

void showHelpFinder() { showTopicFrom(contentsFile(), 0); }

void installHelpHook() {
  toolkit::setHelpHook([](toolkit::Window window, const toolkit::Event& event) {
    if (!hookHelpFile().empty()) return !processHelpEvent(window, event);
    if (!isHelpRequest(event)) return true;
    openHelpFile();
    if (hookHelpFile().empty()) return true;
    return !processHelpEvent(window, event);
  });
}

void closeHelpFile() { hookHelpFile().clear(); }

}  // namespace vodbc
