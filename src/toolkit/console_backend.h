// The console backend: for programs that open no window (vodbc-batch).
//
// Messages go to stderr as "error: TEXT", "warning: TEXT", "note: TEXT";
// questions are printed the same way with their buttons and the answer
// ("question: TEXT [FIRST/SECOND] ANSWER"), answered by a policy the
// program gives, never by waiting for a person.
// Opening a window or dialog fails cleanly (runModalDialog false,
// openModelessDialog the null window), file dialogs answer Cancelled,
// help windows answer false, progress is only polled. runApplication
// delivers the task window's Create event and returns when the handler
// destroys the application (or at once after Create returns otherwise).
// Links nothing of a window system.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/backend.h"

namespace toolkit {

// Chooses the answer to a question: the index of the button to press.
using AnswerPolicy =
    std::function<int(std::string_view text, const std::vector<std::string>& buttons)>;

// A policy that presses the button with this label when the question offers
// it, else the last button (the one that ends things safely).
AnswerPolicy answerWith(std::string label);

// `err`: where messages go (stderr by default; tests pass a temporary file).
std::unique_ptr<Backend> makeConsoleBackend(AnswerPolicy policy, std::FILE* err = stderr);

}  // namespace toolkit
