// Ownership, free notifications, names, loading and Assign of the object model.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/core/classes.h"
#include "framework/core/sysutils.h"

using namespace vexel;

namespace {

// Records its own destruction and the removal notices it hears.
class TProbe : public TComponent {
public:
    TProbe(TComponent* owner, std::vector<std::string>* log, const std::string& name) : TComponent(owner), log_(log) {
        SetName(name);
    }
    ~TProbe() override {
        if (log_)
            log_->push_back("free " + Name() + (Owner() && (Owner()->ComponentState() & csDestroying) ? " (owner dying)" : ""));
    }
    TComponent* Target = nullptr;  // a reference cleared by the removal notice
    std::vector<std::string> Removed;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation != opRemove)
            return;
        if (AComponent != this)
            Removed.push_back(AComponent->Name());
        if (AComponent == Target) {
            // Freed with Free(), the sender still has its full type here.
            TargetWasWhole = dynamic_cast<TProbe*>(AComponent) != nullptr;
            Target = nullptr;
        }
    }

public:
    bool TargetWasWhole = false;

private:
    std::vector<std::string>* log_;
};

class TLoadProbe : public TComponent {
public:
    TLoadProbe(TComponent* owner, std::vector<std::string>* log, const char* tag)
        : TComponent(owner), log_(log), tag_(tag) {}

protected:
    void Loaded() override {
        TComponent::Loaded();
        log_->push_back(tag_);
    }

private:
    std::vector<std::string>* log_;
    const char* tag_;
};

}  // namespace

TEST(Component, OwnerFreesItsComponentsLastFirstWhileMarkedDestroying) {
    std::vector<std::string> log;
    auto* owner = new TProbe(nullptr, &log, "Owner");
    new TProbe(owner, &log, "A");
    auto* b = new TProbe(owner, &log, "B");
    new TProbe(b, &log, "BChild");
    new TProbe(owner, &log, "C");
    ASSERT_EQ(owner->ComponentCount(), 3);
    EXPECT_EQ(owner->Components(1), b);
    EXPECT_EQ(b->ComponentIndex(), 1);

    owner->Free();
    std::vector<std::string> expected = {"free Owner", "free C (owner dying)", "free B (owner dying)",
                                         "free BChild (owner dying)", "free A (owner dying)"};
    EXPECT_EQ(log, expected);
}

TEST(Component, FreeingAComponentTakesItOutOfItsOwnerAndTellsTheSiblings) {
    ScopedFree<TComponent> owner(new TComponent(nullptr));
    auto* holder = new TProbe(owner.get(), nullptr, "Holder");
    auto* target = new TProbe(owner.get(), nullptr, "Target");
    holder->Target = target;

    target->Free();
    EXPECT_EQ(holder->Target, nullptr);
    EXPECT_TRUE(holder->TargetWasWhole);
    EXPECT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(holder->Removed, std::vector<std::string>{"Target"});
}

namespace {

// A component that frees a sibling while it hears of a removal.
class TSweeper : public TProbe {
public:
    using TProbe::TProbe;
    TComponent* Victim = nullptr;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TProbe::Notification(AComponent, Operation);
        if (Operation == opRemove && Victim && AComponent != Victim && AComponent != this) {
            TComponent* victim = Victim;
            Victim = nullptr;
            victim->Free();
        }
    }
};
}  // namespace

TEST(Component, SiblingsFreedDuringANoticeAreSkippedAndNoneHearsItTwice) {
    for (bool earlier : {true, false}) {
        SCOPED_TRACE(earlier ? "frees an earlier sibling" : "frees a later sibling");
        ScopedFree<TComponent> owner(new TComponent(nullptr));
        TProbe* first = new TProbe(owner.get(), nullptr, "First");
        auto* sweeper = new TSweeper(owner.get(), nullptr, "Sweeper");
        TProbe* last = new TProbe(owner.get(), nullptr, "Last");
        auto* gone = new TProbe(owner.get(), nullptr, "Gone");
        // The owner tells its components last made first: Last, Sweeper,
        // First. Freeing First is freeing a sibling still to be told.
        sweeper->Victim = earlier ? static_cast<TComponent*>(first) : static_cast<TComponent*>(last);
        TProbe* survivor = earlier ? last : first;

        gone->Free();
        EXPECT_EQ(sweeper->Removed, (std::vector<std::string>{"Gone", earlier ? "First" : "Last"}));
        // The survivor heard of both removals once each (order aside).
        std::vector<std::string> heard = survivor->Removed;
        std::sort(heard.begin(), heard.end());
        std::vector<std::string> expected{earlier ? "First" : "Last", "Gone"};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(heard, expected);
        EXPECT_EQ(owner->ComponentCount(), 2);
    }
}

