#pragma once

#include <string>
#include <vector>

#include "store/category.h"

namespace sorvanto {

// What a category store tells its owner (the list window, the command-line tool). Every call
// comes on the thread that called the store. Texts are Shift_JIS bytes.
class StoreObserver {
public:
    virtual ~StoreObserver() = default;

    // A record was added (at load and at registration) under the given key.
    virtual void ItemAdded(Category, int /*key*/) {}
    // A record's fields changed (comment, title, re-read entry, rewritten mail).
    virtual void ItemChanged(Category, int /*key*/) {}
    // The record is gone; its key no longer finds anything.
    virtual void ItemRemoved(Category, int /*key*/) {}
    // A line for the log window, at most 255 bytes.
    virtual void LogLine(const std::string& /*text*/) {}
    // The lines one index write made good, in order (a batch of a thousand registrations gives
    // a thousand): an owner that prints them can do so in one go.
    virtual void LogLines(const std::vector<std::string>& lines) {
        for (const std::string& line : lines) LogLine(line);
    }
    // A failure the user must see: a message box with this text and caption.
    virtual void Failure(const std::string& /*message*/, const std::string& /*caption*/) {}
};

}  // namespace sorvanto
