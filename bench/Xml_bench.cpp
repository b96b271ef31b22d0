// Loading and saving a protocol table file of 10,000 rows, each row an element
// with eight attributes, as the table editors do.
#include "framework/Files.h"
#include "framework/XmlDoc.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

constexpr int kRows = 10000;

void FillTable(TXmlDocument& doc) {
    TXmlNode root = doc.CreateRoot(u"ModbusM_SetAccess");
    for (int i = 0; i < kRows; ++i) {
        TXmlNode row = root.AddChild(u"Row");
        const String n = Utf8ToString(std::to_string(i));
        row.SetAttribute(u"Index", n);
        row.SetAttribute(u"Slave_ID", u"17");
        row.SetAttribute(u"Function", u"3");
        row.SetAttribute(u"Start_Address", n);
        row.SetAttribute(u"Num_Registers", u"2");
        row.SetAttribute(u"Data_Type", u"Int 2 bytes");
        row.SetAttribute(u"Position", Utf8ToString(std::to_string(i * 2)));
        row.SetAttribute(u"Mnemonic", u"Temperature \u00B0C <in>");
    }
    doc.AddComment(u"v");
}

String TablePath() {
    return Utf8ToString("/tmp/xml_bench_" + std::to_string(::getpid()) + ".xml");
}

void BM_SaveTable(benchmark::State& state) {
    TXmlDocument doc;
    FillTable(doc);
    const String path = TablePath();
    for (auto _ : state) doc.SaveToFile(path);
    DeleteFile(path);
}
BENCHMARK(BM_SaveTable)->Unit(benchmark::kMillisecond);

// Load and read every attribute of every row by position, as the editors fill their grids.
void BM_LoadAndReadTable(benchmark::State& state) {
    TXmlDocument source;
    FillTable(source);
    const String path = TablePath();
    source.SaveToFile(path);
    for (auto _ : state) {
        TXmlDocument doc;
        doc.LoadFromFile(path);
        const TXmlNode root = doc.DocumentElement();
        std::size_t total = 0;
        for (int i = 0; i < root.ChildCount(); ++i) {
            const TXmlNode row = root.Child(i);
            for (const char16_t* name : {u"Index", u"Slave_ID", u"Function", u"Start_Address", u"Num_Registers",
                                         u"Data_Type", u"Position", u"Mnemonic"})
                total += row.AttributeOr(name, String()).size();
        }
        benchmark::DoNotOptimize(total);
    }
    DeleteFile(path);
}
BENCHMARK(BM_LoadAndReadTable)->Unit(benchmark::kMillisecond);

}  // namespace
