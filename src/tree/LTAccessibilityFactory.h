#pragma once
// Accessible objects of trees come from providers the application registers
// with the one factory of the process; without a provider a tree has none.

#include <memory>
#include <vector>

class TBaseLazyTree;

// An object an accessibility client works with; its interface is the
// provider's business, the tree only keeps and hands it out.
class IAccessible {
public:
    virtual ~IAccessible() = default;
};

class ILTAccessibleProvider {
public:
    virtual ~ILTAccessibleProvider() = default;
    // The object for the tree, or nullptr when this provider has none.
    virtual std::shared_ptr<IAccessible> CreateIAccessible(TBaseLazyTree* ATree) = 0;
};

// The first provider registered supplies a tree's own object; the later ones
// supply the object of its current item, the last registered asked first.
class TLTAccessibilityFactory {
public:
    void RegisterAccessibleProvider(std::shared_ptr<ILTAccessibleProvider> Provider);
    void UnRegisterAccessibleProvider(const std::shared_ptr<ILTAccessibleProvider>& Provider);
    std::shared_ptr<IAccessible> CreateIAccessible(TBaseLazyTree* ATree);
    int ProviderCount() const { return int(FAccessibleProviders.size()); }

private:
    std::vector<std::shared_ptr<ILTAccessibleProvider>> FAccessibleProviders;
};

// Created on the first call; lives until the program ends.
TLTAccessibilityFactory& GetAccessibilityFactory();
