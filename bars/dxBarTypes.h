// The bar manager's enumerations, resource texts and the classes' forward
// declarations, shared by every file of the bars.
#pragma once

#include "platform/classes/TSet.h"
#include "text/AnsiString.h"
#include "text/Cp1251.h"

#include <functional>

class TObject;

enum TdxBarManagerStyle { bmsStandard, bmsEnhanced, bmsFlat };
enum TdxBarMenuAnimations { maNone, maRandom, maUnfold, maSlide };
enum TdxBarItemVisible { ivNever, ivInCustomizing, ivAlways };
enum TdxBarItemAlign { iaLeft, iaCenter, iaRight, iaClient };
enum TdxBarDockingStyle { dsNone, dsLeft, dsTop, dsRight, dsBottom };
using TdxBarDockingStyles = TSet<TdxBarDockingStyle>;
enum TdxBarBorderStyle { bbsNone, bbsSingle };
enum TdxBarButtonStyle { bsDefault, bsChecked, bsDropDown };
enum TdxBarPaintStyle { psStandard, psCaption, psCaptionInMenu, psCaptionGlyph };
enum TdxBarItemUserDefine { udCaption, udGlyph, udPaintStyle, udWidth };
using TdxBarItemUserDefines = TSet<TdxBarItemUserDefine>;
enum TdxDockControlAlign { dalNone, dalTop, dalBottom, dalLeft, dalRight };

class TdxBarManager;
class TdxBarManagerList;
class TdxBarManagerCategories;
class TdxBars;
class TdxBar;
class TdxBarItemLinks;
class TdxBarItemLink;
class TdxBarItem;
class TdxBarButton;
class TdxBarWindowItem;
class TdxBarEdit;
class TCustomdxBarSubItem;
class TdxBarSubItem;
class TCustomdxBarControl;
class TdxBarControl;
class TdxBarItemControl;
class TdxBarButtonControl;
class TdxBarWinControl;
class TdxBarEditControl;
class TdxBarSubItemControl;
class TdxDockControl;
class TdxBarDockControl;

using TdxBarEvent = std::function<void(TObject* Sender, TdxBar* ABar)>;
using TdxBarItemLinkEvent = std::function<void(TObject* Sender, TdxBarItemLink* ItemLink)>;
using TdxClickItemEvent = std::function<void(TObject* Sender, TdxBarItem* AItem)>;
using TdxDockingEvent = std::function<void(TdxBar* Sender, TdxDockControl* Style, bool& CanDocking)>;

inline bool is_horizontal(TdxBarDockingStyle s) { return s == dsTop || s == dsBottom; }
inline bool is_vertical(TdxBarDockingStyle s) { return s == dsLeft || s == dsRight; }

// The manager's resource texts.
namespace bars::texts {
inline const AnsiString sDefaultCategory = "По умолчанию"_a;                                    // 39101
inline const AnsiString sOneManagerPerForm = "Форма должна содержать только  один TdxBarManager"_a;  // 39003
inline const AnsiString sOwnerMustBeForm = "TdxBarManager должен иметь владельца - TForm (TCustomForm)"_a;  // 39004
inline const AnsiString sNoManagers = "Нет доступных TdxBarManagers"_a;                           // 39005
inline const AnsiString sRecursiveSubMenu = "Вы не можете создавать рекурсивные подменю"_a;       // 39009
inline const AnsiString sCustomize = "&Настроить..."_a;                                           // 39300
}  // namespace bars::texts
