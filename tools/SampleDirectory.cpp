#include "tools/SampleDirectory.h"

#include "engine/EngineError.h"
#include "engine/TableWriter.h"
#include "tools/DirectorySchema.h"
#include "tools/ProgressBar.h"
#include "text/Cp1251.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace tools {
namespace {

using engine::Value;

// splitmix64: small, fast and the same on every platform.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>((next() >> 32) * n >> 32); }
    bool chance(double p) { return static_cast<double>(next() >> 11) * 0x1.0p-53 < p; }

private:
    std::uint64_t m_state;
};

// Picks items with weights falling off like a name frequency list.
class Zipf {
public:
    Zipf(std::size_t n, double exponent) {
        double total = 0;
        for (std::size_t i = 0; i < n; ++i) {
            total += 1.0 / std::pow(static_cast<double>(i + 1), exponent);
            m_cumulative.push_back(total);
        }
        for (auto& c : m_cumulative) c /= total;
    }
    std::size_t pick(Random& r) const {
        const double u = static_cast<double>(r.next() >> 11) * 0x1.0p-53;
        std::size_t lo = 0, hi = m_cumulative.size() - 1;
        while (lo < hi) {
            std::size_t mid = (lo + hi) / 2;
            if (m_cumulative[mid] < u) lo = mid + 1; else hi = mid;
        }
        return lo;
    }

private:
    std::vector<double> m_cumulative;
};

const char* const kSurnames[] = {
    "Иванов", "Смирнов", "Кузнецов", "Попов", "Васильев", "Петров", "Соколов", "Михайлов", "Новиков", "Фёдоров",
    "Морозов", "Волков", "Алексеев", "Лебедев", "Семёнов", "Егоров", "Павлов", "Козлов", "Степанов", "Николаев",
    "Орлов", "Андреев", "Макаров", "Никитин", "Захаров", "Зайцев", "Соловьёв", "Борисов", "Яковлев", "Григорьев",
    "Романов", "Воробьёв", "Сергеев", "Кузьмин", "Фролов", "Александров", "Дмитриев", "Королёв", "Гусев", "Киселёв",
    "Ильин", "Максимов", "Поляков", "Сорокин", "Виноградов", "Ковалёв", "Белов", "Медведев", "Антонов", "Тарасов",
    "Жуков", "Баранов", "Филиппов", "Комаров", "Давыдов", "Беляев", "Герасимов", "Богданов", "Осипов", "Сидоров",
    "Матвеев", "Титов", "Марков", "Миронов", "Крылов", "Куликов", "Карпов", "Власов", "Мельников", "Денисов",
    "Гаврилов", "Тихонов", "Казаков", "Афанасьев", "Данилов", "Савельев", "Тимофеев", "Фомин", "Чернов", "Абрамов",
    "Мартынов", "Ефимов", "Федотов", "Щербаков", "Назаров", "Калинин", "Исаев", "Чернышёв", "Быков", "Маслов",
    "Родионов", "Коновалов", "Лазарев", "Воронин", "Климов", "Филатов", "Пономарёв", "Голубев", "Кудрявцев", "Прохоров",
    "Наумов", "Потапов", "Журавлёв", "Овчинников", "Трофимов", "Леонов", "Соболев", "Ермаков", "Колесников", "Гончаров",
    "Емельянов", "Никифоров", "Грачёв", "Котов", "Гришин", "Ефремов", "Архипов", "Громов", "Кириллов", "Малышев",
    "Панов", "Моисеев", "Румянцев", "Акимов", "Кондратьев", "Бирюков", "Горбунов", "Анисимов", "Ерёмин", "Тихомиров",
    "Галкин", "Лукьянов", "Михеев", "Скворцов", "Юдин", "Белоусов", "Нестеров", "Симонов", "Прокофьев", "Харитонов",
    "Князев", "Цветков", "Левин", "Митрофанов", "Воронов", "Аксёнов", "Мальцев", "Логинов", "Горшков", "Савин",
    "Краснов", "Майоров", "Демидов", "Елисеев", "Рыбаков", "Сафонов", "Плотников", "Хохлов", "Жданов", "Шевченко",
    "Ковальчук", "Бондаренко", "Кравченко", "Черных", "Белых", "Высоцкий", "Покровский", "Вишневский", "Островский",
    "Толстой", "Луговской", "Сухих", "Мороз", "Гребенщиков", "Старостин", "Шубин", "Зуев", "Блинов", "Суханов",
};

