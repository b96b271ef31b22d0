#include "framework/Database.h"

#include "framework/Process.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <climits>

namespace {

String P(const std::string& utf8) { return Utf8ToString(utf8); }

// Makes the database with another program, so that we only ever read it.
void MakeDatabase(const TempDir& dir, const std::string& name, const std::string& sql) {
    dir.write("make.py",
              "import sqlite3, sys\n"
              "c = sqlite3.connect(sys.argv[1])\n"
              "c.executescript(sys.argv[2])\n"
              "c.commit()\n");
    TProcess p;
    p.Start(u"/usr/bin/python3", {P(dir.file("make.py")), P(dir.file(name)), P(sql)});
    ASSERT_TRUE(p.WaitFor(20000));
    ASSERT_EQ(p.ExitCode(), 0);
}

// How many descriptors of this process have the file open.
int OpenHandles(const std::string& path) {
    int n = 0;
    DIR* d = opendir("/proc/self/fd");
    while (dirent* e = readdir(d)) {
        char target[PATH_MAX];
        const std::string link = std::string("/proc/self/fd/") + e->d_name;
        const ssize_t len = readlink(link.c_str(), target, sizeof target - 1);
        if (len > 0 && std::string(target, static_cast<std::size_t>(len)) == path) ++n;
    }
    closedir(d);
    return n;
}

String MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EDatabaseError& e) {
        return e.Message();
    }
    return u"<no exception>";
}

}  // namespace

TEST(Database, AQueryGivesFieldNamesTypesSizesAndRows) {
    TempDir dir;
    MakeDatabase(dir, "plant.db",
                 "CREATE TABLE meters (id INTEGER, name TEXT, reading REAL, photo BLOB, note TEXT);"
                 "INSERT INTO meters VALUES (1, 'Hall', 12.5, x'00FF10', NULL);"
                 "INSERT INTO meters VALUES (2, 'K\u00fcche', -3.0, NULL, '');");
    TDatabase db(P(dir.file("plant.db")));
    const TDbResult r = db.Query(u"SELECT * FROM meters ORDER BY id");
    const TDbField fields[] = {{u"id", dftInteger}, {u"name", dftString}, {u"reading", dftFloat}, {u"photo", dftBlob},
                               {u"note", dftString}};
    ASSERT_EQ(r.Fields.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(r.Fields[i].Name, fields[i].Name);
        EXPECT_EQ(r.Fields[i].Type, fields[i].Type) << i;
    }
    ASSERT_EQ(r.Rows.size(), 2u);
    struct Cell {
        bool isNull;
        String text;
        int size;
    } expected[2][5] = {
        {{false, u"1", 8}, {false, u"Hall", 4}, {false, u"12.5", 8}, {false, u"", 3}, {true, u"", 0}},
        {{false, u"2", 8}, {false, u"K\u00FCche", 6}, {false, u"-3", 8}, {true, u"", 0}, {false, u"", 0}},
    };
    for (int row = 0; row < 2; ++row)
        for (int f = 0; f < 5; ++f) {
            const TDbValue& v = r.Rows[row][f];
            EXPECT_EQ(v.IsNull, expected[row][f].isNull) << row << "," << f;
            EXPECT_EQ(v.Text, expected[row][f].text) << row << "," << f;
            EXPECT_EQ(v.ActualSize, expected[row][f].size) << row << "," << f;
        }
}

TEST(Database, EveryWayOutClosesTheFileAndNothingIsWritten) {
    TempDir dir;
    MakeDatabase(dir, "a.db", "CREATE TABLE t (x INTEGER); INSERT INTO t VALUES (7);");
    MakeDatabase(dir, "b.db", "CREATE TABLE t (x INTEGER); INSERT INTO t VALUES (8);");
    dir.write("text.db", "not a database at all, just some text that is long enough to be read");
    dir.write("fake.mdb", std::string(4096, 'x'));
    const std::string before = dir.read("a.db");
    {
        // Two open at once, each on its own connection.
        TDatabase a(P(dir.file("a.db")));
        TDatabase b(P(dir.file("b.db")));
        EXPECT_EQ(a.Query(u"SELECT x FROM t").Rows.at(0).at(0).Text, u"7");
        EXPECT_EQ(b.Query(u"SELECT x FROM t").Rows.at(0).at(0).Text, u"8");
        EXPECT_GE(OpenHandles(dir.file("a.db")), 1);
        EXPECT_NE(MessageOf([&] { a.Query(u"SELECT nothing FROM nowhere"); }), u"<no exception>");
        EXPECT_NE(MessageOf([&] { a.Query(u"DELETE FROM t"); }), u"<no exception>");  // read-only
        EXPECT_EQ(a.Query(u"SELECT count(*) FROM t").Rows.at(0).at(0).Text, u"1");
    }
    EXPECT_EQ(OpenHandles(dir.file("a.db")), 0);
    EXPECT_EQ(OpenHandles(dir.file("b.db")), 0);
    EXPECT_EQ(dir.read("a.db"), before);

    for (const char* name : {"missing.db", "text.db", "fake.mdb"}) {
        const String file = P(dir.file(name));
        EXPECT_EQ(MessageOf([&] { TDatabase d(file); }).rfind(u"Cannot open database \"" + file + u"\": ", 0), 0u)
            << name;
        EXPECT_EQ(OpenHandles(dir.file(name)), 0) << name;
    }
    EXPECT_EQ(dir.read("text.db").substr(0, 8), "not a da");
}
