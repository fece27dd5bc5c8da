#pragma once

#include <string>
#include <string_view>

#include "formats/items.h"
#include "store/category_store.h"
#include "store/register_result.h"

namespace sorvanto {

// Standby pictures (".\picture.ini", "Picture\") and camera pictures (".\MyPic.ini",
// "MyPic\"): the same records, a different acceptance rule for JPEG.
class PictureStore : public CategoryStore<PictureItem> {
public:
    // category is Category::kPicture or Category::kMyPic.
    explicit PictureStore(Category category, std::string index_path = {});

    // Accepts BMP, GIF and JPEG (standby pictures only JPEG with a JFIF header); the title is
    // cut to 63 bytes, the comment to 259. The size in pixels comes from the picture's header.
    RegisterResult Register(const std::string& source, const std::string& title, const std::string& comment,
                            int flag, int* key = nullptr);
    // The same for a picture held in memory: written once into the data folder.
    RegisterResult RegisterBytes(std::string_view picture, const std::string& title, const std::string& comment,
                                 int flag, int* key = nullptr);

    // The title and comment dialog: title cut to 63 bytes, comment to 259.
    bool SetTitleAndComment(int key, const std::string& title, const std::string& comment);

    // The picture type of a file's first bytes (0 BMP, 1 JPEG, 2 GIF), -1 when not accepted.
    static int TypeOf(std::string_view head, bool camera);

protected:
    std::string TitleOf(const PictureItem& item) const override { return item.title; }
    std::string DataPathOf(const PictureItem& item) const override { return item.path; }
    bool ReadItem(const IniFile& index, const std::string& section, PictureItem& item) override;
    void WriteItem(IniFile& index, const std::string& section, const PictureItem& item) const override;
};

}  // namespace sorvanto
