#include "app/about_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "app/app_fonts.h"
#include "app/app_icons.h"

namespace sorvanto {

namespace {
// Two entries are patterns: the current version and the beta's minor number.
constexpr const char* kHistory[] = {
    "Ver %s 2004/04/27",
    "    赤外線通信部を改修（多機種へ対応）",
    "Ver 1.75 2004/04/23",
    "    環境によって送信失敗時に無応答になる現象に対応",
    "    アドレス帳の保存機能を追加（１件ずつのみ）",
    "    メールの保存機能を追加（１件ずつのみ）",
    "Ver 1.70 2003/08/26",
    "    メール作成ダイアログを可変ウィンドウに変更",
    "    アドレス帳に住所の項目を追加",
    "    BASE64で扱えるファイルの上限を変更",
    "    N504で着メロの送信ができなかったのを修正",
    "    N504で待ち受けの送信ができなかったのを修正",
    "    N505の設定を追加(試験中)",
    "    P504でメールが正しく認識できなかったのを修正",
    "    P504でアドレス帳が正しく認識できなかったのを修正",
    "    ヘルプファイルが古いままだったのを修正",
    "Ver 1.60 2003/08/09",
    "    画像プレビューを可変ウィンドウへ変更",
    "    カメラ画像用のＴＡＢを追加",
    "    ツールバーの表示/非表示ができなかったのを修正",
    "    待ち受けで容量とサイズのテレコカラムを修正",
    "    本文無しメロディメールが処理できなかったのを修正",
    "    Windows98で赤外線転送できなかったのを修正",
    "    P504とF504の設定を追加(試験中)",
    "    アドレス帳の全件送信に対応",
    "    アドレス帳の全件受信に対応",
    "    ブックマークの全件受信に対応",
    "    メールの全件受信に対応",
    "    メールが正しく送信できなかったのを修正[N504i]",
    "    メールが正しく受信できなかったのを修正[N503i/N504i]",
    "    リストのソートが正しく行われなかったのを修正",
    "Ver 1.50 2003/03/19",
    "    メールが300文字程度で切れていたのを修正[P503i(S)]",
    "    送信メールから返信メールが作成される問題を修正",
    "    メール作成時に本文の文字数表示機能を追加",
    "    受信メールタブでも絵文字キーボードを起動可能に修正",
    "Ver 1.40 2003/02/24",
    "    GUIを改造",
    "    MLDファイル詳細情報表示機能を追加",
    "Ver 1.30 2003/01/17",
    "    ワイアレスリンクを使用したデータ管理に対応",
    "    ※Win98系暫定対応",
    "    GIFファイルが扱えなかったのを修正",
    "    N503i/N503is対応",
    "Ver 1.20 2003/01/16",
    "    着メロが正しく転送されない不具合を修正[P503i(S)]",
    "    ワイアレスリンクで取得した各ファイルのＤ＆Ｄ対応",
    "Ver 1.10 2003/01/15",
    "    着メロ簡易再生機能追加",
    "Ver 1.01 2003/01/03",
    "Ver 1.00 2002/12/26",
    "    初回リリース(1.00)",
    "Ver 0.%d 2002/12/16",
    "    βリリース(お試しテスト)",
    "    基本機能実装済み、環境別テスト用",
};
}  // namespace

QStringList CAboutDlg::HistoryLines() {
    QStringList lines;
    for (const char* entry : kHistory) {
        QString line = QString::fromUtf8(entry);
        if (line.contains(QStringLiteral("%s"))) line.replace(QStringLiteral("%s"), QString::fromUtf8(kVersion));
        if (line.contains(QStringLiteral("%d"))) line.replace(QStringLiteral("%d"), QString::number(90));
        lines << line;
    }
    return lines;
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), history_(new QListWidget(this)) {
    setObjectName(QStringLiteral("AboutDlg"));
    setWindowTitle(QString::fromUtf8("ﾊﾞｰｼﾞｮﾝ情報"));
    auto* icon = new QLabel(this);
    icon->setPixmap(AppIcons::Program().pixmap(32, 32));
    auto* caption = new QLabel(QStringLiteral("Sorvanto Version %1").arg(QString::fromUtf8(kVersion)), this);
    caption->setObjectName(QStringLiteral("Caption"));
    auto* top = new QHBoxLayout();
    top->addWidget(icon);
    top->addWidget(caption, 1);
    // One face for Latin and Japanese alike: left to the fallback, the four leading blanks of a
    // sub-line take the width of whichever face draws the text after them, and the lines are
    // indented unevenly.
    history_->setFont(AppFonts::UiGothic(history_->font()));
    history_->addItems(HistoryLines());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(history_, 1);
    layout->addWidget(buttons);
    resize(460, 360);
}

}  // namespace sorvanto
