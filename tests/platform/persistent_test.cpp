#include "platform/persistent.h"

#include <gtest/gtest.h>

#include "platform/exceptions.h"

using namespace qv;

TEST(Persistent, AssignBetweenUnrelatedClassesNamesBothClasses) {
    TPersistent a, b;
    try {
        a.Assign(&b);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TPersistent to a TPersistent");
    }
    EXPECT_TRUE(a.InheritsFrom(TObject::StaticClass()));
    EXPECT_TRUE(a.IsExactly(TPersistent::StaticClass()));
    EXPECT_FALSE(a.IsExactly(TObject::StaticClass()));
}
