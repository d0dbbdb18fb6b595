#include "platform/classes/TComponent.h"

#include <gtest/gtest.h>

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
