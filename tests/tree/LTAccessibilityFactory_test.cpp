#include "tree/LTAccessibilityFactory.h"
#include "tree/LazyTrees.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Named : IAccessible {
    explicit Named(std::string N) : Name(std::move(N)) {}
    std::string Name;
};

// Answers with an object of its name, or nil.
struct Provider : ILTAccessibleProvider {
    Provider(std::string N, bool A) : Name(std::move(N)), Answers(A) {}
    std::shared_ptr<IAccessible> CreateIAccessible(TBaseLazyTree*) override {
        return Answers ? std::make_shared<Named>(Name) : nullptr;
    }
    std::string Name;
    bool Answers;
};

std::string NameOf(const std::shared_ptr<IAccessible>& A) {
    return A ? static_cast<Named&>(*A).Name : "nil";
}

constexpr Cardinal GetObject = 0x003D;
constexpr LPARAM ClientObject = -4;

TEST(LazyTreeAccessibility, ProvidersAnswerInTheirOrder) {
    TLTAccessibilityFactory& Factory = GetAccessibilityFactory();
    EXPECT_EQ(&Factory, &GetAccessibilityFactory());
    {
        TBaseLazyTree Tree(nullptr);
        EXPECT_EQ(Tree.Perform(GetObject, 0, ClientObject), 0);
        EXPECT_FALSE(Tree.Accessible());
        EXPECT_FALSE(Tree.AccessibleItem());
    }
    struct Case {
        std::vector<bool> Answers;  // of providers P0, P1, ...
        const char* Item;
    };
    for (const Case& C : {Case{{true}, "P0"}, Case{{true, false}, "P0"}, Case{{true, true, true}, "P2"},
                          Case{{true, true, false}, "P1"}}) {
        std::vector<std::shared_ptr<ILTAccessibleProvider>> Providers;
        for (std::size_t I = 0; I < C.Answers.size(); ++I) {
            Providers.push_back(std::make_shared<Provider>("P" + std::to_string(I), C.Answers[I]));
            Factory.RegisterAccessibleProvider(Providers.back());
            Factory.RegisterAccessibleProvider(Providers.back());  // a second time changes nothing
        }
        EXPECT_EQ(Factory.ProviderCount(), int(C.Answers.size()));
        TBaseLazyTree Tree(nullptr);
        const LRESULT Answer = Tree.Perform(GetObject, 0, ClientObject);
        EXPECT_EQ(NameOf(Tree.Accessible()), "P0");
        EXPECT_EQ(Answer, reinterpret_cast<LRESULT>(Tree.Accessible().get()));
        EXPECT_EQ(NameOf(Tree.AccessibleItem()), C.Item) << C.Answers.size();
        auto Item = Tree.AccessibleItem();
        Tree.Perform(GetObject, 0, ClientObject);
        EXPECT_EQ(Tree.AccessibleItem(), Item) << "objects are kept once made";
        for (auto& P : Providers) Factory.UnRegisterAccessibleProvider(P);
        Factory.UnRegisterAccessibleProvider(std::make_shared<Provider>("unknown", true));
        EXPECT_EQ(Factory.ProviderCount(), 0);
    }
    EXPECT_FALSE(Factory.CreateIAccessible(nullptr));
}

}  // namespace
