#include "MBusFixture.h"
#include "mbus/MBusScanDecode.h"
#include "mbus/MBusScanWireless.h"
#include "support/SimConverter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <optional>
#include <thread>

namespace {
using namespace std::chrono;

// The scan's UDP road to the simulated converter, both on loopback: replies
// are kept for the state machine, telegrams go to it while it receives.
class TLoopLink : public TWirelessLink {
public:
    TLoopLink() : listener_([this](const TUdpDatagram& d) { On_Datagram(d); }) {}
    void Open(TMBusScanWireless& scan, Word simPort) {
        scan_ = &scan;
        port_ = simPort;
        listener_.Start(u"127.0.0.1", 0);
    }
    void Send(const ByteString& data, int timeOut) override {
        {
            std::lock_guard lock(mutex_);
            reply_.reset();
            deadline_ = steady_clock::now() + milliseconds(timeOut);
        }
        listener_.SendTo(kSimAddress, port_, data);
    }
    bool Answer(ByteString& reply) override {
        std::lock_guard lock(mutex_);
        if (!reply_) return false;
        reply = *reply_;
        reply_.reset();
        return true;
    }
    bool TimedOut() override {
        std::lock_guard lock(mutex_);
        return steady_clock::now() > deadline_;
    }
    void Release() override { released_ = true; }
    // Waits a little for something to arrive, instead of spinning.
    void Wait_Briefly() {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, milliseconds(5), [&] { return reply_.has_value(); });
    }
    // Waits for the decoded telegrams to reach count.
    bool Wait_Telegrams(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, seconds(2), [&] { return telegrams_ >= count; });
    }
    void Count_Telegram() {
        std::lock_guard lock(mutex_);
        ++telegrams_;
        changed_.notify_all();
    }
    std::atomic<bool> released_{false};

private:
    void On_Datagram(const TUdpDatagram& d) {
        if (scan_->Take_Telegram(reinterpret_cast<const Byte*>(d.Data.data()), static_cast<int>(d.Data.size()))) return;
        std::lock_guard lock(mutex_);
        reply_ = d.Data;
        changed_.notify_all();
    }
    TMBusScanWireless* scan_ = nullptr;
    Word port_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<ByteString> reply_;
    steady_clock::time_point deadline_{};
    int telegrams_ = 0;
    TUdpListener listener_;
};

ByteString B(std::initializer_list<int> v) {
    ByteString s;
    for (int x : v) s.push_back(static_cast<char>(x));
    return s;
}
ByteString Str(const TBytes& b) { return ByteString(b.begin(), b.end()); }

const TBytes Telegram5_Byte = [] {
    TBytes t = Telegram5_At;
    t.pop_back();
    t.back() = 0xB4;
    t[0] = static_cast<Byte>(t.size() - 1);
    return t;
}();

class MBusScanWireless : public TMBusTest {
protected:
    void SetUp() override {
        sim_.Start();
        link_.Open(scan_, sim_.Port());
        scan_.Decoder.UpdateListWirelessSlave = [this](int, TSlave_wMBus*) { link_.Count_Telegram(); };
    }
    void TearDown() override {
        Cancel_WMBus_Slave_List();
        TMBusTest::TearDown();
    }
    // Steps until the state is reached or the scan ends; false after 5 s.
    bool Run_To(int state) {
        const auto end = steady_clock::now() + seconds(5);
        while (steady_clock::now() < end) {
            if (scan_.Step() == state) return true;
            if (!scan_.InScan()) return false;
            const int before = scan_.Step();
            scan_.Scan_Decode_Wireless();
            if (scan_.Step() == before) link_.Wait_Briefly();
        }
        return false;
    }
    // Steps until the scan has ended; true when it ended in its last state.
    bool Run_To_End() {
        Run_To(-1);
        return !scan_.InScan() && scan_.Step() == 503;
    }
    // The datagrams the converter received from the index on.
    std::vector<ByteString> Log(std::size_t from = 0) {
        std::vector<ByteString> out;
        const auto all = sim_.Received();
        for (std::size_t i = from; i < all.size(); ++i) out.push_back(all[i].Data);
        return out;
    }
    TSlave_wMBus& Meter(int i) { return *static_cast<TSlave_wMBus*>(WMBus_Slave_List.at(static_cast<std::size_t>(i))); }
    // A meter heard from the air, as the decoder adds it.
    int Hear(const TBytes& telegram) {
        const int before = static_cast<int>(WMBus_Slave_List.size());
        EXPECT_TRUE(sim_.Push(Str(telegram)));
        EXPECT_TRUE(link_.Wait_Telegrams(heard_ + 1));
        ++heard_;
        return before;
    }
    TSimConverter sim_;
    TMBusScanWireless scan_{link_};
    TLoopLink link_;
    int heard_ = 0;
};

