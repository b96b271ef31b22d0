#pragma once
// The scan window over a scan thread that the test steps (its fixture in
// MBusSteppedScan.h) against the simulated converter, shown modally with the
// message boxes answered by script. The project's "ParGen.xml" gives the
// converter's address, 127.0.0.2.
#include "MBusFixture.h"
#include "MBusSteppedScan.h"
#include "framework/Dialogs.h"
#include "mbus/UScanDecode.h"
#include "shell/ULanguage.h"
#include "support/TempDir.h"

#include <functional>
#include <memory>

class ScanWindow : public TMBusTest {
protected:
    void SetUp() override {
        Load_Default_Texts();
        saved_par_gen_ = Path_ParGen;
        dir.write("ParGen.xml",
                  "<Par_Gen><PROFINET_IP1>127</PROFINET_IP1><PROFINET_IP2>0</PROFINET_IP2>"
                  "<PROFINET_IP3>0</PROFINET_IP3><PROFINET_IP4>2</PROFINET_IP4></Par_Gen>");
        Path_ParGen = Utf8ToString(dir.file("ParGen.xml"));
        sim.Start();
        auto thread = std::make_unique<TSteppedScan>(now);
        scan = thread.get();
        scan->Converter_Port = sim.Port();
        win = std::make_unique<TFScanDecode>(nullptr, std::move(thread));
        win->AfterConstruction();
        win->XML_Code_Dev = 11;
        win->FileName_MBus = Utf8ToString(dir.file("M_Bus.xml"));
        dialogs.OnModalForm = [this](TCustomForm* form) {
            if (form == win.get()) {
                if (body) body();
                win->Close();
            } else if (onDialog) {
                onDialog(form);
            }
        };
    }
    void TearDown() override {
        win.reset();
        Path_ParGen = saved_par_gen_;
        {
            std::lock_guard hold(WMBus_Slave_Lock());
            Cancel_WMBus_Slave_List();
        }
        TMBusTest::TearDown();
    }
    // Shows the window; Body runs while it is shown, and the window closes after.
    void Show(std::function<void()> Body) {
        body = std::move(Body);
        win->ShowModal();
    }
    void Step() { Step_Scan(*scan, sim, handled, now); }
    void Run() {
        for (int i = 0; i < 200000 && scan->InScan(); ++i) Step();
    }
    // The texts of the message boxes of one icon shown so far.
    std::vector<String> Boxes(TDialogIcon icon) const {
        std::vector<String> out;
        for (const auto& r : dialogs.Shown)
            if (r.Icon == icon) out.push_back(r.Text);
        return out;
    }
    // Puts the decoded example meter into the wired result list.
    static void Add_Example_Meter(Byte address = 2, const TBytes& id = {0x78, 0x56, 0x34, 0x12}) {
        const TBytes frame = Long_Frame(address, Example_Data(), id);
        TMBusDecoder decoder;
        bool last = false;
        decoder.Decode_RSP_UD(frame.data(), static_cast<int>(frame.size()), -1, last);
    }

    TempDir dir;
    std::atomic<Cardinal> now{0};
    TSimConverter sim;
    TSteppedScan* scan = nullptr;
    std::unique_ptr<TFScanDecode> win;
    TScriptedDialogService dialogs;
    std::function<void()> body;
    std::function<void(TCustomForm*)> onDialog;
    std::size_t handled = 0;

private:
    String saved_par_gen_;
};