TEST(Component, ScopedFreeFreesThroughFreeSoNoticesSeeTheWholeSender) {
    ScopedFree<TComponent> owner(new TComponent(nullptr));
    auto* holder = new TProbe(owner.get(), nullptr, "Holder");
    {
        ScopedFree<TProbe> target(new TProbe(nullptr, nullptr, "Target"));
        holder->Target = target.get();
        target->FreeNotification(holder);
    }
    EXPECT_EQ(holder->Target, nullptr);
    EXPECT_TRUE(holder->TargetWasWhole);
}

// A class of the program's own with a public destructor can still be deleted
// outright; the notices then come late, but they come.
TEST(Component, PlainDeleteStillNotifiesSiblings) {
    ScopedFree<TComponent> owner(new TComponent(nullptr));
    auto* holder = new TProbe(owner.get(), nullptr, "Holder");
    auto* target = new TProbe(owner.get(), nullptr, "Target");
    holder->Target = target;
    delete target;
    EXPECT_EQ(holder->Target, nullptr);
    EXPECT_EQ(owner->ComponentCount(), 1);
}

TEST(Component, SiblingFreedByTheOwnerFirstIsClearedBeforeTheHolderGoes) {
    // The target is created after the holder, so the owner frees it first; the
    // holder must not keep a dangling reference for its own destructor.
    TComponent* seenByHolder = reinterpret_cast<TComponent*>(1);
    struct THolder : TProbe {
        THolder(TComponent* o, TComponent** seen) : TProbe(o, nullptr, "Holder"), seen_(seen) {}
        ~THolder() override { *seen_ = Target; }
        TComponent** seen_;
    };
    auto* owner = new TComponent(nullptr);
    auto* holder = new THolder(owner, &seenByHolder);
    holder->Target = new TProbe(owner, nullptr, "Target");
    owner->Free();
    EXPECT_EQ(seenByHolder, nullptr);
}

TEST(Component, FreeNotificationReachesComponentsOfOtherOwners) {
    ScopedFree<TComponent> formA(new TComponent(nullptr)), formB(new TComponent(nullptr));
    auto* holder = new TProbe(formA.get(), nullptr, "Holder");
    auto* target = new TProbe(formB.get(), nullptr, "Target");
    holder->Target = target;
    target->FreeNotification(holder);
    EXPECT_TRUE(target->ComponentState() & csFreeNotification);

    target->Free();
    EXPECT_EQ(holder->Target, nullptr);
    EXPECT_EQ(holder->Removed, std::vector<std::string>{"Target"});
}

TEST(Component, RemovedFreeNotificationIsNotSent) {
    ScopedFree<TComponent> formA(new TComponent(nullptr)), formB(new TComponent(nullptr));
    auto* holder = new TProbe(formA.get(), nullptr, "Holder");
    auto* target = new TProbe(formB.get(), nullptr, "Target");
    target->FreeNotification(holder);
    target->RemoveFreeNotification(holder);
    target->Free();
    EXPECT_TRUE(holder->Removed.empty());
}

TEST(Component, FreeNotificationIsMutualSoEitherMayGoFirst) {
    ScopedFree<TComponent> formA(new TComponent(nullptr)), formB(new TComponent(nullptr));
    auto* holder = new TProbe(formA.get(), nullptr, "Holder");
    auto* target = new TProbe(formB.get(), nullptr, "Target");
    target->FreeNotification(holder);
    holder->Free();  // the target must forget the holder...
    target->Free();  // ...or this would notify freed memory
    EXPECT_EQ(formA->ComponentCount(), 0);
    EXPECT_EQ(formB->ComponentCount(), 0);
}

