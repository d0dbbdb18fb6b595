#include "platform/db/TField.h"

#include "platform/db/EDatabaseError.h"
#include "platform/db/TDataSet.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

const db::Value kNull;

AnsiString float_text(double v) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return AnsiString(buf, r.ptr);
}

}  // namespace

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

TField::TField(TComponent* AOwner, TFieldType type, int size, TAlignment alignment)
    : TComponent(AOwner), m_dataType(type), m_size(size), m_alignment(alignment) {}

TField::~TField() {
    if (m_dataSet) m_dataSet->RemoveField(this);
}

void TField::SetDataSet(TDataSet* value) {
    if (value == m_dataSet) return;
    if (m_dataSet && m_dataSet->Active()) db::database_error("Cannot perform this operation on an open dataset", m_dataSet);
    if (value && value->Active()) db::database_error("Cannot perform this operation on an open dataset", value);
    if (m_dataSet) m_dataSet->RemoveField(this);
    m_dataSet = value;
    if (m_dataSet) m_dataSet->AddField(this);
}

int TField::Index() const {
    if (!m_dataSet) return -1;
    for (int i = 0; i < m_dataSet->FieldCount(); ++i)
        if (m_dataSet->Fields(i) == this) return i;
    return -1;
}

void TField::SetFieldName(const AnsiString& value) {
    if (value == m_fieldName) return;
    if (m_dataSet && m_dataSet->Active()) db::database_error("Cannot perform this operation on an open dataset", m_dataSet);
    m_fieldName = value;
}

void TField::SetFieldKind(TFieldKind value) {
    if (value == m_fieldKind) return;
    if (m_dataSet && m_dataSet->Active()) db::database_error("Cannot perform this operation on an open dataset", m_dataSet);
    m_fieldKind = value;
}

void TField::SetSize(int value) {
    value = std::clamp(value, 0, 8192);
    if (value == m_size) return;
    if (m_dataSet && m_dataSet->Active()) db::database_error("Cannot perform this operation on an open dataset", m_dataSet);
    m_size = value;
}

int TField::DisplayWidth() const { return m_displayWidth > 0 ? m_displayWidth : DefaultWidth(); }

void TField::SetDisplayWidth(int value) {
    value = std::max(value, 0);
    if (value == m_displayWidth) return;
    m_displayWidth = value;
    PropertyChanged();
}

void TField::SetDisplayLabel(const AnsiString& value) {
    // A label equal to the field name is no label of its own.
    const AnsiString stored = value == m_fieldName ? AnsiString() : value;
    if (stored == m_displayLabel) return;
    m_displayLabel = stored;
    PropertyChanged();
}

void TField::SetAlignment(TAlignment value) {
    if (value == m_alignment) return;
    m_alignment = value;
    PropertyChanged();
}

void TField::SetVisible(bool value) {
    if (value == m_visible) return;
    m_visible = value;
    PropertyChanged();
}

void TField::SetLookupDataSet(TDataSet* value) {
    if (value == m_lookupDataSet) return;
    if (m_lookupDataSet) RemoveFreeNotification(m_lookupDataSet);
    m_lookupDataSet = value;
    if (value) FreeNotification(value);
}

void TField::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == m_lookupDataSet) m_lookupDataSet = nullptr;
}

void TField::PropertyChanged() {
    if (m_dataSet && m_dataSet->Active()) m_dataSet->DataEvent(deLayoutChange);
}

const db::Value& TField::Value() const { return m_dataSet ? m_dataSet->FieldValue(*this) : kNull; }

bool TField::IsNull() const { return db::is_null(Value()); }

AnsiString TField::AsString() const {
    const db::Value& v = Value();
    if (auto* s = std::get_if<AnsiString>(&v)) return *s;
    if (auto* i = std::get_if<std::int32_t>(&v)) return std::to_string(*i);
    if (auto* d = std::get_if<double>(&v)) return float_text(*d);
    return {};
}

int TField::AsInteger() const {
    const db::Value& v = Value();
    if (auto* i = std::get_if<std::int32_t>(&v)) return *i;
    if (auto* d = std::get_if<double>(&v)) {
        if (std::isfinite(*d) && std::fabs(*d) <= std::numeric_limits<int>::max()) return static_cast<int>(std::lround(*d));
    } else if (auto* s = std::get_if<AnsiString>(&v)) {
        int out = 0;
        const char* end = s->data() + s->size();
        auto r = std::from_chars(s->data(), end, out);
        if (r.ec == std::errc() && r.ptr == end) return out;
    } else {
        return 0;
    }
    db::database_error(db::format_message("'%s' is not a valid integer value", AsString()), this);
}

void TField::FocusControl() {
    if (!m_dataSet) return;
    TField* field = this;
    m_dataSet->DataEvent(deFocusControl, reinterpret_cast<std::intptr_t>(&field));
}
