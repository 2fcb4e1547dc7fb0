// Choosing and installing the backend of a program with windows.
//
// VODBC_TOOLKIT=qt (the default) or headless. When Qt cannot open a display
// and a script (VODBC_SCRIPT) plays the user, the program goes on with the
// headless backend and says so on stderr; without a script nobody could
// answer its windows, so it says so in one line and the program ends. Also
// registers the built-in resources and starts the scripted session of
// VODBC_SCRIPT / VODBC_TRANSCRIPT.
//
// Library vodbc_toolkit_choice links both backends; programs that need no
// window link only vodbc_toolkit and use the console backend.
#pragma once

#include <string_view>

namespace toolkit {

// Installs the chosen backend. False, with the reason on stderr, when there
// is no display and no script (the line ends with `withoutDisplay`, a hint
// at what works without one), when the session cannot start (unreadable
// script, transcript not creatable, an unknown VODBC_TOOLKIT value) or a
// built-in resource does not parse. `argc`/`argv` go to Qt (which may take
// its own options out of them).
bool installChosenBackend(int& argc, char** argv, std::string_view withoutDisplay = {});

}  // namespace toolkit
