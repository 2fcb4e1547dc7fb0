#include "toolkit/headless/headless_backend.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

#include "text/utf8.h"
#include "toolkit/session.h"

namespace toolkit {
namespace {

// The imaginary dialog font: average character width 6, height 16 pixels.
constexpr int kCharWidth = 6;
constexpr int kCharHeight = 16;
int unitsToX(int units) { return units * kCharWidth / 4; }
int unitsToY(int units) { return units * kCharHeight / 8; }

struct Control {
  ControlKind kind = ControlKind::Static;
  std::string text;  // label, one-line text, or paragraphs joined with '\n'
  std::vector<std::string> items;
  std::vector<int> selection;  // sorted indexes
  TextSelection caret;
  bool checked = false;
  bool visible = true;
  bool enabled = true;
};

struct MemWindow {
  Window parent;
  Rect area;  // client area in the parent's client coordinates
  std::string title;
  bool visible = false;
  std::map<int, Control> controls;
  int focus = 0;
};

std::vector<std::string> splitParagraphs(const std::string& text) {
  std::vector<std::string> pars;
  if (text.empty()) return pars;
  std::size_t start = 0;
  while (true) {
    const auto end = text.find('\n', start);
    pars.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return pars;
}

std::string joinParagraphs(const std::vector<std::string>& pars) {
  std::string text;
  for (std::size_t i = 0; i < pars.size(); ++i) {
    if (i) text += '\n';
    text += pars[i];
  }
  return text;
}

int characters(const std::string& s) { return static_cast<int>(vodbc::countCharacters(s)); }

class HeadlessBackend final : public Backend {
 public:
  const char* name() const override { return "headless"; }
  bool hasWindows() const override { return true; }

  int runEventLoop(Window task, const AppConfig& config, const MenuBarResource*) override {
    quit_ = false;
    MemWindow& t = windows_[task.id()];
    t.title = config.taskTitle;
    t.area = Rect::fromPosition(0, 0, config.taskWidth, config.taskHeight);
    t.visible = true;
    dispatchEvent(task, Event{EventType::Create});
    while (!quit_) scriptStep();
    return 0;
  }

  void quitEventLoop() override { quit_ = true; }

  bool createWindow(Window w, const WindowResource& r, Window parent, bool) override {
    MemWindow m;
    m.parent = parent;
    m.title = r.title;
    m.area =
        Rect::fromPosition(unitsToX(r.x), unitsToY(r.y), unitsToX(r.width), unitsToY(r.height));
    for (const auto& c : r.controls) {
      Control& mc = m.controls[c.id];
      mc.kind = c.kind;
      mc.text = c.text;
      mc.visible = !c.hidden;
      mc.enabled = !c.disabled;
    }
    windows_[w.id()] = std::move(m);
    return true;
  }

  void runModalLoop(Window w) override {
    while (windowExists(w) && !quit_) scriptStep();
  }

  void destroyNative(Window w) override { windows_.erase(w.id()); }

  Rect clientRect(Window w) override {
    const MemWindow* m = find(w);
    if (!m) return {};
    return Rect::fromPosition(0, 0, m->area.width(), m->area.height());
  }

  void moveWindow(Window w, Rect area) override {
    if (MemWindow* m = find(w)) m->area = area;
  }

  Point translatePoint(Window from, Window to, Point p) override {
    const Point a = origin(from), b = origin(to);
    return Point{p.v + a.v - b.v, p.h + a.h - b.h};
  }

  void setVisible(Window w, bool visible) override {
    MemWindow* m = find(w);
    if (!m || m->visible == visible) return;
    m->visible = visible;
    // Becoming visible is when a window is first painted.
    if (visible) dispatchEvent(w, Event{EventType::Update});
  }

  bool isVisible(Window w) override {
    const MemWindow* m = find(w);
    return m && m->visible;
  }

  void setTitle(Window w, std::string_view t) override {
    if (MemWindow* m = find(w)) m->title = std::string(t);
  }

  std::string title(Window w) override {
    const MemWindow* m = find(w);
    return m ? m->title : std::string();
  }

  void clearWindow(Window, Colour) override {}
  Rect screenRect() override { return Rect::fromPosition(0, 0, 1024, 768); }
  Colour backgroundColour() override { return 0x00F0F0F0; }

  void setControlText(Window w, int id, std::string_view t) override {
    if (Control* c = control(w, id)) c->text = std::string(t);
  }
  std::string controlText(Window w, int id) override {
    const Control* c = control(w, id);
    return c ? c->text : std::string();
  }
  void setControlVisible(Window w, int id, bool v) override {
    if (Control* c = control(w, id)) c->visible = v;
  }
  void setControlEnabled(Window w, int id, bool e) override {
    if (Control* c = control(w, id)) c->enabled = e;
  }
  void setChecked(Window w, int id, bool on) override {
    if (Control* c = control(w, id)) c->checked = on;
  }
  bool isChecked(Window w, int id) override {
    const Control* c = control(w, id);
    return c && c->checked;
  }
  void setFocus(Window w, int id) override {
    if (MemWindow* m = find(w)) m->focus = id;
  }
  int focusedControl(Window w) override {
    const MemWindow* m = find(w);
    return m ? m->focus : 0;
  }
  void setControlFont(Window, int, const Font&) override {}
  void setControlColour(Window, int, ColourPart, Colour) override {}

  void listAppend(Window w, int id, std::string_view item) override {
    if (Control* c = control(w, id)) c->items.emplace_back(item);
  }
  void listClear(Window w, int id) override {
    if (Control* c = control(w, id)) {
      c->items.clear();
      c->selection.clear();
    }
  }
  std::vector<std::string> listItems(Window w, int id) override {
    const Control* c = control(w, id);
    return c ? c->items : std::vector<std::string>();
  }
  std::vector<int> listSelection(Window w, int id) override {
    const Control* c = control(w, id);
    return c ? c->selection : std::vector<int>();
  }
  void listSetSelected(Window w, int id, int index, bool selected) override {
    Control* c = control(w, id);
    if (!c) return;
    if (selected && c->kind != ControlKind::MultiList) c->selection.clear();
    std::erase(c->selection, index);
    if (selected) {
      c->selection.push_back(index);
      std::sort(c->selection.begin(), c->selection.end());
    }
  }
  void listSuspend(Window, int) override {}
  void listResume(Window, int) override {}

  std::vector<std::string> textParagraphs(Window w, int id) override {
    const Control* c = control(w, id);
    return c ? splitParagraphs(c->text) : std::vector<std::string>();
  }
  void textClear(Window w, int id) override {
    if (Control* c = control(w, id)) {
      c->text.clear();
      c->caret = {};
    }
  }
  void textAppendParagraph(Window w, int id, std::string_view t) override {
    Control* c = control(w, id);
    if (!c) return;
    if (!c->text.empty()) c->text += '\n';
    c->text += t;
  }
  bool textSetParagraph(Window w, int id, int par, std::string_view t) override {
    Control* c = control(w, id);
    if (!c) return false;
    auto pars = splitParagraphs(c->text);
    if (par < 0 || par >= static_cast<int>(pars.size())) return false;
    pars[par] = std::string(t);
    c->text = joinParagraphs(pars);
    return true;
  }
  TextSelection textSelection(Window w, int id) override {
    const Control* c = control(w, id);
    return c ? c->caret : TextSelection{};
  }
  void setTextSelection(Window w, int id, TextSelection s) override {
    Control* c = control(w, id);
    if (!c) return;
    const auto pars = splitParagraphs(c->text);
    c->caret.start = clamp(pars, s.start);
    c->caret.end = clamp(pars, s.end);
  }
  void textSuspend(Window, int) override {}
  void textResume(Window, int) override {}

  int showMessage(MessageKind kind, std::string_view text,
                  const std::vector<std::string>& buttons) override {
    return scriptAnswerMessage(kind, text, buttons);
  }

  FileDialogResult fileDialog(bool save, FileSpec& spec, std::string_view title) override {
    const auto path = scriptAnswerFile(save, spec, title);
    if (!path) return FileDialogResult::Cancelled;
    const auto slash = path->rfind('/');
    spec.directory = slash == 0 ? "/" : path->substr(0, slash);
    spec.name = path->substr(slash + 1);
    return FileDialogResult::Ok;
  }

  bool showHelpWindow(const std::string& htmlFile, int, const std::string&) override {
    return isReadableFile(htmlFile);
  }

  void runProgressDialog(const ProgressJob& job) override {
    std::string text;
    while (job.poll && job.poll(text)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  void perform(Window w, const UserAction& a) override {
    using K = UserAction::Kind;
    Event e{EventType::Control};
    e.control = a.control;
    Control* c = control(w, a.control);
    switch (a.kind) {
      case K::Select:
      case K::DoubleClick:
      case K::MultiSelect: {
        if (!c) return;
        std::vector<int> wanted = a.kind == K::MultiSelect ? a.indices : std::vector<int>{a.index};
        std::sort(wanted.begin(), wanted.end());
        wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
        const bool changed = wanted != c->selection;
        c->selection = wanted;
        if (changed) {
          e.action = ControlAction::SelectionChanged;
          dispatchEvent(w, e);
        }
        if (a.kind == K::DoubleClick) {
          e.action = ControlAction::DoubleClicked;
          dispatchEvent(w, e);
        }
        return;
      }
      case K::Check:
        if (!c || c->checked == a.on) return;
        e.action = ControlAction::CheckToggled;
        dispatchEvent(w, e);
        return;
      case K::SetText:
        if (!c) return;
        c->text = a.text;
        c->caret = {};
        e.action = ControlAction::TextChanged;
        dispatchEvent(w, e);
        return;
      case K::SetCaret:
        setTextSelection(w, a.control, TextSelection{a.caret, a.caret});
        return;
      case K::Press:
        if (!c) return;
        e.action =
            c->kind == ControlKind::Check ? ControlAction::CheckToggled : ControlAction::Pressed;
        dispatchEvent(w, e);
        return;
      case K::Close:
        dispatchEvent(w, Event{EventType::Close});
        return;
      case K::Menu: {
        Event m{EventType::Command};
        m.tag = a.tag;
        dispatchEvent(w, m);
        return;
      }
    }
  }

 private:
  MemWindow* find(Window w) {
    auto it = windows_.find(w.id());
    return it == windows_.end() ? nullptr : &it->second;
  }

  Control* control(Window w, int id) {
    MemWindow* m = find(w);
    if (!m) return nullptr;
    auto it = m->controls.find(id);
    return it == m->controls.end() ? nullptr : &it->second;
  }

  // The client origin of a window on the screen.
  Point origin(Window w) {
    Point p;
    for (MemWindow* m = find(w); m; m = find(m->parent)) {
      p.v += m->area.top;
      p.h += m->area.left;
    }
    return p;
  }

  static TextPosition clamp(const std::vector<std::string>& pars, TextPosition p) {
    if (pars.empty()) return {};
    const int last = static_cast<int>(pars.size()) - 1;
    // A position behind the last paragraph is the end of the text.
    if (p.paragraph > last) return TextPosition{last, 0, characters(pars[last])};
    p.paragraph = std::max(p.paragraph, 0);
    p.line = 0;
    p.character = std::clamp(p.character, 0, characters(pars[p.paragraph]));
    return p;
  }

  std::map<std::uint32_t, MemWindow> windows_;
  bool quit_ = false;
};

}  // namespace

std::unique_ptr<Backend> makeHeadlessBackend() { return std::make_unique<HeadlessBackend>(); }

}  // namespace toolkit
