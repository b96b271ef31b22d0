#include "mbus/MBusScanDecode.h"

#include "MBusFixture.h"
#include "MBusPty.h"
#include "MBusSteppedScan.h"
#include "support/SimConverter.h"
#include "support/TempDir.h"

#include "framework/XmlDoc.h"

#include "shell/Globals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <tuple>

namespace {

ByteString Bytes(std::initializer_list<int> b) {
    ByteString s;
    for (int x : b) s += char(x);
    return s;
}
ByteString Bytes(const TBytes& b) { return ByteString(b.begin(), b.end()); }

std::string Hex(const ByteString& s) {
    std::string out;
    char buf[4];
    for (unsigned char c : s) {
        std::snprintf(buf, sizeof buf, "%02X ", c);
        out += buf;
    }
    return out;
}

using TReport = std::tuple<int, int, int, int>;

class MBusScan : public TMBusTest {
protected:
    MBusScan() : scan(now) {
        sim.Start();
        scan.Converter_Port = sim.Port();
    }

    bool Start(TScanType type, int cutAfter = 0, bool appReset = false, bool sndNke = false,
               const String& address = kSimAddress, TSelectHard hard = shEthernet) {
        return scan.Start_Scan(type, hard, address, 2400, 1, appReset, sndNke, cutAfter, false, 0, false,
                               [this](int p, int a, int f, int k) {
                                   reports.emplace_back(p, a, f, k);
                                   if (onReport) onReport(p, a, f, k);
                               });
    }

    // Steps until the scan ends (or maxSteps), 40 ms of the test's time apart.
    void Run(int maxSteps = 200000) {
        for (int i = 0; i < maxSteps && scan.InScan(); ++i) Step();
    }

    void Step() { Step_Scan(scan, sim, sends, now); }

    std::vector<ByteString> Log() const {
        std::vector<ByteString> out;
        for (const auto& d : sim.Received()) out.push_back(d.Data);
        return out;
    }

    std::atomic<Cardinal> now{0xFFFFF000};  // the tick wraps during the scan
    TSimConverter sim;
    TSteppedScan scan;
    std::vector<TReport> reports;
    std::function<void(int, int, int, int)> onReport;
    std::size_t sends = 0;
};

const ByteString Enable = "Korvia_Enable_Analyzer_Mode";
const ByteString Disable = "Korvia_Disable_Analyzer_Mode";
const ByteString Serial_2400_Even = Build_Set_Serial_Param(2400, 1);

// A meter at 0 answering in two frames (the first ends with DIF 1F), the
// public example at 2, another at 250.
const TBytes Meter0_Frame1 = Long_Frame(0, {0x04, 0x13, 0x10, 0x00, 0x00, 0x00, 0x1F}, {0x01, 0, 0, 0});
const TBytes Meter0_Frame2 = Long_Frame(0, {0x02, 0x5A, 0x20, 0x01}, {0x01, 0, 0, 0});
const TBytes Meter250_Frame = Long_Frame(250, Example_Data(), {0x50, 0x02, 0, 0});

}  // namespace

