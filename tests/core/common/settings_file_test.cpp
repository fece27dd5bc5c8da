#include "common/settings_file.h"

#include <gtest/gtest.h>

#include "support/temp_home.h"

namespace sorvanto {
namespace {

class SettingsFileTest : public test::TempHome {
protected:
    void TearDown() override {
        SettingsFile::Reset();
        TempHome::TearDown();
    }
};

TEST_F(SettingsFileTest, OneCopyForEveryWriter) {
    test::WriteFileBytes("Sorvanto.ini", "[System]\r\nModel=2\r\n");
    SettingsFile::Reset();
    IniFile& a = SettingsFile::Get();
    IniFile& b = SettingsFile::Get();
    EXPECT_EQ(&a, &b);
    EXPECT_EQ(a.GetInt("System", "Model", -1), 2);
    a.SetInt("System", "IrMode", 0);
    b.SetInt("Melody", "Column0", 120);
    ASSERT_TRUE(SettingsFile::Save());
    EXPECT_EQ(test::ReadFileBytes("Sorvanto.ini"), "[System]\r\nModel=2\r\nIrMode=0\r\n[Melody]\r\nColumn0=120\r\n");
}

}  // namespace
}  // namespace sorvanto
