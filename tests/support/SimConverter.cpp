#include "support/SimConverter.h"

#include <chrono>

namespace {

// The converter's text commands and their replies, compared as exact texts.
const ByteString kEnableAnalyzer = "Korvia_Enable_Analyzer_Mode";
const ByteString kDisableAnalyzer = "Korvia_Disable_Analyzer_Mode";
const ByteString kEnableConfiguration = "Korvia_Enable_Configuration_Mode";
const ByteString kDisableConfiguration = "Korvia_Disable_Configuration_Mode";
const ByteString kTypeRadioModule = "Korvia_Type_Radio_Module";
// "Korvia_S_M:", the baud rate as four bytes most significant first, ",", parity.
const ByteString kSerialParameters = "Korvia_S_M:";
constexpr std::size_t kSerialParametersLength = 17;

constexpr Byte kFirstDiagnostic = 0xB0, kLastDiagnostic = 0xB6;
constexpr std::size_t kBitmapBytes = TSimConverter::kPolls / 8;

Byte At(const ByteString& data, std::size_t i) { return static_cast<Byte>(data[i]); }

void PutU32(ByteString& out, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<char>(v >> (8 * k)));
}

}  // namespace

TSimConverter::TSimConverter() : listener_([this](const TUdpDatagram& d) { OnDatagram(d); }) {}

TSimConverter::~TSimConverter() { listener_.Stop(); }

void TSimConverter::Start(const String& address, Word port) { listener_.Start(address, port); }

void TSimConverter::Stop() { listener_.Stop(); }

std::vector<TUdpDatagram> TSimConverter::Received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

bool TSimConverter::WaitForReceived(std::size_t count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return received_.size() >= count; });
}

bool TSimConverter::WaitForSent(std::size_t count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return sent_ >= count; });
}

bool TSimConverter::WaitForHandled(std::size_t count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return handled_ >= count; });
}

std::size_t TSimConverter::SentCount() const {
    std::lock_guard lock(mutex_);
    return sent_;
}

void TSimConverter::SetSilent(bool silent) {
    std::lock_guard lock(mutex_);
    silent_ = silent;
}

void TSimConverter::SetAnswerTwice(bool twice) {
    std::lock_guard lock(mutex_);
    twice_ = twice;
}

void TSimConverter::AnswerNextWith(const ByteString& data) {
    std::lock_guard lock(mutex_);
    instead_.push_back(data);
}

bool TSimConverter::Push(const ByteString& data) {
    String address;
    Word port = 0;
    {
        std::lock_guard lock(mutex_);
        if (received_.empty()) return false;
        address = received_.back().Address;
        port = received_.back().Port;
    }
    Send(address, port, data);
    return true;
}

bool TSimConverter::PollDisabled(int poll) const {
    std::lock_guard lock(mutex_);
    return disabled_.at(poll);
}

void TSimConverter::SetPollDisabled(int poll, bool disabled) {
    std::lock_guard lock(mutex_);
    disabled_.at(poll) = disabled;
}

void TSimConverter::SetErrorCounter(int poll, std::uint32_t count) {
    std::lock_guard lock(mutex_);
    errors_.at(poll) = count;
}

void TSimConverter::SetPollSlave(int poll, int slave) {
    std::lock_guard lock(mutex_);
    slave_.at(poll) = slave;
}

Byte TSimConverter::TransparentMode() const {
    std::lock_guard lock(mutex_);
    return transparent_;
}

void TSimConverter::SetTransparentMode(Byte mode) {
    std::lock_guard lock(mutex_);
    transparent_ = mode;
}

bool TSimConverter::AnalyzerMode() const {
    std::lock_guard lock(mutex_);
    return analyzer_;
}

bool TSimConverter::ConfigurationMode() const {
    std::lock_guard lock(mutex_);
    return configuration_;
}

std::uint32_t TSimConverter::SerialBaud() const {
    std::lock_guard lock(mutex_);
    return baud_;
}

Byte TSimConverter::SerialParity() const {
    std::lock_guard lock(mutex_);
    return parity_;
}

void TSimConverter::SetFrameAnswer(const ByteString& request, const ByteString& answer) {
    std::lock_guard lock(mutex_);
    frames_[request] = answer;
}

void TSimConverter::AddFrameAnswer(const ByteString& request, const ByteString& answer) {
    std::lock_guard lock(mutex_);
    frameTurns_[request].push_back(answer);
}

void TSimConverter::SetRadioModule(TSimRadioModule module) {
    std::lock_guard lock(mutex_);
    radio_ = module;
}

