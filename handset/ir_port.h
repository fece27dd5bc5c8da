#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/link_api.h"
#include "stream.h"

namespace handset {

// A serial port (or pseudo-terminal) driven as an infrared adapter by the stack the program
// uses too: the emulator answers discovery with its own name and hints, and its OBEX rides
// on one TinyTP connection at a time.
class IrPort {
public:
    // The handset's hints: PDA/Palmtop, then Telephony and OBEX.
    static const std::vector<std::uint8_t> kHandsetHints;

    // The port opened as a plain adapter, offering 9600 bps up to max_baud; nullptr with the
    // reason in *error. With capture set every frame is recorded there.
    static std::unique_ptr<IrPort> Open(const std::string& path, int max_baud, const std::string& name,
                                        const std::string& capture, std::string* error);
    ~IrPort();
    IrPort(const IrPort&) = delete;
    IrPort& operator=(const IrPort&) = delete;

    // As the primary: discovery rounds until a device answers or timeout_ms passed, then the
    // OBEX service of the first device that answered (found through IAS).
    std::unique_ptr<Stream> Connect(int timeout_ms, std::string* error);
    // As the secondary: the next connection the PC opens to our OBEX service; nullptr when
    // the line is gone or the service cannot be offered.
    std::unique_ptr<Stream> Accept(std::string* error);

private:
    explicit IrPort(std::unique_ptr<sorvanto::LinkApi> link) : link_(std::move(link)) {}

    std::unique_ptr<sorvanto::LinkApi> link_;
    sorvanto::LinkSocket listener_ = sorvanto::kNoSocket;
    sorvanto::LinkEvent listen_event_ = sorvanto::kNoEvent;
};

}  // namespace handset
