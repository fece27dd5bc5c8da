#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "app/config_events.h"
#include "common/locked_list.h"
#include "common/window_requests.h"
#include "irlink/transfer_monitor.h"

class QLabel;
class QSplitter;
class QTimer;
class QToolBar;

namespace sorvanto {

class CBusyDlg;
class CPictographKeyboardDlg;
class CSelectView;
class CSorvantoDoc;
class CSorvantoView;
class ObexServerSession;
class Prompt;

// The program's one top-level window and its traffic controller: it owns the OBEX server and
// the receive queue, drains the queue into the model's importer once a second, runs the send
// requests of the lists, and reports to the log. It hosts the button bar, the tab view above
// the log, and the status bar with the clock.
class CMainFrame : public QMainWindow, public ConfigEvents, public TransferMonitor {
    Q_OBJECT
public:
    // What a send run gives back: the job's result and the name of the device sent to.
    struct SendOutcome {
        int result = -1;
        std::string device_name;
    };
    // Creates the job for the request kind and runs it under the monitor.
    using SendFn = std::function<SendOutcome(const SendRequest& request, int model, TransferMonitor* monitor)>;

    static constexpr int kTimerMs = 1000;
    // The request kinds that have a send job.
    static bool IsSendKind(int kind);

    explicit CMainFrame(CSorvantoDoc& doc, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Once the window is shown: the configuration on a first start, the tabs, the server.
    void StartUp();

    // The 1000 ms tick: imports every queued notice, oldest first, and updates the clock.
    void OnTimer();
    void OnCommand(int id);

    // ConfigEvents.
    void OnModelChanged() override;
    void OnIrModeChanged(int mode) override;
    bool IsOwnObexAvailable() override;

    // TransferMonitor: window events go on while a send runs; "中断" ends it at the next cycle.
    void Begin() override {}
    int KeepGoing() override;
    void End() override {}

    // Seams for tests: the send run and whether StartUp opens the server.
    void SetSendFn(SendFn fn) { send_fn_ = std::move(fn); }
    // The messages and the browser of the help command.
    void SetPrompt(Prompt* prompt) { prompt_ = prompt; }

    ByteList& Queue() { return queue_; }
    CSelectView* SelectView() const { return select_view_; }
    CSorvantoView* LogView() const { return log_view_; }
    QToolBar* ButtonBar() const { return button_bar_; }
    QSplitter* Splitter() const { return splitter_; }
    CBusyDlg* BusyDialog() const { return busy_; }
    QString ClockText() const;
    int ModelId() const { return model_id_; }
    int IrMode() const { return ir_mode_; }
    bool ServerRunning() const;

    // The mail composer's two requests, passed on to the melody list and the address-book
    // list; 0 when the model offers no such list or it has no such item.
    int GetMelody(int position, std::string* title, std::string* path);
    int GetAddressEntry(int position, int mail_index, std::string* name, std::string* address);

    // The open pictograph keyboard (at most one), or null.
    CPictographKeyboardDlg* PictographKeyboard() const;

    // Appends a Shift_JIS line to the log.
    void Log(const std::string& message);

    // The log line of a send result; empty for a result that logs nothing.
    static std::string SendLogLine(int result, bool cancelled, const std::string& title,
                                   const std::string& device);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    int OnCopyData(int kind, const std::string& bytes);
    void Send(const SendRequest& request);
    void RunSendJob(const SendRequest& request);
    void SendThroughSystem(const SendRequest& request);
    void ImportRequest(const std::string& path);
    void ShowContextMenu(const ContextMenuRequest& request);
    void OpenServer();
    void StopServer();
    void OnDestroy();
    void SetToolBarShown(bool shown);
    void SetStatusBarShown(bool shown);
    void UpdateButtons();
    void ShowConfig();
    void OpenHelp();

    CSorvantoDoc& doc_;
    ByteList queue_;
    QToolBar* button_bar_ = nullptr;
    QLabel* clock_ = nullptr;
    QSplitter* splitter_ = nullptr;
    CSelectView* select_view_ = nullptr;
    CSorvantoView* log_view_ = nullptr;
    QTimer* timer_ = nullptr;
    CBusyDlg* busy_ = nullptr;
    std::unique_ptr<ObexServerSession> server_;
    SendFn send_fn_;
    Prompt* prompt_;
    int model_id_ = -1;
    int ir_mode_ = 1;
    bool irmon_stopped_ = false;
    bool server_failure_logged_ = false;
    std::string link_error_;  // why the link could not be made, for that one log line
    bool tabs_built_ = false;
    bool tool_bar_ = true;
    bool status_bar_ = true;
    bool sending_ = false;
    bool destroyed_ = false;
    QPointer<CPictographKeyboardDlg> keyboard_;
};

}  // namespace sorvanto
