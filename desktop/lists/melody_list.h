#pragma once

#include <QPointer>

#include "dialogs/melody_player_dlg.h"
#include "lists/category_list_of.h"
#include "store/melody_store.h"

namespace sorvanto {



// Ring melodies: comment, save as ".mld", play in the player window, details.
class CMelodyList : public CategoryListOf<MelodyStore> {
public:
    CMelodyList(ModelSource model, QObject* main_window, QWidget* parent);

    void ImportFile(const std::string& path) override;
    int GetMelody(int position, std::string* title, std::string* path) override;

    // The player window, null while none is open.
    CMelodyPlayerDlg* Player() const { return player_; }
    // Makes the player window (tests give one with a recording output).
    using PlayerFactory = std::function<CMelodyPlayerDlg*(const std::string& index_path, QWidget* parent)>;
    void SetPlayerFactory(PlayerFactory factory) { player_factory_ = std::move(factory); }

protected:
    void SendCommand() override;
    void EditCommand() override;
    void SaveCommand() override;
    void PlayCommand() override;
    void DetailsCommand() override;

private:
    QPointer<CMelodyPlayerDlg> player_;
    PlayerFactory player_factory_;
};

}  // namespace sorvanto