// Female form of a surname: -ов/-ев/-ёв/-ин/-ын take -а, -ский/-цкий become
// -ская/-цкая, -ой becomes -ая; the rest (-ко, -ук, -их, -ых, Мороз) stay as they are.
std::string female_surname(const std::string& male) {
    auto ends = [&](const char* tail) {
        const std::string t(tail);
        return male.size() >= t.size() && male.compare(male.size() - t.size(), t.size(), t) == 0;
    };
    if (ends("ский") || ends("цкий")) return male.substr(0, male.size() - std::string("ий").size()) + "ая";
    if (ends("ской") || ends("ой")) return male.substr(0, male.size() - std::string("ой").size()) + "ая";
    if (ends("ов") || ends("ев") || ends("ёв") || ends("ин") || ends("ын")) return male + "а";
    return male;
}

struct MaleName { const char* name; const char* son; const char* daughter; };
const MaleName kMaleNames[] = {
    {"Александр", "Александрович", "Александровна"}, {"Сергей", "Сергеевич", "Сергеевна"},
    {"Владимир", "Владимирович", "Владимировна"}, {"Николай", "Николаевич", "Николаевна"},
    {"Алексей", "Алексеевич", "Алексеевна"}, {"Андрей", "Андреевич", "Андреевна"},
    {"Виктор", "Викторович", "Викторовна"}, {"Юрий", "Юрьевич", "Юрьевна"},
    {"Михаил", "Михайлович", "Михайловна"}, {"Иван", "Иванович", "Ивановна"},
    {"Дмитрий", "Дмитриевич", "Дмитриевна"}, {"Евгений", "Евгеньевич", "Евгеньевна"},
    {"Анатолий", "Анатольевич", "Анатольевна"}, {"Василий", "Васильевич", "Васильевна"},
    {"Валерий", "Валерьевич", "Валерьевна"}, {"Игорь", "Игоревич", "Игоревна"},
    {"Геннадий", "Геннадьевич", "Геннадьевна"}, {"Олег", "Олегович", "Олеговна"},
    {"Павел", "Павлович", "Павловна"}, {"Пётр", "Петрович", "Петровна"},
    {"Борис", "Борисович", "Борисовна"}, {"Валентин", "Валентинович", "Валентиновна"},
    {"Виталий", "Витальевич", "Витальевна"}, {"Григорий", "Григорьевич", "Григорьевна"},
    {"Леонид", "Леонидович", "Леонидовна"}, {"Константин", "Константинович", "Константиновна"},
    {"Георгий", "Георгиевич", "Георгиевна"}, {"Фёдор", "Фёдорович", "Фёдоровна"},
    {"Степан", "Степанович", "Степановна"}, {"Вячеслав", "Вячеславович", "Вячеславовна"},
    {"Станислав", "Станиславович", "Станиславовна"}, {"Аркадий", "Аркадьевич", "Аркадьевна"},
    {"Роман", "Романович", "Романовна"}, {"Денис", "Денисович", "Денисовна"},
    {"Максим", "Максимович", "Максимовна"}, {"Артём", "Артёмович", "Артёмовна"},
    {"Яков", "Яковлевич", "Яковлевна"}, {"Илья", "Ильич", "Ильинична"},
    {"Никита", "Никитич", "Никитична"}, {"Лев", "Львович", "Львовна"},
};
const char* const kFemaleNames[] = {
    "Елена", "Ольга", "Татьяна", "Наталья", "Ирина", "Светлана", "Галина", "Людмила", "Валентина", "Анна",
    "Мария", "Нина", "Надежда", "Любовь", "Екатерина", "Тамара", "Вера", "Лариса", "Марина", "Юлия",
    "Оксана", "Алла", "Зоя", "Раиса", "Антонина", "Евгения", "Лидия", "Клавдия", "Зинаида", "Маргарита",
    "Виктория", "Жанна", "Инна", "Анастасия", "Ксения", "Дарья", "Алёна", "Валерия",
};

