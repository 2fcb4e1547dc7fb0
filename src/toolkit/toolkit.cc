// The toolkit calls: the window table and event dispatch live here; every
// native operation is forwarded to the installed backend.
#include "toolkit/toolkit.h"

#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <filesystem>

#include "text/utf8.h"
#include "toolkit/backend.h"
#include "toolkit/session.h"
#include "toolkit/window_table.h"

namespace toolkit {

namespace detail {

CoreState& core() {
  static CoreState state;
  return state;
}

WindowRecord* findRecord(Window w) {
  auto& windows = core().windows;
  auto it = windows.find(w.id());
  return it == windows.end() ? nullptr : &it->second;
}

}  // namespace detail

using detail::core;
using detail::findRecord;

namespace {

// The backend, when the window exists; forwarding stops at a gone window so
// that stale handles stay harmless.
Backend* backendFor(Window w) { return findRecord(w) ? core().backend.get() : nullptr; }

bool isHelpRequest(const Event& e) {
  return e.type == EventType::Help ||
         (e.type == EventType::Command && e.tag >= kFirstHelpCommand && e.tag <= kLastHelpCommand);
}

Window addRecord(std::shared_ptr<const WindowResource> resource, EventHandler handler, void* data,
                 Window parent, bool modal) {
  auto& c = core();
  detail::WindowRecord r;
  r.handle = Window(c.nextId++);
  r.resource = std::move(resource);
  r.handler = std::make_shared<EventHandler>(std::move(handler));
  r.data = data;
  r.parent = parent;
  r.modal = modal;
  const Window w = r.handle;
  c.windows.emplace(w.id(), std::move(r));
  return w;
}

void eraseRecord(Window w) {
  auto& c = core();
  c.windows.erase(w.id());
  std::erase(c.order, w);
}

// Creates a window from a resource; the null window when it cannot.
Window createFromResource(int resourceId, EventHandler handler, void* data, Window parent,
                          bool modal) {
  auto& c = core();
  if (!c.backend || !c.backend->hasWindows()) return Window();
  const WindowResource* res = resources().window(resourceId);
  if (!res) return Window();
  const Window w = addRecord(std::make_shared<const WindowResource>(*res), std::move(handler), data,
                             parent, modal);
  c.order.push_back(w);
  if (!c.backend->createWindow(w, *res, parent, modal)) {
    eraseRecord(w);
    return Window();
  }
  dispatchEvent(w, Event{EventType::Create});
  return w;
}

}  // namespace

// ---- Backend installation and dispatch --------------------------------------

void installBackend(std::unique_ptr<Backend> b) {
  auto& c = core();
  c.windows.clear();
  c.order.clear();
  c.task = Window();
  c.quitting = false;
  c.backend = std::move(b);
}

Backend* backend() { return core().backend.get(); }

void dispatchEvent(Window w, const Event& event) {
  detail::WindowRecord* r = findRecord(w);
  if (!r) return;
  if (r->destroying && event.type != EventType::Destroy) return;
  if (isHelpRequest(event) && core().helpHook) {
    // Copy the hook: it may replace itself while it runs.
    HelpHook hook = core().helpHook;
    if (!hook(w, event)) return;
    r = findRecord(w);
    if (!r) return;
  }
  // Keep the handler alive while it runs, even if it destroys its window.
  std::shared_ptr<EventHandler> handler = r->handler;
  if (handler && *handler) (*handler)(w, event);
}

Window topWindow() {
  const auto& c = core();
  for (auto it = c.order.rbegin(); it != c.order.rend(); ++it) {
    const detail::WindowRecord* r = findRecord(*it);
    if (r && !r->destroying) return *it;
  }
  return c.task;
}

const WindowResource* windowResource(Window w) {
  const detail::WindowRecord* r = findRecord(w);
  return r ? r->resource.get() : nullptr;
}

// ---- Application ---------------------------------------------------------------

int runApplication(const AppConfig& config, EventHandler taskHandler) {
  auto& c = core();
  if (!c.backend) {
    std::fprintf(stderr, "toolkit: no backend installed\n");
    return 1;
  }
  if (c.defaultDirectory.empty()) c.defaultDirectory = currentDirectory();
  c.config = config;
  c.quitting = false;
  c.task = addRecord(nullptr, std::move(taskHandler), nullptr, Window(), false);
  const int status =
      c.backend->runEventLoop(c.task, config, resources().menuBar(config.menuBarResource));
  // A loop that ended without destroyApplication (a backend failure) still
  // lets every window see its Destroy event.
  if (findRecord(c.task)) destroyApplication();
  c.task = Window();
  return status;
}

void destroyApplication() {
  auto& c = core();
  if (c.quitting) return;
  c.quitting = true;
  while (!c.order.empty()) destroyWindow(c.order.back());
  const Window task = c.task;
  if (detail::WindowRecord* r = findRecord(task)) {
    if (!r->destroying) {
      r->destroying = true;
      if (recording()) flushTranscript();
      dispatchEvent(task, Event{EventType::Destroy});
      if (findRecord(task)->announced) {
        transcript("close task " + quoteText(c.backend->title(task)));
      }
      c.backend->destroyNative(task);
      eraseRecord(task);
    }
  }
  if (c.backend) c.backend->quitEventLoop();
}

void allowQuit() { core().quitAllowed = true; }

bool postQuitRequest(bool query) {
  auto& c = core();
  c.quitAllowed = false;
  Event e{EventType::Quit};
  e.query = query;
  dispatchEvent(c.task, e);
  return c.quitAllowed || c.quitting;
}

// ---- Attributes ----------------------------------------------------------------

Window taskWindow() { return core().task; }

Rect screenRect() {
  Backend* b = backend();
  return b ? b->screenRect() : Rect{};
}

int placementPushDown() { return 0; }

Colour backgroundColour() {
  Backend* b = backend();
  return b ? b->backgroundColour() : 0x00FFFFFF;
}

// ---- Windows -------------------------------------------------------------------

bool runModalDialog(int resourceId, EventHandler handler, void* data, Window parent) {
  const Window w = createFromResource(resourceId, std::move(handler), data, parent, true);
  if (!w) return false;
  if (findRecord(w) && !core().quitting) core().backend->runModalLoop(w);
  return true;
}

Window openModelessDialog(int resourceId, EventHandler handler, void* data, Window parent) {
  return createFromResource(resourceId, std::move(handler), data, parent, false);
}

void destroyWindow(Window w) {
  auto& c = core();
  detail::WindowRecord* r = findRecord(w);
  if (!r || r->destroying) return;
  if (w == c.task) {
    destroyApplication();
    return;
  }
  r->destroying = true;
  if (recording()) flushTranscript();
  dispatchEvent(w, Event{EventType::Destroy});
  r = findRecord(w);
  if (r->announced) {
    transcript("close " + std::to_string(r->resource->id) + " " + quoteText(c.backend->title(w)));
  }
  c.backend->destroyNative(w);
  eraseRecord(w);
}

bool windowExists(Window w) {
  const detail::WindowRecord* r = findRecord(w);
  return r && !r->destroying;
}

int windowResourceId(Window w) {
  const WindowResource* res = windowResource(w);
  return res ? res->id : 0;
}

void* windowData(Window w) {
  const detail::WindowRecord* r = findRecord(w);
  return r ? r->data : nullptr;
}

Window parentWindow(Window w) {
  const detail::WindowRecord* r = findRecord(w);
  return r ? r->parent : Window();
}

Rect clientRect(Window w) {
  Backend* b = backendFor(w);
  return b ? b->clientRect(w) : Rect{};
}

void moveWindow(Window w, Rect clientArea) {
  if (Backend* b = backendFor(w)) b->moveWindow(w, clientArea);
}

Point translatePoint(Window from, Window to, Point p) {
  Backend* b = backend();
  if (!b || (from && !findRecord(from)) || (to && !findRecord(to))) return p;
  return b->translatePoint(from, to, p);
}

void setVisible(Window w, bool visible) {
  if (Backend* b = backendFor(w)) b->setVisible(w, visible);
}

bool isVisible(Window w) {
  Backend* b = backendFor(w);
  return b && b->isVisible(w);
}

void setTitle(Window w, std::string_view t) {
  if (Backend* b = backendFor(w)) b->setTitle(w, t);
}

std::string title(Window w) {
  Backend* b = backendFor(w);
  return b ? b->title(w) : std::string();
}

void clearWindow(Window w, Colour colour) {
  if (Backend* b = backendFor(w)) b->clearWindow(w, colour);
}

// ---- Controls ------------------------------------------------------------------

bool hasControl(Window w, int control) {
  const WindowResource* res = windowResource(w);
  return res && res->control(control);
}

namespace {

// The backend when the window has this control.
Backend* forControl(Window w, int control) {
  return hasControl(w, control) ? core().backend.get() : nullptr;
}

}  // namespace

void setControlText(Window w, int control, std::string_view text) {
  if (Backend* b = forControl(w, control)) b->setControlText(w, control, text);
}

std::string controlText(Window w, int control) {
  Backend* b = forControl(w, control);
  return b ? b->controlText(w, control) : std::string();
}

void setControlVisible(Window w, int control, bool visible) {
  if (Backend* b = forControl(w, control)) b->setControlVisible(w, control, visible);
}

void setControlEnabled(Window w, int control, bool enabled) {
  if (Backend* b = forControl(w, control)) b->setControlEnabled(w, control, enabled);
}

void setChecked(Window w, int control, bool checked) {
  if (Backend* b = forControl(w, control)) b->setChecked(w, control, checked);
}

bool isChecked(Window w, int control) {
  Backend* b = forControl(w, control);
  return b && b->isChecked(w, control);
}

void setFocus(Window w, int control) {
  if (Backend* b = forControl(w, control)) b->setFocus(w, control);
}

int focusedControl(Window w) {
  Backend* b = backendFor(w);
  return b ? b->focusedControl(w) : 0;
}

void setControlFont(Window w, int control, const Font& font) {
  if (Backend* b = forControl(w, control)) b->setControlFont(w, control, font);
}

void setControlColour(Window w, int control, ColourPart part, Colour colour) {
  if (Backend* b = forControl(w, control)) {
    b->setControlColour(w, control, part, colour);
  }
}

// ---- Lists -------------------------------------------------------------------

void listAppend(Window w, int control, std::string_view item) {
  if (Backend* b = forControl(w, control)) b->listAppend(w, control, item);
}

void listClear(Window w, int control) {
  if (Backend* b = forControl(w, control)) b->listClear(w, control);
}

std::vector<std::string> listItems(Window w, int control) {
  Backend* b = forControl(w, control);
  return b ? b->listItems(w, control) : std::vector<std::string>();
}

int listCount(Window w, int control) { return static_cast<int>(listItems(w, control).size()); }

std::string listItem(Window w, int control, int index) {
  const auto items = listItems(w, control);
  if (index < 0 || index >= static_cast<int>(items.size())) return {};
  return items[index];
}

std::vector<int> listSelectedIndices(Window w, int control) {
  Backend* b = forControl(w, control);
  return b ? b->listSelection(w, control) : std::vector<int>();
}

int listSelectedIndex(Window w, int control) {
  const auto selected = listSelectedIndices(w, control);
  return selected.empty() ? -1 : selected.front();
}

std::vector<std::string> listSelectedItems(Window w, int control) {
  const auto items = listItems(w, control);
  std::vector<std::string> out;
  for (int i : listSelectedIndices(w, control)) {
    if (i >= 0 && i < static_cast<int>(items.size())) out.push_back(items[i]);
  }
  return out;
}

void listSetSelected(Window w, int control, int index, bool selected) {
  Backend* b = forControl(w, control);
  if (!b || index < 0 || index >= listCount(w, control)) return;
  b->listSetSelected(w, control, index, selected);
}

void listSuspend(Window w, int control) {
  if (Backend* b = forControl(w, control)) b->listSuspend(w, control);
}

void listResume(Window w, int control) {
  if (Backend* b = forControl(w, control)) b->listResume(w, control);
}

// ---- Text edits ------------------------------------------------------------------

void textClear(Window w, int control) {
  if (Backend* b = forControl(w, control)) b->textClear(w, control);
}

void textAppendParagraph(Window w, int control, std::string_view text) {
  if (Backend* b = forControl(w, control)) b->textAppendParagraph(w, control, text);
}

bool textSetParagraph(Window w, int control, int paragraph, std::string_view text) {
  Backend* b = forControl(w, control);
  return b && b->textSetParagraph(w, control, paragraph, text);
}

namespace {

std::vector<std::string> paragraphs(Window w, int control) {
  Backend* b = forControl(w, control);
  return b ? b->textParagraphs(w, control) : std::vector<std::string>();
}

}  // namespace

int textParagraphCount(Window w, int control) {
  return static_cast<int>(paragraphs(w, control).size());
}

int textLineCount(Window w, int control, int paragraph) {
  return paragraph >= 0 && paragraph < textParagraphCount(w, control) ? 1 : 0;
}

std::string textParagraph(Window w, int control, int paragraph) {
  const auto pars = paragraphs(w, control);
  if (paragraph < 0 || paragraph >= static_cast<int>(pars.size())) return {};
  return pars[paragraph];
}

std::string textLine(Window w, int control, int paragraph, int line) {
  return line == 0 ? textParagraph(w, control, paragraph) : std::string();
}

int textCharCount(Window w, int control, int paragraph) {
  return static_cast<int>(vodbc::countCharacters(textParagraph(w, control, paragraph)));
}

TextSelection textSelection(Window w, int control) {
  Backend* b = forControl(w, control);
  return b ? b->textSelection(w, control) : TextSelection{};
}

void setTextSelection(Window w, int control, TextSelection selection) {
  if (Backend* b = forControl(w, control)) b->setTextSelection(w, control, selection);
}

void textSuspend(Window w, int control) {
  if (Backend* b = forControl(w, control)) b->textSuspend(w, control);
}

void textResume(Window w, int control) {
  if (Backend* b = forControl(w, control)) b->textResume(w, control);
}

// ---- Messages --------------------------------------------------------------------

namespace {

int showMessage(MessageKind kind, const char* word, std::string_view text,
                std::vector<std::string> buttons) {
  std::string line = std::string(word) + " " + quoteText(text);
  if (kind == MessageKind::Ask) {
    for (const auto& b : buttons) line.append(" ").append(quoteText(b));
  }
  transcript(line);
  Backend* b = backend();
  if (!b) {
    std::fprintf(stderr, "%s: %.*s\n", word, static_cast<int>(text.size()), text.data());
    return static_cast<int>(buttons.size()) - 1;
  }
  return b->showMessage(kind, text, buttons);
}

}  // namespace

void postError(std::string_view text) { showMessage(MessageKind::Error, "error", text, {"OK"}); }

void postWarning(std::string_view text) {
  showMessage(MessageKind::Warning, "warning", text, {"OK"});
}

void postNote(std::string_view text) { showMessage(MessageKind::Note, "note", text, {"OK"}); }

int askChoice(std::string_view text, std::string_view first, std::string_view second,
              std::string_view third) {
  std::vector<std::string> buttons{std::string(first), std::string(second)};
  if (!third.empty()) buttons.emplace_back(third);
  return showMessage(MessageKind::Ask, "ask", text, buttons);
}

std::string formatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), format, again);
    out.resize(static_cast<std::size_t>(n));
  }
  va_end(again);
  return out;
}

