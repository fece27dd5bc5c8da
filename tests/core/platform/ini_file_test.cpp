#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include "platform/fs.h"
#include "platform/ini_view.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

class IniFileTest : public test::TempHome {};

TEST_F(IniFileTest, ReadsWindowsProfileSemantics) {
    WriteFileBytes("a.ini",
                   "; comment\r\n"
                   "[System]\r\n"
                   "Count = 3 \r\n"
                   "count=9\r\n"
                   "Title=\"  quoted  \"\r\n"
                   "Neg=-42abc\r\n"
                   "NoDigits=abc\r\n"
                   "[system]\r\n"
                   "Other=1\r\n");
    IniFile ini("a.ini");
    EXPECT_EQ(ini.GetInt("SYSTEM", "COUNT"), 3);  // case-insensitive, first key wins
    EXPECT_EQ(ini.GetString("System", "Title"), "  quoted  ");
    EXPECT_EQ(ini.GetInt("System", "Neg"), -42);
    EXPECT_EQ(ini.GetInt("System", "NoDigits", 7), 0);
    EXPECT_EQ(ini.GetInt("System", "Missing", 7), 7);
    EXPECT_EQ(ini.GetString("System", "Other", "none"), "none");  // only the first section counts
    EXPECT_EQ(ini.GetString("Nowhere", "x", "dflt"), "dflt");
}

TEST_F(IniFileTest, ShiftJisBytesSurviveUntouched) {
    const std::string title = "\x92\x85\x83\x81\x83\x8D";  // 着メロ
    WriteFileBytes("b.ini", "[Item0]\r\nTitle=" + title + "\r\n");
    IniFile ini("b.ini");
    EXPECT_EQ(ini.GetString("Item0", "Title"), title);
    ini.SetString("Item0", "Comment", "\x83\x5C");  // a trail byte that is a backslash
    ASSERT_TRUE(ini.Save());
    IniFile again("b.ini");
    EXPECT_EQ(again.GetString("Item0", "Comment"), "\x83\x5C");
}

TEST_F(IniFileTest, WritesInPlaceAppendsAndDeletes) {
    WriteFileBytes("c.ini", "[A]\r\nx=1\r\n; keep me\r\ny=2\r\n\r\n[B]\r\nz=3\r\n");
    IniFile ini("c.ini");
    ini.SetString("a", "X", "10");   // replaced where it stands, key spelling as given
    ini.SetString("A", "new", "n");  // appended after the last key of its section
    ini.SetString("C", "k", "v");    // a new section at the end
    ini.DeleteKey("B", "z");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ReadFileBytes("c.ini"), "[A]\r\nX=10\r\n; keep me\r\ny=2\r\nnew=n\r\n\r\n[B]\r\n[C]\r\nk=v\r\n");
    ini.DeleteSection("A");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ReadFileBytes("c.ini"), "[B]\r\n[C]\r\nk=v\r\n");
}

// Edits of one section after another: each goes to the first live section of its name, also
// once that section is deleted, made anew or the file parsed again.
TEST_F(IniFileTest, EditsFollowTheFirstLiveSectionOfTheirName) {
    IniFile ini;
    ini.Parse("[A]\r\nk=1\r\n[a]\r\nk=2\r\n");
    ini.SetString("A", "x", "1");
    ini.SetString("a ", "y", "1");
    ini.DeleteSection("A");
    ini.SetString("A", "z", "2");  // now the second [a]
    ini.SetString("B", "k", "3");
    ini.SetString("b", "k", "4");
    EXPECT_EQ(ini.Serialize(), "[a]\r\nk=2\r\nz=2\r\n[B]\r\nk=4\r\n");
    ini.DeleteSection("a");
    ini.SetString("A", "w", "5");  // none is left: a new one at the end
    EXPECT_EQ(ini.Serialize(), "[B]\r\nk=4\r\n[A]\r\nw=5\r\n");
    ini.Parse("[A]\r\n");
    ini.SetString("A", "v", "6");
    EXPECT_EQ(ini.Serialize(), "[A]\r\nv=6\r\n");
}

TEST_F(IniFileTest, LineBreaksInValuesBecomeBlanks) {
    IniFile ini("d.ini");
    ini.SetString("S", "Comment", "one\r\ntwo\nthree");
    ini.SetString("S", "After", "ok");
    ASSERT_TRUE(ini.Save());
    IniFile again("d.ini");
    EXPECT_EQ(again.GetString("S", "Comment"), "one  two three");
    EXPECT_EQ(again.GetString("S", "After"), "ok");
    EXPECT_EQ(again.Keys("S").size(), 2u);
}

TEST_F(IniFileTest, MissingFileGivesDefaultsAndDeletedSectionsAreGone) {
    IniFile ini;
    EXPECT_FALSE(ini.Load("missing.ini"));
    EXPECT_EQ(ini.GetInt("System", "Count", 0), 0);
    for (int i = 0; i < 5; ++i) ini.SetInt("Item" + std::to_string(i), "Flag", i);
    for (int i = 2; i < 5; ++i) ini.DeleteSection("Item" + std::to_string(i));
    EXPECT_TRUE(ini.HasSection("Item1"));
    EXPECT_FALSE(ini.HasSection("Item3"));
    EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"Item0", "Item1"}));
    ini.SetInt("Item3", "Flag", 9);  // a deleted section can come back
    EXPECT_EQ(ini.GetInt("Item3", "Flag"), 9);
}

