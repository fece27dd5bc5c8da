// Linux's IrDA device list mapped into the link's layout: whatever the kernel (or the module)
// returns, the list taken has only counted entries that lay wholly inside the bytes returned,
// each entry's address and name taken from its own place.
#include <cstdint>
#include <cstring>

#include "platform/irda_linux.h"
#include "platform/link_api.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using Calls = sorvanto::IrdaSocketCalls;
    sorvanto::DeviceList list;
    list.fill(0xEE);
    const int length = static_cast<int>(size > 1000 ? 1000 : size);
    const int n =
        sorvanto::IrdaLinux::MapDeviceList(data, length, list.data(), static_cast<int>(list.size()));
    if (n < 0) {
        if (length >= Calls::kDeviceListHeader) __builtin_trap();
        return 0;
    }
    const int count = sorvanto::DeviceCount(list);
    if (n != 4 + count * static_cast<int>(sorvanto::kDeviceEntrySize)) __builtin_trap();
    if (Calls::kDeviceListHeader + count * Calls::kDeviceInfoSize > length) __builtin_trap();
    for (int i = 0; i < count; ++i) {
        const uint8_t* entry = data + Calls::kDeviceListHeader + i * Calls::kDeviceInfoSize;
        std::uint8_t address[4];
        if (!sorvanto::DeviceAddress(list, i, address) || std::memcmp(address, entry + 4, 4) != 0)
            __builtin_trap();
        if (sorvanto::DeviceName(list, i).size() > sorvanto::kDeviceNameSize) __builtin_trap();
    }
    return 0;
}
