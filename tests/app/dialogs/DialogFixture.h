// Guards against dialog tests leaking the settings, message boxes and folder choices they script into each other.
#pragma once
// Globals the parameter dialogs read and write, set to known values before a
// test and put back after; message boxes and the folder browser scripted.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <array>
#include <cstring>
#include <deque>
#include <functional>
#include <vector>

#include "app/dialogs/DialogHooks.h"
#include "link/KeyQueue.h"
#include "link/LinkState.h"
#include "model/MachineParams.h"
#include "model/Settings.h"

struct ShownMessage {
    QString caption;
    QString text;
};

// Every integer slot and the two program-wide integers the dialogs touch.
struct SettingsImage {
    std::array<int32_t, Slot::Count> ints{};
    int32_t inkBox2Left = 0;
    std::u16string dir1, dir2;
    static SettingsImage Take()
    {
        SettingsImage s;
        for (int i = 0; i < Slot::Count; ++i) s.ints[i] = theSettings.Get(i);
        s.inkBox2Left = InkBox2Left.load();
        s.dir1 = theSettings.DataDirMm;
        s.dir2 = theSettings.DataDirMil;
        return s;
    }
    bool operator==(const SettingsImage&) const = default;
};

inline bool SameBlock(const MachineParams& a, const MachineParams& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = SettingsImage::Take();
        // The settings file's defaults.
        const std::pair<int, int> defaults[] = {
            {Slot::AutoDelFinish, 1}, {Slot::AutoOffline, 0},  {Slot::Language, 0},      {Slot::BiDirPlot, 1},
            {Slot::LineWidth, 2},     {Slot::PlotOnly, 0},     {Slot::PlotCutLine, 0},   {Slot::CleanAtStart, 0},
            {Slot::CleanAtSection, 0}, {Slot::DxfUnit, 40},    {Slot::CutSEOftHpgl, 10}, {Slot::CleanThickness, 3},
            {Slot::AutoRotate, 1},    {Slot::PaperLenMm, 2000}, {Slot::SearchOutline, 0}, {Slot::ConnectViaEth, 0},
            {Slot::AutoAddToList, 1}, {Slot::AutoStart, 1}};
        for (auto [slot, v] : defaults) theSettings.Set(slot, v);
        InkBox2Left = 0;
        MachineParams p{};
        FillDefaultMachineParams(p);
        p.machineIp = 0xD701A8C0;
        {
            std::lock_guard<std::mutex> lock(g_machineParamsLock);
            g_machineParams = p;
            g_machineParamsSaved = p;
        }
        LinkConnected = 1;
        KeyQueueClear();
        auto& h = TheDialogHooks();
        h.messageBox = [this](QWidget*, const QString& caption, const QString& text, QMessageBox::Icon,
                              QMessageBox::StandardButtons) {
            shown.push_back({caption, text});
            if (answers.empty()) return QMessageBox::Ok;
            const auto a = answers.front();
            answers.pop_front();
            return a;
        };
        h.chooseFolder = [this](QWidget*, const QString&, const QString&) { return folder; };
    }
    void TearDown() override
    {
        ResetDialogHooks();
        for (int i = 0; i < Slot::Count; ++i) theSettings.Set(i, saved_.ints[i]);
        InkBox2Left = saved_.inkBox2Left;
        theSettings.DataDirMm = saved_.dir1;
        theSettings.DataDirMil = saved_.dir2;
        LinkConnected = 0;
        KeyQueueClear();
    }

    static MachineParams Live() { return SnapshotMachineParams(); }
    static MachineParams Saved()
    {
        std::lock_guard<std::mutex> lock(g_machineParamsLock);
        return g_machineParamsSaved;
    }
    static void Type(QWidget* edit, const QString& text)
    {
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        if (!text.isEmpty()) QTest::keyClicks(edit, text);
    }
    // Runs act on the next modal dialog of type T once it is up (it is called
    // from the event loop that exec() runs).
    template <class T>
    static void OnNextModal(std::function<void(T*)> act)
    {
        auto* timer = new QTimer;
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, [timer, act] {
            if (auto* d = qobject_cast<T*>(QApplication::activeModalWidget())) {
                timer->stop();
                timer->deleteLater();
                act(d);
            }
        });
        timer->start();
    }
    static bool WaitFor(const std::function<bool()>& done, int ms = 5000)
    {
        QElapsedTimer t;
        t.start();
        while (!done()) {
            if (t.elapsed() > ms) return false;
            QTest::qWait(5);
        }
        return true;
    }

    std::vector<ShownMessage> shown;
    std::deque<QMessageBox::StandardButton> answers;
    QString folder;

private:
    SettingsImage saved_;
};
