#include "platform/forms/PasswordDialog.h"

#include "platform/forms/TButton.h"
#include "platform/forms/TEdit.h"
#include "platform/forms/TForm.h"
#include "platform/forms/TLabel.h"
#include "platform/ui/SystemSettings.h"

#include <memory>

namespace forms {

bool password_dialog(const AnsiString& table_name, AnsiString& password) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetName("PasswordDialog");
    form->SetBorderStyle(bsDialog);
    form->SetPosition(poMainFormCenter);
    form->SetCaption("Enter password");
    ui::assign_system_font(ui::message_font(), form->Font());

    constexpr int margin = 12, width = 260, button_width = 75, button_height = 23;
    form->SetClientWidth(width + 2 * margin);
    form->SetClientHeight(margin + 16 + 4 + 21 + margin + button_height + margin);

    auto* label = TComponent::Own<TLabel>(form.get());
    label->SetParent(form.get());
    label->SetCaption("Password for table " + table_name + ":");
    label->SetBounds(margin, margin, width, 16);

    // The edit comes first in the tab order, so it has the focus when the form shows.
    auto* edit = TComponent::Own<TEdit>(form.get());
    edit->SetName("PasswordEdit");
    edit->SetParent(form.get());
    edit->SetPasswordChar('*');
    edit->SetBounds(margin, margin + 16 + 4, width, 21);
    edit->SetTabOrder(0);

    const int y = margin + 16 + 4 + 21 + margin;
    const struct {
        const char* caption;
        TModalResult result;
    } buttons[] = {{"OK", mrOk}, {"Cancel", mrCancel}};
    int x = margin + width - 2 * button_width - 6;
    for (const auto& b : buttons) {
        auto* button = TComponent::Own<TButton>(form.get());
        button->SetParent(form.get());
        button->SetCaption(b.caption);
        button->SetModalResult(b.result);
        button->SetBounds(x, y, button_width, button_height);
        button->SetDefault(b.result == mrOk);
        button->SetCancel(b.result == mrCancel);
        x += button_width + 6;
    }
    if (form->ShowModal() != mrOk) return false;
    password = edit->Text();
    return true;
}

}  // namespace forms
