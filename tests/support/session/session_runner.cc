#include "session/session_runner.h"

#include "files/temp_folder.h"
#include "process/run_program.h"

namespace toolkit::testing {

SessionResult runSession(const SessionRun& run) {
  vodbc::testing::TempFolder folder("vodbc-session");
  const std::string script = folder.file("script"), transcript = folder.file("transcript");
  vodbc::testing::writeWholeFile(script, run.script);

  vodbc::testing::ProgramRun program;
  program.program = run.program;
  program.arguments = run.arguments;
  program.environment = {
      {"VODBC_TOOLKIT", run.toolkit}, {"VODBC_SCRIPT", script}, {"VODBC_TRANSCRIPT", transcript}};
  program.environment.insert(program.environment.end(), run.environment.begin(),
                             run.environment.end());
  program.workingDirectory = run.workingDirectory;
  program.timeoutSeconds = run.timeoutSeconds;
  const vodbc::testing::ProgramResult ran = vodbc::testing::runProgram(program);

  SessionResult result;
  result.exitStatus = ran.status;
  result.transcript = splitLines(vodbc::testing::readWholeFile(transcript));
  result.out = ran.out;
  result.err = ran.err;
  return result;
}

}  // namespace toolkit::testing
