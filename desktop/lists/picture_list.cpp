#include "lists/picture_list.h"

#include "app/copy_data_event.h"
#include "dialogs/image_preview_dlg.h"
#include "formats/send_request_table.h"
#include "formats/standby_picture_send_job.h"
#include "store/item_export.h"
#include "store/exports.h"
#include "store/store_texts.h"

namespace sorvanto {

CPictureList::CPictureList(ModelSource model, QObject* main_window, QWidget* parent)
    : CPictureList(Category::kPicture, std::move(model), main_window, parent) {}

CPictureList::CPictureList(Category category, ModelSource model, QObject* main_window, QWidget* parent)
    : CategoryListOf(category, std::make_unique<PictureStore>(category), std::move(model), main_window, parent) {}

void CPictureList::ImportFile(const std::string& path) {
    if (TypedStore().Register(path, Texts().untitled, std::string(), 0) == RegisterResult::kNotAccepted)
        PostImport(path);
}

void CPictureList::SendCommand() {
    const PictureItem* item = CurrentItem();
    if (!item) return;
    StandbyPictureSendJob job(CurrentModel());
    std::string name;
    const int kind = SendRequestTable::kStandbyPicture;
    const bool ok =
        job.BuildStandbyPicture(item->path, item->title, item->type, 0, ObjectFileOf(kind), name) == 1;
    FinishSend(ok, kind, name);
}

void CPictureList::EditCommand() {
    const int key = CurrentKey();
    const PictureItem* item = CurrentItem();
    if (!item) return;
    if (auto edited = GetPrompt().EditTitleAndComment(this, item->title, item->comment))
        TypedStore().SetTitleAndComment(key, edited->first, edited->second);
}

void CPictureList::PreviewCommand() {
    if (!preview_) {
        preview_ = new CImagePreviewDlg(this);
        preview_->show();
    }
    if (CurrentRow() < 0) return;
    ShowInPreview(CurrentRow());
}

void CPictureList::ShowInPreview(int row) {
    const PictureItem* item = ItemOfRow(row);
    if (!item || !preview_) return;
    if (CopyDataEvent::Send(preview_, static_cast<int>(RequestKind::PreviewPicture),
                            CopyDataEvent::TextBytes(item->path, 260)))
        preview_->update();
}

void CPictureList::RowSelected(int row) {
    if (preview_) ShowInPreview(row);
}

void CPictureList::SaveCommand() {
    const PictureItem* item = CurrentItem();
    if (!item) return;
    if (auto target = AskSavePath(item->title, SaveSpecOf(GetCategory(), item->type)))
        ExportItem(TypedStore(), CurrentKey(), *target);
}

}  // namespace sorvanto
