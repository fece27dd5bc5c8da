#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/window_requests.h"

namespace sorvanto {

class LinkApi;
class TransferMonitor;

// One send request run to its end without a window: the job the kind asks for puts the built
// file to the handset, the result becomes a log line, and the scratch file is deleted whatever
// happened. The caller stops its listening server before and starts it again afterwards, so
// that the link is never used by both at once.
class SendRunner {
public:
    struct Outcome {
        // The job's result (0 sent, -1 no handset, -3 failed), or 1 for a kind no job serves
        // (nothing was sent).
        int result = 1;
        std::optional<std::string> log_line;  // Shift_JIS; none for a result that logs nothing
        std::string device_name;              // the handset sent to, when one was found
    };

    // make_link: for tests, a new link for each job; by default the configured link.
    explicit SendRunner(int model_id, std::function<std::unique_ptr<LinkApi>()> make_link = {});

    // cancelled: read after the exchange, to tell a cancelled send from a failed one.
    Outcome Run(const SendRequest& request, TransferMonitor& monitor,
                const std::function<bool()>& cancelled = {}) const;

private:
    int model_id_;
    std::function<std::unique_ptr<LinkApi>()> make_link_;
};

}  // namespace sorvanto
