#include "image/UAdvanceFunctions.h"

#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/Threads.h"
#include "framework/Udp.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"

namespace {

// Command bytes.
constexpr Byte B0_Read_Status = 0xB0, B1_Write_Status = 0xB1, B2_Read_Errors = 0xB2, B3_Write_Transparent = 0xB3,
               B4_Read_Transparent = 0xB4, B5_Slave = 0xB5, B6_Poll = 0xB6;
// B1 carries 129 bitmap bytes, one more than 1024 polls need; the last is 0.
constexpr std::size_t B1_Length = 130;

// The parts of the converter's address in "ParGen.xml", with their defaults.
struct TAddress_Part {
    const char16_t* Key;
    const char16_t* Default;
};
constexpr TAddress_Part Address_Parts[] = {
    {u"PROFINET_IP1", u"192"}, {u"PROFINET_IP2", u"168"}, {u"PROFINET_IP3", u"0"}, {u"PROFINET_IP4", u"5"}};

// The text-table entries of one request's description, in their order:
// the kind, then the names of Slave_ID, Type, Address, NPoint, Mnemonic.
struct TDescription_Entries {
    int Kind, Slave_ID, Type, Address, NPoint, Mnemonic;
};
constexpr TDescription_Entries Read_Entries{849, 256, 257, 258, 259, 264};
constexpr TDescription_Entries Write_Entries{850, 266, 267, 268, 269, 275};

String Describe(TXmlNode request, const TDescription_Entries& e) {
    auto field = [&](int entry, const char16_t* attribute) {
        return Lang_Table[entry] + u" = " + request.AttributeOr(attribute, String()) + u"; ";
    };
    return Lang_Table[e.Kind] + u"; " + field(e.Slave_ID, u"Slave_ID") + field(e.Type, u"Type") +
           field(e.Address, u"Address") + field(e.NPoint, u"NPoint") + field(e.Mnemonic, u"Mnemonic");
}

void Error_Box(const String& text) { MessageDlg(text, mtError, TMsgDlgButtons{mbOK}); }

Byte At(const ByteString& data, std::size_t i) { return static_cast<Byte>(data[i]); }

}  // namespace

String Diag_Converter_Address(const String& pathParGen) {
    TXmlDocument doc;
    bool loaded = false;
    if (FileExists(pathParGen)) {
        try {
            doc.LoadFromFile(pathParGen);
            loaded = true;
        } catch (const Exception& e) {
            // The default address stands; the user can type over it.
            Error_Box(pathParGen + u": " + e.Message());
        }
    }
    const TXmlNode root = loaded ? doc.DocumentElement() : TXmlNode();
    String address;
    for (const TAddress_Part& part : Address_Parts) {
        if (!address.empty()) address += u".";
        const TXmlNode node = root.ChildNode(part.Key);
        address += node ? node.Text() : String(part.Default);
    }
    return address;
}

TAdvance_Functions::TAdvance_Functions(TDiag_Cells& cells) : cells_(cells) {}

TAdvance_Functions::~TAdvance_Functions() { Stop_Listening(); }

void TAdvance_Functions::Start_Listening() {
    Stop_Listening();
    Last_CMD = -1;
    showing_ = std::make_shared<int>(0);
    // Handed over with Queue, never Synchronize: closing waits for the
    // listener's thread, which would otherwise wait for this one.
    std::weak_ptr<int> showing = showing_;
    listener_ = std::make_unique<TUdpListener>([this, showing](const TUdpDatagram& d) {
        TThread::Queue(nullptr, [this, showing, data = d.Data] {
            if (showing.lock()) UDP_Read(data);
        });
    });
    try {
        listener_->Start(String(), Local_Port);
    } catch (const Exception& e) {
        listener_.reset();
        Error_Box(e.Message());
    }
}

void TAdvance_Functions::Stop_Listening() {
    if (listener_) listener_->Stop();
    listener_.reset();
    showing_.reset();
}

bool TAdvance_Functions::Listening() const { return listener_ && listener_->Active(); }

Word TAdvance_Functions::Listening_Port() const { return Listening() ? listener_->LocalPort() : 0; }

void TAdvance_Functions::Fill_Descriptions(const String& pathSetAccess) {
    for (int row = 1; row <= Diag_Polls; ++row) {
        cells_.Set_Cell(TDiag_Column::Write_Status, row, Diag_Enable);
        cells_.Set_Cell(TDiag_Column::Description, row, String());
    }
    if (!FileExists(pathSetAccess)) return;
    TXmlDocument doc;
    try {
        doc.LoadFromFile(pathSetAccess);
    } catch (const Exception& e) {
        Error_Box(pathSetAccess + u": " + e.Message());
        return;
    }
    const TXmlNode root = doc.DocumentElement();
    int row = 1;
    for (auto [table, entries] : {std::pair{u"Modbus_Read", &Read_Entries}, {u"Modbus_Write", &Write_Entries}})
        for (TXmlNode request : root.ChildNode(table).Children()) {
            if (row > Diag_Polls) return;  // the grids end with the converter's last poll
            const String text = Describe(request, *entries);
            cells_.Set_Cell(TDiag_Column::Description, row, text);
            cells_.Set_Cell(TDiag_Column::Error_Description, row, text);
            ++row;
        }
}

