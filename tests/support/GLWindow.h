#pragma once

// A real window with a current GL context for the tests that draw.

#include "toolkit/Window.h"
#include "toolkit/platform/GL.h"

#include <gtest/gtest.h>

class GLWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        TovarToolkit::TW.maxperspective = 10000.0f;
        ASSERT_TRUE(TovarToolkit::TW.Create("Quellin test", 800, 600, 16)) << "no display?";
    }
    static void TearDownTestSuite() { TovarToolkit::TW.Destroy(); }

    void SetUp() override
    {
        if (!TovarToolkit::TW.hRC)
            GTEST_SKIP() << "no GL context";
    }
};