TEST(Component, NamesAreUniqueWithinTheOwnerIgnoringCase) {
    ScopedFree<TComponent> owner(new TComponent(nullptr));
    auto* first = new TComponent(owner.get());
    first->SetName("Button1");
    auto* second = new TComponent(owner.get());
    try {
        second->SetName("BUTTON1");
        FAIL() << "duplicate name accepted";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "A component named BUTTON1 already exists");
    }
    EXPECT_THROW(second->SetName("1Button"), EComponentError);
    second->SetName("Button2");
    EXPECT_EQ(owner->FindComponent("button2"), second);
    EXPECT_EQ(owner->FindComponent("Button3"), nullptr);

    ScopedFree<TComponent> other(new TComponent(nullptr));
    auto* stranger = new TComponent(other.get());
    stranger->SetName("Button1");
    EXPECT_THROW(owner->InsertComponent(stranger), EComponentError);
    EXPECT_EQ(stranger->Owner(), other.get());
}

TEST(Component, InsertComponentMovesBetweenOwners) {
    ScopedFree<TComponent> a(new TComponent(nullptr)), b(new TComponent(nullptr));
    auto* c = new TComponent(a.get());
    b->InsertComponent(c);
    EXPECT_EQ(c->Owner(), b.get());
    EXPECT_EQ(a->ComponentCount(), 0);
    EXPECT_EQ(b->ComponentCount(), 1);
}

TEST(Component, LoadedRunsForOwnedComponentsThenTheOwner) {
    std::vector<std::string> log;
    ScopedFree<TLoadProbe> form(new TLoadProbe(nullptr, &log, "form"));
    form->BeginLoading();
    auto* a = new TLoadProbe(form.get(), &log, "a");
    new TLoadProbe(form.get(), &log, "b");
    EXPECT_TRUE(a->ComponentState() & csLoading);
    form->EndLoading();
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "form"}));
    EXPECT_FALSE(a->ComponentState() & csLoading);
    EXPECT_FALSE(form->ComponentState() & csLoading);
}

TEST(Component, DesigningSpreadsToOwnedAndLaterInsertedComponents) {
    ScopedFree<TComponent> form(new TComponent(nullptr));
    auto* before = new TComponent(form.get());
    form->SetDesigning(true);
    auto* after = new TComponent(form.get());
    EXPECT_TRUE(before->ComponentState() & csDesigning);
    EXPECT_TRUE(after->ComponentState() & csDesigning);
    form->SetDesigning(false);
    EXPECT_FALSE(after->ComponentState() & csDesigning);
}

namespace {

class TSettings : public TPersistent {
public:
    int Value = 0;
};

// Knows how to copy itself into TSettings, as a source-side AssignTo.
class TPreset : public TPersistent {
public:
    int Value = 7;

protected:
    void AssignTo(TPersistent* Dest) override {
        if (auto* s = dynamic_cast<TSettings*>(Dest))
            s->Value = Value;
        else
            TPersistent::AssignTo(Dest);
    }
};

}  // namespace

TEST(Persistent, AssignWithoutACopyFailsWithTheConversionMessage) {
    TSettings a, b;
    try {
        a.Assign(&b);
        FAIL() << "assignment without a copy succeeded";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TSettings to a TSettings");
    }
    try {
        a.Assign(nullptr);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a nil to a TSettings");
    }
}

TEST(Persistent, AssignToLetsTheSourceCopy) {
    TSettings settings;
    TPreset preset;
    settings.Assign(&preset);
    EXPECT_EQ(settings.Value, 7);
    try {
        preset.Assign(&settings);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TSettings to a TPreset");
    }
}

TEST(Persistent, ClassNameIsTheUnqualifiedDynamicType) {
    TPreset preset;
    TPersistent* p = &preset;
    EXPECT_EQ(p->ClassName(), "TPreset");
    ScopedFree<TComponent> c(new TComponent(nullptr));
    EXPECT_EQ(c->ClassName(), "TComponent");
}

TEST(List, KeepsOrderAndReportsBadIndices) {
    TList list;
    int a = 1, b = 2, c = 3;
    list.Add(&a);
    list.Add(&c);
    list.Insert(1, &b);
    EXPECT_EQ(list.Items(1), &b);
    EXPECT_EQ(list.IndexOf(&c), 2);
    list.Move(2, 0);
    EXPECT_EQ(list.First(), &c);
    EXPECT_EQ(list.Remove(&a), 1);
    EXPECT_EQ(list.Remove(&a), -1);
    EXPECT_EQ(list.Count(), 2);
    try {
        list.Delete(5);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (5)");
    }
    EXPECT_THROW(list.Insert(3, &a), EListError);
    EXPECT_THROW(list.Items(-1), EListError);
}
