#include "platform/forms/MessageBox.h"

#include "platform/forms/TButton.h"
#include "platform/forms/TLabel.h"
#include "platform/gfx/TBitmap.h"
#include "platform/gfx/TCanvas.h"
#include "platform/ui/SystemSettings.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace forms {

namespace {

std::vector<AnsiString> split_lines(const AnsiString& text) {
    std::vector<AnsiString> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t eol = text.find('\n', start);
        AnsiString line = text.substr(start, eol == AnsiString::npos ? AnsiString::npos : eol - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        if (eol == AnsiString::npos) break;
        start = eol + 1;
    }
    return lines;
}

}  // namespace

int message_box(const AnsiString& text, const AnsiString& caption, unsigned flags) {
    struct Button {
        const char* caption;
        int result;
    };
    std::vector<Button> buttons;
    switch (flags & 0xF) {
    case MB_OKCANCEL: buttons = {{"OK", mrOk}, {"Cancel", mrCancel}}; break;
    case MB_YESNO: buttons = {{"Yes", mrYes}, {"No", mrNo}}; break;
    default: buttons = {{"OK", mrOk}}; break;
    }

    auto form = TComponent::Create<TForm>();
    form->SetBorderStyle(bsDialog);
    form->SetPosition(poMainFormCenter);
    form->SetCaption(caption);
    ui::assign_system_font(ui::message_font(), form->Font());

    TBitmap measure(1, 1);
    measure.Canvas().Font().Assign(form->Font());
    const std::vector<AnsiString> lines = split_lines(text);
    const int line_height = measure.Canvas().TextHeight("Wg");
    int text_width = 0;
    for (const AnsiString& line : lines) text_width = std::max(text_width, measure.Canvas().TextWidth(line));

    constexpr int margin = 12, button_width = 75, button_height = 23, button_gap = 6;
    const int buttons_width = static_cast<int>(buttons.size()) * button_width + (static_cast<int>(buttons.size()) - 1) * button_gap;
    const int client_width = std::max(text_width, buttons_width) + 2 * margin;
    const int text_height = static_cast<int>(lines.size()) * line_height;
    form->SetClientWidth(client_width);
    form->SetClientHeight(margin + text_height + margin + button_height + margin);

    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto* label = TComponent::Own<TLabel>(form.get());
        label->SetParent(form.get());
        label->SetCaption(lines[i]);
        label->SetBounds(margin, margin + static_cast<int>(i) * line_height, text_width, line_height);
    }
    int x = (client_width - buttons_width) / 2;
    const int y = margin + text_height + margin;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        auto* button = TComponent::Own<TButton>(form.get());
        button->SetParent(form.get());
        button->SetCaption(buttons[i].caption);
        button->SetModalResult(buttons[i].result);
        button->SetBounds(x, y, button_width, button_height);
        button->SetDefault(i == 0);
        button->SetCancel(i + 1 == buttons.size());
        x += button_width + button_gap;
    }
    const int result = form->ShowModal();
    // The close box answers like the last button.
    if (result == mrCancel && buttons.back().result != mrCancel) return buttons.back().result;
    return result;
}

}  // namespace forms
