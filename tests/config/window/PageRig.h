#pragma once
// A configuration window over the simulated ECU, its image read from the
// ECU as a connect leaves it, shown and active on one page, with the live
// tick stopped (the tests set the live values themselves).
#include "config/window/FormConfig.h"
#include "tests/support/rig/DataModuleRig.h"

#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace pagetest {

class PageRig : public ::testing::Test {
protected:
    explicit PageRig(std::string profile = "type=30") : r({.profile = std::move(profile)}) {}
    explicit PageRig(const rig::Options& options) : r(options) {}

    // Prepares the ECU (before the image is read), then opens the window on
    // page, at `size` (an empty size: the size the window takes on its
    // screen).
    // The window with the main window's hooks and its texts.
    void makeWindow()
    {
        w = std::make_unique<TFormConfig>(nullptr);
        TConfigMainHooks hooks;
        hooks.connect = [] {};
        hooks.disconnect = [] {};
        hooks.extraInjectionSeen = &extraSeen;
        w->SetMainHooks(std::move(hooks));
        w->LoadTexts();
    }
    void open(int page, const std::function<void()>& prepare = {}, QSize size = QSize(1280, 1024))
    {
        r.connectEcu();
        r.dm().EcuInfo.EcuType = static_cast<std::uint8_t>(r.sim().CurrentProfile().type);
        if (prepare)
            prepare();
        ASSERT_TRUE(r.dm().TransferData(TStreamDati::TRANSFER_READ_ECU, {}, 0, TStreamDati::TRANSFER_ALL_GROUPS, 0, 0));
        makeWindow();
        if (!size.isEmpty())
            w->resize(size);
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        w->TimerDati->stop();
        w->SetActivePage(page, true);
        r.sim().ClearCalls();
    }
    // Opens the window as the program does: made and given its texts when
    // the program starts, before any ECU is known; shown full screen after
    // the connect has read the image; then the page's tab clicked.
    void openAsTheProgram(int page)
    {
        makeWindow();
        r.connectEcu();
        r.dm().EcuInfo.EcuType = static_cast<std::uint8_t>(r.sim().CurrentProfile().type);
        ASSERT_TRUE(r.dm().TransferData(TStreamDati::TRANSFER_READ_ECU, {}, 0, TStreamDati::TRANSFER_ALL_GROUPS, 0, 0));
        w->setWindowModality(Qt::ApplicationModal);
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        w->TimerDati->stop();
        w->PageControl->setCurrentIndex(page);
        r.sim().ClearCalls();
    }
    void TearDown() override
    {
        if (w && w->isVisible()) {
            r.prompts.script(plat::IDYES);
            w->done(0);
        }
    }

    // The writes of one item (number) since the last ClearCalls.
    std::vector<protovyx::CallRecord> writes(int item) const
    {
        std::vector<protovyx::CallRecord> out;
        for (const auto& c : r.sim().Calls())
            if (c.name.rfind("Write", 0) == 0 && (c.code & 0xff) == item)
                out.push_back(c);
        return out;
    }
    // The ECU's elements of an item.
    std::vector<std::int32_t> ecu(int item) const
    {
        std::vector<std::int32_t> v;
        r.sim().PeekItem(item, v);
        return v;
    }

    mutable rig::DataModuleRig r;
    std::unique_ptr<TFormConfig> w;
    bool extraSeen = false;
};

} // namespace pagetest
