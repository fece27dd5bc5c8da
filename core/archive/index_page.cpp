#include "archive/index_page.h"

#include "archive/html_text.h"
#include "archive/katakana.h"
#include "pictograph/pictograph_text.h"

namespace sorvanto {

namespace {

using html_text::Escaped;
using html_text::RelativeHref;

// Escaped UTF-8 with each pictograph's emoji in a span of the colour emoji face: text fonts
// carry one-colour forms of some of them (the sun, the heart) and would otherwise win.
std::string Marked(std::string_view utf8) {
    const std::u32string points = pictograph_text::DecodeUtf8(utf8);
    std::string out;
    std::size_t at = 0;
    auto plain = [&](std::size_t end) {
        std::string piece;
        for (std::size_t i = at; i < end; ++i) pictograph_text::AppendUtf8(piece, points[i]);
        out += Escaped(piece);
    };
    for (const auto& span : pictograph_text::EmojiSpans(points)) {
        plain(span.start);
        at = span.start;
        out += "<span class=\"emoji\">";
        plain(span.start + span.length);
        out += "</span>";
        at = span.start + span.length;
    }
    plain(points.size());
    return out;
}

std::string Text(std::string_view sjis) {
    return Marked(pictograph_text::ToUtf8(sjis));
}

// A stored number or address ("HOME;VOICE:03-...") as the value with its kinds after it.
std::string Typed(std::string_view sjis, bool show_kinds) {
    const std::size_t colon = sjis.find(':');
    if (colon == std::string_view::npos) return Text(sjis);
    std::string kinds(sjis.substr(0, colon));
    for (char& c : kinds) c = c == ';' ? ' ' : c;
    return Text(sjis.substr(colon + 1)) +
           (show_kinds && !kinds.empty() ? " <small>" + Text(kinds) + "</small>" : "");
}

// Line ends as <br>, after escaping.
std::string Lines(std::string_view utf8) {
    std::string out;
    const std::string escaped = Marked(utf8);
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] == '\r') {
            if (i + 1 < escaped.size() && escaped[i + 1] == '\n') ++i;
            out += "<br>";
        } else if (escaped[i] == '\n') {
            out += "<br>";
        } else {
            out += escaped[i];
        }
    }
    return out;
}

std::string Link(const std::string& path, std::string_view label) {
    return "<a href=\"" + Escaped(RelativeHref(path)) + "\">" + Escaped(label) + "</a>";
}

std::string FileName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

std::string Count(int n) {
    return " <span class=\"count\">(" + std::to_string(n) + ")</span>";
}

}  // namespace

void IndexPage::AddContact(const AddressEntry& e) {
    ++contact_count_;
    std::string kana;
    for (char32_t p : FullWidthKatakana(pictograph_text::DecodeUtf8(pictograph_text::ToUtf8(e.kana))))
        pictograph_text::AppendUtf8(kana, p);
    std::string tels, mails;
    for (const std::string& t : e.tels) tels += (tels.empty() ? "" : "<br>") + Typed(t, true);
    for (const std::string& m : e.mails) mails += (mails.empty() ? "" : "<br>") + Typed(m, false);
    std::string adr = e.adr_no.empty() ? std::string() : "〒" + Text(e.adr_no) + " ";
    adr += Text(e.adr);
    contacts_ += "<tr><td>" + Text(e.name) + "</td><td>" + Marked(kana) + "</td><td>" + tels + "</td><td>" +
                 mails + "</td><td>" + adr + "</td><td>" + Lines(pictograph_text::ToUtf8(e.note)) +
                 "</td></tr>\n";
}

void IndexPage::BeginMailBox(std::string_view heading, const std::string& mbox) {
    mail_ += "<h3>" + Escaped(heading) + " <small>" + Link(mbox, FileName(mbox)) + "</small></h3>\n";
}

