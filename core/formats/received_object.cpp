#include "formats/received_object.h"

#include "formats/text_lines.h"

namespace sorvanto {

ReceivedObject ReceivedObject::FromFileBytes(std::string raw) {
    ReceivedObject o;
    o.raw_ = std::move(raw);
    return o;
}

ReceivedObject ReceivedObject::FromText(std::string text) {
    ReceivedObject o;
    o.text_ = std::move(text);
    return o;
}

std::string_view ReceivedObject::Raw() const {
    if (!raw_) raw_ = TextLines::ToTextMode(*text_);
    return *raw_;
}

std::string_view ReceivedObject::Text() const {
    if (!text_) text_ = TextLines::FromTextMode(*raw_);
    return *text_;
}

}  // namespace sorvanto
