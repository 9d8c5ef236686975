// The form binds its events to handlers by name: a name that nothing
// registers would make a control do nothing, silently.
#include <gtest/gtest.h>

#include "tests/win32/test_support.h"

TEST(Bindings, EveryNameTheFormBindsHasAHandler) {
    EXPECT_EQ(testing_support::RunChild(L"--child-unhandled-bindings"), 0)
        << "the form binds names that nothing handles (100: it binds none)";
}
