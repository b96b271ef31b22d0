// The simulated converter that the update dialog, the diagnostics window and
// the scan tests talk to: its answers byte for byte, from a client socket on
// another loopback address.
#include "support/SimConverter.h"

#include <gtest/gtest.h>

namespace {

ByteString Bytes(std::initializer_list<int> bytes) {
    ByteString s;
    for (int b : bytes) s.push_back(static_cast<char>(b));
    return s;
}

class SimConverterTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim.Start();
        client.Bind(u"127.0.0.1", 0);
    }
    void Send(const ByteString& data) { client.SendTo(kSimAddress, sim.Port(), data); }
    // The next datagram that comes back; "<none>" when none comes.
    ByteString Next(int timeoutMs = 2000) {
        TUdpDatagram d;
        if (!client.ReceiveFrom(d, timeoutMs)) return "<none>";
        EXPECT_EQ(d.Address, kSimAddress);
        EXPECT_EQ(d.Port, sim.Port());
        return d.Data;
    }
    ByteString Exchange(const ByteString& data) {
        Send(data);
        return Next();
    }
    // Sends a request that gets no answer, then one that does: the first
    // datagram back must be the second one's answer (no wait for silence).
    void ExpectUnanswered(const ByteString& data, const ByteString& marker, const ByteString& markerAnswer) {
        Send(data);
        EXPECT_EQ(Exchange(marker), markerAnswer) << "a datagram was answered that should not be";
    }

    TSimConverter sim;
    TUdpSocket client;
};

const ByteString kReadTransparent = Bytes({0xB4});

}  // namespace

