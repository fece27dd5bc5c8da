#include "app/default_send.h"

#include "formats/send_runner.h"

namespace sorvanto {

CMainFrame::SendOutcome DefaultSend(const SendRequest& request, int model, TransferMonitor* monitor) {
    CMainFrame::SendOutcome outcome;
    if (!monitor) return outcome;
    const SendRunner::Outcome run = SendRunner(model).Run(request, *monitor);
    outcome.result = run.result;
    outcome.device_name = run.device_name;
    return outcome;
}

}  // namespace sorvanto