const std::vector<ByteString> Start_Log = {"Korvia_Enable_Configuration_Mode", "Korvia_Type_Radio_Module"};
}  // namespace

TEST_F(MBusScanWireless, AtCommandModuleSetsUpPerModeLoadsAKeyAndLeaves) {
    struct Case {
        int Mode;
        std::vector<ByteString> Setup;
    } cases[] = {
        {WMBus_Mode_S,
         {"+++", "ATR\r", "ATS400=1\r", "ATS401=0\r", "ATS402=191\r", "ATS420=3\r", "ATS421=0\r", "ATS422=3\r",
          "ATS430=5\r", "ATS431=5\r", "ATS440=0\r", "ATS441=0\r", "ATS442=0\r", "ATS452=0\r", "ATS453=0\r",
          "ATS454=0\r", "ATO\r"}},
        {WMBus_Mode_N1,
         {"+++", "ATR\r", "ATS400=15\r", "ATS401=0\r", "ATS402=191\r", "ATS420=3\r", "ATS422=3\r", "ATS430=5\r",
          "ATS431=5\r", "ATS440=0\r", "ATS441=0\r", "ATS452=0\r", "ATS453=0\r", "ATO\r"}},
    };
    for (const Case& c : cases) {
        const std::size_t from = sim_.Received().size();
        scan_.Start(c.Mode, 3, 0);
        ASSERT_TRUE(Run_To(134)) << c.Mode;
        std::vector<ByteString> expected = Start_Log;
        expected.insert(expected.end(), c.Setup.begin(), c.Setup.end());
        EXPECT_EQ(Log(from), expected) << c.Mode;
        EXPECT_EQ(scan_.Radio_Module(), rmAtCommand);
        if (c.Mode == WMBus_Mode_N1) break;
        scan_.Stop_Scan();
        ASSERT_TRUE(Run_To_End());
    }

    // The first telegram adds the meter encrypted; its key is loaded into the
    // module and the next telegram is decrypted.
    const int m = Hear(Telegram5_At);
    EXPECT_TRUE(Meter(m).Cripted);
    const std::size_t from = sim_.Received().size();
    ASSERT_TRUE(scan_.Insert_Wireless_Key(m, Key5));
    EXPECT_EQ(scan_.Step(), 200);
    EXPECT_FALSE(scan_.Insert_Wireless_Key(m, std::array<Byte, 16>{}));  // not while loading: Key5 goes on
    ASSERT_TRUE(Run_To(134));
    std::vector<ByteString> keys = {"+++", "ATS461=147\r", "ATS462=21\r", "ATS463=120\r", "ATS464=86\r",
                                    "ATS465=52\r", "ATS466=18\r", "ATS467=51\r", "ATS468=3\r"};
    for (int i = 0; i < 16; ++i) keys.push_back("ATS" + std::to_string(470 + i) + "=" + std::to_string(Key5[i]) + "\r");
    keys.insert(keys.end(), {"ATS460=5\r", "ATO\r"});
    EXPECT_EQ(Log(from), keys);
    Hear(Telegram5_At);
    EXPECT_FALSE(Meter(m).Cripted);
    EXPECT_EQ(Meter(m).List_Var.size(), 18u);

    TempDir dir;
    scan_.SaveXMLFile = S(dir.file("scan.xml"));
    scan_.Stop_Scan();
    ASSERT_TRUE(Run_To_End());
    EXPECT_EQ(scan_.Result(), 1);
    EXPECT_EQ(dir.read("scan.xml").rfind("<SCAN_M-Bus_Wireless><Node Manufacturer=\"ELS\" Address=\"12345678\"", 0), 0u);
    EXPECT_EQ(scan_.SaveXMLError, u"");
    EXPECT_EQ(Log().back(), "Korvia_Disable_Configuration_Mode");
    EXPECT_FALSE(sim_.ConfigurationMode());
    EXPECT_TRUE(link_.released_);
    // A telegram after the end is no longer taken.
    EXPECT_FALSE(scan_.Take_Telegram(Telegram5_At.data(), static_cast<int>(Telegram5_At.size())));
}