TEST(MBusLink, FramesAcceptanceAndTimeOuts) {
    EXPECT_EQ(Hex(Build_SND_NKE(0xFF)), "10 40 FF 3F 16 ");
    EXPECT_EQ(Hex(Build_REQ_UD2(1, 0, false, 0)), "10 7B 01 7C 16 ");
    EXPECT_EQ(Hex(Build_REQ_UD2(1, 1, false, 0)), "10 5B 01 5C 16 ");
    EXPECT_EQ(Hex(Build_REQ_UD2(1, 2, false, 0)), "10 7B 01 7C 16 ");
    EXPECT_EQ(Hex(Build_REQ_UD2(1, 1, true, 1)), "10 7B 01 7C 16 ");
    EXPECT_EQ(Hex(Build_REQ_UD2(1, 0, true, 0)), "10 5B 01 5C 16 ");
    EXPECT_EQ(Hex(Build_App_Reset(0xFF, false, 0)), "68 03 03 68 73 FF 50 C2 16 ");
    EXPECT_EQ(Hex(Build_App_Reset(0xFF, true, 0)), "68 03 03 68 53 FF 50 A2 16 ");
    EXPECT_EQ(Hex(Build_Select_Secondary({1, -1, -1, -1, -1, -1, -1, -1}, false, 0)),
              "68 0B 0B 68 73 FD 52 FF FF FF 1F FF FF FF FF DA 16 ");
    EXPECT_EQ(Hex(Build_Select_Secondary({1, 2, 3, 4, 5, 6, 7, 8}, false, 0)).substr(21, 12), "78 56 34 12 ");
    const ByteString sm = Build_Set_Serial_Param(2400, 1);
    EXPECT_EQ(sm.substr(0, 11), "Korvia_S_M:");
    EXPECT_EQ(Hex(sm.substr(11)), "00 00 09 60 2C 02 ");
    EXPECT_EQ(Build_Set_Serial_Param(9600, 2).back(), 1);

    auto accepts = [](const TBytes& b, auto rule) { return rule(b.data(), int(b.size())); };
    TBytes frame21 = Long_Frame(1, {});
    ASSERT_EQ(frame21.size(), 21u);
    TBytes frame22 = Long_Frame(1, {0x2F});
    TBytes badSum = frame22;
    badSum[20] ^= 1;
    EXPECT_FALSE(accepts(frame21, Is_Long_Frame));
    EXPECT_TRUE(accepts(frame22, Is_Long_Frame));
    EXPECT_FALSE(accepts(badSum, Is_Long_Frame));
    EXPECT_TRUE(accepts(TBytes{0xE5}, Is_Ack));
    EXPECT_FALSE(accepts(TBytes{0xE5, 0xE5}, Is_Ack));
    const ByteString no = "NO_SLAVE\n\r";
    EXPECT_TRUE(Is_No_Slave(reinterpret_cast<const Byte*>(no.data()), 10));
    EXPECT_FALSE(Is_No_Slave(reinterpret_cast<const Byte*>("NO_SLAVE\r\n"), 10));
    EXPECT_FALSE(Is_No_Slave(reinterpret_cast<const Byte*>(no.data()), 9));

    EXPECT_TRUE(Is_TimeOut(0xFFFFFF00, 0x00000100, 511));  // 512 ms across the wrap
    EXPECT_FALSE(Is_TimeOut(0xFFFFFF00, 0x00000100, 512));
    const struct {
        int baud, add, shortMs, longMs;
    } times[] = {{300, 0, 1550, 11266}, {2400, 0, 587, 1802}, {38400, 0, 458, 534}, {2400, 10000, 10587, 11802}};
    for (const auto& t : times) {
        EXPECT_EQ(Short_TimeOut(t.baud, t.add), t.shortMs) << t.baud;
        EXPECT_EQ(Long_TimeOut(t.baud, t.add), t.longMs) << t.baud;
    }
}

TEST_F(MBusScan, PrimarySearchReadsEveryMeterFrameByFrame) {
    sim.SetFrameAnswer(Build_REQ_UD2(0, 0, false, 0), Bytes(Meter0_Frame1));
    sim.SetFrameAnswer(Build_REQ_UD2(0, 1, false, 0), Bytes(Meter0_Frame2));
    sim.SetFrameAnswer(Build_REQ_UD2(2, 0, false, 0), Bytes(Example_Frame));
    sim.SetFrameAnswer(Build_REQ_UD2(250, 0, false, 0), Bytes(Meter250_Frame));
    ASSERT_TRUE(Start(saPrimaryAddress));
    Run();
    EXPECT_FALSE(scan.InScan());
    EXPECT_EQ(scan.Result(), 1);

    std::vector<ByteString> expected = {Enable, Serial_2400_Even, Build_SND_NKE(0xFF), Build_REQ_UD2(0, 0, false, 0),
                                        Build_REQ_UD2(0, 1, false, 0)};
    for (int a = 1; a <= 250; ++a) expected.push_back(Build_REQ_UD2(Byte(a), 0, false, 0));
    expected.push_back(Disable);
    EXPECT_EQ(Log(), expected);

    ASSERT_EQ(reports.size(), 253u);
    EXPECT_EQ(reports.front(), TReport(1, 0, 0, 1));
    EXPECT_EQ(reports[1], TReport(2, 0, 1, 1));
    EXPECT_EQ(reports[2], TReport(2, 1, 0, 1));
    EXPECT_EQ(reports[3], TReport(2, 2, 1, 1));
    EXPECT_EQ(reports[251], TReport(2, 250, 1, 1));
    EXPECT_EQ(reports.back(), TReport(3, 0, 0, 1));

    ASSERT_EQ(MBus_Slave_List.size(), 3u);
    const auto* m0 = static_cast<TSlave_MBus*>(MBus_Slave_List[0]);
    const auto* m2 = static_cast<TSlave_MBus*>(MBus_Slave_List[1]);
    EXPECT_EQ(m0->Primary_Addresss, 0);
    EXPECT_EQ(m0->List_Var.size(), 2u);  // one record from each frame
    EXPECT_EQ(m2->Secondary_Addresss, u"12345678");
    EXPECT_EQ(m2->List_Var.size(), 3u);
    EXPECT_EQ(static_cast<TSlave_MBus*>(MBus_Slave_List[2])->Primary_Addresss, 250);
    EXPECT_FALSE(sim.AnalyzerMode());
    EXPECT_FALSE(scan.UDP_Server().Active());
}

