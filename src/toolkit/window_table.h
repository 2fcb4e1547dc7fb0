// The core's record of every window (not part of the public interface):
// shared by the toolkit calls (toolkit.cc) and the scripted session
// (session.cc).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/backend.h"
#include "toolkit/resource.h"

namespace toolkit::detail {

struct WindowRecord {
  Window handle;
  std::shared_ptr<const WindowResource> resource;  // null for the task window
  std::shared_ptr<EventHandler> handler;
  void* data = nullptr;
  Window parent;
  bool modal = false;
  bool destroying = false;
  // Transcript state: whether "open" was written, and what was last
  // reported of the title and of each control (by control id).
  bool announced = false;
  std::string reportedTitle;
  std::map<int, std::string> reported;
};

struct CoreState {
  std::unique_ptr<Backend> backend;
  std::map<std::uint32_t, WindowRecord> windows;
  std::vector<Window> order;  // windows other than the task window, oldest first
  std::uint32_t nextId = 1;
  Window task;
  bool quitting = false;
  bool quitAllowed = false;  // set by allowQuit() during a Quit event
  HelpHook helpHook;
  std::string defaultDirectory;
  AppConfig config;
};

CoreState& core();
WindowRecord* findRecord(Window w);

}  // namespace toolkit::detail
