#include "app/default_send.h"

#include "formats/address_send_job.h"
#include "formats/bookmark_send_job.h"
#include "formats/camera_picture_send_job.h"
#include "formats/mail_send_job.h"
#include "formats/melody_send_job.h"
#include "formats/standby_picture_send_job.h"

namespace sorvanto {

namespace {
std::unique_ptr<ObexPutClient> JobFor(int kind, int model) {
    switch (kind) {
    case 1: return std::make_unique<AddressSendJob>(model, 0);
    case 101: return std::make_unique<AddressSendJob>(model, 1);
    case 4: return std::make_unique<MelodySendJob>(model);
    case 5: return std::make_unique<StandbyPictureSendJob>(model);
    case 7: return std::make_unique<BookmarkSendJob>(model, 0);
    case 8: return std::make_unique<MailSendJob>(model, 0, 0);
    case 9: return std::make_unique<MailSendJob>(model, 2, 0);
    case 10: return std::make_unique<MailSendJob>(model, 1, 0);
    case 11: return std::make_unique<CameraPictureSendJob>(model);
    default: return nullptr;
    }
}
}  // namespace

CMainFrame::SendOutcome DefaultSend(const SendRequest& request, int model, TransferMonitor* monitor) {
    CMainFrame::SendOutcome outcome;
    auto job = JobFor(request.kind, model);
    if (!job) return outcome;
    const std::string path = FieldText(request.local_path);
    const std::string name = FieldText(request.object_name);
    outcome.result = job->SendObject(&path, &name, monitor);
    job->LastDeviceName(&outcome.device_name);
    return outcome;
}

}  // namespace sorvanto