TEST_F(IniFileTest, HugeLinesAndLoneCrDoNotBreakParsing) {
    std::string big(100 * 1024, 'x');
    WriteFileBytes("e.ini", "[S]\r\nBig=" + big + "\r\nSmall=1\rmore\r\n");
    IniFile ini("e.ini");
    EXPECT_EQ(ini.GetString("S", "Big").size(), big.size());
    EXPECT_EQ(ini.GetString("S", "Small"), "1\rmore");
}

TEST_F(IniFileTest, SaveIsAtomicAndLeavesNoTemporaryFiles) {
    IniFile ini("f.ini");
    ini.SetString("S", "k", "v");
    ASSERT_TRUE(ini.Save());
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(Home())) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1);
    EXPECT_FALSE(IniFile().Save());  // no path, nothing written
}

}  // namespace
}  // namespace sorvanto

namespace sorvanto {
namespace {

// The view reads a file as IniFile does, for every key either of them can name.
TEST(IniViewTest, ReadsWhatIniFileReads) {
    const std::string texts[] = {
        "; comment\r\n[System]\r\nCount = 3 \r\ncount=9\r\nTitle=\"  quoted  \"\r\nNeg=-42abc\r\n"
        "NoDigits=abc\r\nBig=99999999999\r\n[system]\r\nOther=1\r\n",
        "Early=1\r\n[ A b ]\r\n  key  =  v \r\n=novalue\r\n;x=comment\r\nq=\"\r\n[Open\r\nk=open\r\n[A B]\r\nk=2",
        "[S]\nTel0=CELL:1\rTelCnt=1\n\n[T]\r\n\r\n[S]\r\nTel0=again\r\n  [U]  junk\r\nx = \"\"\r\n",
        "",
        "[Empty]\r\n[After]\r\nk=\x92\x85\x83\x81\r\n",
    };
    const std::string sections[] = {"System", "SYSTEM", " A b ", "a B", "Open", "S", "T", "U", "Empty", "After", "none", ""};
    const std::string keys[] = {"Count", "title", "Neg", "NoDigits", "Big", "Other", "key", " KEY ", "q", "k",
                                "Tel0", "TelCnt", "x", "Early", ";x", "", "missing"};
    for (const std::string& text : texts) {
        IniFile file;
        file.Parse(text);
        const IniView view(text);
        for (const std::string& section : sections) {
            EXPECT_EQ(view.KeyCount(section), file.KeyCount(section)) << text << " [" << section << "]";
            for (const std::string& key : keys) {
                EXPECT_EQ(std::string(view.GetString(section, key, "-")), file.GetString(section, key, "-"))
                    << text << " [" << section << "] " << key;
                EXPECT_EQ(view.GetInt(section, key, -7), file.GetInt(section, key, -7)) << section << " " << key;
                EXPECT_EQ(view.HasKey(section, key), file.HasKey(section, key)) << section << " " << key;
            }
        }
    }
}

TEST(IniFileScaleTest, ManyKeysInOneSectionStayFindable) {
    IniFile ini;
    for (int i = 0; i < 20000; ++i) ini.SetInt("System", "Tel" + std::to_string(i), i);
    ini.SetString("System", "Tel5", "x");
    EXPECT_EQ(ini.GetInt("System", "Tel19999"), 19999);
    EXPECT_EQ(ini.GetString("System", "tel5"), "x");
    EXPECT_EQ(ini.Keys("System").size(), 20000u);
}

}  // namespace
}  // namespace sorvanto

namespace sorvanto {
namespace {

// Short sections are scanned and long ones indexed: both must answer alike.
TEST(IniFileScaleTest, ShortAndLongSectionsKeepTheSameRules) {
    for (const int filler : {2, 60}) {
        std::string text = "[S]\r\nDup=first\r\ndup=second\r\n";
        for (int i = 0; i < filler; ++i) text += "K" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
        text += "\r\n";
        IniFile ini;
        ini.Parse(text);
        SCOPED_TRACE(filler);
        EXPECT_EQ(ini.GetString("s", "DUP"), "first");
        ini.DeleteKey("S", "dup");
        EXPECT_EQ(ini.GetString("S", "Dup"), "second");  // the next line of that key shows
        ini.SetString("S", "New", " \"v\" ");             // goes before the trailing blank line
        ini.SetString("S", "K0", "changed");
        EXPECT_EQ(ini.GetString("S", "new"), "v");
        EXPECT_EQ(ini.GetString("S", "k0"), "changed");
        EXPECT_EQ(ini.GetInt("S", "K" + std::to_string(filler - 1)), filler - 1);
        const std::string saved = ini.Serialize();
        EXPECT_NE(saved.find("New= \"v\" \r\n\r\n"), std::string::npos);
        IniFile again;
        again.Parse(saved);
        EXPECT_EQ(again.GetString("S", "Dup"), "second");
        EXPECT_EQ(again.GetString("S", "New"), "v");
    }
}

}  // namespace
}  // namespace sorvanto
