#pragma once

#include "app/main_frame.h"

namespace sorvanto {

// The send run of a request: the job of its kind on the configured link, run under monitor.
CMainFrame::SendOutcome DefaultSend(const SendRequest& request, int model, TransferMonitor* monitor);

}  // namespace sorvanto
