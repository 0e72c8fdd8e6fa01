// The toolkit's start-up failure, seen from outside the process.
#include "support/process.h"

#include <gtest/gtest.h>

namespace {

TEST(ToolkitStart, StartWindowThatCannotBeLoadedShowsAnErrorAndExitsWithMinusOne) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string marker = std::string(temp) + "tenvaro-badstart.marker";
    DeleteFileA(marker.c_str());

    testsupport::Process p;
    std::string cmd = "\"";
    cmd += testsupport::FixturePath("badstart.exe");
    cmd += "\" ";
    cmd += marker;
    ASSERT_TRUE(p.Start(cmd));
    HWND box = testsupport::WaitForWindow(p.Id(), "#32770", "信息：");
    ASSERT_NE(box, nullptr);
    EXPECT_NE(GetWindowLongA(box, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES); // not yet cleaned up
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(p.WaitExit(), static_cast<DWORD>(-1));
    EXPECT_NE(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES); // clean-up ran
    DeleteFileA(marker.c_str());
}

} // namespace
