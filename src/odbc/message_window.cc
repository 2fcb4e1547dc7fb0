#include "odbc/message_window.h"

#include <cstdio>
#include <string>

#include "toolkit/backend.h"
#include "toolkit/placement.h"
#include "toolkit/session.h"
#include "toolkit/toolkit.h"

namespace vodbc {

namespace {

enum Control {
  kSqlState = 3,
  kNativeCode = 4,
  kMessage = 6,
  kOk = 7,
};

}  // namespace

void odbcMessageWindowHandler(toolkit::Window window, const toolkit::Event& event) {
  if (toolkit::answerRepaintOrClose(window, event)) return;
  switch (event.type) {
    case toolkit::EventType::Create: {
      if (auto font = toolkit::parseFontDescription(kMessageWindowFont)) {
        toolkit::setControlFont(window, kMessage, *font);
      }
      auto* record = static_cast<const OdbcDiagnostic*>(toolkit::windowData(window));
      if (record == nullptr) {
        toolkit::postError(kNullDataMessage);
        toolkit::destroyWindow(window);
        return;
      }
      toolkit::setTitle(window, record->isWarning ? kWarningWindowTitle : kErrorWindowTitle);
      toolkit::setControlText(window, kSqlState, record->sqlState);
      toolkit::setControlText(window, kNativeCode, record->nativeCode);
      toolkit::textSuspend(window, kMessage);
      toolkit::textClear(window, kMessage);
      toolkit::textAppendParagraph(window, kMessage, record->message);
      toolkit::textResume(window, kMessage);
      toolkit::placeInTaskWindow(window);
      return;
    }
    case toolkit::EventType::Control:
      if (event.control == kOk) toolkit::destroyWindow(window);
      return;
    default:
      return;
  }
}

void ToolkitOdbcReporter::error(std::string_view text) { toolkit::postError(text); }

void ToolkitOdbcReporter::warning(std::string_view text) { toolkit::postWarning(text); }

void ToolkitOdbcReporter::note(std::string_view text) { toolkit::postNote(text); }

bool ToolkitOdbcReporter::diagnostic(const OdbcDiagnostic& record) {
  toolkit::Backend* backend = toolkit::backend();
  bool windows = backend != nullptr && backend->hasWindows();
  // Without windows the record is still told; in scripted and headless
  // sessions it is kept on stderr too, where logs and tests can read it.
  if (!windows || toolkit::recording() || std::string_view(backend->name()) == "headless") {
    std::fprintf(stderr, "%s\n", describeDiagnostic(record).c_str());
  }
  if (!windows) return true;
  OdbcDiagnostic shown = record;
  return toolkit::runModalDialog(kOdbcMessageWindow, odbcMessageWindowHandler, &shown,
                                 toolkit::taskWindow());
}

}  // namespace vodbc