void IndexPage::AddMail(const MimeMail& m, const std::string& eml,
                        const std::vector<std::string>& attachments) {
    ++mail_count_;
    std::string out = "<article class=\"mail\">\n<dl>";
    if (!m.from.empty()) out += "<dt>From</dt><dd>" + Marked(m.from) + "</dd>";
    if (!m.to.empty()) out += "<dt>To</dt><dd>" + Marked(m.to) + "</dd>";
    out += "<dt>Subject</dt><dd class=\"subject\">" + Marked(m.subject) + "</dd>";
    out += "<dt>Date</dt><dd>" + Escaped(Rfc5322Date(m.date)) + "</dd></dl>\n";
    out += "<div class=\"body\">" + Lines(m.body) + "</div>\n<p class=\"files\">" + Link(eml, FileName(eml));
    for (const std::string& a : attachments) out += " · " + Link(a, FileName(a));
    out += "</p>\n</article>\n";
    mail_ += out;
}

void IndexPage::SetBookmarks(const std::vector<ArchiveBookmark>& bookmarks) {
    bookmark_count_ = static_cast<int>(bookmarks.size());
    for (const ArchiveBookmark& b : bookmarks) {
        const std::string title = Marked(b.title.empty() ? b.url : b.title);
        if (html_text::IsWebUrl(b.url))
            bookmarks_ += "<li><a href=\"" + Escaped(b.url) + "\" rel=\"noreferrer\">" + title +
                          "</a> <span class=\"url\">" + Escaped(b.url) + "</span></li>\n";
        else
            bookmarks_ += "<li>" + title + " <span class=\"url\">" + Escaped(b.url) + "</span></li>\n";
    }
}

void IndexPage::AddMelody(const Melody& m) {
    ++melody_count_;
    std::string info;
    for (const std::string& line : m.info) info += (info.empty() ? "" : "<br>") + Marked(line);
    std::string files = Link(m.mld, FileName(m.mld));
    if (!m.mid.empty()) files += " · " + Link(m.mid, FileName(m.mid));
    if (!m.wav.empty()) files += " · " + Link(m.wav, FileName(m.wav));
    std::string player;
    if (!m.wav.empty())
        player = "<audio controls preload=\"none\" src=\"" + Escaped(RelativeHref(m.wav)) + "\"></audio>";
    melodies_ += "<tr><td>" + Marked(m.title) + "</td><td class=\"info\">" + info + "</td><td>" + files +
                 "</td><td>" + player + "</td></tr>\n";
}

void IndexPage::BeginPictures(std::string_view heading) {
    if (pictures_open_) pictures_ += "</div>\n";
    pictures_ += "<h3>" + Escaped(heading) + "</h3>\n<div class=\"pictures\">\n";
    pictures_open_ = true;
}

void IndexPage::AddPicture(const std::string& title, const std::string& path, int width, int height) {
    const std::string href = Escaped(RelativeHref(path));
    const std::string size = width > 0 && height > 0 ? " width=\"" + std::to_string(width) + "\" height=\"" +
                                                           std::to_string(height) + "\""
                                                     : std::string();
    const std::string size_text =
        width > 0 && height > 0 ? std::to_string(width) + "×" + std::to_string(height) : std::string("?");
    const bool tiny = width > 0 && height > 0 && width < 64 && height < 64;
    pictures_ += "<figure><a href=\"" + href + "\"><img" + std::string(tiny ? " class=\"tiny\"" : "") +
                 " src=\"" + href + "\" loading=\"lazy\" alt=\"" + Escaped(title) + "\"" + size +
                 "></a><figcaption>" + Marked(title) + "<br><small>" + size_text +
                 "</small></figcaption></figure>\n";
}

void IndexPage::SetSkipped(const std::vector<std::string>& lines) {
    skipped_.clear();
    for (const std::string& line : lines) {
        std::string cells;
        std::size_t start = 0;
        while (true) {
            const std::size_t tab = line.find('\t', start);
            cells += "<td>" +
                     Escaped(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start)) +
                     "</td>";
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        skipped_ += "<tr>" + cells + "</tr>\n";
    }
}

