#pragma once

#include <functional>
#include <optional>

#include <QString>

class QWidget;

namespace sorvanto {

struct ArchiveResult;

// ファイル ▸ "アーカイブ書き出し...": asks for a folder, archives the store of the working folder
// into it under a progress dialog that can be cancelled, and says how it went. The stores are
// read from their files (every change is in the index at once), never through the lists.
class CArchiveExport {
public:
    // The folder question; tests replace it. nullopt: the user cancelled.
    using AskFolder = std::function<std::optional<QString>(QWidget* parent)>;

    static void Run(QWidget* parent);
    static ArchiveResult RunInto(QWidget* parent, const QString& folder);
    static void SetFolderQuestion(AskFolder ask);
};

}  // namespace sorvanto