// Ольмарск first (code 1), then the settlements around it.
const char* const kCities[] = {
    "Ольмарск", "Берёзовка", "Заречье", "Сосновка", "Ключи", "Малиновка", "Покровское", "Никольское",
    "Луговой", "Каменка", "Озёрный", "Шахтёрский", "Октябрьский", "Приречный", "Ивановка", "Степное",
    "Ёлкино", "Верхние Ольмы", "Нижние Ольмы",
};

const char* const kStreetPersons[] = {
    "Ленина", "Гагарина", "Пушкина", "Лермонтова", "Кирова", "Горького", "Чехова", "Толстого", "Матросова",
    "Чапаева", "Фрунзе", "Калинина", "Маяковского", "Свердлова", "Дзержинского", "Жукова", "Королёва",
    "Циолковского", "Шевченко", "Некрасова", "Гоголя", "Суворова", "Кутузова", "Титова", "Островского",
    "Тургенева", "Крылова", "Мичурина", "Ломоносова", "Менделеева", "Павлова", "Попова", "Чкалова",
    "Володарского", "Урицкого", "Белинского", "Герцена", "Куйбышева", "Щорса", "Котовского", "Ворошилова",
    "Кошевого", "Космодемьянской", "Зои Космодемьянской", "Маркса", "Энгельса", "Луначарского", "Тимирязева",
};
const char* const kStreetAdjectives[] = {
    "Советская", "Садовая", "Лесная", "Школьная", "Молодёжная", "Зелёная", "Набережная", "Первомайская",
    "Октябрьская", "Комсомольская", "Пролетарская", "Заводская", "Полевая", "Речная", "Северная", "Южная",
    "Центральная", "Рабочая", "Новая", "Луговая", "Береговая", "Вокзальная", "Нагорная", "Трудовая",
    "Юбилейная", "Солнечная", "Парковая", "Почтовая", "Кооперативная", "Степная", "Сибирская", "Уральская",
    "Шахтёрская", "Пионерская", "Красноармейская", "Партизанская", "Больничная", "Мирная", "Озёрная",
    "Кленовая", "Рябиновая", "Берёзовая", "Сосновая", "Цветочная",
};
const char* const kStreetPlural[] = {
    "Строителей", "Энергетиков", "Космонавтов", "Победы", "Мира", "Дружбы", "Геологов", "Металлургов",
    "Шахтёров", "Железнодорожников", "8 Марта", "50 лет Октября", "Коммунаров", "Декабристов",
};

std::vector<std::string> street_names() {
    std::vector<std::string> out;
    for (const char* s : kStreetAdjectives) out.push_back(std::string("ул. ") + s);
    for (const char* s : kStreetPersons) out.push_back(std::string("ул. ") + s);
    for (const char* s : kStreetPlural) out.push_back(std::string("ул. ") + s);
    for (const char* s : kStreetPersons) out.push_back(std::string("пер. ") + s);
    for (int i = 0; i < 6; ++i) out.push_back(std::string("пр. ") + kStreetPlural[i]);
    for (int i = 0; i < 8; ++i) out.push_back(std::string("бул. ") + kStreetPersons[i * 5]);
    for (int i = 0; i < 12; ++i) out.push_back(std::string("туп. ") + kStreetPersons[i * 3 + 1]);
    for (int i = 1; i <= 20; ++i) out.push_back(std::string("мкр. ").append(std::to_string(i)));
    for (int i = 1; i <= 5; ++i) out.push_back(std::to_string(i).append("-я Промышленная"));
    return out;
}

std::vector<AnsiString> cp1251_names(const std::vector<std::string>& utf8) {
    std::vector<AnsiString> out;
    for (const auto& s : utf8) out.push_back(text::utf8_to_cp1251(s));
    return out;
}

}  // namespace