TEST_F(MBusScanWireless, ByteCommandModuleErasesItsTableAndGivesKeyPositions) {
    sim_.SetRadioModule(TSimRadioModule::RadioCrafts);
    scan_.Start(WMBus_Mode_T, 0, 0);
    ASSERT_TRUE(Run_To(320));
    std::vector<ByteString> expected = Start_Log;
    expected.insert(expected.end(), {B({0x00}), "0", "M", Build_RadioCrafts_Config(WMBus_Mode_T), B({0xFF})});
    for (int p = 1; p <= 63; ++p) expected.insert(expected.end(), {"B", B({p}), ByteString(8, '\0')});
    expected.push_back("X");
    EXPECT_TRUE(sim_.WaitForReceived(expected.size()));  // "X" has no reply to wait for
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(Build_RadioCrafts_Config(WMBus_Mode_T)[1], 0x01);

    // Positions 1 and 2 for two meters; a repeated key keeps its position.
    const int first = Hear(Telegram5_Byte);
    TBytes other = Telegram5_Byte;
    other[4] = 0x79;
    const int second = Hear(other);
    auto load = [&](int meter) {
        const std::size_t from = sim_.Received().size();
        EXPECT_TRUE(scan_.Insert_Wireless_Key(meter, Key5));
        EXPECT_TRUE(Run_To(320));
        EXPECT_TRUE(sim_.WaitForReceived(from + 11));
        return Log(from);
    };
    const std::vector<ByteString> log = load(first);
    const ByteString key(reinterpret_cast<const char*>(Key5.data()), 16);
    EXPECT_EQ(log, (std::vector<ByteString>{B({0x00}), "B", B({1}), B({0x78, 0x56, 0x34, 0x12, 0x93, 0x15, 0x33, 0x03}),
                                            "K", B({1}), key, "A", B({1}), B({0x00, 0x40}), "X"}));
    load(second);
    EXPECT_EQ(Meter(second).RadioCrafts_Ind_Tab_Decript, 2);
    EXPECT_EQ(load(first)[2], B({1}));
    EXPECT_EQ(Meter(first).RadioCrafts_Ind_Tab_Decript, 1);
    Hear(Telegram5_Byte);
    EXPECT_FALSE(Meter(first).Cripted);

    // The table holds 64 keys: the 65th is refused and takes no position.
    for (int i = 0; i < 64; ++i) {
        auto fresh = std::make_unique<TSlave_wMBus>();
        fresh->RadioCrafts_Ind_Tab_Decript = -1;
        WMBus_Slave_List.push_back(fresh.release());
    }
    for (int i = 2; i < 64; ++i) load(i);
    EXPECT_EQ(Meter(63).RadioCrafts_Ind_Tab_Decript, 64);
    EXPECT_FALSE(scan_.Insert_Wireless_Key(64, Key5));
    EXPECT_EQ(Meter(64).RadioCrafts_Ind_Tab_Decript, -1);
    EXPECT_FALSE(Meter(64).Enable_Key);
    EXPECT_EQ(scan_.Step(), 320);
}

TEST_F(MBusScanWireless, FailuresEndTheScan) {
    // A key during the set-up is refused and leaves the meter without one.
    auto meter = std::make_unique<TSlave_wMBus>();
    WMBus_Slave_List.push_back(meter.release());
    scan_.Start(WMBus_Mode_S, 0, 0);
    ASSERT_TRUE(Run_To(104));
    EXPECT_FALSE(scan_.Insert_Wireless_Key(0, Key5));
    EXPECT_FALSE(Meter(0).Enable_Key);

    // A wrong reply of the module: result 2, and the converter leaves its
    // configuration mode.
    sim_.AnswerNextWith("ERROR\r");
    ASSERT_TRUE(Run_To_End());
    EXPECT_EQ(Log().back(), "Korvia_Disable_Configuration_Mode");
    EXPECT_EQ(scan_.Result(), 2);

    // The leave command is tried three times at most.
    scan_.Start(WMBus_Mode_S, 0, 0);
    ASSERT_TRUE(Run_To(134));
    const std::size_t from = sim_.Received().size();
    for (int i = 0; i < 3; ++i) sim_.AnswerNextWith("busy");
    scan_.Stop_Scan();
    ASSERT_TRUE(Run_To_End());
    EXPECT_EQ(Log(from), std::vector<ByteString>(3, "Korvia_Disable_Configuration_Mode"));

    // An unknown module; a result file that cannot be written is told
    // beside its path, and the scan still ends.
    TempDir dir;
    scan_.SaveXMLFile = S(dir.file("missing/scan.xml"));
    scan_.Start(WMBus_Mode_S, 0, 0);
    ASSERT_TRUE(Run_To(2));
    sim_.AnswerNextWith("\n\rOTHER\n\r");
    ASSERT_TRUE(Run_To_End());
    EXPECT_EQ(scan_.Result(), 2);
    EXPECT_NE(scan_.SaveXMLError, u"");
}

