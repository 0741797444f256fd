// Collections: item creation through the item class, ordering, change
// batching and copying through the items' Assign.
#include <gtest/gtest.h>

#include "framework/core/classes.h"
#include "framework/core/sysutils.h"

using namespace vexel;

namespace {

class TSlideItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    std::string Text;
    void Assign(TPersistent* Source) override {
        if (auto* s = dynamic_cast<TSlideItem*>(Source))
            Text = s->Text;
        else
            TCollectionItem::Assign(Source);
    }
    void Touch() { Changed(false); }
};

class TBareItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
};

class TSlides : public TCollection {
public:
    TSlides() : TCollection(ItemClass<TSlideItem>()) {}
    TSlideItem* Slide(int i) const { return static_cast<TSlideItem*>(Items(i)); }
    int WholeUpdates = 0;
    TCollectionItem* LastItemUpdate = nullptr;

protected:
    void Update(TCollectionItem* Item) override {
        if (Item)
            LastItemUpdate = Item;
        else
            ++WholeUpdates;
    }
};

TSlideItem* AddSlide(TSlides& slides, const std::string& text) {
    auto* item = static_cast<TSlideItem*>(slides.Add());
    item->Text = text;
    return item;
}

}  // namespace

TEST(Collection, AddMakesItemsOfTheItemClassInOrder) {
    TSlides slides;
    AddSlide(slides, "one");
    auto* two = AddSlide(slides, "two");
    EXPECT_NE(dynamic_cast<TSlideItem*>(slides.Items(0)), nullptr);
    EXPECT_EQ(slides.Count(), 2);
    EXPECT_EQ(two->Index(), 1);
    EXPECT_EQ(two->Collection(), &slides);
    EXPECT_EQ(slides.FindItemID(two->ID()), two);
    EXPECT_NE(slides.Items(0)->ID(), two->ID());
}

TEST(Collection, IndexMovesAndDeleteRemoves) {
    TSlides slides;
    AddSlide(slides, "a");
    AddSlide(slides, "b");
    auto* c = AddSlide(slides, "c");
    c->SetIndex(0);
    EXPECT_EQ(slides.Slide(0)->Text, "c");
    EXPECT_EQ(slides.Slide(2)->Text, "b");
    slides.Delete(1);
    EXPECT_EQ(slides.Count(), 2);
    EXPECT_EQ(slides.Slide(1)->Text, "b");
    delete slides.Items(0);  // an item freed on its own leaves the collection
    EXPECT_EQ(slides.Count(), 1);
    auto* inserted = static_cast<TSlideItem*>(slides.Insert(0));
    EXPECT_EQ(inserted->Index(), 0);
    try {
        slides.Items(2);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (2)");
    }
}

TEST(Collection, ChangesAreReportedOncePerUpdateBatch) {
    TSlides slides;
    slides.WholeUpdates = 0;
    slides.BeginUpdate();
    AddSlide(slides, "a");
    AddSlide(slides, "b");
    EXPECT_EQ(slides.WholeUpdates, 0);
    slides.EndUpdate();
    EXPECT_EQ(slides.WholeUpdates, 1);

    slides.Slide(1)->Touch();
    EXPECT_EQ(slides.LastItemUpdate, slides.Items(1));
    slides.Clear();
    EXPECT_EQ(slides.WholeUpdates, 2);
    EXPECT_EQ(slides.Count(), 0);
}

TEST(Collection, AssignCopiesEveryItemThroughItsAssign) {
    TSlides source, dest;
    AddSlide(source, "x");
    AddSlide(source, "y");
    AddSlide(dest, "old");
    dest.Assign(&source);
    ASSERT_EQ(dest.Count(), 2);
    EXPECT_EQ(dest.Slide(0)->Text, "x");
    EXPECT_EQ(dest.Slide(1)->Text, "y");
    EXPECT_NE(dest.Items(0), source.Items(0));
}

TEST(Collection, ItemsWithoutACopyFailToAssign) {
    TCollection a(TCollection::ItemClass<TBareItem>()), b(TCollection::ItemClass<TBareItem>());
    a.Add();
    try {
        b.Assign(&a);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TBareItem to a TBareItem");
    }
    EXPECT_EQ(b.UpdateCount(), 0);  // the failed copy left no batch open
}
