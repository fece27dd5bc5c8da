#include "app/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <ctime>

#include "app/about_dlg.h"
#include "app/app_fonts.h"
#include "app/app_icons.h"
#include "app/archive_export.h"
#include "app/busy_dlg.h"
#include "app/command_ids.h"
#include "app/config_sheet.h"
#include "app/copy_data_event.h"
#include "app/default_send.h"
#include "app/menu_templates.h"
#include "app/select_view.h"
#include "app/sorvanto_doc.h"
#include "app/sorvanto_view.h"
#include "common/settings_file.h"
#include "common/sjis.h"
#include "common/time_text.h"
#include "controls/colour_button.h"
#include "controls/colour_button_hot_tracker.h"
#include "controls/owner_draw_menu_style.h"
#include "dialogs/duplicates_dlg.h"
#include "dialogs/eudc_register_dlg.h"
#include "dialogs/mail_compose_dlg.h"
#include "dialogs/pictograph_keyboard_dlg.h"
#include "formats/importer_for_model.h"
#include "lists/prompt.h"
#include "irlink/obex_server_session.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/launch_process.h"
#include "platform/link_api.h"
#include "platform/link_settings.h"
#include "platform/os_version.h"
#include "platform/service_control.h"
#include "search/duplicate_skipping_sink.h"
#include "store/receive_pump.h"
#include "store/store_import_sink.h"

