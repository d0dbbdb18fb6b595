// A bar or menu made of plain items, for the tests of keyboard mode.
#pragma once

#include "bars/MenuLevel.h"
#include "text/Cp1251.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dxbar::test {

using ui::HWND;
using ui::kNoWindow;

using Log = std::vector<std::string>;

struct Item {
    std::string caption;  // UTF-8
    MenuItemKind kind = MenuItemKind::button;
    std::vector<Item> items;  // a submenu's
    bool enabled = true;
};

// A bar or menu made of plain items that logs what the chain asks of it.
class FakeLevel : public MenuLevel {
public:
    FakeLevel(std::string name, std::vector<Item> items, bool bar, HWND window, Log& log,
              std::vector<std::unique_ptr<FakeLevel>>& menus)
        : name(std::move(name)), items(std::move(items)), bar(bar), hwnd(window), log(log), menus(menus) {}

    int item_count() const override { return static_cast<int>(items.size()); }
    bool item_selectable(int i) const override { return items[static_cast<std::size_t>(i)].enabled; }
    MenuItemKind item_kind(int i) const override { return items[static_cast<std::size_t>(i)].kind; }
    AnsiString item_caption(int i) const override { return text::utf8_to_cp1251(items[static_cast<std::size_t>(i)].caption); }
    int selected() const override { return sel; }
    void set_selected(int i) override { sel = i; }
    bool is_bar() const override { return bar; }
    HWND window() const override { return hwnd; }
    MenuLevel* open_submenu(int i, OpenedBy by) override {
        const Item& item = items[static_cast<std::size_t>(i)];
        log.push_back("open " + item.caption + (by == OpenedBy::mouse ? " by mouse" : by == OpenedBy::hover ? " by hover" : ""));
        menus.push_back(std::make_unique<FakeLevel>(item.caption, item.items, false, kNoWindow, log, menus));
        return menus.back().get();
    }
    void close() override {
        log.push_back("close " + name);
        closed = true;
    }
    std::function<void()> prepare_click(int i) override {
        const std::string caption = items[static_cast<std::size_t>(i)].caption;
        return [this, caption] { log.push_back("click " + caption); };
    }
    bool can_expand() const override { return hides_items; }
    MenuLevel* expand() override {
        log.push_back("expand " + name);
        hides_items = false;
        return this;
    }
    std::string selected_caption() const { return sel < 0 ? "-" : items[static_cast<std::size_t>(sel)].caption; }

    std::string name;
    std::vector<Item> items;
    bool bar;
    HWND hwnd;
    Log& log;
    std::vector<std::unique_ptr<FakeLevel>>& menus;
    int sel = -1;
    bool closed = false;
    bool hides_items = false;
};

}  // namespace dxbar::test
