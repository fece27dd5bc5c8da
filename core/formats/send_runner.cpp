#include "formats/send_runner.h"

#include "formats/send_request_table.h"
#include "platform/fs.h"
#include "platform/link_api.h"

namespace sorvanto {

SendRunner::SendRunner(int model_id, std::function<std::unique_ptr<LinkApi>()> make_link)
    : model_id_(model_id), make_link_(std::move(make_link)) {}

SendRunner::Outcome SendRunner::Run(const SendRequest& request, TransferMonitor& monitor,
                                    const std::function<bool()>& cancelled) const {
    const std::string title = FieldText(request.title);
    const std::string local_path = FieldText(request.local_path);
    const std::string object_name = FieldText(request.object_name);
    Outcome outcome;
    {
        // The job is gone (its object file closed) before the file is deleted.
        auto job = SendRequestTable::CreateJob(request.kind, model_id_, make_link_ ? make_link_() : nullptr);
        if (job) {
            outcome.result = job->SendObject(&local_path, &object_name, &monitor);
            job->LastDeviceName(&outcome.device_name);
            outcome.log_line = SendRequestTable::ResultLine(outcome.result, cancelled && cancelled(), title,
                                                            outcome.device_name);
        }
    }
    if (!local_path.empty()) fs::DeleteFile(local_path);
    return outcome;
}

}  // namespace sorvanto