// ---- File dialogs ----------------------------------------------------------------

namespace {

bool hasWildcard(std::string_view name) {
  return name.find_first_of("*?") != std::string_view::npos;
}

FileDialogResult fileDialog(bool save, FileSpec& spec, std::string_view title) {
  FileSpec chosen = spec;
  if (chosen.directory.empty()) chosen.directory = currentDirectory();
  transcript(std::string("file ") + (save ? "save " : "open ") + quoteText(title) + " " +
             quoteText(chosen.directory) + " " + quoteText(chosen.type) + " " +
             quoteText(chosen.name));
  Backend* b = backend();
  if (!b) return FileDialogResult::Failed;
  const FileDialogResult result = b->fileDialog(save, chosen, title);
  if (result != FileDialogResult::Ok) return result;
  if (chosen.name.empty() || hasWildcard(chosen.name)) {
    return FileDialogResult::Cancelled;
  }
  // A name typed without an extension gets the dialog's type; an open
  // dialog opens a file that exists under the name as typed.
  if (!spec.type.empty() && chosen.name.find('.') == std::string::npos &&
      (save || !std::filesystem::exists(chosen.directory + "/" + chosen.name))) {
    chosen.name += "." + spec.type;
  }
  spec = chosen;
  return FileDialogResult::Ok;
}

}  // namespace

