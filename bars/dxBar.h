// The bar manager's chief header: the manager, its bars, items, links, item
// controls, bar windows and dock sites.
#pragma once

#include "bars/TdxBar.h"
#include "bars/TdxBarControl.h"
#include "bars/TdxBarEditControl.h"
#include "bars/TdxBarItem.h"
#include "bars/TdxBarItemControl.h"
#include "bars/TdxBarItemLink.h"
#include "bars/TdxBarManager.h"
#include "bars/TdxDockControl.h"
