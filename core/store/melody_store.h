#pragma once

#include <optional>
#include <string>

#include "formats/items.h"
#include "store/category_store.h"
#include "store/register_result.h"

namespace sorvanto {

// Ring melodies: ".\mldfile.ini" and the MLD files in "Melody\".
class MelodyStore : public CategoryStore<MelodyItem> {
public:
    explicit MelodyStore(std::string index_path = std::string(FilesOf(Category::kMelody).index_path));

    // Accepts a file longer than 4 bytes that begins with "melo" and has a "titl" chunk in its
    // first 256 bytes; copies it into the data folder.
    RegisterResult Register(const std::string& source, int flag, int* key = nullptr);
    // The same for an MLD file held in memory: written once into the data folder.
    RegisterResult RegisterBytes(std::string_view mld, int flag, int* key = nullptr);

    // The comment dialog's text, cut to 259 bytes.
    bool SetComment(int key, const std::string& comment);

    // The mail composer's melody list: the record at a position of the item list.
    const MelodyItem* GetMelody(int position) const { return At(position); }

    // The title of an MLD file's first 256 bytes: the content of the last "titl" chunk, cut
    // to 259 bytes and never past the bytes read; nullopt when it is no melody we take.
    static std::optional<std::string> TitleOf256(std::string_view head);

protected:
    std::string TitleOf(const MelodyItem& item) const override { return item.title; }
    std::string DataPathOf(const MelodyItem& item) const override { return item.path; }
    bool ReadItem(const IniFile& index, const std::string& section, MelodyItem& item) override;
    void WriteItem(IniFile& index, const std::string& section, const MelodyItem& item) const override;

private:
    // Cuts a data file back to its MLD length + 8; true when it did.
    static bool RepairLength(MelodyItem& item);
};

}  // namespace sorvanto
