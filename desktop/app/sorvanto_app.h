#pragma once

#include <QString>
#include <memory>

class QApplication;
class QTranslator;

namespace sorvanto {

class CMainFrame;
class CSorvantoDoc;
class SingleInstance;

// The program's start: one instance only, the working folder, the document and the main
// window. The document outlives the window, so the lists' and the window's settings are in
// the shared settings file when the document writes it at exit.
class CSorvantoApp {
public:
    static constexpr const char* kInstanceName = "Quillrock_Sorvanto";

    explicit CSorvantoApp(QApplication& app);
    ~CSorvantoApp();

    // False when the program must end at once (another instance runs, no working folder).
    bool InitInstance();

    CMainFrame* MainFrame() const { return frame_.get(); }
    CSorvantoDoc* Document() const { return doc_.get(); }

    // Copies a shipped file (the pictograph table, the help page) into the working folder
    // unless it is there already; false when it is neither there nor found.
    static bool InstallShippedFile(const QString& relative, const QString& target);

private:
    void LoadTranslations();

    QApplication& app_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<QTranslator> translator_;
    std::unique_ptr<CSorvantoDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace sorvanto
