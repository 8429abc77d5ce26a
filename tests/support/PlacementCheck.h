#pragma once
// A window placed from its table (plat/Placement.h): every entry is one of
// the window's controls, standing where the entry puts it once the window
// has scaled itself to its screen.
#include "plat/Placement.h"
#include "plat/ScreenScale.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

#include <map>
#include <string>

namespace rig {

// An entry is the control of that object name (the first one found, for a
// row of like controls); others gives the control of an entry that is not
// an object name, nullptr where the test cannot reach it.
inline void ExpectPlacedFromTable(const QWidget& window, plat::Placements table,
                                  const std::map<std::string_view, const QWidget*>& others = {})
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const plat::ScaleFactor f = plat::ScreenScaleFactor(screen->geometry().size());
    for (const plat::Placement& p : table) {
        const std::string name(p.name);
        const QWidget* control = nullptr;
        if (const auto other = others.find(p.name); other != others.end()) {
            if (!other->second)
                continue;
            control = other->second;
        } else {
            control = window.findChild<const QWidget*>(QString::fromStdString(name));
        }
        ASSERT_NE(control, nullptr) << "no control for the entry " << name;
        EXPECT_EQ(control->geometry(), plat::PlacementRect(table, p.name, f)) << name;
    }
}

} // namespace rig
