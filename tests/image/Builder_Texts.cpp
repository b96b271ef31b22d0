// The image builder tells its refusals in texts of the text table, which the
// program fills before anything is built; every test of this folder starts
// with the built-in English ones.
#include "shell/ULanguage.h"

#include <gtest/gtest.h>

namespace {

class Builder_Texts : public testing::Environment {
public:
    void SetUp() override { Load_Default_Texts(); }
};

[[maybe_unused]] testing::Environment* const Texts = testing::AddGlobalTestEnvironment(new Builder_Texts);

}  // namespace
