#pragma once
// The diagnostic commands of the Modbus RTU master converters (models 4 and
// 25): one UDP datagram per command B0 to B6 to the converter's port 5000,
// and the replies to B0, B2 and B4 decoded into the cells of the diagnostics
// window. The window shows the cells in its two grids and calls these
// routines from its buttons; the routines reach the cells through
// TDiag_Cells, so they run without a window.

#include "framework/System.h"
#include "shell/Shell_Controls.h"

#include <memory>

class TExColumnGrid;
class TUdpListener;

// Rows 1 to 1024 of both grids, one per poll of the converter: the read
// requests of "ModbusM_SetAccess.xml" first, then its write requests.
constexpr int Diag_Polls = 1024;
// The converter's port for the commands, and the port the window listens on.
constexpr Word Diag_Port = 5000;

// The cells the commands read and write: columns 1 to 3 of the poll grid
// (ACG) and columns 1 and 2 of the error grid (ACG2), and the status label
// of the transparent mode.
enum class TDiag_Column { Read_Status, Write_Status, Description, Read_Errors, Error_Description };

class TDiag_Cells {
public:
    virtual ~TDiag_Cells() = default;
    virtual String Cell(TDiag_Column column, int row) const = 0;
    virtual void Set_Cell(TDiag_Column column, int row, const String& text) = 0;
    virtual void Set_Transparent_Status(const String& text) = 0;
};

// The fixed words of the poll states, whatever the language: the bitmaps
// sent follow from them.
inline constexpr const char16_t* Diag_Enable = u"Enable";
inline constexpr const char16_t* Diag_Disable = u"Disable";

// "192.168.0.5", or the address of "ParGen.xml" (PROFINET_IP1 to
// PROFINET_IP4 as their texts stand, a missing one replaced by its part of
// the default). A file that cannot be read is named in an error box and
// gives the default.
String Diag_Converter_Address(const String& pathParGen);

class TAdvance_Functions {
public:
    explicit TAdvance_Functions(TDiag_Cells& cells);
    ~TAdvance_Functions();
    TAdvance_Functions(const TAdvance_Functions&) = delete;
    TAdvance_Functions& operator=(const TAdvance_Functions&) = delete;

    // The last command whose reply is awaited: -1 after showing, 0, 2, 4, 5
    // or 6 after B0, B2, B4, B5, B6 (B1 and B3 leave it). A reply does not
    // reset it, so a repeated reply is decoded again.
    int Last_CMD = -1;
    // Both 5000; tests change them (0 lets the system choose the local one).
    Word Local_Port = Diag_Port;
    Word Converter_Port = Diag_Port;

    // Showing: listens on Local_Port of every local address and sets
    // Last_CMD to -1. A port that cannot be bound is shown in an error box;
    // the window stays usable.
    void Start_Listening();
    // Closing: stops listening; datagrams that arrived but were not handled
    // yet are dropped.
    void Stop_Listening();
    bool Listening() const;
    Word Listening_Port() const;

    // Showing: "Enable" into every Write Status, the Descriptions emptied,
    // then the requests of "ModbusM_SetAccess.xml" described in both grids
    // (at most 1024). A file that cannot be read is named in an error box.
    void Fill_Descriptions(const String& pathSetAccess);

    // The buttons; address is the converter's address as typed.
    void Read_Status(const String& address);   // B0
    void Write_Status(const String& address);  // B1 with the Write Status bitmap
    void Copy_Status();                        // Read Status into Write Status
    void Read_Errors(const String& address);   // B2
    // B3: item 0 ("Enable") sends 1, every other item 0.
    void Write_Transparent_Mode(const String& address, int itemIndex);
    void Read_Transparent_Mode(const String& address);  // B4
    // B5 for the slave (1 to 247) and B6 for the poll (0 to 255); choice is
    // the chosen item (0 enable, 1 disable). Out of range: an error box and
    // nothing sent.
    void B5_Write(const String& address, const String& slaveText, int itemIndex);
    void B6_Write(const String& address, const String& pollText, int itemIndex);

    // One datagram from any sender, on the user-interface thread.
    void UDP_Read(const ByteString& data);
    // Datagrams handed to UDP_Read since the start (decoded or not).
    int Datagrams_Read() const { return read_; }

private:
    // B5 and B6: a number in its range, then the chosen item.
    struct TNumbered_Command {
        Byte Command;
        int Low, High;
        int Range_Error;  // text-table entry
        int Last_CMD;
    };
    void Send(const String& address, const ByteString& data);
    void Send_Numbered(const String& address, const TNumbered_Command& c, const String& text, int itemIndex);

    TDiag_Cells& cells_;
    std::unique_ptr<TUdpListener> listener_;
    // One token per showing: a datagram queued for the user-interface thread
    // is handled only while the showing that received it lasts.
    std::shared_ptr<int> showing_;
    int read_ = 0;
};

// ---------------------------------------------------------------------------
// The diagnostics window
// ---------------------------------------------------------------------------
// The converter's address, four pages (poll states, error counters,
// transparent mode, the slave and poll commands) and "Exit". It listens while
// shown; its two grids are the cells of the commands.

class TFAdvanceFunctions : public TForm, public TDiag_Cells {
public:
    explicit TFAdvanceFunctions(TComponent* AOwner);
    ~TFAdvanceFunctions() override;

    // The commands and their replies; tests change its ports.
    TAdvance_Functions Functions{*this};

    TPanel* P_Title;
    TLabel* L_SW_Code;
    TLabel* L_SW_Desc;
    TLabel* L_IP_Address;
    TEdit* E_IP_Address;
    TPageControl* PageControl1;
    TTabSheet* TS_B0B1;
    TTabSheet* TS_B2;
    TTabSheet* TS_B3B4;
    TTabSheet* TS_B5B6;
    TShellButton* Btn_Read_Status;
    TShellButton* Btn_Write_Status;
    TShellButton* Btn_Copy;
    TExColumnGrid* ACG;
    TShellButton* Btn_Read_Errors;
    TExColumnGrid* ACG2;
    TLabel* L_RS_TransparentMode;
    TShellButton* Btn_Read_Status_Transparent_Mode;
    TLabel* L_Status_TransparenMode;
    TLabel* L_WS_TransparentMode;
    TComboBox* CB_WS_TransparentMode;
    TShellButton* Btn_Write_Status_Transparent_Mode;
    TLabel* L_Title_B5;
    TLabel* L_B5_IDDlave;
    TEdit* E_B5_IDSlave;
    TComboBox* CB_B5_EnableDisable;
    TShellButton* Btn_B5_Write;
    TLabel* L_Title_B6;
    TLabel* L_B6_NumPoll;
    TEdit* E_B6_NumPoll;
    TComboBox* CB_B6_EnableDisable;
    TShellButton* Btn_B6_Write;
    TPanel* P_Button;
    TShellButton* Btn_Exit;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Set_Lang();

    // TDiag_Cells on the two grids and the status label.
    String Cell(TDiag_Column column, int row) const override;
    void Set_Cell(TDiag_Column column, int row, const String& text) override;
    void Set_Transparent_Status(const String& text) override;

private:
    String Address() const;
};
extern TFAdvanceFunctions* FAdvanceFunctions;
