#include "tools/DirectorySchema.h"

namespace tools {

using engine::FieldType;

engine::TableSchema subscriber_schema() {
    engine::TableSchema schema;
    schema.fields = {{"Code", FieldType::AutoInc},
                     {"Phone", FieldType::Alpha, subscriber_field_size(kPhone)},
                     {"LastName", FieldType::Alpha, subscriber_field_size(kLastName)},
                     {"FirstName", FieldType::Alpha, subscriber_field_size(kFirstName)},
                     {"MiddleName", FieldType::Alpha, subscriber_field_size(kMiddleName)},
                     {"City", FieldType::Long},
                     {"Street", FieldType::Long},
                     {"House", FieldType::Alpha, subscriber_field_size(kHouse)},
                     {"Flat", FieldType::Alpha, subscriber_field_size(kFlat)}};
    schema.key_fields = 1;
    schema.indexes = {{"LastName Index", {"LastName", "FirstName", "MiddleName"}},
                      {"Phone", {"Phone"}},
                      {"LastName", {"LastName"}},
                      {"FirstName", {"FirstName"}},
                      {"MiddleName", {"MiddleName"}},
                      {"City", {"City"}},
                      {"Street", {"Street"}}};
    return schema;
}

int subscriber_field_size(SubscriberField field) {
    switch (field) {
    case kPhone: return 6;
    case kLastName: return 25;
    case kFirstName:
    case kMiddleName: return 15;
    case kHouse: return 8;
    case kFlat: return 5;
    default: return 0;
    }
}

void write_place_table(const std::filesystem::path& path, const char* name_field, const std::vector<AnsiString>& names,
                       const AnsiString& password) {
    engine::TableSchema schema;
    schema.password = password;
    schema.fields = {{"Code", FieldType::Long}, {name_field, FieldType::Alpha, kPlaceNameSize}};
    schema.key_fields = 1;
    schema.indexes = {{name_field, {name_field}}};
    engine::TableWriter w(path, schema);
    for (std::size_t i = 0; i < names.size(); ++i)
        w.append({engine::Value::of_int(static_cast<std::int64_t>(i) + 1), engine::Value::of_text(names[i])});
    w.finish();
}

}  // namespace tools
