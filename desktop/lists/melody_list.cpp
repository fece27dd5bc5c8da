#include "lists/melody_list.h"

#include "app/copy_data_event.h"
#include "dialogs/melody_player_dlg.h"
#include "formats/melody_send_job.h"
#include "formats/send_request_table.h"
#include "store/exports.h"

namespace sorvanto {

CMelodyList::CMelodyList(ModelSource model, QObject* main_window, QWidget* parent)
    : CategoryListOf(Category::kMelody, std::make_unique<MelodyStore>(), std::move(model), main_window, parent) {}

void CMelodyList::ImportFile(const std::string& path) {
    if (TypedStore().Register(path, 0) == RegisterResult::kNotAccepted) PostImport(path);
}

int CMelodyList::GetMelody(int position, std::string* title, std::string* path) {
    const MelodyItem* item = TypedStore().GetMelody(position);
    if (!item) return 0;
    if (title) *title = item->title;
    if (path) *path = item->path;
    return 1;
}

void CMelodyList::SendCommand() {
    const MelodyItem* item = CurrentItem();
    if (!item) return;
    MelodySendJob job(CurrentModel());
    std::string name;
    const int kind = SendRequestTable::kMelody;
    const bool ok = job.BuildMelody(item->path, item->title, ObjectFileOf(kind), name) == 1;
    FinishSend(ok, kind, name);
}

void CMelodyList::EditCommand() {
    const int key = CurrentKey();
    const MelodyItem* item = CurrentItem();
    if (!item) return;
    if (auto comment = GetPrompt().EditComment(this, item->comment)) TypedStore().SetComment(key, *comment);
}

void CMelodyList::SaveCommand() {
    const MelodyItem* item = CurrentItem();
    if (!item) return;
    if (auto target = AskSavePath(item->title, SaveSpecOf(Category::kMelody))) ExportDataFile(item->path, *target);
}

void CMelodyList::PlayCommand() {
    if (!player_) {
        const std::string index = TypedStore().IndexPath();
        player_ = player_factory_ ? player_factory_(index, this) : new CMelodyPlayerDlg(index, this);
        player_->SetLogFn([this](const std::string& line) { PostLog(line); });
        player_->show();
    }
    const MelodyItem* item = CurrentItem();
    if (!item) return;
    CopyDataEvent::Send(player_, static_cast<int>(RequestKind::PlayMelody), CopyDataEvent::TextBytes(item->path, 260));
}

void CMelodyList::DetailsCommand() {
    if (const MelodyItem* item = CurrentItem()) GetPrompt().ShowMelodyDetails(this, item->path);
}

}  // namespace sorvanto
