#pragma once
// The chart, history and due commands of veldane-cli: the error chart of results, the
// drift history of a UUT and the calibration due dates, built by the reports as the
// window's Chart, History and Due dates buttons build them.

#include "cli/arguments.h"
#include "cli/session.h"

namespace veld::cli {

int RunChart(Session& session, const Invocation& invocation);
int RunHistory(Session& session, const Invocation& invocation);
int RunDue(Session& session, const Invocation& invocation);

}  // namespace veld::cli
