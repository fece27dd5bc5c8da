#pragma once

#include <QPointer>
#include <functional>
#include <map>

#include "lists/category_list_of.h"
#include "store/mail_store.h"

namespace sorvanto {

// What received and sent mail share: drops go to the main window, the row images, the mail
// file export, and the mail window opened on a row (brought to the front when it is open).
class CMailList : public CategoryListOf<MailStore> {
public:
    // Mode of the mail window: 0 view (received mail), 1 compose (sent mail).
    using MailWindowFactory = std::function<QWidget*(const MailRecord& record, int mode, QWidget* parent)>;
    // The mail composer's maker, set once by the application.
    static void SetMailWindowFactory(MailWindowFactory factory);

    void ImportFile(const std::string& path) override;

    // The window open on a mail, null when none is.
    QWidget* MailWindowOf(int key) const;

protected:
    CMailList(Category category, ModelSource model, QObject* main_window, QWidget* parent);

    int RowImageOf(int key) const override;
    void SaveCommand() override;

    // The record the mail window starts from: the row's mail, or for row -1 a new mail from
    // the prefill strings.
    MailRecord RecordOf(int row, const std::string& address, const std::string& subject,
                        const std::string& body) const;
    // Opens (or brings forward) the mail window on a row; row -1 opens a new mail.
    void OpenMailWindow(int row, int mode, const MailRecord& record);
    // Makes the mail window; by default through the factory set above (none: no window).
    virtual QWidget* CreateMailWindow(const MailRecord& record, int mode);

private:
    std::map<int, QPointer<QWidget>> windows_;
};

}  // namespace sorvanto
