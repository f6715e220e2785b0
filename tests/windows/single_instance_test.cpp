// What the scenarios cannot isolate: the give-back of a process's units,
// all or nothing, and the count of a process that could not register.
#include "support/single_instance.h"

#include <gtest/gtest.h>

namespace {

// The count of a semaphore, read without changing it.
LONG countOf(HANDLE semaphore) {
    LONG previous = 0;
    EXPECT_TRUE(::ReleaseSemaphore(semaphore, 1, &previous));
    EXPECT_EQ(::WaitForSingleObject(semaphore, 0), WAIT_OBJECT_0);
    return previous;
}

struct GiveBack {
    LONG available;
    LONG taken;
    bool complete;
    LONG left;
};

class UnitsGivenBack : public testing::TestWithParam<GiveBack> {};

TEST_P(UnitsGivenBack, AllOrNothing) {
    const GiveBack& c = GetParam();
    const tw::unique_handle semaphore(::CreateSemaphoreW(nullptr, c.available, 100, nullptr));
    ASSERT_TRUE(semaphore);
    EXPECT_EQ(tw::details::takeUnits(semaphore.get(), c.taken), c.complete);
    EXPECT_EQ(countOf(semaphore.get()), c.left);
}

INSTANTIATE_TEST_SUITE_P(Counts, UnitsGivenBack,
                         testing::Values(GiveBack{3, 3, true, 0}, GiveBack{5, 3, true, 2},
                                         GiveBack{2, 3, false, 2}, GiveBack{0, 1, false, 0}));

// Without a semaphore (a name the system refuses) nothing is registered and
// the count is 0, so the question to close the product never comes.
TEST(InstanceCounter, CountsNothingWithoutItsSemaphore) {
    const tw::InstanceCounter counter(L"No\\Such\\Folder");
    EXPECT_EQ(counter.contribution(), 0);
    EXPECT_EQ(counter.runningCount(), 0u);
}

} // namespace
