#pragma once

#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace sorvanto {

// Everything a list window asks the person in front of it: questions and messages (caption
// "確認"), the save-file dialog, the small modal edit dialogs and the browser. Lists take it
// as a seam so that tests can answer with a script; Prompt::Default() is the real thing.
// Texts are Shift_JIS bytes.
class Prompt {
public:
    enum class Icon { kNone, kExclamation, kQuestion };

    virtual ~Prompt() = default;

    // An OK/Cancel question; true for OK.
    virtual bool Ask(QWidget* parent, const std::string& text, Icon icon) = 0;
    // A message with an OK button only.
    virtual void Tell(QWidget* parent, const std::string& text, Icon icon) = 0;
    // The save-file dialog with a proposed file name, a filter in the "Name|*.x|...||" form
    // and the default extension ("*.mld"). The chosen path in the local 8-bit encoding, or
    // nullopt on Cancel.
    virtual std::optional<std::string> SaveFileName(QWidget* parent, const std::string& proposed,
                                                    std::string_view filter, std::string_view default_ext) = 0;
    // The comment dialog; the new comment, or nullopt on Cancel.
    virtual std::optional<std::string> EditComment(QWidget* parent, const std::string& comment) = 0;
    // The title and comment dialog; the new pair, or nullopt on Cancel.
    virtual std::optional<std::pair<std::string, std::string>> EditTitleAndComment(QWidget* parent,
                                                                                  const std::string& title,
                                                                                  const std::string& comment) = 0;
    // Hands a URL to the desktop's browser; false when it could not be opened.
    virtual bool OpenUrl(const std::string& url) = 0;
    // The MLD information dialog on a melody's data file.
    virtual void ShowMelodyDetails(QWidget* parent, const std::string& data_path) = 0;

    // Message boxes, QFileDialog, the dialogs of desktop/dialogs and QDesktopServices.
    static Prompt& Default();
};

}  // namespace sorvanto
