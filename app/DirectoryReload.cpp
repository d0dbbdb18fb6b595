#include "app/DirectoryReload.h"

#include "platform/classes/ScopeExit.h"
#include "platform/forms/MessageBox.h"
#include "platform/ui/WindowSystem.h"
#include "text/Cp1251.h"

namespace app {

DirectoryReload::DirectoryReload(const directory::DirectoryTables& tables, const std::filesystem::path& folder)
    : m_tables(tables), m_watch(folder, {"Phone2k", "City", "Street"}) {
    m_timer = ui::WindowSystem::current().set_timer(ui::kNoWindow, 0, kIntervalMs, [this](ui::HWND, ui::UINT) { Check(); });
}

DirectoryReload::~DirectoryReload() {
    ui::WindowSystem& ws = ui::WindowSystem::current();
    if (m_timer) ws.kill_timer(ui::kNoWindow, m_timer);
    if (m_soon) ws.kill_timer(ui::kNoWindow, m_soon);
}

void DirectoryReload::CheckSoon() {
    if (m_soon) return;
    m_soon = ui::WindowSystem::current().set_timer(ui::kNoWindow, 0, 1, [this](ui::HWND, ui::UINT) {
        m_soon = 0;
        Check();
    }, true);
}

bool DirectoryReload::Check() {
    // The message box below runs the message loop, and with it the timer and activations.
    if (m_checking || !m_watch.changed()) return m_whole;
    m_checking = true;
    ScopeExit done([this] { m_checking = false; });
    AnsiString problems;
    for (TTable* table : {m_tables.CityT, m_tables.StreetT, m_tables.PhoneT}) {
        try {
            if (table->Active())
                table->Reopen("Code");
            else
                table->Open();
        } catch (const Exception& e) {
            problems += (problems.empty() ? "" : "\n") + e.Message();
            if (table->Active()) table->ShowNoRecords();
        }
    }
    m_whole = problems.empty();
    if (!m_whole)
        forms::message_box(AnsiString("Файлы справочника изменились и не могут быть прочитаны:\n"_a) + problems +
                               AnsiString("\n\nСписок будет открыт снова, когда файлы будут целы."_a),
                           "Abonix", forms::MB_OK | forms::MB_ICONERROR);
    return m_whole;
}

}  // namespace app
