#pragma once

#include "lists/picture_list.h"

namespace sorvanto {

// Camera pictures: as standby pictures, with their own store, registration and send job.
class CMyPicList : public CPictureList {
public:
    CMyPicList(ModelSource model, QObject* main_window, QWidget* parent);

    void ImportFile(const std::string& path) override;

protected:
    void SendCommand() override;
};

}  // namespace sorvanto
