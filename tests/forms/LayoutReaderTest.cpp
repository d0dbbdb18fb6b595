#include "platform/forms/LayoutReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records what it sees: whether its owner and the other components were
// already loaded when its own loaded step ran.
class Probe : public TComponent {
public:
    Probe(TComponent* owner, std::vector<std::string>& log, bool fail = false)
        : TComponent(owner), m_log(log), m_fail(fail) {}
    void SetValue(int v) {
        if (Loading()) {
            m_stored = v;
            return;
        }
        m_applied = v;
    }
    int applied() const { return m_applied; }
    void Loaded() override {
        m_log.push_back("loaded " + Name() + (Owner()->Loading() ? " (owner loading)" : ""));
        m_applied = m_stored;
        TComponent::Loaded();
        if (m_fail) throw Exception("cannot connect");
    }

private:
    std::vector<std::string>& m_log;
    bool m_fail;
    int m_stored = 0;
    int m_applied = 0;
};

class Root : public TComponent {
public:
    explicit Root(std::vector<std::string>& log) : m_log(log) {}
    void Loaded() override {
        m_log.push_back("loaded root");
        TComponent::Loaded();
    }

private:
    std::vector<std::string>& m_log;
};

}  // namespace

TEST(LayoutReader, SettersStoreUntilEveryComponentIsReadThenLoadInStoredOrder) {
    std::vector<std::string> log;
    Root root(log);
    forms::LayoutReader reader(root);
    auto* a = reader.create<Probe>("PhoneT", log);
    a->SetValue(5);
    EXPECT_TRUE(a->Loading());
    EXPECT_EQ(a->applied(), 0);  // only stored while loading
    auto* b = reader.create<Probe>("CityT", log);
    auto* c = reader.create<Probe>("StreetT", log);
    log.push_back("layout read");
    reader.finish();
    EXPECT_EQ(log, (std::vector<std::string>{"layout read", "loaded root", "loaded PhoneT", "loaded CityT",
                                             "loaded StreetT"}));
    EXPECT_EQ(a->applied(), 5);
    for (TComponent* x : {static_cast<TComponent*>(&root), static_cast<TComponent*>(a), static_cast<TComponent*>(b),
                          static_cast<TComponent*>(c)})
        EXPECT_FALSE(x->Loading());
    EXPECT_EQ(root.FindComponent("cityt"), b);
}

TEST(LayoutReader, AFailingLoadedStepStopsTheRestAndLeavesThemToTheOwner) {
    std::vector<std::string> log;
    Root root(log);
    forms::LayoutReader reader(root);
    reader.create<Probe>("Abonix", log, true);
    auto* later = reader.create<Probe>("PhoneT", log);
    EXPECT_THROW(reader.finish(), Exception);
    EXPECT_EQ(log, (std::vector<std::string>{"loaded root", "loaded Abonix"}));
    EXPECT_TRUE(later->Loading());
}

TEST(LayoutReader, DuplicateStoredNamesAreRefused) {
    std::vector<std::string> log;
    Root root(log);
    forms::LayoutReader reader(root);
    reader.create<Probe>("Panel1", log);
    EXPECT_THROW(reader.create<Probe>("panel1", log), EComponentError);
}
