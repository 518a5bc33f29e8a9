#pragma once

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

// Widget tests need one QApplication for the whole test program, made before
// the first test (and so before any fixture builds a widget) on the
// offscreen platform the test environment selects. Including this header in
// any test file of a suite is enough.
class QtApplicationEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "morvex-tests";
        static char *argv[] = {name, nullptr};
        if (!qApp)
            m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

inline ::testing::Environment *const kQtApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);
