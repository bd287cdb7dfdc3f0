// The default printer lent to another printer and given back, on the CUPS fixture's two
// queues. Changes the prefix's default printer: runs alone and leaves VORLAN-DRUCKER.
#include "framework/Print.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class DefaultPrinter : public ::testing::Test {
  protected:
    // Whatever failed, the next test finds the fixture's default.
    void TearDown() override { fw::SetDefaultPrinterName("VORLAN-DRUCKER"); }
};

} // namespace

TEST_F(DefaultPrinter, SwapLendsTheDefaultAndGivesItBackOnEveryWayOut) {
    ASSERT_EQ(fw::DefaultPrinterName(), "VORLAN-DRUCKER") << "the fixture's default";
    {
        CDefaultPrinterSwap swap;
        EXPECT_EQ(swap.Saved(), "VORLAN-DRUCKER");
        ASSERT_TRUE(swap.Use("VORLAN-FAX"));
        EXPECT_EQ(fw::DefaultPrinterName(), "VORLAN-FAX");
        EXPECT_FALSE(swap.Use("GIBT-ES-NICHT"));
        EXPECT_EQ(fw::DefaultPrinterName(), "VORLAN-FAX") << "a refused printer changes nothing";
        EXPECT_FALSE(swap.Use(""));
    }
    EXPECT_EQ(fw::DefaultPrinterName(), "VORLAN-DRUCKER") << "given back at the end of the scope";

    try {
        CDefaultPrinterSwap swap;
        ASSERT_TRUE(swap.Use("VORLAN-FAX"));
        throw std::runtime_error("printing failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(fw::DefaultPrinterName(), "VORLAN-DRUCKER") << "given back when leaving by an exception";

    CDefaultPrinterSwap swap;
    ASSERT_TRUE(swap.Use("VORLAN-FAX"));
    swap.Restore();
    EXPECT_EQ(fw::DefaultPrinterName(), "VORLAN-DRUCKER");
    ASSERT_TRUE(fw::SetDefaultPrinterName("VORLAN-FAX"));
    swap.Restore();
    EXPECT_EQ(fw::DefaultPrinterName(), "VORLAN-FAX") << "given back once, not again";
}