std::string IndexPage::Html(bool with_wav) const {
    std::string h =
        "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"UTF-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; img-src 'self'; "
        "media-src 'self'; "
        "style-src 'unsafe-inline'\">\n"
        "<title>Sorvanto アーカイブ</title>\n<style>\n"
        "body{font-family:\"Noto Sans CJK JP\",\"Noto Sans JP\",\"Hiragino Sans\",\"Yu "
        "Gothic\",Meiryo,sans-serif,"
        "\"Noto Color Emoji\",\"Segoe UI Emoji\",\"Apple Color Emoji\";margin:0 "
        "auto;max-width:72em;padding:1em;"
        "color:#222;background:#fafafa;line-height:1.5}\n"
        "h1{font-size:1.6em;margin:.2em 0}h2{border-bottom:2px solid #c33;padding-bottom:.2em;margin-top:2em}"
        "h3{margin:1.2em 0 .4em}\n"
        "nav a{margin-right:1em}.count{color:#777;font-weight:normal;font-size:.8em}\n"
        "table{border-collapse:collapse;width:100%;background:#fff}th,td{border:1px solid #ccc;padding:.3em "
        ".5em;"
        "vertical-align:top;text-align:left;overflow-wrap:anywhere}th{background:#eee}\n"
        ".mail{background:#fff;border:1px solid #ccc;border-radius:4px;margin:.6em 0;padding:.5em 1em}\n"
        ".mail dl{display:grid;grid-template-columns:6em 1fr;margin:0}.mail dt{color:#666}.mail dd{margin:0;"
        "overflow-wrap:anywhere}.subject{font-weight:bold}\n"
        ".body{border-top:1px dashed "
        "#ccc;margin-top:.4em;padding-top:.4em;overflow-wrap:anywhere}.files{font-size:.9em}\n"
        ".url{color:#777;font-size:.85em;overflow-wrap:anywhere}td small{color:#777}.info{font-size:.9em}\n"
        ".pictures{display:flex;flex-wrap:wrap;gap:.8em}figure{margin:0;background:#fff;border:1px solid "
        "#ccc;"
        "padding:.4em;text-align:center;width:170px}\n"
        "figure img{max-width:160px;max-height:160px;width:auto;height:auto}img.tiny{min-width:64px;"
        "image-rendering:pixelated}.emoji{font-family:\"Noto Color Emoji\",\"Segoe UI Emoji\",\"Apple Color "
        "Emoji\"}"
        "figcaption{font-size:.85em;overflow-wrap:anywhere}\n"
        "</style>\n</head>\n<body>\n<h1>Sorvanto アーカイブ</h1>\n<nav>"
        "<a href=\"#contacts\">電話帳</a><a href=\"#mail\">メール</a><a href=\"#bookmarks\">ブックマーク</a>"
        "<a href=\"#melodies\">メロディ</a><a href=\"#pictures\">画像</a>";
    if (!skipped_.empty()) h += "<a href=\"#skipped\">除外した項目</a>";
    h += "</nav>\n";
    h += "<section id=\"contacts\"><h2>電話帳" + Count(contact_count_) + "</h2>\n<p>" +
         Link("contacts.vcf", "contacts.vcf") + "</p>\n";
    h += "<table><tr><th>名前</th><th>フリガナ</th><th>電話番号</th><th>メール</th><th>住所</th><th>メモ</"
         "th></tr>\n" +
         contacts_ + "</table></section>\n";
    h += "<section id=\"mail\"><h2>メール" + Count(mail_count_) + "</h2>\n" + mail_ + "</section>\n";
    h += "<section id=\"bookmarks\"><h2>ブックマーク" + Count(bookmark_count_) + "</h2>\n<p>" +
         Link("bookmarks.html", "bookmarks.html") + "</p>\n<ul>\n" + bookmarks_ + "</ul></section>\n";
    h += "<section id=\"melodies\"><h2>メロディ" + Count(melody_count_) + "</h2>\n";
    h += "<table><tr><th>タイトル</th><th>情報</th><th>ファイル</th><th>" +
         std::string(with_wav ? "再生" : "") + "</th></tr>\n" + melodies_ + "</table></section>\n";
    h += "<section id=\"pictures\"><h2>画像</h2>\n" + pictures_ + (pictures_open_ ? "</div>\n" : "") +
         "</section>\n";
    if (!skipped_.empty())
        h += "<section id=\"skipped\"><h2>除外した項目</h2>\n<p>" +
             Link("archive-report.txt", "archive-report.txt") +
             "</p>\n<table><tr><th>区分</th><th>項目</th><th>理由</th></tr>\n" + skipped_ +
             "</table></section>\n";
    h += "</body>\n</html>\n";
    return h;
}

}  // namespace sorvanto
