#include "platform/image_info.h"

#include <gtest/gtest.h>

#include "support/temp_home.h"

namespace sorvanto {
namespace {

std::string Fixture(const std::string& name) {
    const std::string bytes = test::ReadFileBytes(test::DataPath("images/" + name));
    EXPECT_FALSE(bytes.empty()) << name;
    return bytes;
}

void Put32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

struct Expected {
    const char* file;
    int width, height;
    ImageInfo::Format format;
};

TEST(ImageInfoTest, ReadsSizeAndFormatOfRealFiles) {
    const Expected cases[] = {
        {"small.bmp", 3, 2, ImageInfo::kBmp},        {"topdown.bmp", 2, 3, ImageInfo::kBmp},
        {"os2.bmp", 9, 6, ImageInfo::kBmp},          {"small.jpg", 5, 4, ImageInfo::kJpeg},
        {"progressive.jpg", 132, 144, ImageInfo::kJpeg}, {"small.gif", 7, 3, ImageInfo::kGif},
        {"small87.gif", 6, 5, ImageInfo::kGif},
    };
    for (const Expected& e : cases) {
        ImageInfo::Error error;
        const auto info = ImageInfo::FromBytes(Fixture(e.file), &error);
        ASSERT_TRUE(info) << e.file << ": " << error.what << " at " << error.offset;
        EXPECT_EQ(info->width, e.width) << e.file;
        EXPECT_EQ(info->height, e.height) << e.file;
        EXPECT_EQ(info->format, e.format) << e.file;
    }
}

TEST(ImageInfoTest, JpegWalkSkipsSegmentsThatMerelyContainFrameMarkers) {
    // An APP1 segment whose payload looks like a frame header of 16 x 16 must be stepped over
    // by its length, not scanned for markers.
    std::string jpeg = Fixture("small.jpg");
    const std::string app1("\xFF\xE1\x00\x0B\xFF\xC0\x00\x11\x08\x00\x10\x00\x10", 13);
    jpeg.insert(2, app1);
    const auto info = ImageInfo::FromBytes(jpeg);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 5);
    EXPECT_EQ(info->height, 4);
}

TEST(ImageInfoTest, EveryTruncationOfARealFileFailsCleanly) {
    // No prefix shorter than the header that holds the size may be read as a picture, and
    // none may read past its end (the sanitizer build watches this loop).
    for (const char* name : {"small.bmp", "os2.bmp", "small.jpg", "progressive.jpg", "small.gif"}) {
        const std::string whole = Fixture(name);
        for (std::size_t n = 0; n < whole.size(); ++n) {
            const std::string cut = whole.substr(0, n);
            const auto info = ImageInfo::FromBytes(cut);
            if (info) {
                // A JPEG cut after its frame header still has a readable size, and a GIF that
                // lacks only its trailer byte holds a whole image; a bitmap or GIF with missing
                // pixel data does not.
                const bool whole_gif_image = info->format == ImageInfo::kGif && n == whole.size() - 1;
                EXPECT_TRUE(info->format == ImageInfo::kJpeg || whole_gif_image) << name << " cut at " << n;
            }
        }
    }
}

TEST(ImageInfoTest, LyingBitmapHeadersAreRefused) {
    const std::string bmp = Fixture("small.bmp");
    auto refused = [](std::string b, const char* why) {
        ImageInfo::Error error;
        EXPECT_FALSE(ImageInfo::FromBytes(b, &error)) << why;
        EXPECT_FALSE(error.what.empty()) << why;
    };
    std::string b = bmp;
    Put32(b, 14, 0xFFFFFFF0u);  // header size far past the end
    refused(b, "header size");
    b = bmp;
    Put32(b, 18, 0);
    refused(b, "zero width");
    b = bmp;
    Put32(b, 22, 0);
    refused(b, "zero height");
    b = bmp;
    Put32(b, 22, 0x80000000u);  // the height that has no positive counterpart
    refused(b, "minimum height");
    b = bmp;
    Put32(b, 18, 0x7FFFFFFF);
    refused(b, "huge width");
    b = bmp;
    Put32(b, 10, 0x7FFFFFFF);
    refused(b, "pixel offset");
    b = bmp;
    b[28] = 3;  // 3 bits per pixel does not exist
    refused(b, "bit count");
}

TEST(ImageInfoTest, LyingJpegAndGifHeadersAreRefused) {
    const std::string jpeg = Fixture("small.jpg");
    std::string j = jpeg;
    j[4] = '\x7F';  // APP0 length far past the end
    EXPECT_FALSE(ImageInfo::FromBytes(j));
    j = jpeg;
    j[4] = 0;
    j[5] = 1;  // a length below the two bytes of the length itself
    EXPECT_FALSE(ImageInfo::FromBytes(j));
    EXPECT_FALSE(ImageInfo::FromBytes(std::string("\xFF\xD8\xFF\xDA\x00\x02", 6)));  // scan first
    EXPECT_FALSE(ImageInfo::FromBytes(std::string("\xFF\xD8\xFF\xC0\x00\x11\x08\x00\x00\x00\x05\x01\x01\x11\x00",
                                                  15)));  // height 0

    std::string g = Fixture("small.gif");
    g[6] = g[7] = 0;
    EXPECT_FALSE(ImageInfo::FromBytes(g));
    g = Fixture("small.gif");
    g[10] = static_cast<char>(0x87);  // a global colour table of 256 entries that is not there
    EXPECT_FALSE(ImageInfo::FromBytes(g));
    EXPECT_FALSE(ImageInfo::FromBytes("GIF12a\x07\x00\x03\x00\x00\x00\x00;"));
    EXPECT_FALSE(ImageInfo::FromBytes("PNG"));
}

class ImageInfoFileTest : public test::TempHome {};

TEST_F(ImageInfoFileTest, ReadsAStoredPathAndFailsOnAMissingOne) {
    test::WriteFileBytes(Home() / "pic.gif", Fixture("small.gif"));
    const auto info = ImageInfo::FromFile(".\\pic.gif");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 7);
    ImageInfo::Error error;
    EXPECT_FALSE(ImageInfo::FromFile(".\\none.gif", &error));
    EXPECT_FALSE(error.what.empty());
}

}  // namespace
}  // namespace sorvanto
