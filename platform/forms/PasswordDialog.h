// The password dialog of the dataset layer: asked when a table is protected
// by a password. A small modal form centred over the main form: the table's
// name, an edit that shows a '*' for each character typed, OK (the default
// button, Enter) and Cancel (Esc, the close box).
#pragma once

#include "text/AnsiString.h"

namespace forms {

// Shows the dialog for table_name (CP1251). True and the text typed on OK,
// false on Cancel; the text is CP1251 as typed, letter case kept.
bool password_dialog(const AnsiString& table_name, AnsiString& password);

}  // namespace forms
