#include "toolkit/console_backend.h"

#include <chrono>
#include <thread>

namespace toolkit {

AnswerPolicy answerWith(std::string label) {
  return [label = std::move(label)](std::string_view, const std::vector<std::string>& buttons) {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      if (buttons[i] == label) return static_cast<int>(i);
    }
    return static_cast<int>(buttons.size()) - 1;
  };
}

namespace {

// Nothing is ever shown, so every window operation is empty; only the task
// window exists, as the handle the program's handler receives.
class ConsoleBackend final : public Backend {
 public:
  ConsoleBackend(AnswerPolicy policy, std::FILE* err) : policy_(std::move(policy)), err_(err) {}

  const char* name() const override { return "console"; }
  bool hasWindows() const override { return false; }

  int runEventLoop(Window task, const AppConfig&, const MenuBarResource*) override {
    quit_ = false;
    dispatchEvent(task, Event{EventType::Create});
    return 0;
  }
  void quitEventLoop() override { quit_ = true; }

  bool createWindow(Window, const WindowResource&, Window, bool) override { return false; }
  void runModalLoop(Window) override {}
  void destroyNative(Window) override {}
  Rect clientRect(Window) override { return {}; }
  void moveWindow(Window, Rect) override {}
  Point translatePoint(Window, Window, Point p) override { return p; }
  void setVisible(Window, bool) override {}
  bool isVisible(Window) override { return false; }
  void setTitle(Window, std::string_view t) override { title_ = std::string(t); }
  std::string title(Window) override { return title_; }
  void clearWindow(Window, Colour) override {}
  Rect screenRect() override { return {}; }
  Colour backgroundColour() override { return 0x00FFFFFF; }

  void setControlText(Window, int, std::string_view) override {}
  std::string controlText(Window, int) override { return {}; }
  void setControlVisible(Window, int, bool) override {}
  void setControlEnabled(Window, int, bool) override {}
  void setChecked(Window, int, bool) override {}
  bool isChecked(Window, int) override { return false; }
  void setFocus(Window, int) override {}
  int focusedControl(Window) override { return 0; }
  void setControlFont(Window, int, const Font&) override {}
  void setControlColour(Window, int, ColourPart, Colour) override {}
  void listAppend(Window, int, std::string_view) override {}
  void listClear(Window, int) override {}
  std::vector<std::string> listItems(Window, int) override { return {}; }
  std::vector<int> listSelection(Window, int) override { return {}; }
  void listSetSelected(Window, int, int, bool) override {}
  void listSuspend(Window, int) override {}
  void listResume(Window, int) override {}
  std::vector<std::string> textParagraphs(Window, int) override { return {}; }
  void textClear(Window, int) override {}
  void textAppendParagraph(Window, int, std::string_view) override {}
  bool textSetParagraph(Window, int, int, std::string_view) override { return false; }
  TextSelection textSelection(Window, int) override { return {}; }
  void setTextSelection(Window, int, TextSelection) override {}
  void textSuspend(Window, int) override {}
  void textResume(Window, int) override {}

  int showMessage(MessageKind kind, std::string_view text,
                  const std::vector<std::string>& buttons) override {
    static const char* const words[] = {"error", "warning", "note", "question"};
    std::fprintf(err_, "%s: %.*s", words[static_cast<int>(kind)], static_cast<int>(text.size()),
                 text.data());
    if (kind != MessageKind::Ask) {
      std::fputc('\n', err_);
      return 0;
    }
    const int answer = policy_ ? policy_(text, buttons) : static_cast<int>(buttons.size()) - 1;
    std::fputs(" [", err_);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      std::fprintf(err_, "%s%s", i ? "/" : "", buttons[i].c_str());
    }
    std::fprintf(
        err_, "] %s\n",
        answer >= 0 && answer < static_cast<int>(buttons.size()) ? buttons[answer].c_str() : "");
    std::fflush(err_);
    return answer;
  }

  FileDialogResult fileDialog(bool, FileSpec&, std::string_view) override {
    return FileDialogResult::Cancelled;
  }
  bool showHelpWindow(const std::string&, int, const std::string&) override { return false; }

  void runProgressDialog(const ProgressJob& job) override {
    std::string text;
    while (job.poll && job.poll(text)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  void perform(Window, const UserAction&) override {}

 private:
  AnswerPolicy policy_;
  std::FILE* err_;
  bool quit_ = false;
  std::string title_;
};

}  // namespace

std::unique_ptr<Backend> makeConsoleBackend(AnswerPolicy policy, std::FILE* err) {
  return std::make_unique<ConsoleBackend>(std::move(policy), err);
}

}  // namespace toolkit
