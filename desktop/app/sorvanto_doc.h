#pragma once

#include <string>

class QWidget;

namespace sorvanto {

// The two settings of the handset link: the model id and the infrared mode. Read from section
// "System" of ".\Sorvanto.ini" when the document is made and written back when it goes.
class CSorvantoDoc {
public:
    static constexpr int kOfferedModels = 6;

    CSorvantoDoc();
    ~CSorvantoDoc();
    CSorvantoDoc(const CSorvantoDoc&) = delete;
    CSorvantoDoc& operator=(const CSorvantoDoc&) = delete;

    // The window whose title follows the model ("Sorvanto - <model name>").
    void SetMainWindow(QWidget* window) { main_window_ = window; }

    int GetModel() const { return model_; }
    // Stores the id and retitles the main window (the title stays when the id is not offered);
    // returns the previous model.
    int SetModel(int id);
    int GetIrMode() const { return ir_mode_; }
    int SetIrMode(int mode);
    int GetOfferedModelCount() const { return kOfferedModels; }

    // The lookups of the configuration page; 1, or 0 when the id or index is not offered.
    int GetModelName(int id, std::string* name, int buffer_size) const;
    int GetModelAt(int index, std::string* name, int buffer_size, int* id) const;
    int GetModelLimits(int id, int* standby_max_bytes, int* width, int* height, int* alt_width,
                       int* alt_height, int* colours) const;
    int GetModelSound(int id, int* voices, int* melody_max_bytes) const;

    // Writes Model and IrMode into the shared settings (the destructor does it too).
    void WriteSettings() const;

private:
    int model_;
    int ir_mode_;
    QWidget* main_window_ = nullptr;
};

}  // namespace sorvanto