void TSimConverter::OnDatagram(const TUdpDatagram& d) {
    ByteString answer;
    int times = 1;
    {
        std::lock_guard lock(mutex_);
        received_.push_back(d);
        answer = Answer(d.Data);  // the state changes even when the answer is replaced
        if (!instead_.empty()) {
            answer = instead_.front();
            instead_.pop_front();
        }
        if (silent_) answer.clear();
        if (twice_) times = 2;
        changed_.notify_all();
    }
    if (!answer.empty())
        for (int k = 0; k < times; ++k) Send(d.Address, d.Port, answer);
    std::lock_guard lock(mutex_);
    ++handled_;
    changed_.notify_all();
}

void TSimConverter::Send(const String& address, Word port, const ByteString& data) {
    listener_.SendTo(address, port, data);
    std::lock_guard lock(mutex_);
    ++sent_;
    changed_.notify_all();
}

ByteString TSimConverter::Answer(const ByteString& data) {
    if (data == kEnableAnalyzer) {
        analyzer_ = true;
        return "\n\rAnalyzer_Mode Enabled!\n\r";
    }
    if (data == kDisableAnalyzer) {
        analyzer_ = false;
        return "\n\rAnalyzer_Mode Disabled!\n\r";
    }
    if (data.size() == kSerialParametersLength && data.compare(0, kSerialParameters.size(), kSerialParameters) == 0 &&
        data[15] == ',') {
        baud_ = std::uint32_t(At(data, 11)) << 24 | std::uint32_t(At(data, 12)) << 16 | std::uint32_t(At(data, 13)) << 8 |
                At(data, 14);
        parity_ = At(data, 16);
        return "\n\rDone!";
    }
    if (data == kEnableConfiguration) {
        configuration_ = true;
        return "\n\rConfiguration_Mode Enabled!\n\r";
    }
    if (data == kDisableConfiguration) {
        configuration_ = false;
        return "\n\rConfiguration_Mode Disabled!\n\r";
    }
    if (data == kTypeRadioModule) return radio_ == TSimRadioModule::Telit ? "\n\rTELIT\n\r" : "\n\rRADIOCRAFTS\n\r";
    if (configuration_) return RadioModule(data);
    if (!data.empty() && At(data, 0) >= kFirstDiagnostic && At(data, 0) <= kLastDiagnostic) return Diagnostic(data);
    if (analyzer_) {
        auto turn = frameTurns_.find(data);
        if (turn != frameTurns_.end() && !turn->second.empty()) {
            ByteString answer = turn->second.front();
            turn->second.pop_front();
            return answer;
        }
        auto it = frames_.find(data);
        return it == frames_.end() ? ByteString() : it->second;
    }
    return {};
}

ByteString TSimConverter::Diagnostic(const ByteString& data) {
    switch (At(data, 0)) {
    case 0xB0: {  // poll states: one bit per poll, set when disabled
        ByteString out(1 + kBitmapBytes, '\0');
        out[0] = char(0xB0);
        for (int i = 0; i < kPolls; ++i)
            if (disabled_[i]) out[1 + i / 8] = char(At(out, 1 + i / 8) | (1u << (i % 8)));
        return out;
    }
    case 0xB1:  // bits beyond the datagram count as enabled
        for (int i = 0; i < kPolls; ++i) {
            const std::size_t k = 1 + i / 8;
            disabled_[i] = k < data.size() && (At(data, k) >> (i % 8) & 1);
        }
        return {};
    case 0xB2: {
        ByteString out(1, char(0xB2));
        for (std::uint32_t count : errors_) PutU32(out, count);
        return out;
    }
    case 0xB3:
        if (data.size() >= 2) transparent_ = At(data, 1);
        return {};
    case 0xB4:
        return ByteString{char(0xB4), char(transparent_)};
    case 0xB5:  // slave, choice: 0 enables, 1 disables its polls
        if (data.size() >= 3)
            for (int i = 0; i < kPolls; ++i)
                if (slave_[i] == At(data, 1)) disabled_[i] = At(data, 2) != 0;
        return {};
    case 0xB6:  // poll, choice
        if (data.size() >= 3) disabled_[At(data, 1)] = At(data, 2) != 0;
        return {};
    }
    return {};
}

ByteString TSimConverter::RadioModule(const ByteString& data) const {
    if (radio_ == TSimRadioModule::Telit) return "OK\r";
    // RadioCrafts: "0" lists its 256 configuration bytes before the prompt;
    // "X" leaves its command mode without a prompt; everything else is
    // answered by the prompt.
    if (data == "0") return ByteString(256, '\0') + ">";
    if (data == "X") return {};
    return ">";
}
