#pragma once

#include "lists/mail_list.h"

namespace sorvanto {

// Received mail: view in the mail window, send back to the handset, save as ".eml".
class CInMailList : public CMailList {
public:
    CInMailList(ModelSource model, QObject* main_window, QWidget* parent);

protected:
    void SendCommand() override;
    void ViewCommand() override;
};

}  // namespace sorvanto