namespace sorvanto {

namespace {

constexpr const char* kSystem = "System";
constexpr const char* kIrmon = "Irmon";
constexpr const char* kTmpFiles = "TmpFiles\\";

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

int SystemInt(const char* key, int fallback) { return SettingsFile::Get().GetInt(kSystem, key, fallback); }
void SetSystemInt(const char* key, int value) { SettingsFile::Get().SetInt(kSystem, key, value); }

struct BarButton {
    int id;
    const char* text;
};
constexpr BarButton kBarButtons[] = {
    {cmd::kSend, "送信"}, {cmd::kDelete, "削除"}, {cmd::kNew, "新規作成"},
    {cmd::kEdit, "編集"}, {cmd::kSave, "保存"},   {cmd::kAbout, "ﾊﾞｰｼﾞｮﾝ"},
};

QFont StatusFont() { return AppFonts::Gothic(12); }

}  // namespace

bool CMainFrame::IsSendKind(int kind) {
    switch (kind) {
    case 1: case 101: case 4: case 5: case 7: case 8: case 9: case 10: case 11: return true;
    default: return false;
    }
}

CMainFrame::CMainFrame(CSorvantoDoc& doc, QWidget* parent)
    : QMainWindow(parent), doc_(doc), send_fn_(DefaultSend), prompt_(&Prompt::Default()) {
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(QStringLiteral("Sorvanto"));
    setWindowIcon(AppIcons::Program());
    setMinimumSize(400, 400);
    setMaximumSize(1600, 1200);
    fs::CreateFolder(kTmpFiles);

    // Placement of the last run; 0 leaves a value to the window system. The position is the
    // frame's (move) and the size the client area's (resize), as they are saved.
    const int x = SystemInt("WinPosX", 0), y = SystemInt("WinPosY", 0);
    const int w = SystemInt("WinSizeX", 0), h = SystemInt("WinSizeY", 0);
    resize(w > 0 ? w : 800, h > 0 ? h : 600);
    if (x != 0 || y != 0) move(x, y);

    // The button bar.
    button_bar_ = new QToolBar(this);
    button_bar_->setObjectName(QStringLiteral("ButtonBar"));
    button_bar_->setMovable(false);
    button_bar_->setFloatable(false);
    button_bar_->toggleViewAction()->setVisible(false);
    auto* bar = new QWidget(button_bar_);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(4);
    for (const auto& b : kBarButtons) {
        auto* button = new ColourButton(U(b.text), bar);
        button->setObjectName(QStringLiteral("Button%1").arg(b.id));
        button->Setup(0xFF8C8C, 0x010101, 0x800000, 2, 0x302);
        button->setIcon(AppIcons::Command(b.id));
        button->setIconSize(QSize(24, 24));
        button->setMinimumSize(96, 36);
        button->setProperty("commandId", b.id);
        const int id = b.id;
        connect(button, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
        row->addWidget(button);
    }
    row->addStretch(1);
    new ColourButtonHotTracker(bar);
    button_bar_->addWidget(bar);
    addToolBar(Qt::TopToolBarArea, button_bar_);

    // The status bar: the message pane stretches, the date pane is 140 wide.
    statusBar()->setFont(StatusFont());
    clock_ = new QLabel(this);
    clock_->setObjectName(QStringLiteral("ClockPane"));
    clock_->setFixedWidth(140);
    clock_->setAlignment(Qt::AlignCenter);
    clock_->setFont(StatusFont());
    clock_->setToolTip(U("日付"));
    statusBar()->addPermanentWidget(clock_);

    // The splitter: the tabs above the log.
    splitter_ = new QSplitter(Qt::Vertical, this);
    select_view_ = new CSelectView([this] { return doc_.GetModel(); }, menuBar(),
                                   [this](int id) { OnCommand(id); }, splitter_);
    select_view_->SetMainWindow(this);
    log_view_ = new CSorvantoView(splitter_);
    splitter_->addWidget(select_view_);
    splitter_->addWidget(log_view_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setChildrenCollapsible(false);
    setCentralWidget(splitter_);

    // Ctrl+F opens the search bar whichever menu the current tab has put in the bar.
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(find, &QShortcut::activated, this, [this] { OnCommand(cmd::kSearch); });

    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &CMainFrame::OnTimer);
    clock_->setText(ClockText());
    doc_.SetMainWindow(this);
    // The mail lists open the mail window, the address book the entry editor.
    CMailComposeDlg::Install();
}

CMainFrame::~CMainFrame() {
    if (!destroyed_) OnDestroy();
    StopServer();
    queue_.Clear();
    if (irmon_stopped_) ServiceControl::Start(kIrmon);
    delete keyboard_.data();  // a keyboard has no owner window; it goes with the frame
    doc_.SetMainWindow(nullptr);
}

void CMainFrame::StartUp() {
    model_id_ = doc_.GetModel();
    if (model_id_ == -1) ShowConfig();
    model_id_ = doc_.GetModel();
    doc_.SetModel(model_id_);
    select_view_->BuildTabs();
    tabs_built_ = true;
    connect(select_view_, &CSelectView::TabChanged, this, &CMainFrame::UpdateButtons);
    const int row = SystemInt("Split1Row", 400);
    splitter_->setSizes({row, std::max(1, splitter_->height() - row)});

    if (OsVersion::Family() != OsVersion::kFamilyNt) doc_.SetIrMode(0);
    ir_mode_ = doc_.GetIrMode();
    Log("Program Start");
    if (ir_mode_ != 0) {
        irmon_stopped_ = false;
        if (OsVersion::Family() == OsVersion::kFamilyNt) irmon_stopped_ = ServiceControl::StopIfRunning(kIrmon);
        OpenServer();
    }
    SetToolBarShown(SystemInt("ToolBar", 1) != 0);
    SetStatusBarShown(SystemInt("StatusBar", 1) != 0);
    UpdateButtons();
    timer_->start(kTimerMs);
}

void CMainFrame::OpenServer() {
    // A serial adapter that cannot be opened is named in the log, rather than told as a link
    // that is missing.
    std::string link_error;
    if (!server_) server_ = std::make_unique<ObexServerSession>(MakeLink(LinkSettings::Load(), &link_error), &queue_);
    if (!link_error.empty()) link_error_ = link_error;
    // Peers on a network answer the challenge with the passcode of the configuration sheet.
    const LinkSettings link = LinkSettings::FromIni(SettingsFile::Get());
    server_->SetPasscode(link.passcode);
    server_->SetLockout(AuthLockout::FromSettings(link.auth_tries, link.auth_lock_seconds));
    const int opened = server_->Open();
    if (opened == 0) {
        server_->StartWorker();
        return;
    }
    // The program runs on without receiving. The server is opened again after every send, so
    // the reason is told once, not after each send.
    if (!server_failure_logged_) {
        server_failure_logged_ = true;
        Log(!link_error_.empty()
                ? link_error_
                : ObexServerSession::OpenFailureText(opened, LinkSettings::Load().UsesTransport(LinkSettings::kIrda)));
    }
}

void CMainFrame::StopServer() {
    if (server_) server_->Stop(1);
}

bool CMainFrame::ServerRunning() const { return server_ && server_->IsRunning(); }

CPictographKeyboardDlg* CMainFrame::PictographKeyboard() const { return keyboard_.data(); }

int CMainFrame::GetMelody(int position, std::string* title, std::string* path) {
    return select_view_->GetMelody(position, title, path);
}

int CMainFrame::GetAddressEntry(int position, int mail_index, std::string* name, std::string* address) {
    return select_view_->GetAddressEntry(position, mail_index, name, address);
}

void CMainFrame::Log(const std::string& message) { log_view_->AppendLog(message); }

QString CMainFrame::ClockText() const {
    std::tm t{};
    if (!LocalTime(clock::Now(), t)) return QString();
    return QString::asprintf("%04d/%02d/%02d %02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour,
                             t.tm_min);
}

void CMainFrame::OnTimer() {
    std::unique_ptr<ObjectImporter> importer;
    // With "SkipDuplicates" an object already stored in its list is logged, not registered.
    StoreImportSink sink([this](Category c) { return select_view_->LoadedStore(c); });
    DuplicateSkippingSink skipping([this] { return select_view_->Stores(); }, sink);
    const bool skip = SettingsFile::Get().GetInt(kSystem, "SkipDuplicates", 0) != 0;
    if (queue_.Head()) importer = ImporterForModel(model_id_, skip ? static_cast<ImportSink&>(skipping) : sink);
    ReceivePump::ImportFn import;
    if (importer) import = [&importer](const std::string& path) { importer->Import(path); };
    ReceivePump::Drain(queue_, import, [this](const std::string& text) { Log(text); });
    clock_->setText(ClockText());
    UpdateButtons();
}

void CMainFrame::UpdateButtons() {
    for (auto* button : button_bar_->findChildren<ColourButton*>()) {
        const int id = button->property("commandId").toInt();
        button->setEnabled(id == cmd::kAbout || select_view_->IsCommandEnabled(id));
    }
}

bool CMainFrame::event(QEvent* e) {
    if (e->type() == CopyDataEvent::EventType()) {
        auto* request = static_cast<CopyDataEvent*>(e);
        request->SetResult(OnCopyData(request->Kind(), request->Bytes()));
        return true;
    }
    return QMainWindow::event(e);
}

int CMainFrame::OnCopyData(int kind, const std::string& bytes) {
    // A text ends at its terminator or at the end of what was sent, whichever comes first.
    auto text = [&bytes](std::size_t limit) {
        const std::size_t n = std::min({bytes.find('\0'), bytes.size(), limit});
        return bytes.substr(0, n);
    };
    switch (static_cast<RequestKind>(kind)) {
    case RequestKind::Log:
        Log(text(kLogTextSize - 1));
        break;
    case RequestKind::Send:
        if (bytes.size() >= sizeof(SendRequest)) {
            SendRequest request;
            std::memcpy(&request, bytes.data(), sizeof request);
            Send(request);
        }
        break;
    case RequestKind::FinishedMail:
    case RequestKind::ReplyMail:
        if (bytes.size() >= sizeof(MailRecord)) {
            MailRecord record;
            std::memcpy(&record, bytes.data(), sizeof record);
            // The mail window keeps its mail when the list could not store it.
            return select_view_->MailRequest(kind, record);
        }
        return 0;
    case RequestKind::ContextMenu:
        if (bytes.size() >= sizeof(ContextMenuRequest)) {
            ContextMenuRequest request;
            std::memcpy(&request, bytes.data(), sizeof request);
            ShowContextMenu(request);
        }
        break;
    case RequestKind::ImportFile:
        ImportRequest(text(259));
        break;
    default:
        break;
    }
    return 1;
}

void CMainFrame::Send(const SendRequest& request) {
    // A send asked for from inside the running one (its event loop) would reuse the link.
    if (sending_) return;
    sending_ = true;
    if (ir_mode_ != 0) {
        StopServer();
        // A serial adapter has one owner at a time: the send's own link opens the port, so the
        // server's lets go of it, and a new one takes it back afterwards.
        if (LinkSettings::Load().UsesTransport(LinkSettings::kSir)) server_.reset();
        if (IsSendKind(request.kind)) RunSendJob(request);
        OpenServer();
    } else {
        SendThroughSystem(request);
    }
    sending_ = false;
}

void CMainFrame::RunSendJob(const SendRequest& request) {
    busy_ = new CBusyDlg(nullptr);
    busy_->show();
    busy_->raise();
    busy_->activateWindow();
    const SendOutcome outcome = send_fn_ ? send_fn_(request, model_id_, this) : SendOutcome{};
    const bool cancelled = busy_->Aborted();
    delete busy_;
    busy_ = nullptr;
    const std::string line = SendLogLine(outcome.result, cancelled, FieldText(request.title), outcome.device_name);
    if (!line.empty()) Log(line);
    fs::DeleteFile(FieldText(request.local_path));
}

std::string CMainFrame::SendLogLine(int result, bool cancelled, const std::string& title, const std::string& device) {
    switch (result) {
    case 0: return title + sjis::Lit("を送信しました (") + device + ")";
    case -1: return sjis::Lit("ターゲットが範囲内に確認できません");
    case -2:
    case -3: return sjis::Lit(cancelled ? "送信に失敗しました(キャンセル要求)" : "送信に失敗しました");
    default: return {};
    }
}

int CMainFrame::KeepGoing() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return busy_ && busy_->Aborted() ? 0 : 1;
}

void CMainFrame::SendThroughSystem(const SendRequest& request) {
    const std::string moved = kTmpFiles + FieldText(request.object_name);
    // A file left by an earlier send of the same name is replaced, not kept beside it.
    fs::DeleteFile(moved);
    fs::MoveFile(FieldText(request.local_path), moved);
    const std::string file = (std::filesystem::current_path() / fs::NativePath(moved)).string();
    const LinkSettings link = LinkSettings::FromIni(SettingsFile::Get());
    if (!LaunchProcess(CommandArguments(link.send_command, file)))
        QMessageBox::warning(this, U("確認"), U("IRFTPの起動に失敗しました"));
}

void CMainFrame::ImportRequest(const std::string& path) {
    if (auto copy = ReceivePump::CopyIntoTmpFiles(path)) ReceivePump::Notify(queue_, *copy);
}

void CMainFrame::ShowContextMenu(const ContextMenuRequest& request) {
    const auto items = MenuTemplates::ContextPopup(request.menu_index);
    if (items.empty()) return;
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("ContextMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const auto& item : items) {
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* a = menu->addAction(AppIcons::Command(item.id), U(item.text));
        a->setData(item.id);
        if (cmd::IsListCommand(item.id)) a->setEnabled(select_view_->IsCommandEnabled(item.id));
        const int id = item.id;
        connect(a, &QAction::triggered, this, [this, id] { OnCommand(id); });
    }
    // One style for every context menu, kept for the process: a closed menu is deleted later.
    static auto* style = new OwnerDrawMenuStyle(OwnerDrawMenuStyle::ContextMenuLook(menu->font()));
    style->Convert(menu);
    // The style draws its text clear of the shortcut column but leaves that column out of the
    // item width (the system menu adds it on Windows): without it the last characters are cut.
    menu->setMinimumWidth(menu->sizeHint().width() + style->ShortcutColumn());
    menu->popup(QPoint(request.screen_x, request.screen_y));
}

void CMainFrame::OnCommand(int id) {
    if (cmd::IsListCommand(id)) {
        select_view_->DoCommand(id);
        UpdateButtons();
        return;
    }
    switch (id) {
    case cmd::kConfig: ShowConfig(); break;
    case cmd::kSearch: select_view_->ShowSearchBar(); break;
    case cmd::kDuplicates: {
        CDuplicatesDlg dialog([this] { return select_view_->Stores(); }, this);
        dialog.exec();
        break;
    }
    case cmd::kPictograph: CPictographKeyboardDlg::Open(this, keyboard_); break;
    case cmd::kEudc: CEudcRegisterDlg::Run(this); break;
    case cmd::kArchive: CArchiveExport::Run(this); break;
    case cmd::kAbout: {
        CAboutDlg about(this);
        about.exec();
        break;
    }
    case cmd::kToolBar: SetToolBarShown(!tool_bar_); break;
    case cmd::kStatusBar: SetStatusBarShown(!status_bar_); break;
    case cmd::kHelp: OpenHelp(); break;
    case cmd::kExit: close(); break;
    default: break;
    }
}

void CMainFrame::ShowConfig() {
    CConfigSheet sheet(doc_, this, QStringLiteral("Config"), this);
    sheet.exec();
}

void CMainFrame::OpenHelp() {
    const QString page = QDir::current().absoluteFilePath(QStringLiteral("help/index.html"));
    // Without the page or a browser to show it the command would do nothing at all.
    if (!QFile::exists(page) || !prompt_->OpenUrl(QUrl::fromLocalFile(page).toEncoded().toStdString()))
        prompt_->Tell(this, sjis::Lit("ブラウザが起動できませんでした"), Prompt::Icon::kExclamation);
}

void CMainFrame::SetToolBarShown(bool shown) {
    tool_bar_ = shown;
    button_bar_->setVisible(shown);
    for (QAction* top : menuBar()->actions())
        if (top->menu())
            for (QAction* a : top->menu()->actions())
                if (a->data().toInt() == cmd::kToolBar) a->setChecked(shown);
}

void CMainFrame::SetStatusBarShown(bool shown) {
    status_bar_ = shown;
    statusBar()->setVisible(shown);
    for (QAction* top : menuBar()->actions())
        if (top->menu())
            for (QAction* a : top->menu()->actions())
                if (a->data().toInt() == cmd::kStatusBar) a->setChecked(shown);
}

void CMainFrame::OnModelChanged() {
    model_id_ = doc_.GetModel();
    // Before the first build (the sheet of a first start) StartUp builds the tabs itself.
    if (tabs_built_) {
        select_view_->RebuildTabs();
        UpdateButtons();
    }
}

void CMainFrame::OnIrModeChanged(int mode) {
    doc_.SetIrMode(mode);
    QMessageBox::information(this, U("確認"), U("赤外線通信モードの変更は、再起動後、有効になります"));
}

bool CMainFrame::IsOwnObexAvailable() { return OsVersion::Family() == OsVersion::kFamilyNt; }

void CMainFrame::closeEvent(QCloseEvent* e) {
    // Closing from inside a send's event loop would pull the window from under the running
    // job: the send is cancelled instead, and the window can be closed once it has ended.
    if (sending_) {
        if (busy_) busy_->Abort();
        e->ignore();
        return;
    }
    OnDestroy();
    QMainWindow::closeEvent(e);
}

void CMainFrame::OnDestroy() {
    destroyed_ = true;
    if (timer_) timer_->stop();
    const QList<int> sizes = splitter_->sizes();
    if (!sizes.isEmpty()) SetSystemInt("Split1Row", sizes[0]);
    SetSystemInt("Split1Col", select_view_->width());
    if (isMaximized()) {
        SettingsFile::Get().SetString(kSystem, "WinType", "1");
    } else if (!isMinimized()) {
        SettingsFile::Get().SetString(kSystem, "WinType", "0");
        // Saved as it is restored: the frame's top-left corner, the client area's size.
        // The client area's corner lies inside the frame and would walk the window down and
        // right by the frame's width on every start.
        SetSystemInt("WinPosX", pos().x());
        SetSystemInt("WinPosY", pos().y());
        SetSystemInt("WinSizeX", width());
        SetSystemInt("WinSizeY", height());
    }
    SetSystemInt("ToolBar", tool_bar_ ? 1 : 0);
    SetSystemInt("StatusBar", status_bar_ ? 1 : 0);
    SettingsFile::Save();
}

}  // namespace sorvanto
