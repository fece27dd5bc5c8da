#include "app/copy_data_event.h"

#include <QCoreApplication>

#include "common/sjis.h"

namespace sorvanto {

QEvent::Type CopyDataEvent::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

int CopyDataEvent::Send(QObject* target, int kind, std::string bytes) {
    if (!target) return 0;
    CopyDataEvent event(kind, std::move(bytes));
    QCoreApplication::sendEvent(target, &event);
    return event.Result();
}

std::string CopyDataEvent::TextBytes(const std::string& text, std::size_t limit) {
    std::string out = limit > 0 ? sjis::CutBytes(text, limit - 1) : std::string();
    out.push_back('\0');
    return out;
}

}  // namespace sorvanto
