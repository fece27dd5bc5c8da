#include "formats/import_sink.h"

#include "platform/fs.h"

namespace sorvanto {

namespace {

// Writes the work file, hands its path over, and removes it once the call returns.
template <class PathCall>
bool ThroughWorkFile(const ImportSink::WorkObject& object, PathCall call) {
    const bool written = fs::WriteFile(object.work_file, object.bytes);
    if (written) call(std::string(object.work_file));
    fs::DeleteFile(object.work_file);
    return written;
}

}  // namespace

bool ImportSink::AddMelodyBytes(const WorkObject& mld) {
    return ThroughWorkFile(mld, [&](const std::string& p) { AddMelody(p); });
}

bool ImportSink::AddOutboxMailBytes(const WorkObject& mail) {
    return ThroughWorkFile(mail, [&](const std::string& p) { AddOutboxMail(p); });
}

bool ImportSink::AddReceivedMailBytes(const WorkObject& mail) {
    return ThroughWorkFile(mail, [&](const std::string& p) { AddReceivedMail(p); });
}

bool ImportSink::AddSentMailBytes(const WorkObject& mail) {
    return ThroughWorkFile(mail, [&](const std::string& p) { AddSentMail(p); });
}

bool ImportSink::AddAddressBytes(const WorkObject& entry) {
    return ThroughWorkFile(entry, [&](const std::string& p) { AddAddress(p); });
}

bool ImportSink::AddStandbyPictureBytes(const std::string& title, const WorkObject& picture) {
    return ThroughWorkFile(picture, [&](const std::string& p) { AddStandbyPicture(title, p); });
}

bool ImportSink::AddCameraPictureBytes(const std::string& title, const WorkObject& picture,
                                       const std::string& comment) {
    return ThroughWorkFile(picture, [&](const std::string& p) { AddCameraPicture(title, p, comment); });
}

}  // namespace sorvanto
