#include "BarsTestSupport.h"

#include <stdexcept>

namespace bars::test {
namespace {

class BarManagerTest : public BarsTest {};

TEST_F(BarManagerTest, ConfiguredLikeTheMainWindowTwoBarsInTheTopDockFiftyPixelsHigh) {
    checkAll();
    EXPECT_EQ(topDock().RowCount(), 2);
    EXPECT_EQ(topDock().Height(), 50);
    ASSERT_TRUE(form->MainMenu->Control());
    ASSERT_TRUE(form->SearchBar->Control());
    EXPECT_EQ(topDock().RowOf(form->MainMenu->Control()), 0);
    EXPECT_EQ(topDock().RowOf(form->SearchBar->Control()), 1);
    // The menu row: 23-pixel title buttons and the bar's borders; the search
    // bar's row: the edit boxes (the height of "0" plus 7) and the borders.
    EXPECT_EQ(form->MainMenu->Control()->BoundsRect(), Bounds(0, 0, topDock().Width(), 27));
    EXPECT_EQ(form->SearchBar->Control()->Height(), form->SearchBar->Control()->EditHeight() + 4);
    EXPECT_EQ(form->SearchBar->Control()->Top(), 27);
    EXPECT_EQ(form->SearchBar->DockedTop(), 27);
    EXPECT_EQ(form->SearchBar->Control()->Left(), 0);
    EXPECT_EQ(form->SearchBar->Row(), 1);
    // The other sites take no room: the grid starts right below the top dock.
    EXPECT_EQ(form->Grid->Top(), 50);
    EXPECT_EQ(form->Grid->Left(), 0);
    EXPECT_EQ(form->dxBarDockControl1->Height(), 0);
}

}  // namespace
}  // namespace bars::test