TEST_F(SimConverterTest, DiagnosticCommandsKeepTheConvertersStateAndReadItBack) {
    ByteString write(130, '\0');
    write[0] = char(0xB1);
    write[1] = char(0x05);    // polls 0 and 2 disabled
    write[128] = char(0x80);  // poll 1023
    ExpectUnanswered(write, kReadTransparent, Bytes({0xB4, 0}));
    EXPECT_TRUE(sim.PollDisabled(0));
    EXPECT_FALSE(sim.PollDisabled(1));
    EXPECT_TRUE(sim.PollDisabled(1023));

    sim.SetPollSlave(9, 12);
    sim.SetPollSlave(10, 12);
    ExpectUnanswered(Bytes({0xB5, 12, 1}), kReadTransparent, Bytes({0xB4, 0}));  // slave 12 disabled
    ExpectUnanswered(Bytes({0xB6, 0, 0}), kReadTransparent, Bytes({0xB4, 0}));   // poll 0 enabled
    ByteString states(129, '\0');
    states[0] = char(0xB0);
    states[1] = char(0x04);
    states[2] = char(0x06);
    states[128] = char(0x80);
    EXPECT_EQ(Exchange(Bytes({0xB0})), states);

    ExpectUnanswered(Bytes({0xB3, 1}), kReadTransparent, Bytes({0xB4, 1}));
    EXPECT_EQ(sim.TransparentMode(), 1);

    sim.SetErrorCounter(0, 1);
    sim.SetErrorCounter(1, 0xFFFFFFFF);
    sim.SetErrorCounter(1023, 0x01020304);
    const ByteString errors = Exchange(Bytes({0xB2}));
    ASSERT_EQ(errors.size(), 1u + 4 * 1024);
    EXPECT_EQ(errors.substr(0, 9), Bytes({0xB2, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(errors.substr(errors.size() - 4), Bytes({4, 3, 2, 1}));

    const std::vector<TUdpDatagram> got = sim.Received();
    ASSERT_EQ(got.size(), 10u);
    EXPECT_EQ(got[0].Data, write);
    EXPECT_EQ(got[0].Address, u"127.0.0.1");
    EXPECT_EQ(got[0].Port, client.LocalPort());
}

TEST_F(SimConverterTest, AnalyzerModeAnswersTheTextCommandsAndTheMetersFrames) {
    const ByteString reqUd2 = Bytes({0x10, 0x7B, 0x01, 0x7C, 0x16});
    const ByteString select = Bytes({0x68, 0x0B, 0x0B, 0x68, 0x73, 0xFD, 0x52, 0xFF, 0xFF, 0xFF, 0x1F, 0xFF, 0xFF, 0xFF,
                                     0xFF, 0x59, 0x16});
    const ByteString longFrame = Bytes({0x68, 0x10, 0x10, 0x68, 0x08, 0x01, 0x72, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12,
                                        13, 14, 0x5B, 0x16});
    sim.SetFrameAnswer(Bytes({0x10, 0x40, 0x01, 0x41, 0x16}), Bytes({0xE5}));
    sim.SetFrameAnswer(reqUd2, longFrame);
    sim.SetFrameAnswer(select, kNoSlaveReply);

    // Frames reach the line only in analyzer mode.
    ExpectUnanswered(reqUd2, "Korvia_Enable_Analyzer_Mode", "\n\rAnalyzer_Mode Enabled!\n\r");
    EXPECT_TRUE(sim.AnalyzerMode());
    EXPECT_EQ(Exchange(ByteString("Korvia_S_M:") + Bytes({0, 0, 0x09, 0x60, 0x2C, 2})), "\n\rDone!");
    EXPECT_EQ(sim.SerialBaud(), 2400u);
    EXPECT_EQ(sim.SerialParity(), 2);
    EXPECT_EQ(Exchange(Bytes({0x10, 0x40, 0x01, 0x41, 0x16})), Bytes({0xE5}));
    EXPECT_EQ(Exchange(reqUd2), longFrame);
    EXPECT_EQ(Exchange(select), ByteString("NO_SLAVE\x0A\x0D"));
    ExpectUnanswered(Bytes({0x10, 0x40, 0x02, 0x42, 0x16}), reqUd2, longFrame);  // no meter at 2
    EXPECT_EQ(Exchange("Korvia_Disable_Analyzer_Mode"), "\n\rAnalyzer_Mode Disabled!\n\r");
    EXPECT_FALSE(sim.AnalyzerMode());
}

TEST_F(SimConverterTest, ConfigurationModePassesCommandsToTheRadioModuleAndTelegramsReachTheScanner) {
    struct {
        TSimRadioModule module;
        const char* type;
        ByteString command, reply;
    } cases[] = {
        {TSimRadioModule::Telit, "\n\rTELIT\n\r", "ATS400=1\r", "OK\r"},
        {TSimRadioModule::RadioCrafts, "\n\rRADIOCRAFTS\n\r", Bytes({0x00}), ">"},
        {TSimRadioModule::RadioCrafts, "\n\rRADIOCRAFTS\n\r", "0", ByteString(256, '\0') + ">"},
    };
    for (const auto& c : cases) {
        sim.SetRadioModule(c.module);
        EXPECT_EQ(Exchange("Korvia_Enable_Configuration_Mode"), "\n\rConfiguration_Mode Enabled!\n\r");
        EXPECT_EQ(Exchange("Korvia_Type_Radio_Module"), c.type);
        EXPECT_EQ(Exchange(c.command), c.reply);
        // Inside the mode a diagnostic byte is a radio-module command too.
        EXPECT_EQ(Exchange(Bytes({0xB4})), c.module == TSimRadioModule::Telit ? "OK\r" : ">");
        EXPECT_EQ(Exchange("Korvia_Disable_Configuration_Mode"), "\n\rConfiguration_Mode Disabled!\n\r");
        EXPECT_FALSE(sim.ConfigurationMode());
    }
    const ByteString telegram = Bytes({0x0E, 0x44, 0x2D, 0x2C, 1, 2, 3, 4, 1, 7, 0x7A, 0, 0, 0, 0, 0x40, 0x4C});
    ASSERT_TRUE(sim.Push(telegram));
    EXPECT_EQ(Next(), telegram);
}

TEST_F(SimConverterTest, ATestCanSilenceItDoubleItsAnswersOrReplaceThem) {
    sim.SetAnswerTwice(true);
    Send(kReadTransparent);
    EXPECT_EQ(Next(), Bytes({0xB4, 0}));
    EXPECT_EQ(Next(), Bytes({0xB4, 0}));
    sim.SetAnswerTwice(false);

    // The replacement answers even a command that has none, and the command
    // still acts.
    sim.AnswerNextWith(Bytes({0xB0, 0x05}));
    EXPECT_EQ(Exchange(Bytes({0xB3, 1})), Bytes({0xB0, 0x05}));
    EXPECT_EQ(sim.TransparentMode(), 1);
    EXPECT_EQ(Exchange(kReadTransparent), Bytes({0xB4, 1}));

    sim.SetSilent(true);
    Send(Bytes({0xB0}));
    ASSERT_TRUE(sim.WaitForReceived(4));
    sim.SetSilent(false);
    EXPECT_EQ(Exchange(kReadTransparent), Bytes({0xB4, 1}));  // the first answer since
}

TEST(SimConverter, PushBeforeAnyDatagramHasNoOneToReach) {
    TSimConverter sim;
    sim.Start();
    EXPECT_FALSE(sim.Push("telegram"));
    EXPECT_EQ(sim.SentCount(), 0u);
}