namespace {
class MBusScanWirelessThread : public TMBusTest {
protected:
    void TearDown() override {
        Cancel_WMBus_Slave_List();
        TMBusTest::TearDown();
    }
    // Steps the thread's machine by hand until done() holds; false after 5 s.
    template <class TDone>
    bool Step_Until(TMBusScanDecode& scan, TDone done) {
        const auto end = steady_clock::now() + seconds(5);
        while (!done()) {
            if (steady_clock::now() > end) return false;
            scan.Scan_Decode_Wireless();
            std::this_thread::sleep_for(milliseconds(1));
        }
        return true;
    }
};
}  // namespace

TEST_F(MBusScanWirelessThread, RunsOnTheScanThreadsLinkBesideTheConverter) {
    TSimConverter sim;
    sim.Start();
    TMBusScanDecode scan(true);
    std::mutex m;
    std::condition_variable cv;
    int reports = 0;
    auto report = [&](int, TSlave_wMBus*) {
        std::lock_guard lock(m);
        ++reports;
        cv.notify_all();
    };
    auto wait_reports = [&](int n) {
        std::unique_lock lock(m);
        return cv.wait_for(lock, seconds(2), [&] { return reports >= n; });
    };
    // Beside the converter: the same port on another loopback address.
    ASSERT_TRUE(scan.Start_Scan_Wireless(kSimAddress, sim.Port(), WMBus_Mode_S, 0, false, u"127.0.0.1", report));
    EXPECT_FALSE(scan.Start_Scan_Wireless(kSimAddress, sim.Port(), WMBus_Mode_S, 0, false, u"127.0.0.1", report));
    ASSERT_TRUE(Step_Until(scan, [&] { return scan.Step() == 134; }));
    EXPECT_TRUE(sim.ConfigurationMode());

    ASSERT_TRUE(sim.Push(Str(Telegram5_At)));
    ASSERT_TRUE(wait_reports(1));
    ASSERT_EQ(WMBus_Slave_List.size(), 1u);
    ASSERT_TRUE(scan.Insert_Wireless_Key(0, Key5));
    const std::size_t loaded = sim.Received().size() + 27;  // the key loading ends with "ATO\r"
    ASSERT_TRUE(Step_Until(scan, [&] { return scan.Step() == 134 && sim.Received().size() >= loaded; }));
    ASSERT_TRUE(sim.Push(Str(Telegram5_At)));
    ASSERT_TRUE(wait_reports(2));
    {
        std::lock_guard hold(WMBus_Slave_Lock());
        const auto* meter = static_cast<const TSlave_wMBus*>(WMBus_Slave_List[0]);
        EXPECT_FALSE(meter->Cripted);
        EXPECT_EQ(meter->List_Var.size(), 18u);
    }

    scan.Stop_Scan();
    ASSERT_TRUE(Step_Until(scan, [&] { return !scan.InScan(); }));
    EXPECT_EQ(scan.Step(), 503);
    EXPECT_EQ(scan.Result(), 1);
    EXPECT_FALSE(sim.ConfigurationMode());

    // A port that cannot be had: the bind's error, and no scan.
    TUdpSocket taken;
    taken.Bind(u"127.0.0.1", 0);
    EXPECT_THROW(scan.Start_Scan_Wireless(kSimAddress, taken.LocalPort(), WMBus_Mode_S, 0, false, u"127.0.0.1", report),
                 EOSError);
    EXPECT_FALSE(scan.InScan());
}
