// Guards against frame tests leaking their document, program folder, answers and messages into each other.
#pragma once
// A main frame over its own document and program folder, with the dialogs
// answered by the test and the message boxes recorded.
#include <QApplication>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <thread>

#include "app/text/AppMessage.h"
#include "app/frame/MainFrame.h"
#include "jobs/OrlatCenterDoc.h"
#include "link/LinkState.h"
#include "link/job/JobStart.h"
#include "model/MachineParams.h"
#include "tests/app/support/AppFixture.h"

namespace appfix {

// Runs the event loop until pred holds or ms pass; pred's last value.
inline bool PumpUntil(const std::function<bool()>& pred, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > ms) return pred();
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class FrameFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseProgramFolder(program);
        UnitNoHintNextTime = 1;
        PltFileUnit = 0;
        SetDefaultMachineParams();
        SetAppMessageHook([this](QMessageBox::Icon, const QString& text) { messages << text; });
        frame = std::make_unique<CMainFrame>(service);
        frame->askQuestion = [this](const QString&, const QString& text) {
            questions << text;
            return answer;
        };
        frame->askOpenFile = [this](const QString&, const QString&) { return chosenFile; };
        frame->askSaveFile = [this](const QString&, const QString&) { return chosenFile; };
    }
    void TearDown() override
    {
        frame.reset();
        SetAppMessageHook({});
        if (g_pSendJobThread) {
            g_pSendJobThread->Join();
            g_pSendJobThread.reset();
        }
        WorkPage.DeleteAllCurves();
        theSettings.DataDirMm.clear();
        theSettings.DataDirMil.clear();
    }
    std::string LastTaskPath() const { return ToUtf8(theSettings.Path(Slot::LastTaskPath)); }

    SettingsGuard guard;
    TempDir program;
    CJobService service;
    COrlatCenterDoc& doc = service.Doc();
    std::unique_ptr<CMainFrame> frame;
    QStringList messages, questions;
    bool answer = true;
    QString chosenFile;
};

}  // namespace appfix
