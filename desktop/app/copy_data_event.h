#pragma once

#include <QEvent>
#include <QObject>
#include <string>

namespace sorvanto {

// A window request inside the process: a kind (see RequestKind) and its bytes, delivered
// synchronously to the receiving window with QCoreApplication::sendEvent, answered with an
// int. The bytes are the fixed records of common/window_requests.h or a zero-terminated text.
class CopyDataEvent : public QEvent {
public:
    static QEvent::Type EventType();

    CopyDataEvent(int kind, std::string bytes) : QEvent(EventType()), kind_(kind), bytes_(std::move(bytes)) {}

    int Kind() const { return kind_; }
    const std::string& Bytes() const { return bytes_; }

    // The receiver's answer (1 for handled requests, 0 for refused ones).
    int Result() const { return result_; }
    void SetResult(int result) { result_ = result; }

    // Sends a request to target and returns its answer (0 when there is no target).
    static int Send(QObject* target, int kind, std::string bytes);

    // Builders for the common records.
    template <class Record>
    static std::string RecordBytes(const Record& record) {
        return std::string(reinterpret_cast<const char*>(&record), sizeof record);
    }
    // A zero-terminated text (kinds 0, 6, 7, 8), cut to limit bytes with the terminator.
    static std::string TextBytes(const std::string& text, std::size_t limit);

private:
    int kind_;
    std::string bytes_;
    int result_ = 0;
};

}  // namespace sorvanto
