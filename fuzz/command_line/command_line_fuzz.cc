// The program's command line: any string taken apart, and any argv rebuilt
// and taken apart. Properties: values keep their cuts, nothing is invented
// (the tail only loses text), window values stay 16-bit, and a plain argv
// (no blanks, quotes or switches) gives its second argument as the
// retrieval file.
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "common/fuzz_input.h"
#include "text/utf8.h"

namespace vodbc::fuzz {
namespace {

void checkParsed(const CommandLine& cl, std::string_view line) {
  if (countCharacters(cl.startDirectory) > kCommandLinePathChars) fail("directory cut at 256");
  if (countCharacters(cl.startRetrievalFile) > kCommandLinePathChars) fail("file cut at 256");
  if (cl.tail.size() > line.size()) fail("the tail only loses text");
  for (const std::optional<int>* v : {&cl.top, &cl.left, &cl.width, &cl.height}) {
    if (*v && (**v < SHRT_MIN || **v > SHRT_MAX)) fail("window values are 16-bit");
  }
  TaskWindowPlacement p = placeTaskWindow(cl, INT_MAX / 2, INT_MIN / 2);
  (void)p;
}

bool plain(const std::string& arg) {
  if (arg.empty() || arg == "/c") return false;
  if (arg.rfind("/d=", 0) == 0 || arg.rfind("/w=", 0) == 0) return false;
  return arg.find_first_of(" \"") == std::string::npos;
}

}  // namespace
}  // namespace vodbc::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vodbc;
  using namespace vodbc::fuzz;
  const std::string line(reinterpret_cast<const char*>(data), size);
  checkParsed(parseCommandLine(line), line);

  // The same bytes as arguments separated by NUL, as a shell hands them.
  std::vector<std::string> args = {"vodbc"};
  std::string current;
  for (char c : line) {
    if (c == '\0') {
      args.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  args.push_back(current);
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  const std::string rebuilt = rebuildCommandLine(static_cast<int>(argv.size()), argv.data());
  const CommandLine cl = parseCommandLine(rebuilt);
  checkParsed(cl, rebuilt);

  bool allPlain = args.size() >= 3;
  for (std::size_t i = 1; i < args.size(); ++i) allPlain = allPlain && plain(args[i]);
  if (allPlain) {
    if (cl.startRetrievalFile != firstCharacters(args[2], kCommandLinePathChars)) {
      fail("a plain second argument is the retrieval file");
    }
    if (cl.closeAfterRun || cl.hasWindowSwitch || !cl.startDirectory.empty()) {
      fail("plain arguments hold no switch");
    }
  }
  return 0;
}
