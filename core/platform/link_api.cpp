#include "platform/link_api.h"

#include <algorithm>
#include <cstring>

namespace sorvanto {

namespace {
std::size_t EntryOffset(int index) { return 4 + static_cast<std::size_t>(index) * kDeviceEntrySize; }
}  // namespace

int DeviceCount(const DeviceList& list) {
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i) n = (n << 8) | list[static_cast<std::size_t>(i)];
    return n <= static_cast<std::uint32_t>(kMaxDevices) ? static_cast<int>(n) : 0;
}

void SetDeviceCount(DeviceList& list, int count) {
    const auto n = static_cast<std::uint32_t>(count);
    for (int i = 0; i < 4; ++i) list[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(n >> (8 * i));
}

bool DeviceAddress(const DeviceList& list, int index, std::uint8_t address[4]) {
    if (index < 0 || index >= DeviceCount(list)) return false;
    std::memcpy(address, list.data() + EntryOffset(index), 4);
    return true;
}

std::string DeviceName(const DeviceList& list, int index) {
    if (index < 0 || index >= DeviceCount(list)) return {};
    const auto* name = reinterpret_cast<const char*>(list.data() + EntryOffset(index) + 4);
    return std::string(name, ::strnlen(name, kDeviceNameSize));
}

bool DeviceHints(const DeviceList& list, int index, std::uint8_t hints[2]) {
    if (index < 0 || index >= DeviceCount(list)) return false;
    std::memcpy(hints, list.data() + EntryOffset(index) + 4 + kDeviceNameSize, 2);
    return true;
}

bool AddDevice(DeviceList& list, const std::uint8_t address[4], const std::string& name) {
    const int n = DeviceCount(list);
    if (n >= kMaxDevices) return false;
    std::uint8_t* entry = list.data() + EntryOffset(n);
    std::memset(entry, 0, kDeviceEntrySize);
    std::memcpy(entry, address, 4);
    std::memcpy(entry + 4, name.data(), std::min(name.size(), kDeviceNameSize - 1));
    SetDeviceCount(list, n + 1);
    return true;
}

}  // namespace sorvanto
