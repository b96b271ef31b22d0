#include "tree/LTAccessibilityFactory.h"

#include "tree/LazyTrees.h"

#include "framework/Messages.h"

#include <algorithm>

void TLTAccessibilityFactory::RegisterAccessibleProvider(std::shared_ptr<ILTAccessibleProvider> Provider) {
    if (!Provider) return;
    if (std::find(FAccessibleProviders.begin(), FAccessibleProviders.end(), Provider) == FAccessibleProviders.end())
        FAccessibleProviders.push_back(std::move(Provider));
}

void TLTAccessibilityFactory::UnRegisterAccessibleProvider(const std::shared_ptr<ILTAccessibleProvider>& Provider) {
    std::erase(FAccessibleProviders, Provider);
}

std::shared_ptr<IAccessible> TLTAccessibilityFactory::CreateIAccessible(TBaseLazyTree* ATree) {
    if (!ATree) return nullptr;
    if (!ATree->Accessible() && !FAccessibleProviders.empty())
        return FAccessibleProviders[0]->CreateIAccessible(ATree);
    if (ATree->AccessibleItem()) return ATree->AccessibleItem();
    if (FAccessibleProviders.empty()) return nullptr;
    for (std::size_t I = FAccessibleProviders.size() - 1; I >= 1; --I)
        if (auto Result = FAccessibleProviders[I]->CreateIAccessible(ATree)) return Result;
    return FAccessibleProviders[0]->CreateIAccessible(ATree);
}

TLTAccessibilityFactory& GetAccessibilityFactory() {
    static TLTAccessibilityFactory Factory;
    return Factory;
}

namespace {
constexpr Cardinal WM_GETOBJECT = 0x003D;
constexpr LPARAM OBJID_CLIENT = -4;
}  // namespace

bool TBaseLazyTree::AccessibilityMessage(TMessage& Message) {
    if (Message.Msg != WM_GETOBJECT) return false;
    TLTAccessibilityFactory& Factory = GetAccessibilityFactory();
    if (!FAccessible) FAccessible = Factory.CreateIAccessible(this);
    if (!FAccessibleItem) FAccessibleItem = Factory.CreateIAccessible(this);
    // The client object goes out as its address: there is no platform broker
    // to hand it to; 0 tells the caller there is none.
    if (LPARAM(Message.LParam) == OBJID_CLIENT)
        Message.Result = FAccessible ? reinterpret_cast<LRESULT>(FAccessible.get()) : 0;
    return true;
}
