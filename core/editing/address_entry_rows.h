#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini_file.h"

namespace sorvanto {

// The rows of the address-book editor: one per field of an entry (name, reading, each phone
// number, each mail address, postal code, address, memo). Edits change the rows; only Write
// touches the entry's file. The dialog is plumbing over this class.
class AddressEntryRows {
public:
    // Row codes, the item value of each row.
    static constexpr int kName = 1;
    static constexpr int kKana = 2;
    static constexpr int kMemo = 3;
    static constexpr int kPostalCode = 4;
    static constexpr int kAddress = 5;
    static constexpr int kPhoneBase = 100;  // 100 + index
    static constexpr int kMailBase = 200;   // 200 + index
    static constexpr int kMaxIndex = 100;   // phone and mail indices run over 0 .. 99

    struct Row {
        int code;
        std::string label;  // Shift_JIS, column 0
        std::string text;   // Shift_JIS, column 1
    };

    enum class AddResult {
        Added,
        Ignored,         // empty text
        Space,           // "空白(スペース)は無効です"
        InvalidChar,     // "有効でない文字が含まれています"
        Duplicate,       // "同じ登録があります"
        TooMany,         // "登録数が多すぎます"
    };

    enum class WriteResult {
        Written,
        NameMissing,  // "名前が登録されていません"
        Failed,       // the file could not be written: "処理に失敗しました"
    };

    // Fills the rows from section "System" of an entry file (a missing file gives empty rows).
    void Load(const IniFile& entry);

    const std::vector<Row>& Rows() const { return rows_; }
    static bool IsPhone(int code) { return code >= kPhoneBase && code < kPhoneBase + kMaxIndex; }
    static bool IsMail(int code) { return code >= kMailBase && code < kMailBase + kMaxIndex; }

    // The modify buttons: column 1 of the first row with the code.
    void SetText(int code, std::string_view text);
    // Keeps only the digits of a typed postal code (the edit shows the result).
    static std::string PostalDigits(std::string_view typed);

    AddResult AddPhone(std::string_view number);
    AddResult AddMail(std::string_view address);
    // The first phone (mail) row whose text equals the text, or -1.
    int FindPhone(std::string_view number) const;
    int FindMail(std::string_view address) const;
    void RemoveRow(int row);

    // Writes the rows into the entry file at stored_path; original is the file as it was when
    // the editor opened (stored kinds and icons are kept from it).
    WriteResult Write(const std::string& stored_path, const IniFile& original) const;

    // The user-visible text of each result (Shift_JIS); empty for Added/Ignored/Written.
    static std::string Message(AddResult r);
    static std::string Message(WriteResult r);
    // "[%s]を削除してもよろしいですか？"
    static std::string DeleteQuestion(std::string_view text);

private:
    AddResult Add(std::string_view text, bool phone);
    int Find(std::string_view text, bool phone) const;

    std::vector<Row> rows_;
};

}  // namespace sorvanto
