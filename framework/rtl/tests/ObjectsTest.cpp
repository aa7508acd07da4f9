#include "rtl/Objects.h"

#include <gtest/gtest.h>

#include <memory>

#include "rtl/Exceptions.h"

namespace {

class TAnimal : public TPersistent {
    DUN_CLASS(TAnimal, TPersistent)
public:
    int Legs = 4;

protected:
    void AssignTo(TPersistent* dest) override
    {
        if (auto* other = dynamic_cast<TAnimal*>(dest)) {
            other->Legs = Legs;
            return;
        }
        TPersistent::AssignTo(dest);
    }
};

class TDog : public TAnimal {
    DUN_CLASS(TDog, TAnimal)
};

class TAbstractShape : public TPersistent {
    DUN_CLASS(TAbstractShape, TPersistent)
public:
    virtual double Area() const = 0;
};

class TNeedsArgument : public TObject {
    DUN_CLASS(TNeedsArgument, TObject)
public:
    explicit TNeedsArgument(int) {}
};

}  // namespace

TEST(Objects, ClassNameParentAndAncestry)
{
    TDog dog;
    TObject& asObject = dog;
    EXPECT_EQ(asObject.ClassName(), "TDog");
    EXPECT_EQ(asObject.ClassType(), TDog::StaticClass());
    EXPECT_EQ(asObject.ClassParent(), TAnimal::StaticClass());
    EXPECT_TRUE(asObject.ClassNameIs("tdog"));
    EXPECT_TRUE(dog.InheritsFrom(TPersistent::StaticClass()));
    EXPECT_TRUE(dog.InheritsFrom(TObject::StaticClass()));
    EXPECT_FALSE(TAnimal().InheritsFrom(TDog::StaticClass()));
    EXPECT_TRUE(dog.InheritsFrom("TANIMAL"));
    EXPECT_TRUE(dog.InheritsFrom("TObject"));
    EXPECT_FALSE(dog.InheritsFrom("TCat"));
}

TEST(Objects, AnswerNamesJoinAncestryByNameForSubclasses)
{
    TAnimal::StaticClass()->AddAnswerName("TCreature");
    TAnimal::StaticClass()->AddAnswerName("tcreature");
    EXPECT_EQ(TAnimal::StaticClass()->AnswerNames.size(), 1u);
    EXPECT_TRUE(TDog().InheritsFrom("TCreature"));
    EXPECT_FALSE(TPersistent().InheritsFrom("TCreature"));
    EXPECT_FALSE(TDog::StaticClass()->AnswersTo("TCreature"));
}

TEST(Objects, FactoryCreatesOnlyConstructibleClasses)
{
    std::unique_ptr<TObject> made(TDog::StaticClass()->Factory(nullptr));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->ClassType(), TDog::StaticClass());
    EXPECT_EQ(TAbstractShape::StaticClass()->Factory(nullptr), nullptr);
    EXPECT_EQ(TNeedsArgument::StaticClass()->Factory(nullptr), nullptr);
    EXPECT_EQ(TObject::StaticClass()->Factory, nullptr);
}

TEST(Objects, AssignCopiesOrNamesBothClasses)
{
    TDog from;
    from.Legs = 3;
    TAnimal to;
    to.Assign(&from);
    EXPECT_EQ(to.Legs, 3);

    TPersistent plain;
    try {
        plain.Assign(&from);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TDog to a TPersistent");
    }
    try {
        to.Assign(nullptr);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a nil to a TAnimal");
    }
}

namespace {

struct TLifeLog {
    static inline std::string Text;
};

class TTracked : public TObject {
    DUN_CLASS(TTracked, TObject)
public:
    bool FailAfterConstruction = false;
    explicit TTracked(bool fail = false) : FailAfterConstruction(fail) {}
    ~TTracked() override { TLifeLog::Text += "destroyed;"; }
    void AfterConstruction() override
    {
        TLifeLog::Text += "after;";
        if (FailAfterConstruction) throw EConvertError("failed");
    }
    void BeforeDestruction() override { TLifeLog::Text += "before;"; }
};

}  // namespace

TEST(Objects, CreateObjectAndFreeRunTheConstructionHooks)
{
    TLifeLog::Text.clear();
    TTracked* made = CreateObject<TTracked>();
    made->Free();
    EXPECT_EQ(TLifeLog::Text, "after;before;destroyed;");

    TLifeLog::Text.clear();
    EXPECT_THROW(CreateObject<TTracked>(true), EConvertError);
    EXPECT_EQ(TLifeLog::Text, "after;destroyed;");

    TLifeLog::Text.clear();
    std::unique_ptr<TObject> byName(TTracked::StaticClass()->Factory(nullptr));
    EXPECT_EQ(TLifeLog::Text, "after;");
}