void generate_sample_directory(const std::filesystem::path& dir, const SampleOptions& options) {
    const std::uint32_t n = options.subscribers;
    if (n > 1000000)
        throw engine::EngineError(engine::kErrInvalidArgument, "At most 1000000 subscribers: phone numbers have six digits");
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!std::filesystem::is_directory(dir))
        throw engine::EngineError(engine::kErrIo, text::utf8_to_cp1251(dir.string()) + ": cannot create the folder");

    Random rng(options.seed);
    const std::vector<std::string> cities(std::begin(kCities), std::end(kCities));
    const std::vector<std::string> streets = street_names();
    write_place_table(dir / "City.db", "City", cp1251_names(cities), options.password);
    write_place_table(dir / "Street.db", "Street", cp1251_names(streets), options.password);
    engine::TableSchema schema = subscriber_schema();
    schema.password = options.password;
    engine::TableWriter w(dir / "Phone2k.db", schema);

    // Six-digit numbers, each used once, in random order; Ольмарск's numbers
    // start with 2 to 9 while there is room for that.
    const std::uint32_t base = n <= 800000 ? 200000 : 0;
    std::vector<std::uint32_t> phones(1000000 - base);
    for (std::uint32_t i = 0; i < phones.size(); ++i) phones[i] = base + i;
    for (std::uint32_t i = 0; i < n; ++i) std::swap(phones[i], phones[i + rng.below(static_cast<std::uint32_t>(phones.size()) - i)]);

    const Zipf surname_pick(std::size(kSurnames), 0.9);
    const Zipf male_pick(std::size(kMaleNames), 0.8);
    const Zipf female_pick(std::size(kFemaleNames), 0.8);
    const Zipf settlement_pick(cities.size() - 1, 0.6);
    const Zipf city_street_pick(streets.size(), 0.3);
    const std::size_t settlement_streets = 25;
    const std::uint32_t missing_every = std::max<std::uint32_t>(n / 5, 20000);

    // Every name in CP1251 once, not once per subscriber.
    struct Surname { AnsiString male, female; };
    std::vector<Surname> surnames;
    for (const char* s : kSurnames) surnames.push_back({text::utf8_to_cp1251(s), text::utf8_to_cp1251(female_surname(s))});
    struct Father { AnsiString name, son, daughter; };
    std::vector<Father> fathers;
    for (const auto& m : kMaleNames)
        fathers.push_back({text::utf8_to_cp1251(m.name), text::utf8_to_cp1251(m.son), text::utf8_to_cp1251(m.daughter)});
    std::vector<AnsiString> women;
    for (const char* w : kFemaleNames) women.push_back(text::utf8_to_cp1251(w));
    const AnsiString letter_a = "а"_a, letter_b = "б"_a;

    // A bar only for counts that take a while.
    ProgressBar bar(n >= 200000 ? options.progress : nullptr, "Generating", n);
    std::array<Value, kSubscriberFields> row;
    for (std::uint32_t i = 0; i < n; ++i) {
        const bool female = rng.chance(0.52);
        const Surname& surname = surnames[surname_pick.pick(rng)];
        const Father& father = fathers[male_pick.pick(rng)];
        const AnsiString& first = female ? women[female_pick.pick(rng)] : fathers[male_pick.pick(rng)].name;
        const bool in_town = rng.chance(0.8);
        int city = in_town ? 1 : static_cast<int>(settlement_pick.pick(rng)) + 2;
        int street = static_cast<int>(in_town ? city_street_pick.pick(rng) : rng.below(settlement_streets)) + 1;
        // A handful of subscribers whose city or street has no name in its table.
        if (i % missing_every == 7) city = kMissingCityCode;
        if (i % missing_every == 11) street = kMissingStreetCode;
        const bool private_house = !in_town || rng.chance(0.15);
        AnsiString house = std::to_string(1 + rng.below(private_house ? 120 : 90));
        const std::uint32_t shape = rng.below(100);
        if (shape < 8) house += letter_a;
        else if (shape < 11) house += letter_b;
        else if (shape < 16 && !private_house) house.append("/").append(std::to_string(1 + rng.below(4)));
        char phone[8];
        std::snprintf(phone, sizeof phone, "%06u", static_cast<unsigned>(phones[i]));

        row[kCode] = Value::null();
        row[kPhone] = Value::of_text(phone);
        row[kLastName] = Value::of_text(female ? surname.female : surname.male);
        row[kFirstName] = Value::of_text(first);
        row[kMiddleName] = Value::of_text(female ? father.daughter : father.son);
        row[kCity] = Value::of_int(city);
        row[kStreet] = Value::of_int(street);
        row[kHouse] = Value::of_text(house);
        row[kFlat] = private_house ? Value::null() : Value::of_text(std::to_string(1 + rng.below(in_town ? 180 : 24)));
        w.append(row);
        bar.update(i + 1);
    }
    bar.finish();
    if (options.progress && n >= 200000) *options.progress << "Writing the tables and their indexes...\n" << std::flush;
    w.finish();
}

}  // namespace tools