TEST_F(MBusScan, TheResultFileShowsEachRecordAsTheMeterCodedIt) {
    TempDir dir;
    sim.SetFrameAnswer(Build_REQ_UD2(3, 0, false, 0), Bytes(Long_Frame(3, Current_Coding_Data())));
    scan.SaveXMLFile = Utf8ToString(dir.file("scan.xml"));
    ASSERT_TRUE(Start(saPrimaryAddress));
    Run();
    ASSERT_FALSE(scan.InScan());
    EXPECT_EQ(scan.SaveXMLError, u"");
    TXmlDocument doc;
    doc.LoadFromFile(scan.SaveXMLFile);
    const TXmlNode node = doc.DocumentElement().Child(0);
    EXPECT_EQ(node.AttributeOr(u"Primary_Address", u""), u"3");
    std::vector<std::pair<String, String>> shown;
    for (const TXmlNode& v : node.Children())
        shown.emplace_back(v.AttributeOr(u"Value", u""), v.AttributeOr(u"Type", u""));
    EXPECT_EQ(shown, (std::vector<std::pair<String, String>>{
                         {u"54.1", u"Vif in following String [%RH] - Moltiplicative Correction Factor: 10^(-1)"},
                         {u"G0017591208205814", u"Fabrication No"},
                         {u"0x0F0E0D0C0B0A09080706050403020100", u"Security Key"},
                         {u"Valore non valido", u"Time Point Date and Time (Type F)"},
                         {u"12.345", u"Volume m3"},
                     }));
    EXPECT_EQ(node.Child(2).Child(3).Text(), u"Variable Length - Binary Number with 16 Bytes");
    EXPECT_EQ(node.Child(3).Child(6).Text(), u"Valore non valido");

    // A result file that cannot be written leaves the scan's result and says why.
    Cancel_MBus_Slave_List();
    scan.SaveXMLFile = Utf8ToString(dir.file("missing/scan.xml"));
    ASSERT_TRUE(Start(saPrimaryAddress));
    Run();
    EXPECT_EQ(scan.Result(), 1);
    EXPECT_NE(scan.SaveXMLError, u"");
    EXPECT_EQ(MBus_Slave_List.size(), 1u);
}

TEST_F(MBusScan, CutAfterOneAndAStopEndTheSearchEarly) {
    sim.SetFrameAnswer(Build_REQ_UD2(0, 0, false, 0), Bytes(Meter0_Frame1));
    onReport = [&](int phase, int, int, int) {
        if (phase == 1) throw Exception(u"the window failed");  // swallowed: the scan goes on
        if (phase == 2) scan.Stop_Scan();
    };
    ASSERT_TRUE(Start(saPrimaryAddress, 1));
    Run();
    EXPECT_EQ(Log(), (std::vector<ByteString>{Enable, Serial_2400_Even, Build_SND_NKE(0xFF),
                                              Build_REQ_UD2(0, 0, false, 0), Disable}));
    EXPECT_EQ(reports, (std::vector<TReport>{{1, 0, 0, 1}, {2, 0, 1, 1}, {3, 0, 0, 1}}));
    EXPECT_EQ(MBus_Slave_List.size(), 1u);
}

