#pragma once

// Command numbers of the menus, the button bar and the context menus.
namespace sorvanto::cmd {

inline constexpr int kPictograph = 32784;
inline constexpr int kConfig = 32796;
inline constexpr int kSend = 32797;
inline constexpr int kDelete = 32798;
inline constexpr int kEdit = 32799;
inline constexpr int kNew = 32800;
inline constexpr int kView = 32801;
inline constexpr int kPreview = 32804;
inline constexpr int kSave = 32805;
inline constexpr int kEudc = 32817;
inline constexpr int kPlay = 32818;
inline constexpr int kBrowser = 32826;
inline constexpr int kDetails = 32827;
// The search bar and the duplicates dialog (tools menu); the window carries them out.
inline constexpr int kSearch = 32900;
inline constexpr int kDuplicates = 32901;
inline constexpr int kToolBar = 59392;
inline constexpr int kStatusBar = 59393;
inline constexpr int kAbout = 57664;
inline constexpr int kExit = 57665;
inline constexpr int kHelp = 57670;

// The commands that the current category list carries out.
inline constexpr int kListCommands[] = {kSend, kDelete, kEdit, kNew, kView,
                                        kPreview, kSave, kPlay, kBrowser, kDetails};

inline bool IsListCommand(int id) {
    for (int c : kListCommands)
        if (c == id) return true;
    return false;
}

}  // namespace sorvanto::cmd