void TAdvance_Functions::Send(const String& address, const ByteString& data) {
    try {
        if (!listener_) throw EOSError(u"The diagnostics port " + IntToStr(Local_Port) + u" is not open.");
        listener_->SendTo(address, Converter_Port, data);
    } catch (const Exception& e) {
        Error_Box(e.Message());
    }
}

void TAdvance_Functions::Read_Status(const String& address) {
    Last_CMD = 0;
    Send(address, ByteString(1, char(B0_Read_Status)));
}

void TAdvance_Functions::Write_Status(const String& address) {
    ByteString datagram(B1_Length, '\0');
    datagram[0] = char(B1_Write_Status);
    for (int i = 0; i < Diag_Polls; ++i)
        if (cells_.Cell(TDiag_Column::Write_Status, i + 1) == Diag_Disable)
            datagram[1 + i / 8] = char(At(datagram, 1 + i / 8) | (1u << (i % 8)));
    Send(address, datagram);
}

void TAdvance_Functions::Copy_Status() {
    for (int row = 1; row <= Diag_Polls; ++row) {
        const String state = cells_.Cell(TDiag_Column::Read_Status, row);
        if (state == Diag_Enable || state == Diag_Disable) cells_.Set_Cell(TDiag_Column::Write_Status, row, state);
    }
}

void TAdvance_Functions::Read_Errors(const String& address) {
    Last_CMD = 2;
    Send(address, ByteString(1, char(B2_Read_Errors)));
}

void TAdvance_Functions::Write_Transparent_Mode(const String& address, int itemIndex) {
    Send(address, ByteString{char(B3_Write_Transparent), char(itemIndex == 0 ? 1 : 0)});
}

void TAdvance_Functions::Read_Transparent_Mode(const String& address) {
    Last_CMD = 4;
    cells_.Set_Transparent_Status(u"--");
    Send(address, ByteString(1, char(B4_Read_Transparent)));
}

void TAdvance_Functions::Send_Numbered(const String& address, const TNumbered_Command& c, const String& text,
                                       int itemIndex) {
    const int number = StrToIntDef(text, -1);
    if (number < c.Low || number > c.High) {
        Error_Box(Lang_Table[c.Range_Error]);
        return;
    }
    Send(address, ByteString{char(c.Command), char(number), char(itemIndex)});
    Last_CMD = c.Last_CMD;
}

void TAdvance_Functions::B5_Write(const String& address, const String& slaveText, int itemIndex) {
    Send_Numbered(address, {B5_Slave, 1, 247, 853, 5}, slaveText, itemIndex);
}

void TAdvance_Functions::B6_Write(const String& address, const String& pollText, int itemIndex) {
    Send_Numbered(address, {B6_Poll, 0, 255, 854, 6}, pollText, itemIndex);
}

void TAdvance_Functions::UDP_Read(const ByteString& data) {
    ++read_;
    const std::size_t n = data.size();
    if (Last_CMD == 0 && n >= 2 && At(data, 0) == B0_Read_Status) {
        // Bit j of byte k is poll 8(k - 1) + j; a longer reply names polls
        // the grid has no row for.
        for (std::size_t k = 1; k < n; ++k)
            for (int j = 0; j < 8; ++j) {
                const std::size_t row = 8 * (k - 1) + j + 1;
                if (row > std::size_t(Diag_Polls)) return;
                cells_.Set_Cell(TDiag_Column::Read_Status, int(row), (At(data, k) >> j & 1) ? Diag_Disable : Diag_Enable);
            }
    } else if (Last_CMD == 2 && n >= 1 && At(data, 0) == B2_Read_Errors) {
        // One counter of four bytes, least significant first, per poll; a
        // shorter tail is no counter.
        for (std::size_t m = 1; 4 * m + 1 <= n && m <= std::size_t(Diag_Polls); ++m) {
            const std::uint32_t count = std::uint32_t(At(data, 4 * m - 3)) | std::uint32_t(At(data, 4 * m - 2)) << 8 |
                                        std::uint32_t(At(data, 4 * m - 1)) << 16 | std::uint32_t(At(data, 4 * m)) << 24;
            cells_.Set_Cell(TDiag_Column::Read_Errors, int(m), S(std::to_string(count)));
        }
    } else if (Last_CMD == 4 && n >= 2 && At(data, 0) == B4_Read_Transparent) {
        cells_.Set_Transparent_Status(Lang_Table[At(data, 1) == 1 ? 852 : 851]);
    }
    // Any other datagram is not for the command awaited: ignored.
}
