#pragma once

#include <QString>
#include <cstddef>
#include <functional>
#include <string>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace sorvanto {

// Holds an edit to a number of Shift_JIS bytes, the way the handset counts, and to the
// characters code page 932 can hold (a multi-line edit counts and gives its line breaks as
// CR LF, as they are stored and sent): a change that goes over the limit, or brings in a
// character without a Shift_JIS form, is undone. Text put in by the program through SetText
// may be longer than the limit (a stored mail is shown whole); the person can then only
// shorten it.
class SjisByteLimit {
public:
    using LimitFn = std::function<std::size_t()>;

    static void Apply(QLineEdit* edit, std::size_t max_bytes);
    // The limit is asked on every change (the body's limit follows the attachment).
    static void Apply(QPlainTextEdit* edit, LimitFn limit);

    // Shows Shift_JIS bytes in the edit, past the limit if need be.
    static void SetText(QWidget* edit, const std::string& sjis);
    // The edit's text as Shift_JIS bytes (always encodable, the limit saw to it).
    static std::string Text(const QWidget* edit);
    // Bytes of the edit's text.
    static std::size_t Bytes(const QWidget* edit);
    // Inserts text at the caret; false when it did not fit (nothing changes then).
    static bool Insert(QWidget* edit, const QString& text);
};

}  // namespace sorvanto