TEST_F(MBusScan, SecondarySearchWalksDownACollisionToEachMeter) {
    const std::array<int, 8> ids[] = {{1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, 6, 7, 9}};
    // Both meters answer every select of their common prefix at once.
    for (int level = 0; level < 7; ++level) {
        std::array<int, 8> prefix{-1, -1, -1, -1, -1, -1, -1, -1};
        for (int d = 0; d <= level; ++d) prefix[d] = ids[0][d];
        sim.SetFrameAnswer(Build_Select_Secondary(prefix, false, 0), Bytes({0xE5, 0xE5}));
    }
    sim.SetFrameAnswer(Build_Select_Secondary({0, -1, -1, -1, -1, -1, -1, -1}, false, 0), kNoSlaveReply);
    for (const auto& id : ids) {
        sim.SetFrameAnswer(Build_Select_Secondary(id, false, 0), Bytes({0xE5}));
        const Byte low = Byte(id[6] << 4 | id[7]);
        sim.AddFrameAnswer(Build_REQ_UD2(0xFD, 0, false, 0), Bytes(Long_Frame(0, Example_Data(), {low, 0x56, 0x34, 0x12})));
    }
    ASSERT_TRUE(Start(saSecondaryAddress));
    Run();
    EXPECT_EQ(scan.Result(), 1);
    ASSERT_EQ(MBus_Slave_List.size(), 2u);
    EXPECT_EQ(static_cast<TSlave_MBus*>(MBus_Slave_List[0])->Secondary_Addresss, u"12345678");
    EXPECT_EQ(static_cast<TSlave_MBus*>(MBus_Slave_List[1])->Secondary_Addresss, u"12345679");
    EXPECT_EQ(reports, (std::vector<TReport>{{1, 0, 0, 2}, {2, 0x12345678, 1, 2}, {2, 0x12345679, 1, 2}, {3, 0, 0, 2}}));
    int selects = 0, reads = 0;
    for (const auto& d : Log()) {
        selects += d.size() == 17 && Byte(d[5]) == 0xFD;
        reads += d == Build_REQ_UD2(0xFD, 0, false, 0);
    }
    EXPECT_EQ(selects, 80);  // ten digits on each of the eight levels
    EXPECT_EQ(reads, 2);
}

TEST_F(MBusScan, SilentSelectsEndAfterTheFirstLevel) {
    ASSERT_TRUE(Start(saSecondaryAddress, 0, true, true));
    Run();
    const auto log = Log();
    ASSERT_EQ(log.size(), 2u + 3 + 10 + 1);
    EXPECT_EQ(log[2], Build_SND_NKE(0xFD));
    EXPECT_EQ(log[3], Build_App_Reset(0xFF, false, 0));
    EXPECT_EQ(log[4], Build_SND_NKE(0xFF));
    EXPECT_EQ(log[14], Build_Select_Secondary({9, -1, -1, -1, -1, -1, -1, -1}, false, 0));
    EXPECT_EQ(reports, (std::vector<TReport>{{1, 0, 0, 2}, {3, 0, 0, 2}}));
}

