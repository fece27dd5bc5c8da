#pragma once

#include <vector>

namespace sorvanto {

// The menus of the main window: the frame's default menu (128), one per category tab (145,
// 146, 149, 150, 152, 153, 195), and the context menu (130) with one pop-up per list.
class MenuTemplates {
public:
    struct Item {
        int id;            // 0 = separator
        const char* text;  // UTF-8, with the '&' of its access key
    };
    struct Popup {
        const char* text;
        std::vector<Item> items;
    };

    static constexpr int kDefaultMenu = 128;
    static constexpr int kContextMenu = 130;

    // The top-level pop-ups of a menu template; the default menu for an unknown id.
    static std::vector<Popup> Menu(int template_id);
    // Pop-up index of the context menu: 0 "Melody", 1 "Bookmark", 2 "OutMail", 3 "InMail",
    // 4 "Address", 5 "Matiga"; empty for another index.
    static std::vector<Item> ContextPopup(int index);
};

}  // namespace sorvanto
