#pragma once

namespace sorvanto {

// The small record every row of a CtnListCtrl carries, from its insertion to its deletion.
struct ListItemRecord {
    int user_value = 0;  // the caller's value (the category views keep the store's item key)
    int scheme = 0;      // index into the colour schemes; always 0
    int reserved = 0;
    int image = -1;      // index into the small image list, -1 for none
};

}  // namespace sorvanto
