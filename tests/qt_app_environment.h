// One QApplication for a test program, made before the first test and destroyed after the
// last one. It must not wait for static destruction: Qt's input devices, made on the first
// key or mouse event, would then outlive the registry they unregister from and crash the
// program on its way out.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "platform/window/file_dialog.h"
#include "tests/support/test_files.h"

namespace tavrel::test {

class QtAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        app_ = std::make_unique<QApplication>(argc_, argv_);
        FileDialog::SetQtDialogOnly(true);  // the desktop's own dialog cannot be answered
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[7] = "Tavrel";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

// Registers the environment when the test program starts; gtest owns it.
inline ::testing::Environment* const kQtAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

}  // namespace tavrel::test