TEST_F(MBusScan, SilentConverterEndsWithResultTwoAfterThreeLeaveTries) {
    sim.SetSilent(true);
    ASSERT_TRUE(Start(saPrimaryAddress));
    Run();
    EXPECT_EQ(scan.Result(), 2);
    EXPECT_EQ(Log(), (std::vector<ByteString>{Enable, Disable, Disable, Disable}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(MBusScan, WrongRepliesAndRefusedSendsEndWithResultTwo) {
    sim.AnswerNextWith("\n\rDone!");  // not the analyzer's reply
    ASSERT_TRUE(Start(saPrimaryAddress));
    Run();
    EXPECT_EQ(scan.Result(), 2);
    EXPECT_EQ(Log(), (std::vector<ByteString>{Enable, Disable}));

    // An address text that is no IPv4 address: the send is refused, the
    // scan ends through its end states and the thread goes on.
    ASSERT_TRUE(Start(saPrimaryAddress, 0, false, false, u"converter.invalid"));
    Run();
    EXPECT_FALSE(scan.InScan());
    EXPECT_EQ(scan.Result(), 2);
}

TEST_F(MBusScan, StopAndAbortEndTheSearchAtTheirPoints) {
    const struct {
        TScanType type;
        bool abort;
        int lastPhase;  // 3 only where a stop ends a primary search
    } cases[] = {{saPrimaryAddress, true, 1}, {saSecondaryAddress, true, 1},
                 {saPrimaryAddress, false, 3}, {saSecondaryAddress, false, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + (c.abort ? " abort" : " stop"));
        reports.clear();
        ASSERT_TRUE(Start(c.type));
        // In the middle of an exchange: the first REQ_UD2 or select is out.
        const ByteString first = c.type == saPrimaryAddress
                                     ? Build_REQ_UD2(0, 0, false, 0)
                                     : Build_Select_Secondary({0, -1, -1, -1, -1, -1, -1, -1}, false, 0);
        for (int i = 0; i < 1000 && (Log().empty() || Log().back() != first); ++i) Step();
        ASSERT_EQ(Log().back(), first);
        const std::size_t sent = Log().size();
        c.abort ? scan.Abort_Scan() : scan.Stop_Scan();
        Run();
        EXPECT_EQ(scan.Result(), 1);
        EXPECT_EQ(Log().size(), sent + 1) << "nothing but the leave command after the request";
        EXPECT_EQ(Log().back(), Disable);
        EXPECT_EQ(std::get<0>(reports.back()), c.lastPhase);
    }
}

TEST_F(MBusScan, AnswerLongerThanTheBufferIsDropped) {
    scan.Deliver(ByteString(MBus_Answer_Size + 1, char(0x68)));
    EXPECT_FALSE(scan.Landed());
    scan.Deliver(ByteString(MBus_Answer_Size, char(0x68)));
    EXPECT_TRUE(scan.Landed());
    EXPECT_EQ(scan.Length(), MBus_Answer_Size);
}

TEST_F(MBusScan, StartDuringAScanChangesNothing) {
    ASSERT_TRUE(Start(saPrimaryAddress));
    EXPECT_FALSE(Start(saSecondaryAddress, 3, true, true, u"127.0.0.9"));
    Step();
    EXPECT_EQ(Log(), std::vector<ByteString>{Enable});
}

namespace {

// A meter on the master side of a pseudo-terminal: it reads request frames
// and answers the ones it knows by the writes given, with pauses between.
struct TLineMeter {
    MBusPty& pty;
    std::map<ByteString, std::vector<std::pair<ByteString, int>>> answers;  // request -> (bytes, pause before)
    std::mutex mutex;
    std::condition_variable cv;
    std::vector<ByteString> heard;
    std::size_t answered = 0;
    std::atomic<bool> stop{false};
    std::thread worker;

    explicit TLineMeter(MBusPty& p) : pty(p) {}
    ~TLineMeter() {
        stop = true;
        if (worker.joinable()) worker.join();
    }
    void Start() {
        worker = std::thread([this] {
            ByteString in;
            while (!stop) {
                pollfd p{pty.master, POLLIN, 0};
                if (::poll(&p, 1, 10) <= 0) continue;
                char buf[256];
                const ssize_t got = ::read(pty.master, buf, sizeof buf);
                if (got > 0) in.append(buf, std::size_t(got));
                for (;;) {
                    std::size_t len = 0;
                    if (!in.empty() && Byte(in[0]) == 0x10 && in.size() >= 5) len = 5;
                    if (in.size() >= 4 && Byte(in[0]) == 0x68 && in.size() >= std::size_t(Byte(in[1])) + 6)
                        len = std::size_t(Byte(in[1])) + 6;
                    if (len == 0) break;
                    const ByteString request = in.substr(0, len);
                    in.erase(0, len);
                    auto it = answers.find(request);
                    if (it != answers.end()) {
                        for (const auto& [bytes, pause] : it->second) {
                            std::this_thread::sleep_for(std::chrono::milliseconds(pause));
                            pty.Write(bytes);
                        }
                    }
                    std::lock_guard lock(mutex);
                    heard.push_back(request);
                    answered += it != answers.end();
                    cv.notify_all();
                }
            }
        });
    }
    bool WaitHeard(std::size_t n) {
        std::unique_lock lock(mutex);
        return cv.wait_for(lock, std::chrono::seconds(2), [&] { return heard.size() >= n; });
    }
};

}  // namespace

TEST_F(MBusScan, SerialRoadTalksToTheLineWithoutConverterCommands) {
    MBusPty pty;
    ASSERT_GE(pty.master, 0);
    TLineMeter meter(pty);
    const ByteString frame = Bytes(Example_Frame);
    meter.answers[Build_App_Reset(0, false, 0)] = {{Bytes({0xE5}), 0}, {Bytes({0xE5}), 10}};
    meter.answers[Build_REQ_UD2(2, 0, false, 0)] = {{frame.substr(0, 12), 0}, {frame.substr(12), 5}};
    meter.Start();
    onReport = [&](int phase, int, int found, int) {
        if (phase == 2 && found) scan.Stop_Scan();
    };
    // A port that fails to open reaches the caller and holds nothing.
    EXPECT_THROW(Start(saPrimaryAddress, 0, true, false, Utf8ToString(pty.slave + "-missing"), shSerial), ECommError);
    EXPECT_FALSE(scan.InScan());
    ASSERT_TRUE(Start(saPrimaryAddress, 0, true, false, Utf8ToString(pty.slave), shSerial));
    std::vector<int> judged;  // the states that judged an answer that had landed
    std::vector<int> lengths;  // and the answers' lengths
    for (int i = 0; i < 20000 && scan.InScan(); ++i) {
        const Cardinal before = scan.Sends();
        const std::size_t answeredBefore = meter.answered;
        scan.Scan_Decode();
        if (scan.Sends() != before) {
            ASSERT_TRUE(meter.WaitHeard(scan.Sends()));
            if (meter.answered != answeredBefore) {
                const auto t0 = std::chrono::steady_clock::now();
                while (!scan.Landed() && std::chrono::steady_clock::now() - t0 < std::chrono::seconds(2))
                    CheckSynchronize(2);
                ASSERT_TRUE(scan.Landed());
                lengths.push_back(scan.Length());
                judged.push_back(scan.Step());
                scan.Scan_Decode();
                judged.push_back(scan.Step());
            }
        }
        now += 40;
    }
    EXPECT_FALSE(scan.InScan());
    // E5 E5 is no acknowledgement: the reset's answer state waits on.
    ASSERT_GE(judged.size(), 2u);
    EXPECT_EQ(judged[0], 6);
    EXPECT_EQ(judged[1], 6);
    // The two E5 form one answer; the split frame is whole.
    EXPECT_EQ(lengths, (std::vector<int>{2, int(Example_Frame.size())}));
    EXPECT_EQ(meter.heard[0], Build_SND_NKE(0xFF));
    for (const auto& r : meter.heard) EXPECT_EQ(r.find("Korvia"), ByteString::npos);
    EXPECT_EQ(meter.heard.back(), Build_REQ_UD2(2, 0, false, 0));
    ASSERT_EQ(MBus_Slave_List.size(), 1u);
    EXPECT_EQ(static_cast<TSlave_MBus*>(MBus_Slave_List[0])->Secondary_Addresss, u"12345678");
    EXPECT_EQ(reports.back(), TReport(3, 0, 0, 1));
    EXPECT_FALSE(scan.Comm().Enabled());
}

using MBusRealScan = TMBusTest;

// The real thread, clock and socket: a secondary search that finds one meter
// (about ten seconds, the pauses before each select being real).
TEST_F(MBusRealScan, RealThreadFindsOneMeterBySecondaryAddress) {
    TSimConverter sim;
    sim.Start();
    for (int d = 0; d <= 9; ++d) {
        const ByteString select = Build_Select_Secondary({d, -1, -1, -1, -1, -1, -1, -1}, false, 0);
        sim.SetFrameAnswer(select, d == 1 ? Bytes({0xE5}) : kNoSlaveReply);
    }
    sim.SetFrameAnswer(Build_REQ_UD2(0xFD, 0, false, 0), Bytes(Example_Frame));
    std::mutex mutex;
    std::vector<TReport> reports;
    auto scan = std::make_unique<TMBusScanDecode>(false);
    scan->Converter_Port = sim.Port();
    scan->Event_Run.SetEvent();
    ASSERT_TRUE(scan->Start_Scan(saSecondaryAddress, shEthernet, kSimAddress, 2400, 1, false, false, 0, false, 0, false,
                                 [&](int p, int a, int f, int k) {
                                     std::lock_guard lock(mutex);
                                     reports.emplace_back(p, a, f, k);
                                 }));
    const auto t0 = std::chrono::steady_clock::now();
    while (scan->InScan() && std::chrono::steady_clock::now() - t0 < std::chrono::seconds(30)) CheckSynchronize(20);
    EXPECT_FALSE(scan->InScan());
    EXPECT_EQ(scan->Result(), 1);
    scan.reset();  // ends the thread
    ASSERT_EQ(MBus_Slave_List.size(), 1u);
    std::lock_guard lock(mutex);
    EXPECT_EQ(reports, (std::vector<TReport>{{1, 0, 0, 2}, {2, 0x12345678, 1, 2}, {3, 0, 0, 2}}));
}
