#include "platform/forms/TScreen.h"

#include "platform/ui/WindowSystem.h"

TScreen::TScreen() {
    using ui::StandardCursor;
    const std::pair<TCursor, StandardCursor> standard[] = {
        {crDefault, StandardCursor::arrow},     {crNone, StandardCursor::none},
        {crArrow, StandardCursor::arrow},       {crCross, StandardCursor::cross},
        {crIBeam, StandardCursor::ibeam},       {crSizeNESW, StandardCursor::size_nesw},
        {crSizeNS, StandardCursor::size_ns},    {crSizeNWSE, StandardCursor::size_nwse},
        {crSizeWE, StandardCursor::size_we},    {crUpArrow, StandardCursor::up_arrow},
        {crHourGlass, StandardCursor::wait},    {crDrag, StandardCursor::drag},
        {crNoDrop, StandardCursor::no_drop},    {crHSplit, StandardCursor::hsplit},
        {crVSplit, StandardCursor::vsplit},     {crMultiDrag, StandardCursor::multi_drag},
        {crSQLWait, StandardCursor::wait},      {crNo, StandardCursor::no},
        {crAppStart, StandardCursor::app_start}, {crHelp, StandardCursor::help},
        {crHandPoint, StandardCursor::hand},    {crSizeAll, StandardCursor::size_all},
    };
    for (const auto& [index, shape] : standard) m_cursors[index] = ui::Cursor{shape, nullptr};
}

ui::Cursor TScreen::Cursors(TCursor index) const {
    auto it = m_cursors.find(index);
    return it == m_cursors.end() ? ui::Cursor{} : it->second;
}

void TScreen::SetCursors(TCursor index, const ui::Cursor& cursor) { m_cursors[index] = cursor; }

void TScreen::SetCursor(TCursor value) {
    if (value == m_cursor) return;
    m_cursor = value;
    if (!ui::WindowSystem::exists()) return;
    ui::WindowSystem& ws = ui::WindowSystem::current();
    if (value != crDefault) {
        ws.set_cursor(Cursors(value));
        return;
    }
    // Back to the controls' own shapes: the window under the pointer says which.
    const ui::HWND under = ws.get_capture() != ui::kNoWindow ? ws.get_capture() : ws.window_from_point(ws.get_cursor_pos());
    if (under == ui::kNoWindow || !ws.send_message(under, ui::WM_SETCURSOR, under, ui::make_lparam(ui::HTCLIENT, ui::WM_MOUSEMOVE)))
        ws.set_cursor(Cursors(crDefault));
}

int TScreen::Width() const { return ui::WindowSystem::exists() ? ui::WindowSystem::current().screen_rect().Width() : 0; }
int TScreen::Height() const { return ui::WindowSystem::exists() ? ui::WindowSystem::current().screen_rect().Height() : 0; }

TScreen& Screen() {
    static TScreen screen;
    return screen;
}
