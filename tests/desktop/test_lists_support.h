#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <deque>
#include <string>
#include <vector>

#include "app/copy_data_event.h"
#include "common/settings_file.h"
#include "common/sjis.h"
#include "common/window_requests.h"
#include "lists/prompt.h"
#include "platform/fs.h"

namespace sorvanto::test {

// A fresh working folder per test, entered as the program does.
class ListHome {
public:
    ListHome() {
        previous_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        SettingsFile::Reset();
    }
    ~ListHome() {
        SettingsFile::Reset();
        QDir::setCurrent(previous_);
    }
    // Copies a fixture file or folder of tests/data into the working folder.
    static void CopyFixture(const QString& from, const QString& to) {
        const QString source = QStringLiteral(SORVANTO_TEST_DATA "/") + from;
        if (QFileInfo(source).isDir()) {
            QDir().mkpath(to);
            for (const QString& name : QDir(source).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
                CopyFixture(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name);
            return;
        }
        QFile::remove(to);
        QFile::copy(source, to);
        QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }

private:
    QTemporaryDir dir_;
    QString previous_;
};

// The main window as the lists see it: every request it receives, answered with 1.
class RequestSpy : public QObject {
public:
    struct Request {
        int kind;
        std::string bytes;
        std::string Text() const { return bytes.substr(0, bytes.find('\0')); }
    };
    std::vector<Request> requests;

    std::vector<Request> OfKind(RequestKind kind) const {
        std::vector<Request> out;
        for (const auto& r : requests)
            if (r.kind == static_cast<int>(kind)) out.push_back(r);
        return out;
    }

protected:
    bool event(QEvent* e) override {
        if (e->type() != CopyDataEvent::EventType()) return QObject::event(e);
        auto* request = static_cast<CopyDataEvent*>(e);
        requests.push_back({request->Kind(), request->Bytes()});
        request->SetResult(1);
        return true;
    }
};

// Answers the lists' questions from a script and remembers what was asked and told.
class ScriptedPrompt : public Prompt {
public:
    std::deque<bool> answers;  // Ask: OK when true; an empty script answers Cancel
    std::vector<std::string> asked, told;
    std::vector<Icon> ask_icons;
    std::optional<std::string> save_path;
    std::vector<std::string> proposed_names, filters;
    std::optional<std::string> comment;
    std::optional<std::pair<std::string, std::string>> title_comment;
    std::vector<std::string> opened_urls;
    bool open_url_result = true;
    std::vector<std::string> details_paths;

    bool Ask(QWidget*, const std::string& text, Icon icon) override {
        asked.push_back(text);
        ask_icons.push_back(icon);
        if (answers.empty()) return false;
        const bool ok = answers.front();
        answers.pop_front();
        return ok;
    }
    void Tell(QWidget*, const std::string& text, Icon) override { told.push_back(text); }
    std::optional<std::string> SaveFileName(QWidget*, const std::string& proposed, std::string_view filter,
                                            std::string_view) override {
        proposed_names.push_back(proposed);
        filters.emplace_back(filter);
        return save_path;
    }
    std::optional<std::string> EditComment(QWidget*, const std::string&) override { return comment; }
    std::optional<std::pair<std::string, std::string>> EditTitleAndComment(QWidget*, const std::string&,
                                                                          const std::string&) override {
        return title_comment;
    }
    bool OpenUrl(const std::string& url) override {
        opened_urls.push_back(url);
        return open_url_result;
    }
    void ShowMelodyDetails(QWidget*, const std::string& path) override { details_paths.push_back(path); }
};

inline std::string S(const char* utf8) { return sjis::Lit(utf8); }

}  // namespace sorvanto::test
