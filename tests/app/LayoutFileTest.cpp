// The layout file across runs of the whole program on a headless screen: the
// second start reads back what the first close wrote and shows the same
// window, and the second close writes the same bytes, also after the user
// has moved a column and a toolbar.
#include "AppTestSupport.h"

#include "bars/dxBar.h"
#include "grid/dxDBGrid.h"
#include "platform/gfx/TBitmap.h"

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

using apptest::AppTest;

namespace {

class LayoutFileTest : public AppTest {
protected:
    LayoutFileTest() : AppTest(1024, 768) {}

    void show() {
        start();
        Phones->Show();
        host.pump();
    }
    // Closes the program as the entry point ends it, and makes a new one.
    void close() {
        app.reset();
        Phones = nullptr;
        AboutBox = nullptr;
        app = std::make_unique<TApplication>();
    }
    std::string file() {
        // Whichever of the two writers spelled the name first.
        std::ifstream in(std::filesystem::exists(dir / "abonix.ini") ? dir / "abonix.ini" : dir / "Abonix.ini",
                         std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::vector<gfx::Pixel> screen() {
        const std::unique_ptr<TBitmap> shot = host.screenshot();
        std::vector<gfx::Pixel> pixels;
        for (int y = 0; y < shot->Height(); ++y)
            pixels.insert(pixels.end(), shot->ScanLine(y), shot->ScanLine(y) + shot->Width());
        return pixels;
    }
};

TEST_F(LayoutFileTest, ASecondRunShowsTheSameWindowAndWritesTheSameBytes) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
    };
    const std::vector<Case> cases = {
        {"as designed", [] {}},
        {"a column widened and one hidden",
         [] {
             TdxDBGrid& grid = *Phones->PhoneGrid;
             grid.ColumnByName("PhoneGridFirstName")->SetWidth(150);
             grid.ColumnByName("PhoneGridHouse")->SetVisible(false);
         }},
        {"a column and the toolbar moved",
         [] {
             TdxDBGrid& grid = *Phones->PhoneGrid;
             grid.ColumnByName("PhoneGridCityStr")->SetIndex(grid.ColumnByName("PhoneGridLastName")->Index());
             Phones->SearchBar->SetDockedLeft(Phones->SearchBar->DockedLeft() + 150);
             Phones->SearchBar->SetDockingStyle(dsBottom);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(dir / "Abonix.ini");
        std::filesystem::remove(dir / "abonix.ini");
        show();
        c.arrange();
        host.pump();
        const std::vector<gfx::Pixel> arranged = screen();
        close();
        const std::string first = file();
        ASSERT_FALSE(first.empty());

        show();
        EXPECT_TRUE(screen() == arranged) << "the second start shows another window";
        close();
        EXPECT_EQ(file(), first);
    }
}

}  // namespace

namespace {

// Ctrl+X ends the message loop before the window goes: no message box can
// show then, so both failed saves are said on standard error.
TEST_F(LayoutFileTest, AFailedSaveAfterTheMessageLoopHasEndedIsSaidOnStandardError) {
    show();
    // A folder that does not exist stands in for a read-only one or a full disk.
    Phones->PhoneGrid->SetIniFileName("no-such-folder/Abonix.ini");
    Phones->PhoneBarManager->SetIniFileName("no-such-folder/abonix.ini");
    host.press_key('X', {ui::VK_CONTROL});
    host.pump();
    ASSERT_TRUE(Application->Terminated());
    std::vector<std::string> boxes;
    app->OnException = [&](TObject*, const std::exception& e) { boxes.push_back(e.what()); };
    testing::internal::CaptureStderr();
    close();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(boxes.empty());
    int lines = 0;
    for (std::size_t at = said.find("Abonix: the layout was not saved: "); at != std::string::npos;
         at = said.find("Abonix: the layout was not saved: ", at + 1))
        ++lines;
    EXPECT_EQ(lines, 2) << said;
}

}  // namespace
