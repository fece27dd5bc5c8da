#pragma once

#include <QDir>
#include <QEvent>
#include <QObject>
#include <QTemporaryDir>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/copy_data_event.h"
#include "common/window_requests.h"
#include "lists/prompt.h"

namespace sorvanto::test {

// A working folder of its own for each test.
class MailHome {
public:
    MailHome() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~MailHome() { QDir::setCurrent(previous_); }
    QString Path(const QString& relative) const { return dir_.filePath(relative); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

// Answers the dialogs' questions from a script and remembers every text it was shown.
class ScriptedPrompt : public Prompt {
public:
    std::vector<std::string> shown;
    std::vector<Icon> icons;
    std::deque<bool> answers;  // Ask: true for OK; OK when the script runs dry
    std::optional<std::string> save_path;
    std::string save_filter;

    bool Ask(QWidget*, const std::string& text, Icon icon) override {
        shown.push_back(text);
        icons.push_back(icon);
        if (answers.empty()) return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void Tell(QWidget*, const std::string& text, Icon icon) override {
        shown.push_back(text);
        icons.push_back(icon);
    }
    std::optional<std::string> SaveFileName(QWidget*, const std::string&, std::string_view filter,
                                            std::string_view) override {
        save_filter = std::string(filter);
        return save_path;
    }
    std::optional<std::string> EditComment(QWidget*, const std::string&) override { return std::nullopt; }
    std::optional<std::pair<std::string, std::string>> EditTitleAndComment(QWidget*, const std::string&,
                                                                          const std::string&) override {
        return std::nullopt;
    }
    bool OpenUrl(const std::string&) override { return false; }
    void ShowMelodyDetails(QWidget*, const std::string&) override {}
};

// Stands in for the main window: records the mail requests and answers with a set value.
class MailRequestSink : public QObject {
public:
    struct Request {
        int kind;
        MailRecord record;
    };
    std::vector<Request> requests;
    int answer = 1;

    bool event(QEvent* e) override {
        if (e->type() != CopyDataEvent::EventType()) return QObject::event(e);
        auto* request = static_cast<CopyDataEvent*>(e);
        Request r{request->Kind(), MailRecord{}};
        if (request->Bytes().size() == sizeof(MailRecord))
            std::memcpy(&r.record, request->Bytes().data(), sizeof(MailRecord));
        requests.push_back(r);
        request->SetResult(answer);
        return true;
    }
};

inline MailRecord MakeRecord(int key, const std::string& address, const std::string& subject,
                             const std::string& body, int attachment = 0) {
    MailRecord r{};
    r.key = key;
    r.attachment = attachment;
    CopyField(r.address, address);
    CopyField(r.subject, subject);
    CopyField(r.body, body);
    return r;
}

// A small melody: "melo", a length, a title chunk and filler to the given size.
inline std::string MakeMelody(const std::string& title, std::size_t total) {
    std::string m = "melo";
    m += std::string(4, '\0');
    m += "titl";
    m.push_back(static_cast<char>(title.size() >> 8));
    m.push_back(static_cast<char>(title.size() & 0xFF));
    m += title;
    m.resize(total, '\x22');
    return m;
}

}  // namespace sorvanto::test
