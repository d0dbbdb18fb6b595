// The bars' layout in the layout file: the arrangement of bars, their links
// and the menu options, in sections named after the form and the manager
// ("Phones.PhoneBarManager.Main", ".Bar0", ".Bar0.ItemLink0", ".SubItem_FileMenu").
//
// Saving erases every section whose name begins with the manager's prefix
// (compared with letter case) and writes them anew, leaving the others (the
// grid's) as they are. Loading reads what is there and leaves the form's
// arrangement where a value is missing.
#pragma once

#include "text/AnsiString.h"

class TdxBarManager;
class TMemIniFile;

namespace bars {

// The prefix of the manager's sections: form name, ".", manager name, ".".
AnsiString layout_section_prefix(const TdxBarManager& manager);

void save_layout(TdxBarManager& manager, TMemIniFile& ini);
void load_layout(TdxBarManager& manager, const TMemIniFile& ini);

}  // namespace bars
