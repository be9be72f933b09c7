// One QApplication for a test program, made before the first test and destroyed after the
// last one. It must not wait for static destruction: Qt's input devices, made on the first
// key or mouse event, would then outlive the registry they unregister from and crash the
// program on its way out.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <memory>

#include "platform/translations.h"
#include "platform/window/file_dialog.h"
#include "tests/support/test_files.h"

namespace tavrel::test {

class QtAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // Staged copies and remembered choices of the tests stay out of the user's folders.
        qputenv("XDG_CACHE_HOME", home_.filePath(QStringLiteral("cache")).toUtf8());
        qputenv("XDG_CONFIG_HOME", home_.filePath(QStringLiteral("config")).toUtf8());
        app_ = std::make_unique<QApplication>(argc_, argv_);
        FileDialog::SetQtDialogOnly(true);  // the desktop's own dialog cannot be answered
#ifdef TAVREL_TEST_WINDOW_IN_CHINESE
        SetWindowLanguage(true);  // the window's texts as the dialog tests spell them
#endif
    }
    void TearDown() override {
        app_.reset();
    }

private:
    int argc_ = 1;
    char name_[7] = "Tavrel";
    char* argv_[2] = {name_, nullptr};
    QTemporaryDir home_;
    std::unique_ptr<QApplication> app_;
};

// Registers the environment when the test program starts; gtest owns it.
inline ::testing::Environment* const kQtAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

}  // namespace tavrel::test
