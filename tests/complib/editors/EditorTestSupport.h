#pragma once
// A shown, active window for the editor tests, and keys sent where the
// application would send them (the focus widget, which is the list's view
// while a combo box's list is open).
#include <QApplication>
#include <QLocale>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

class EditorWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedLocale_ = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        window_ = std::make_unique<QWidget>();
        window_->resize(600, 400);
    }
    void TearDown() override
    {
        window_.reset();
        QLocale::setDefault(savedLocale_);
    }

    QWidget* window() { return window_.get(); }

    // Shows the window and makes it the active one, so that focus changes
    // deliver their events.
    void showWindow()
    {
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }

    static QWidget* focused() { return QApplication::focusWidget(); }

    static void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* target = focused();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, k, mods);
    }
    static void type(const QString& text)
    {
        QWidget* target = focused();
        ASSERT_NE(target, nullptr);
        QTest::keyClicks(target, text);
    }

private:
    QLocale savedLocale_;
    std::unique_ptr<QWidget> window_;
};