FileDialogResult openFileDialog(FileSpec& spec, std::string_view title) {
  return fileDialog(false, spec, title);
}

FileDialogResult saveFileDialog(FileSpec& spec, std::string_view title) {
  return fileDialog(true, spec, title);
}

// ---- Directories -----------------------------------------------------------------

std::string currentDirectory() {
  std::error_code ec;
  const auto p = std::filesystem::current_path(ec);
  return ec ? std::string() : p.string();
}

bool changeDirectory(const std::string& path) {
  return !path.empty() && ::chdir(path.c_str()) == 0;
}

std::string defaultDirectory() {
  auto& c = core();
  if (c.defaultDirectory.empty()) c.defaultDirectory = currentDirectory();
  return c.defaultDirectory;
}

void setDefaultDirectory(const std::string& path) { core().defaultDirectory = path; }

bool isReadableFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec) && ::access(path.c_str(), R_OK) == 0;
}

// ---- Help and progress ------------------------------------------------------------

void setHelpHook(HelpHook hook) { core().helpHook = std::move(hook); }

bool showHelpWindow(const std::string& htmlFile, int topic, const std::string& contentsFile) {
  transcript("help " + std::to_string(topic));
  Backend* b = backend();
  return b && b->showHelpWindow(htmlFile, topic, contentsFile);
}

void runProgressDialog(const ProgressJob& job) {
  if (Backend* b = backend()) b->runProgressDialog(job);
}

}  // namespace toolkit
