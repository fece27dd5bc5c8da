#pragma once

#include <QPointer>

#include "dialogs/image_preview_dlg.h"
#include "lists/category_list_of.h"
#include "store/picture_store.h"

namespace sorvanto {



// Standby pictures: title and comment, the preview window (following the selection while it
// is open), save as a copy of the picture file.
class CPictureList : public CategoryListOf<PictureStore> {
public:
    CPictureList(ModelSource model, QObject* main_window, QWidget* parent);

    void ImportFile(const std::string& path) override;

    // The preview window, null while none is open.
    CImagePreviewDlg* Preview() const { return preview_; }

protected:
    CPictureList(Category category, ModelSource model, QObject* main_window, QWidget* parent);

    void SendCommand() override;
    void EditCommand() override;
    void PreviewCommand() override;
    void SaveCommand() override;
    void RowSelected(int row) override;

private:
    void ShowInPreview(int row);

    QPointer<CImagePreviewDlg> preview_;
};

}  // namespace sorvanto
