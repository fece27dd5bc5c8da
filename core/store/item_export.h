#pragma once

#include <string>
#include <string_view>

#include "store/category_store_base.h"

// The one PC file the list window's "保存" writes for an item, shared by the desktop and the
// command-line tool so both write the same bytes: the vCard of an address entry, the mail file
// of a mail, the Internet shortcut of a bookmark, the copy of a melody's or picture's data file.
namespace sorvanto {

// The extension the save dialog proposes ("vcf", "eml", "url", "mld"; pictures by their type:
// 1 "jpg", 2 "gif", otherwise "bmp").
std::string ExportExtension(Category category, int picture_type = 0);

// The proposed file name of an item (its title or name made a file name, and the extension);
// empty when no item has the key.
std::string ProposedExportName(const CategoryStoreBase& store, int key);

// Writes the item's file to target (atomically); false when no item has the key or the file
// could not be written.
bool ExportItem(const CategoryStoreBase& store, int key, std::string_view target);

}  // namespace sorvanto
