#pragma once
// A temporary project folder for the description-file writers: the model
// code, the project's path strings, small table files in the editors' form,
// and golden-file comparison.

#include "framework/System.h"
#include "shell/Globals.h"
#include "shell/ShellState.h"
#include "shell/ULanguage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

inline std::string Data_Dir() {
    const char* data = std::getenv("CONFIGURATOR_TEST_DATA");
    if (data && *data) return data;
    return std::filesystem::path(__FILE__).parent_path().string() + "/data";
}

inline std::string Read_Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The golden file's bytes. With CONFIGURATOR_UPDATE_GOLDEN set, a missing
// golden file is written from the actual bytes first (for review).
inline std::string Golden(const std::string& name, const std::string& actual) {
    const std::string path = Data_Dir() + "/" + name;
    if (std::getenv("CONFIGURATOR_UPDATE_GOLDEN") && !std::filesystem::exists(path)) {
        std::ofstream out(path, std::ios::binary);
        out << actual;
    }
    return Read_Bytes(path);
}

// Lines split at CR LF; a final CR LF ends the last line.
inline std::vector<std::string> Crlf_Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Line-by-line comparison, so that a failure names the first line that differs.
inline void Expect_Same_Lines(const std::string& expected, const std::string& actual) {
    const auto e = Crlf_Lines(expected);
    const auto a = Crlf_Lines(actual);
    for (size_t i = 0; i < e.size() && i < a.size(); ++i)
        ASSERT_EQ(e[i], a[i]) << "line " << i + 1;
    ASSERT_EQ(e.size(), a.size());
    EXPECT_EQ(expected, actual);  // line ends and byte-order mark too
}

// What a command prints, its errors included: the field tools' verdicts.
inline std::string Shell_Output(const std::string& command) {
    std::string out;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return out;
    std::array<char, 4096> buf;
    while (size_t n = fread(buf.data(), 1, buf.size(), p)) out.append(buf.data(), n);
    pclose(p);
    return out;
}

class DescProject : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();  // the messages of refused files come from the text table
        Project_Dir = Utf8ToString(dir.path());
        Path_ParGen = P("ParGen.xml");
        Path_J1939_Rec_Frames = P("J1939_Rec_Frames.xml");
        Path_J1939_Send_Frames = P("J1939_Send_Frames.xml");
        Path_NMEA_Rec_Frames = P("NMEA_Rec_Frames.xml");
        Path_NMEA_Send_Frames = P("NMEA_Send_Frames.xml");
        Path_PDO_CANopen = P("PDO_CANopen.xml");
        Path_SDO_Server_CANopen = P("SDO_Server_CANopen.xml");
        Path_SNMP_Trap = P("SNMP_Trap.xml");
    }

    String P(const std::string& name) const { return Utf8ToString(dir.file(name)); }

    // "ParGen.xml" with the given elements, in the form the form writes it.
    void ParGen(const std::vector<std::pair<std::string, std::string>>& elements) const {
        std::string xml = "<Par_Gen>";
        for (const auto& [name, value] : elements) xml += "<" + name + ">" + value + "</" + name + ">";
        xml += "</Par_Gen>\r\n<!--SW_VERSION = 1.000-->\r\n";
        dir.write("ParGen.xml", xml);
    }

    // A table file: the root, the body and the version comment.
    void Table(const std::string& name, const std::string& root, const std::string& body) const {
        dir.write(name, "<" + root + ">" + body + "</" + root + ">\r\n<!--SW_VERSION = 1.000-->\r\n");
    }

    ShellState state;
    TempDir dir;
};
