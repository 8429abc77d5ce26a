#pragma once
// The main window cleans the temporary folder and the current directory's
// "Update" folder when it is built: the tests give it folders of their own.
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class PrivateFolders : public ::testing::Environment {
public:
    void SetUp() override
    {
        saved_ = QDir::currentPath();
        qputenv("TMPDIR", temp_.path().toLocal8Bit());
        QDir::setCurrent(app_.path());
    }
    void TearDown() override { QDir::setCurrent(saved_); }

private:
    QTemporaryDir temp_;
    QTemporaryDir app_;
    QString saved_;
};

inline const bool kPrivateFolders = [] {
    ::testing::AddGlobalTestEnvironment(new PrivateFolders);
    return true;
}();
