#pragma once

#include <string>

#include "common/window_requests.h"
#include "store/category.h"

class QWidget;

namespace sorvanto {

class CategoryStoreBase;

// What the tab view needs from a category list window: the widget shown on its tab, the four
// list operations, the store it owns (the importers' objects are registered there) and the
// requests of the mail composer. A list window implements it.
class CategoryPage {
public:
    virtual ~CategoryPage() = default;

    virtual QWidget* Widget() = 0;
    virtual Category GetCategory() const = 0;
    virtual CategoryStoreBase& Store() = 0;

    // A file dropped on the tab.
    virtual void ImportFile(const std::string& path) = 0;
    virtual void OnCommand(int id) = 0;
    virtual bool IsCommandSupported(int id) = 0;

    // Sent mail only: a finished mail (kind 2) or a reply to prefill (kind 3); 1 when taken.
    virtual int MailRequest(int /*kind*/, const MailRecord& /*record*/) { return 0; }
    // Address book only: name and mail address of an entry for the composer; 1 when found.
    virtual int GetAddressEntry(int /*position*/, int /*mail_index*/, std::string* /*name*/,
                                std::string* /*address*/) {
        return 0;
    }
    // Melodies only: title and data path of an item for the composer; 1 when found.
    virtual int GetMelody(int /*position*/, std::string* /*title*/, std::string* /*path*/) { return 0; }
};

}  // namespace sorvanto
