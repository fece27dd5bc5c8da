#include "irlink/md5.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace sorvanto {
namespace {

std::string Hex(const Md5::Digest& d) {
    std::string s;
    char buf[3];
    for (auto b : d) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        s += buf;
    }
    return s;
}

TEST(Md5Test, RfcTestSuite) {
    const std::pair<const char*, const char*> suite[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [input, digest] : suite) EXPECT_EQ(Hex(Md5::Of(std::string(input))), digest) << input;
}

TEST(Md5Test, PiecewiseUpdateAcrossBlockBoundariesMatchesOneShot) {
    std::string data;
    for (int i = 0; i < 1000; ++i) data.push_back(static_cast<char>(i * 7));
    for (std::size_t step : {1u, 55u, 56u, 63u, 64u, 65u, 300u}) {
        Md5 md5;
        for (std::size_t i = 0; i < data.size(); i += step) md5.Update(data.data() + i, std::min(step, data.size() - i));
        EXPECT_EQ(md5.Final(), Md5::Of(data)) << step;
    }
}

}  // namespace
}  // namespace sorvanto
