#include "platform/classes/ComponentLink.h"
#include "platform/classes/TComponent.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<std::string>* g_log = nullptr;

class Probe : public TComponent {
public:
    Probe(TComponent* owner, std::string tag) : TComponent(owner), m_label(std::move(tag)) {}
    ~Probe() override {
        if (g_log) g_log->push_back("free " + m_label);
    }
    TComponent* link = nullptr;

protected:
    void Notification(TComponent* c, TOperation op) override {
        if (op == opRemove && c == link) link = nullptr;
    }

private:
    std::string m_label;
};

}  // namespace

TEST(TComponent, OwnerFreesItsComponentsLastFirstAndLinksAreCleared) {
    std::vector<std::string> log;
    g_log = &log;
    {
        TComponent form;
        auto* a = TComponent::Own<Probe>(&form, "a");
        auto* b = TComponent::Own<Probe>(&form, "b");
        a->SetName("PhoneT");
        b->SetName("PhoneDS");
        b->link = a;
        EXPECT_EQ(form.FindComponent("phonet"), a);
        EXPECT_EQ(b->ComponentIndex(), 1);
        TComponent::Free(a);
        EXPECT_EQ(b->link, nullptr);
        EXPECT_EQ(form.ComponentCount(), 1);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"free a", "free b"}));
    g_log = nullptr;
}

TEST(TComponent, FreeNotificationReachesComponentsOfOtherOwners) {
    TComponent form1, form2;
    auto* target = TComponent::Own<Probe>(&form1, "t");
    auto* watcher = TComponent::Own<Probe>(&form2, "w");
    watcher->link = target;
    watcher->FreeNotification(target);
    TComponent::Free(target);
    EXPECT_EQ(watcher->link, nullptr);
}

TEST(TComponent, NamesAreIdentifiersUniqueWithinTheOwner) {
    TComponent form;
    auto* a = TComponent::Own<Probe>(&form, "a");
    auto* b = TComponent::Own<Probe>(&form, "b");
    a->SetName("Grid");
    EXPECT_THROW(b->SetName("GRID"), EComponentError);
    EXPECT_THROW(b->SetName("1st"), EComponentError);
    EXPECT_THROW(b->SetName("Phone T"), EComponentError);
    b->SetName("Grid2");
    EXPECT_EQ(b->Name(), "Grid2");
}

TEST(TComponent, LoadedLeavesTheLoadingState) {
    TComponent c;
    c.BeginLoading();
    EXPECT_TRUE(c.Loading());
    c.Loaded();
    EXPECT_FALSE(c.Loading());
}

namespace {

// Logs its pre-destruction step with a member a destructor would already have lost.
class Lifetime : public TComponent {
public:
    Lifetime(TComponent* owner, std::vector<std::string>& log, std::string label, bool fail = false)
        : TComponent(owner), m_log(log), m_label(std::move(label)) {
        m_log.push_back("in owner " + std::to_string(owner ? owner->ComponentCount() : 0));
        if (fail) throw EComponentError("construction failed");
    }
    ~Lifetime() override { m_log.push_back("destroy " + m_label); }
    void BeforeDestruction() override {
        m_log.push_back("before " + m_label + (Destroying() ? " destroying" : ""));
        TComponent::BeforeDestruction();
    }

private:
    std::vector<std::string>& m_log;
    std::string m_label;
};

}  // namespace

TEST(TComponent, AComponentIsInItsOwnerFromConstructionAndLeavesItIfConstructionFails) {
    std::vector<std::string> log;
    TComponent form;
    auto* first = TComponent::Own<Lifetime>(&form, log, "a");
    EXPECT_THROW(TComponent::Own<Lifetime>(&form, log, "b", true), EComponentError);
    EXPECT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.Components(0), first);
    // The base constructor had already placed each one in the owner.
    EXPECT_EQ(log, (std::vector<std::string>{"in owner 1", "in owner 2"}));
    form.check_invariants();
}

TEST(TComponent, EveryWayOfFreeingRunsTheStepBeforeDestructionOnceAndFirst) {
    struct Case {
        const char* way;
        std::function<void(std::vector<std::string>&)> run;
    };
    const std::vector<Case> cases = {
        {"Free",
         [](std::vector<std::string>& log) {
             TComponent form;
             TComponent::Free(TComponent::Own<Lifetime>(&form, log, "x"));
             log.push_back("owner still has " + std::to_string(form.ComponentCount()));
         }},
        {"owner",
         [](std::vector<std::string>& log) {
             auto form = TComponent::Create<TComponent>();
             TComponent::Own<Lifetime>(form.get(), log, "x");
             form.reset();
             log.push_back("owner still has 0");
         }},
        {"Ptr",
         [](std::vector<std::string>& log) {
             TComponent::Create<Lifetime>(log, "x").reset();
             log.push_back("owner still has 0");
         }},
    };
    for (const Case& c : cases) {
        std::vector<std::string> log;
        c.run(log);
        log.erase(log.begin());  // the construction's line
        EXPECT_EQ(log, (std::vector<std::string>{"before x destroying", "destroy x", "owner still has 0"})) << c.way;
    }
}

TEST(TComponent, TwoLinksToOneComponentAreClearedIndependently) {
    TComponent form;
    auto* target = TComponent::Own<TComponent>(&form);
    int cleared = 0;
    ComponentLink<TComponent> a([&] { ++cleared; });
    ComponentLink<TComponent> b([&] { ++cleared; });
    a = target;
    b = target;
    a = nullptr;  // dropping one link must not take the other's registration
    {
        ComponentLink<TComponent> gone_first;
        gone_first = target;
    }
    b.check_invariants();
    target->check_invariants();
    TComponent::Free(target);
    EXPECT_EQ(b.get(), nullptr);
    EXPECT_EQ(a.get(), nullptr);
    EXPECT_EQ(cleared, 1);
}

TEST(TComponent, AComponentFreedUnderAGuardIsGoneAtOnceAndDestroyedWhenTheGuardEnds) {
    std::vector<std::string> log;
    TComponent form;
    auto* sender = TComponent::Own<Lifetime>(&form, log, "sender");
    ComponentLink<TComponent> link;
    link = sender;
    {
        ComponentGuard guard(sender);
        TComponent::Free(sender);
        TComponent::Free(sender);  // a second free while pending changes nothing
        EXPECT_TRUE(guard.Gone());
        EXPECT_EQ(link.get(), nullptr);
        EXPECT_EQ(form.ComponentCount(), 0);
        EXPECT_EQ(log.back(), "before sender destroying");
        form.check_invariants();
    }
    EXPECT_EQ(log.back(), "destroy sender");
}
