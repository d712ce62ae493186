#pragma once
// The commands of veldane-cli, one function each. Each runs after start-up, writes its
// results to stdout and its messages to stderr, and gives the exit status; a command
// that stops on a message may also throw CommandStopped.

#include "cli/arguments.h"
#include "cli/session.h"

namespace veld::cli {

int RunInit(Session& session, const Invocation& invocation);
int RunConnect(Session& session, const Invocation& invocation);
int RunRefresh(Session& session, const Invocation& invocation);
int RunUuts(Session& session, const Invocation& invocation);
int RunUut(Session& session, const Invocation& invocation);
int RunProfiles(Session& session, const Invocation& invocation);
int RunProfile(Session& session, const Invocation& invocation);
int RunTransfer(Session& session, const Invocation& invocation);
int RunDelete(Session& session, const Invocation& invocation);
int RunDownload(Session& session, const Invocation& invocation);
int RunImportUuts(Session& session, const Invocation& invocation);
int RunLabHeader(Session& session, const Invocation& invocation);
int RunResults(Session& session, const Invocation& invocation);
int RunExport(Session& session, const Invocation& invocation);
int RunCertificate(Session& session, const Invocation& invocation);
int RunDecode(Session& session, const Invocation& invocation);
int RunSettings(Session& session, const Invocation& invocation);
int RunAbout(Session& session, const Invocation& invocation);

// Runs the invocation's command.
int RunCommand(Session& session, const Invocation& invocation);

// Whether a command changes the data root (a database, the log, the failure count) or the
// calibrator, and so runs under the data root's lock.
bool ChangesData(const std::string& command);

}  // namespace veld::cli
