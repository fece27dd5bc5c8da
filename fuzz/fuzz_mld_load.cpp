// Feeds bytes to the MLD chunk walk and the information lines.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "melody/mld_data.h"
#include "melody/mld_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sorvanto::MldData m;
    m.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    for (int i = 0; i < m.TrackCount(); ++i) (void)m.TrackEvents(i);
    (void)sorvanto::MldInfoLines(m);
    return 0;
}
