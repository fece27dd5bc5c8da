#include "lists/my_pic_list.h"

#include "formats/camera_picture_send_job.h"
#include "formats/send_request_table.h"
#include "store/store_texts.h"

namespace sorvanto {

CMyPicList::CMyPicList(ModelSource model, QObject* main_window, QWidget* parent)
    : CPictureList(Category::kMyPic, std::move(model), main_window, parent) {}

void CMyPicList::ImportFile(const std::string& path) {
    if (TypedStore().Register(path, Texts().untitled, std::string(), 0) == RegisterResult::kNotAccepted)
        PostImport(path);
}

void CMyPicList::SendCommand() {
    const PictureItem* item = CurrentItem();
    if (!item) return;
    CameraPictureSendJob job(CurrentModel());
    std::string name;
    const int kind = SendRequestTable::kCameraPicture;
    const bool ok = job.BuildCameraPicture(item->path, item->title, item->width, item->height, item->bytes,
                                           item->type, ObjectFileOf(kind), name) == 1;
    FinishSend(ok, kind, name);
}

}  // namespace sorvanto
