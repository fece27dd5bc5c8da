// The device list the IrDA enumeration returns: whatever it holds, what is taken from it is a
// list whose every counted entry lies inside the bytes returned.
#include <cstdint>
#include <cstring>

#include "platform/irda_link.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sorvanto::DeviceList list;
    list.fill(0xEE);
    const int length = static_cast<int>(size > 400 ? 400 : size);
    const bool ok = sorvanto::IrdaLink::ReadDeviceList(data, length, list);
    const int n = sorvanto::DeviceCount(list);
    if (!ok && n != 0) __builtin_trap();
    if (ok && 4 + n * static_cast<int>(sorvanto::kDeviceEntrySize) > length) __builtin_trap();
    for (int i = 0; i < n; ++i) {
        if (sorvanto::DeviceName(list, i).size() > sorvanto::kDeviceNameSize) __builtin_trap();
        std::uint8_t address[4];
        if (!sorvanto::DeviceAddress(list, i, address) || std::memcmp(address, data + 4 + i * 29, 4) != 0)
            __builtin_trap();
    }
    return 0;
}
