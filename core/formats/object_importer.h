#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "common/object_limits.h"
#include "formats/import_sink.h"

namespace sorvanto {

// Turns the objects a handset pushed (files in "TmpFiles\") into what the store takes and hands
// them to the import sink. The object is recognised by its name alone; every family has its own
// name table and picks its conversion steps from the shared ones below. All intermediate data
// lives in fixed work files in the working folder, which every import removes again.
class ObjectImporter {
public:
    // What an object name stands for.
    enum class Action {
        kNotImported,
        kAddress,
        kMelody,
        kStandbyBitmap,    // family 1: 16-bit bitmap vNote, via ConvertPicture
        kStandbyNote,      // NEC family: picture vNote, via ConvertCameraPicture
        kBookmarkNote,     // the single-bookmark kind, via ParseBookmarkNote
        kBookmark,         // vBookmark, via ParseBookmark
        kOutboxMail,
        kSentMail,
        kReceivedMail,
        kCameraPicture,
        kSplitAddresses,
        kSplitReceivedMails,
        kSplitSentMails,
        kSplitOutboxMails,
        kSplitBookmarks,
    };

    // One row of a name table. The kind only ties a name to its action.
    struct NameRow {
        int kind;
        std::string_view name;
        Action action;
    };

    // Work files, relative to the working folder.
    static constexpr std::string_view kAddressFile = ".\\addr.ini";
    static constexpr std::string_view kMelodyText = "cnv.tmp";
    static constexpr std::string_view kMelodyFile = "cnv.mld";
    static constexpr std::string_view kMailFile = "cnv.msg";
    static constexpr std::string_view kPictureFile = "img.tmp";
    static constexpr std::string_view kBitmapFile = "img2.tmp";
    static constexpr std::string_view kCameraTitle = "MyPic.jpg";
    // Objects are about 10 KB; a file past this is no handset object and is not read whole (the
    // server receives none larger).
    static constexpr std::size_t kMaxObjectBytes = sorvanto::kMaxObjectBytes;

    explicit ObjectImporter(ImportSink& sink) : sink_(sink) {}
    virtual ~ObjectImporter() = default;
    ObjectImporter(const ObjectImporter&) = delete;
    ObjectImporter& operator=(const ObjectImporter&) = delete;

    // Imports one received file, given as "TmpFiles\" + eight hex digits + space + object name.
    // Returns 1 when the name is known but its kind is not imported, 2 in every other case.
    // Whatever could not be imported stays in "TmpFiles\".
    virtual int Import(const std::string& path);

    // Melody object -> "cnv.mld".
    virtual bool ConvertMelody(const std::string& file) = 0;
    // Standby-picture object -> "img2.tmp" (family 1 only; the others have none).
    virtual bool ConvertPicture(const std::string& file);
    // The single-bookmark object -> title and URL.
    virtual bool ParseBookmarkNote(const std::string& file, std::string& title, std::string& url) = 0;
    // One vCard -> ".\addr.ini".
    virtual bool ConvertAddress(const std::string& file) = 0;
    // One vMessage -> "cnv.msg".
    virtual bool ConvertMail(const std::string& file) = 0;
    // Picture vNote -> "img.tmp", with its title and the handset's file name (families 1, NEC
    // and 4; family 0 has none).
    virtual bool ConvertCameraPicture(const std::string& file, std::string& title,
                                      std::string& file_name);

    // vBookmark ("TITLE;CHARSET=SHIFT_JIS:", "URL:") -> title and URL.
    bool ParseBookmark(const std::string& file, std::string& title, std::string& url);

    virtual std::span<const NameRow> NameTable() const = 0;

protected:
    // Shared conversion steps; each family's overrides pick from these.

    // Family 0 vCard with pictograph-icon lines ("X-DIF:", "X-MIF:", "X-NOTE;...").
    static bool ConvertIconAddress(const std::string& file);
    // NEC and family 4 vCard ("TEL:", "EMAIL:", "NOTE;...", "ADR;...").
    static bool ConvertPlainAddress(const std::string& file);
    // vNote with a quoted-printable "X-BODY".
    static bool ConvertQuotedPrintableMelody(const std::string& file);
    // vNote with a Base64 "BODY" or "X-BODY".
    static bool ConvertBase64Melody(const std::string& file);
    // vMessage with a quoted-printable body and an encoded-word subject.
    static bool ConvertQuotedPrintableMail(const std::string& file);
    // vMessage with an 8-bit body ("From: ", "To: ", "Subject: ").
    static bool ConvertEightBitMail(const std::string& file);
    // vNote bookmark ("X-SUMMARY;CHARSET=SHIFT_JIS:", "X-BODY:").
    static bool ParseNoteBookmark(const std::string& file, std::string& title, std::string& url);
    // Picture vNote with a Base64 body -> "img.tmp"; title "MyPic.jpg" unless the object names
    // one, file name from its "-FILENAME" property.
    static bool ConvertPictureNote(const std::string& file, std::string& title, std::string& file_name);

    // Reads a picture vNote as text. Every line outside the body goes to on_line; the first line
    // containing "BODY;ENCODING=BASE64:" starts the body (the rest of that line and the lines
    // after it) up to an empty line, a line beginning "X-NEC-" or "END:VNOTE", or the end.
    // False when the object cannot be read or has no body.
    static bool ReadPictureNote(const std::string& file,
                                const std::function<void(std::string_view line)>& on_line,
                                std::string& body);
    // True when text holds Base64 and nothing else: alphabet characters and line ends, then at
    // most two "=" and trailing white space. The decoder would stop quietly at anything else
    // and hand back a cut picture or melody.
    static bool IsCleanBase64(std::string_view text);

private:
    void ImportSingle(Action action, const std::string& file);
    void Split(Action action, const std::string& file, const std::string& split_file);
    // Converts one single object; on success hands it to the sink and removes the work files.
    bool ConvertAndAdd(Action action, const std::string& file);
    void AddMail(Action action);

    ImportSink& sink_;
};

}  // namespace sorvanto
