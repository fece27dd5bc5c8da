#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "common/object_limits.h"
#include "formats/import_sink.h"
#include "formats/received_object.h"

namespace sorvanto {

// Turns the objects a handset pushed (files in "TmpFiles\") into what the store takes and hands
// them to the import sink. The object is recognised by its name alone; every family has its own
// name table and picks its conversion steps from the shared ones below. The received file is
// read once; the pieces of a box and every converted object live in memory and reach the sink
// as bytes, named by the work file they would have been written to.
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

    // Work files, relative to the working folder: the names a converted object has when a sink
    // takes it as a file.
    static constexpr std::string_view kAddressFile = ".\\addr.ini";
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

    // Melody object -> the MLD file ("cnv.mld").
    virtual bool ConvertMelody(const ReceivedObject& object, std::string& mld) = 0;
    // Standby-picture object -> bitmap ("img2.tmp"; family 1 only, the others have none).
    virtual bool ConvertPicture(const ReceivedObject& object, std::string& bitmap);
    // The single-bookmark object -> title and URL.
    virtual bool ParseBookmarkNote(const ReceivedObject& object, std::string& title, std::string& url) = 0;
    // One vCard -> the address file (".\addr.ini").
    virtual bool ConvertAddress(const ReceivedObject& object, std::string& entry) = 0;
    // One vMessage -> the mail text file ("cnv.msg").
    virtual bool ConvertMail(const ReceivedObject& object, std::string& mail) = 0;
    // Picture vNote -> picture ("img.tmp"), with its title and the handset's file name
    // (families 1, NEC and 4; family 0 has none).
    virtual bool ConvertCameraPicture(const ReceivedObject& object, std::string& title,
                                      std::string& file_name, std::string& picture);

    // vBookmark ("TITLE;CHARSET=SHIFT_JIS:", "URL:") -> title and URL.
    bool ParseBookmark(const ReceivedObject& object, std::string& title, std::string& url);

    virtual std::span<const NameRow> NameTable() const = 0;

protected:
    // Shared conversion steps; each family's overrides pick from these.

    // Family 0 vCard with pictograph-icon lines ("X-DIF:", "X-MIF:", "X-NOTE;...").
    static bool ConvertIconAddress(const ReceivedObject& object, std::string& entry);
    // NEC and family 4 vCard ("TEL:", "EMAIL:", "NOTE;...", "ADR;...").
    static bool ConvertPlainAddress(const ReceivedObject& object, std::string& entry);
    // vNote with a quoted-printable "X-BODY".
    static bool ConvertQuotedPrintableMelody(const ReceivedObject& object, std::string& mld);
    // vNote with a Base64 "BODY" or "X-BODY".
    static bool ConvertBase64Melody(const ReceivedObject& object, std::string& mld);
    // vMessage with a quoted-printable body and an encoded-word subject.
    static bool ConvertQuotedPrintableMail(const ReceivedObject& object, std::string& mail);
    // vMessage with an 8-bit body ("From: ", "To: ", "Subject: ").
    static bool ConvertEightBitMail(const ReceivedObject& object, std::string& mail);
    // vNote bookmark ("X-SUMMARY;CHARSET=SHIFT_JIS:", "X-BODY:").
    static bool ParseNoteBookmark(const ReceivedObject& object, std::string& title, std::string& url);
    // Picture vNote with a Base64 body -> the picture; title "MyPic.jpg" unless the object
    // names one, file name from its "-FILENAME" property.
    static bool ConvertPictureNote(const ReceivedObject& object, std::string& title, std::string& file_name,
                                   std::string& picture);

    // Reads a picture vNote as text. Every line outside the body goes to on_line, with whether
    // the body has been met, until on_line returns false; the first line
    // containing "BODY;ENCODING=BASE64:" starts the body (the rest of that line and the lines
    // after it) up to an empty line, a line beginning "X-NEC-" or "END:VNOTE", or the end.
    // False when the object has no body.
    static bool ReadPictureNote(const ReceivedObject& object,
                                const std::function<bool(std::string_view line, bool have_body)>& on_line,
                                std::string& body);
    // True when text holds Base64 and nothing else: alphabet characters and line ends, then at
    // most two "=" and trailing white space. The decoder would stop quietly at anything else
    // and hand back a cut picture or melody.
    static bool IsCleanBase64(std::string_view text);

private:
    void ImportSingle(Action action, const std::string& file);
    void Split(Action action, const std::string& file);
    // Converts one single object; on success hands it to the sink. True when it was handed.
    bool ConvertAndAdd(Action action, const ReceivedObject& object);
    bool AddMail(Action action, std::string_view mail);

    ImportSink& sink_;
};

}  // namespace sorvanto
